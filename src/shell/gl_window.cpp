// The one window of the program and its GL context. The fullscreen build picks the 640 x 480
// display mode with the most bits per pixel and switches to it; the windowed build leaves the
// display alone, and its window may take any size: F11 or Alt+Enter lay it over the whole
// desktop and back. A display that will not switch for another reason than refusing the mode
// leaves the window over the desktop's mode. When the GL context cannot be made, its failure is
// shown and the window still counts as created; the multitexture check then stops start-up.
// Whatever the window's size, the picture is drawn at the window's own resolution in the
// largest 4:3 rectangle centred in it (viewport and scissor), with black bars on the other
// sides; overlays, fades and text all place themselves in the viewport, so the composition
// stays the same. Key states change only while pumpMessages dispatches events, and a key
// pressed and released within one pump stays down until the next, so that the frame sees a
// quick tap. A close request ends the process at once with exit code 0, giving the display
// mode back first.
#include "shell/gl_window.h"

#include <cstdint>
#include <cstring>

#include "platform/opengl.h"
#include "shell/error_report.h"

int keyDown[256];
int keyPresses[256];
int keyRepeats[256];
int maxTextureSize;
PictureRect pictureRect = {0, 0, 640, 480};

namespace {

constexpr int MAX_MODES_EXAMINED = 4999;
// The window's size and picture while a frame is drawn into a smaller picture.
bool drawingScaled = false;
int scaledWindowWidth = 0;
int scaledWindowHeight = 0;
// Picture height at which lines are one pixel wide.
constexpr float LINE_WIDTH_HEIGHT = 480.0f;
constexpr int KEY_RETURN = 13;
constexpr int KEY_ALT = 18;
constexpr int KEY_F11 = 122;
int requestedWidth;
int requestedHeight;
int windowWidth = 640;
int windowHeight = 480;
int resizableWindow = 0;    // the windowed build's window is open
int desktopFullscreen = 0;  // it covers the desktop
// Keys that went down in the current pump, and those of them already released again.
bool pressedInPump[256];
bool releaseAtNextPump[256];

// F11, or Enter while Alt is held (an Alt already let go in this pump, though still down for
// the frame, is not); a key the keyboard repeats toggles only once.
void toggleFullscreenOnKey(const PlatformEvent& event) {
    if (!resizableWindow || event.repeat) return;
    const bool altHeld = keyDown[KEY_ALT] == 1 && !releaseAtNextPump[KEY_ALT];
    if (event.key != KEY_F11 && !(event.key == KEY_RETURN && altHeld)) return;
    if (platformSetDesktopFullscreen(!desktopFullscreen)) desktopFullscreen = !desktopFullscreen;
}

// Clears the parts of the window outside the picture to black, one scissored bar at a time.
void clearBarsToBlack() {
    const PictureRect& r = pictureRect;
    const int bars[4][4] = {
        {0, 0, r.x, windowHeight},                                                // left
        {r.x + r.width, 0, windowWidth - r.x - r.width, windowHeight},            // right
        {0, 0, windowWidth, r.y},                                                 // bottom
        {0, r.y + r.height, windowWidth, windowHeight - r.y - r.height},          // top
    };
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_SCISSOR_TEST);
    for (const int* bar : bars) {
        if (bar[2] <= 0 || bar[3] <= 0) continue;
        glScissor(bar[0], bar[1], bar[2], bar[3]);
        glClear(GL_COLOR_BUFFER_BIT);
    }
}

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

int createGlWindow(int width, int height, int fullscreen, int samples) {
    requestedWidth = width;
    requestedHeight = height;
    if (!platformOpenWindow(".quellDrift", width, height, fullscreen, samples)) return 0;
    resizableWindow = fullscreen == 1 ? 0 : 1;
    desktopFullscreen = 0;
    createContextForWindow();
    if (fullscreen == 1) {
        static DisplayMode modes[MAX_MODES_EXAMINED];
        int count = 0;
        while (count < MAX_MODES_EXAMINED && platformDisplayMode(count, &modes[count])) ++count;
        if (count == 0) return 0;
        int chosen = chooseDisplayMode(modes, count, requestedWidth, requestedHeight);
        if (chosen < 0) return 0;
        if (platformSetDisplayMode(modes[chosen]) == DISPLAY_MODE_REFUSED) return 0;
        platformShowCursor(0);
    }
    platformShowWindow();
    return 1;
}

