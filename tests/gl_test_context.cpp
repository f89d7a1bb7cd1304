// The headless context shared by every GL test of the process.
#include "gl_test_context.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "render/render_globals.h"
#include "shell/gl_window.h"

namespace GlTestContext {

void ensure() {
    static int ready = -1;
    if (ready < 0) {
        ready = platformCreateHeadlessContext(640, 480, 1);
        if (ready) {
            glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
        }
    }
    ASSERT_EQ(ready, 1) << "no headless OpenGL context (EGL with Mesa)";
    nearCullZ = -0.1f;
    initGlState(640, 480);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

Rgb readPixel(int x, int y) {
    unsigned char pixel[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return Rgb{pixel[0], pixel[1], pixel[2]};
}

void clear(float grey) {
    glClearColor(grey, grey, grey, 0);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace GlTestContext
