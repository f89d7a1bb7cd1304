// Pictures drawn smaller than the window. The frame draws into an offscreen framebuffer object
// of the picture's size, with as many samples per pixel as the window has (fewer for a very
// large picture, see picture_samples.h); at the end of the frame its samples are resolved into
// a texture, and the texture is drawn over the window's picture rectangle with linear
// filtering, after the whole window has been cleared to black (the bars). The objects are made
// when first needed and made again when the size changes.
// The build over the fixed-function layer draws no windows of its own size: it has none.
#include "platform/platform.h"
#include "platform/picture_samples.h"

#if QD_FIXED_FUNCTION_LAYER

int platformBeginScaledPicture(int, int, int, ScaledSurface*) { return 0; }
void platformEndScaledPicture(int, int, int, int) {}

#else

#include <SDL2/SDL.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace {

PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample;
PFNGLGETRENDERBUFFERPARAMETERIVPROC getRenderbufferParameteriv;
PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D;
PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;

enum class Support { UNKNOWN, PRESENT, ABSENT };
Support support = Support::UNKNOWN;

GLuint drawFramebuffer = 0, colourBuffer = 0, depthBuffer = 0;
GLuint resolveFramebuffer = 0, resolveTexture = 0;
int pictureWidth = 0, pictureHeight = 0;
int pictureHalvings = 0;  // the halvings of the window's samples the picture was made with
int pictureSamples = 1;   // the samples the driver gave it

template <typename F>
bool load(F& function, const char* name) {
    function = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

bool loadFunctions() {
    return load(genFramebuffers, "glGenFramebuffers") &&
           load(deleteFramebuffers, "glDeleteFramebuffers") &&
           load(bindFramebuffer, "glBindFramebuffer") &&
           load(genRenderbuffers, "glGenRenderbuffers") &&
           load(deleteRenderbuffers, "glDeleteRenderbuffers") &&
           load(bindRenderbuffer, "glBindRenderbuffer") &&
           load(renderbufferStorageMultisample, "glRenderbufferStorageMultisample") &&
           load(getRenderbufferParameteriv, "glGetRenderbufferParameteriv") &&
           load(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           load(framebufferTexture2D, "glFramebufferTexture2D") &&
           load(checkFramebufferStatus, "glCheckFramebufferStatus") &&
           load(blitFramebuffer, "glBlitFramebuffer");
}

void releasePicture() {
    if (drawFramebuffer) deleteFramebuffers(1, &drawFramebuffer);
    if (resolveFramebuffer) deleteFramebuffers(1, &resolveFramebuffer);
    if (colourBuffer) deleteRenderbuffers(1, &colourBuffer);
    if (depthBuffer) deleteRenderbuffers(1, &depthBuffer);
    if (resolveTexture) glDeleteTextures(1, &resolveTexture);
    drawFramebuffer = resolveFramebuffer = colourBuffer = depthBuffer = resolveTexture = 0;
    pictureWidth = pictureHeight = 0;
    pictureHalvings = 0;
    pictureSamples = 1;
}

GLuint renderbuffer(GLenum format, GLenum attachment, int width, int height, int samples) {
    GLuint name = 0;
    genRenderbuffers(1, &name);
    bindRenderbuffer(GL_RENDERBUFFER, name);
    renderbufferStorageMultisample(GL_RENDERBUFFER, samples > 1 ? samples : 0, format, width,
                                   height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, name);
    return name;
}

// The picture's colour buffer with at most `allowed` samples, which it returns in `*samples`. A
// driver may give more samples than asked for (llvmpipe draws with one or four), so a smaller
// count is asked for until what is given fits.
GLuint colourBufferWithin(int width, int height, int allowed, int* samples) {
    for (int asked = allowed;; asked /= 2) {
        const GLuint name = renderbuffer(GL_RGBA8, GL_COLOR_ATTACHMENT0, width, height, asked);
        GLint given = 0;
        getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_SAMPLES, &given);
        *samples = given > 1 ? given : 1;
        if (*samples <= allowed || asked <= 1) return name;
        deleteRenderbuffers(1, &name);
    }
}

// The framebuffers of a picture of this size with the window's samples halved `halvings`
// times; false when the driver will not make them.
bool makePicture(int width, int height, int halvings) {
    releasePicture();
    int samples = 1;
    genFramebuffers(1, &drawFramebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer);
    const int wanted = std::max(1, platformSamples() >> halvings);
    colourBuffer = colourBufferWithin(width, height,
                                      pictureSamplesWithinBudget(wanted, width, height), &samples);
    // The window's own depth precision, so that the picture is drawn as it would be there.
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    const GLenum depthFormat = depthBits > 16 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16;
    depthBuffer = renderbuffer(depthFormat, GL_DEPTH_ATTACHMENT, width, height, samples);
    bool complete = checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;

    glGenTextures(1, &resolveTexture);
    glBindTexture(GL_TEXTURE_2D, resolveTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    genFramebuffers(1, &resolveFramebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer);
    framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, resolveTexture, 0);
    complete = complete && checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        releasePicture();
        return false;
    }
    pictureWidth = width;
    pictureHeight = height;
    pictureHalvings = halvings;
    pictureSamples = samples;
    return true;
}

}  // namespace

int platformBeginScaledPicture(int width, int height, int sampleHalvings, ScaledSurface* surface) {
    if (platformIsHeadless() || !platformHasGlContext() || width < 1 || height < 1) return 0;
    if (support == Support::UNKNOWN) support = loadFunctions() ? Support::PRESENT : Support::ABSENT;
    if (support == Support::ABSENT) return 0;
    const bool remake =
        width != pictureWidth || height != pictureHeight || sampleHalvings != pictureHalvings;
    if (remake && !makePicture(width, height, sampleHalvings)) {
        support = Support::ABSENT;  // a driver that will not make them once will not later
        return 0;
    }
    bindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer);
    *surface = ScaledSurface{width, height, pictureSamples};
    return 1;
}

void platformEndScaledPicture(int x, int y, int width, int height) {
    if (!drawFramebuffer) return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    // The scissor would cut the resolving copy as well as the drawing.
    glDisable(GL_SCISSOR_TEST);
    bindFramebuffer(GL_READ_FRAMEBUFFER, drawFramebuffer);
    bindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer);
    blitFramebuffer(0, 0, pictureWidth, pictureHeight, 0, 0, pictureWidth, pictureHeight,
                    GL_COLOR_BUFFER_BIT, GL_NEAREST);
    bindFramebuffer(GL_FRAMEBUFFER, 0);

    int windowWidth = 0, windowHeight = 0;
    platformClientSize(&windowWidth, &windowHeight);
    glViewport(0, 0, windowWidth, windowHeight);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(x, y, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, resolveTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-1, -1);
    glTexCoord2f(1, 0), glVertex2f(1, -1);
    glTexCoord2f(1, 1), glVertex2f(1, 1);
    glTexCoord2f(0, 1), glVertex2f(-1, 1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

#endif