void windowProc(const PlatformEvent& event) {
    switch (event.kind) {
        case PLATFORM_KEY_DOWN:
            if (event.key < 0 || event.key >= 256) break;
            keyDown[event.key] = 1;
            ++(event.repeat ? keyRepeats : keyPresses)[event.key];
            pressedInPump[event.key] = true;
            releaseAtNextPump[event.key] = false;
            toggleFullscreenOnKey(event);
            break;
        case PLATFORM_KEY_UP:
            if (event.key < 0 || event.key >= 256) break;
            if (pressedInPump[event.key])
                releaseAtNextPump[event.key] = true;
            else
                keyDown[event.key] = 0;
            break;
        case PLATFORM_RESIZED:
            if (drawingScaled) {
                // The window's new size takes effect when the picture is shown.
                scaledWindowWidth = event.width;
                scaledWindowHeight = event.height;
                break;
            }
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

PictureRect pictureRectFor(int width, int height) {
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    PictureRect r;
    if (static_cast<int64_t>(width) * 3 >= static_cast<int64_t>(height) * 4) {
        // Wider than 4:3: full height, bars left and right. Rounded to the nearest pixel,
        // which never exceeds the width.
        r.height = height;
        r.width = static_cast<int>((static_cast<int64_t>(height) * 4 + 1) / 3);
    } else {
        r.width = width;
        r.height = static_cast<int>((static_cast<int64_t>(width) * 3 + 2) / 4);
    }
    if (r.width < 1) r.width = 1;
    if (r.height < 1) r.height = 1;
    r.x = (width - r.width) / 2;
    r.y = (height - r.height) / 2;
    return r;
}

void resizeViewport(int width, int height) {
    if (height == 0) height = 1;
    windowWidth = width;
    windowHeight = height;
    pictureRect = pictureRectFor(width, height);
    const PictureRect& r = pictureRect;
    glViewport(r.x, r.y, r.width, r.height);
    glScissor(r.x, r.y, r.width, r.height);
    glEnable(GL_SCISSOR_TEST);
    // Lines keep their share of the picture at any resolution.
    float lineWidth = static_cast<float>(r.height) / LINE_WIDTH_HEIGHT;
    glLineWidth(lineWidth > 1.0f ? lineWidth : 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(r.width) / r.height, 0.1, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void clearFrame() {
    const PictureRect& r = pictureRect;
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GLfloat colour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    const bool black = colour[0] == 0 && colour[1] == 0 && colour[2] == 0 && colour[3] == 0;
    const bool bars = r.width < windowWidth || r.height < windowHeight;
    if (bars && !black) {
        clearBarsToBlack();
        glClearColor(colour[0], colour[1], colour[2], colour[3]);
    }
    glScissor(r.x, r.y, r.width, r.height);
    glEnable(GL_SCISSOR_TEST);
}

FramePicture beginFramePicture(int height, int sampleHalvings) {
    if (drawingScaled) presentFramePicture();
    const PictureRect window = pictureRect;
    if (height <= 0 || height > window.height) height = window.height;
    // The rectangle's own size, or a smaller 4:3 one.
    const int width = height == window.height
                          ? window.width
                          : static_cast<int>((static_cast<int64_t>(height) * 4 + 1) / 3);
    ScaledSurface surface{};
    if (!platformBeginScaledPicture(width, height, sampleHalvings, &surface))
        return FramePicture{window.height, platformSamples()};
    drawingScaled = true;
    scaledWindowWidth = windowWidth;
    scaledWindowHeight = windowHeight;
    resizeViewport(surface.width, surface.height);
    return FramePicture{pictureRect.height, surface.samples};
}

void presentFramePicture() {
    if (!drawingScaled) return;
    drawingScaled = false;
    resizeViewport(scaledWindowWidth, scaledWindowHeight);
    const PictureRect& r = pictureRect;
    platformEndScaledPicture(r.x, r.y, r.width, r.height);
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
    if (!platformHasGlContext()) return 0;  // no context, no extension string to search
    int multitexture = hasGlExtension("GL_ARB_multitexture");
    if (multitexture) hasGlExtension("GL_EXT_texture_env_combine");  // looked up, never decides
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    return multitexture;
}

void pumpMessages() {
    for (int key = 0; key < 256; ++key) {
        if (releaseAtNextPump[key]) keyDown[key] = 0;
        pressedInPump[key] = releaseAtNextPump[key] = false;
        keyPresses[key] = keyRepeats[key] = 0;
    }
    PlatformEvent event;
    while (platformPollEvent(&event)) windowProc(event);
}
