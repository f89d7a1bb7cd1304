// The one window of the program and its GL context. The fullscreen build picks the 640 x 480
// display mode with the most bits per pixel and switches to it; the windowed build leaves the
// display alone. Key states change only while pumpMessages dispatches events, and a close
// request ends the process at once with exit code 0, giving the display mode back first.
#include "shell/gl_window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "shell/error_report.h"

int keyDown[256];
int maxTextureSize;

namespace {

constexpr int MAX_MODES_EXAMINED = 4999;
int requestedWidth;
int requestedHeight;

const char* contextFailureText(GlContextResult result) {
    switch (result) {
        case GL_CONTEXT_NO_PIXEL_FORMAT: return "Can't Find A Suitable PixelFormat.";
        case GL_CONTEXT_PIXEL_FORMAT_REFUSED: return "Can't Set The PixelFormat.";
        case GL_CONTEXT_NOT_CREATED: return "Can't Create A GL Rendering Context.";
        case GL_CONTEXT_NOT_ACTIVATED: return "Can't activate GLRC.";
        default: return nullptr;
    }
}

// What the window does when it is created: make the GL context and set the start state. A
// failure is reported in its own box; the window itself still counts as created.
void createContextForWindow() {
    GlContextResult result = platformCreateGlContext();
    if (const char* text = contextFailureText(result)) {
        showErrorBox("Error", text);
        return;
    }
    int width = 0, height = 0;
    platformClientSize(&width, &height);
    initGlState(width, height);
}

}  // namespace

int chooseDisplayMode(const DisplayMode* modes, int count, int width, int height) {
    int chosen = -1;
    if (count > MAX_MODES_EXAMINED) count = MAX_MODES_EXAMINED;
    for (int i = 0; i < count; ++i) {
        if (modes[i].width != width || modes[i].height != height) continue;
        if (chosen < 0 || modes[i].bitsPerPixel > modes[chosen].bitsPerPixel) chosen = i;
    }
    return chosen;
}

int createGlWindow(int width, int height, int fullscreen) {
    requestedWidth = width;
    requestedHeight = height;
    if (!platformOpenWindow(".quellDrift", width, height, fullscreen)) return 0;
    createContextForWindow();
    if (fullscreen == 1) {
        static DisplayMode modes[MAX_MODES_EXAMINED];
        int count = 0;
        while (count < MAX_MODES_EXAMINED && platformDisplayMode(count, &modes[count])) ++count;
        if (count == 0) return 0;
        int chosen = chooseDisplayMode(modes, count, requestedWidth, requestedHeight);
        if (chosen < 0) return 0;
        if (!platformSetDisplayMode(modes[chosen])) return 0;
        platformShowCursor(0);
    }
    platformShowWindow();
    return 1;
}

void windowProc(const PlatformEvent& event) {
    switch (event.kind) {
        case PLATFORM_KEY_DOWN:
            if (event.key >= 0 && event.key < 256) keyDown[event.key] = 1;
            break;
        case PLATFORM_KEY_UP:
            if (event.key >= 0 && event.key < 256) keyDown[event.key] = 0;
            break;
        case PLATFORM_RESIZED:
            resizeViewport(event.width, event.height);
            break;
        case PLATFORM_CLOSE_REQUESTED:
            platformExit(0);
    }
}

void initGlState(int width, int height) {
    glEnable(GL_TEXTURE_2D);
    glClearColor(0.2f, 0.2f, 0.2f, 0.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    resizeViewport(width, height);
}

void resizeViewport(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / height, 0.1, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

int extensionListHas(const char* extensions, const char* name) {
    if (!extensions || !name || !*name || std::strchr(name, ' ')) return 0;
    size_t length = std::strlen(name);
    const char* start = extensions;
    for (;;) {
        const char* found = std::strstr(start, name);
        if (!found) return 0;
        // A whole word only: a name glued to the end of another never counts.
        bool atWordStart = found == extensions || found[-1] == ' ';
        char after = found[length];
        if (atWordStart && (after == ' ' || after == '\0')) return 1;
        start = found + length;
    }
}

int hasGlExtension(const char* name) {
    // Without a current context there is no extension string to read: the answer is 0.
    return extensionListHas(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

int checkMultitexture() {
    int multitexture = hasGlExtension("GL_ARB_multitexture");
    if (multitexture) hasGlExtension("GL_EXT_texture_env_combine");  // looked up, never decides
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    return multitexture;
}

void pumpMessages() {
    PlatformEvent event;
    while (platformPollEvent(&event)) windowProc(event);
}
