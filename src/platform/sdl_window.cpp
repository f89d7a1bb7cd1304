// The window, its OpenGL context, display modes, the cursor and window events, on SDL2.
// The fullscreen build switches the display to the chosen mode through a fullscreen window;
// whatever way the process ends, the desktop mode is given back (platformCloseWindow runs at
// exit). The ordinary window can be resized, maximised and laid over the whole desktop
// without a mode change; a display that has no pixel format for GL still gets its window,
// without a context. Events are translated to the Windows virtual-key codes the demo reads.
// Tests may put a simulated display in place of the real one.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/platform_internal.h"
#if QD_FIXED_FUNCTION_LAYER
#include "platform/fixed_function/fixed_function_gl.h"
#else
#include <GL/gl.h>
#include <GL/glext.h>
#endif

namespace {

SDL_Window* window = nullptr;
bool windowHasGl = false;
SDL_GLContext glContext = nullptr;
int pictureSamples = 1;  // asked for with the window
SimulatedDisplay* simulated = nullptr;
int simulatedSize[2] = {0, 0};
bool simulatedContext = false;
bool videoReady = false;
bool videoTried = false;
bool displayModeChanged = false;
bool cursorHidden = false;

// A display someone can look at. SDL falls back to its offscreen driver where no display server
// answers; a window there would play unseen, so that counts as no display unless asked for.
bool initVideo() {
    if (!videoTried) {
        videoTried = true;
        videoReady = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        const char* driver = videoReady ? SDL_GetCurrentVideoDriver() : nullptr;
        bool invisible = driver && (std::strcmp(driver, "offscreen") == 0 ||
                                    std::strcmp(driver, "dummy") == 0);
        if (invisible && !std::getenv("SDL_VIDEODRIVER")) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            videoReady = false;
        }
    }
    return videoReady;
}

// SDL keycode -> virtual-key code, or -1 for keys the demo has no name for.
int virtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
    switch (key) {
        case SDLK_ESCAPE: return 27;
        case SDLK_RETURN: return 13;
        case SDLK_SPACE: return 32;
        case SDLK_BACKSPACE: return 8;
        case SDLK_TAB: return 9;
        case SDLK_LEFT: return 37;
        case SDLK_UP: return 38;
        case SDLK_RIGHT: return 39;
        case SDLK_DOWN: return 40;
        case SDLK_PAGEUP: return 33;
        case SDLK_PAGEDOWN: return 34;
        case SDLK_END: return 35;
        case SDLK_HOME: return 36;
        case SDLK_PERIOD: return 190;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return 16;
        case SDLK_LCTRL: case SDLK_RCTRL: return 17;
        case SDLK_LALT: case SDLK_RALT: return 18;
        default: return -1;
    }
}

void closeAtExit() { platformCloseWindow(); }

}  // namespace

int platformHasDisplay() { return initVideo() ? 1 : 0; }

int platformDisplayModeCount() {
    if (simulated) return simulated->modeCount;
    if (!initVideo()) return -1;
    return SDL_GetNumDisplayModes(0);
}

int platformDisplayMode(int index, DisplayMode* out) {
    if (simulated) {
        if (index < 0 || index >= simulated->modeCount) return 0;
        *out = simulated->modes[index];
        return 1;
    }
    if (!initVideo()) return 0;
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, index, &mode) != 0) return 0;
    out->width = mode.w;
    out->height = mode.h;
    out->bitsPerPixel = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
    out->refreshRate = mode.refresh_rate;
    return 1;
}

DisplayModeChange platformSetDisplayMode(const DisplayMode& wanted) {
    if (simulated) {
        if (simulated->modeChange == DISPLAY_MODE_CHANGED) simulated->modeSwitched = 1;
        return simulated->modeChange;
    }
    if (!window) return DISPLAY_MODE_FAILED;
    // Find the SDL mode record again so that the pixel format and refresh rate match exactly. A
    // mode the display does not list, or will not set for the window, is refused; a switch that
    // fails beyond that leaves the window as it is, over the desktop's mode.
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        if (mode.w == wanted.width && mode.h == wanted.height &&
            static_cast<int>(SDL_BITSPERPIXEL(mode.format)) == wanted.bitsPerPixel &&
            mode.refresh_rate == wanted.refreshRate) {
            if (SDL_SetWindowDisplayMode(window, &mode) != 0) return DISPLAY_MODE_REFUSED;
            if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0)
                return DISPLAY_MODE_FAILED;
            displayModeChanged = true;
            return DISPLAY_MODE_CHANGED;
        }
    }
    return DISPLAY_MODE_REFUSED;
}

int platformOpenWindow(const char* title, int width, int height, int fullscreen, int samples) {
    if (simulated) {
        simulatedSize[0] = width, simulatedSize[1] = height;
        return simulated->windowOpen = simulated->opensWindow;
    }
    if (!initVideo()) return 0;
#if QD_FIXED_FUNCTION_LAYER
    // The fixed-function layer draws with OpenGL ES 2.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
#else
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
#endif
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen == 1)
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
    else
        flags |= SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    // The samples per pixel belong to the picture the frames are drawn into (scaled_picture.cpp),
    // which the window shows: the window itself needs none, and a large window stays light.
    // Over the fixed-function layer, which draws into the window itself, they belong to the
    // window. Its pixel format is chosen with the window, so a display without multisampled
    // formats refuses the window itself: it is then opened again without.
    pictureSamples = samples > 1 ? samples : 1;
#if !QD_FIXED_FUNCTION_LAYER
    samples = 1;
#endif
    if (samples > 1) {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples);
        window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    }
    if (!window) {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
        window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    }
    // No pixel format for GL: the window opens without, and making its context fails.
    windowHasGl = window != nullptr;
    if (!window) window = SDL_CreateWindow(title, 0, 0, width, height, flags & ~SDL_WINDOW_OPENGL);
    if (!window) return 0;
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(closeAtExit);
    }
    return 1;
}

GlContextResult platformCreateGlContext() {
    if (simulated) {
        simulatedContext = simulated->context == GL_CONTEXT_READY;
        return simulated->context;
    }
    if (!window || !windowHasGl) return GL_CONTEXT_NO_PIXEL_FORMAT;
    glContext = SDL_GL_CreateContext(window);
    if (!glContext) return GL_CONTEXT_NOT_CREATED;
    int red = 0, green = 0, blue = 0, depth = 0;
    SDL_GL_GetAttribute(SDL_GL_RED_SIZE, &red);
    SDL_GL_GetAttribute(SDL_GL_GREEN_SIZE, &green);
    SDL_GL_GetAttribute(SDL_GL_BLUE_SIZE, &blue);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    GlContextResult result = GL_CONTEXT_READY;
    if (red + green + blue < 15 || depth < 16)
        result = GL_CONTEXT_PIXEL_FORMAT_REFUSED;
    else if (SDL_GL_MakeCurrent(window, glContext) != 0)
        result = GL_CONTEXT_NOT_ACTIVATED;
    if (result != GL_CONTEXT_READY) {
        // Start-up goes on without a context rather than with one in an unwanted format.
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(glContext);
        glContext = nullptr;
    }
    return result;
}

int platformHasGlContext() {
    if (simulated) return simulatedContext ? 1 : 0;
    return glContext != nullptr || platformIsHeadless() ? 1 : 0;
}

void platformClientSize(int* width, int* height) {
    if (simulated) {
        *width = simulatedSize[0];
        *height = simulatedSize[1];
        return;
    }
    *width = 0;
    *height = 0;
    if (platformIsHeadless())
        headlessFramebufferSize(width, height);
    else if (window)
        SDL_GL_GetDrawableSize(window, width, height);
}

int platformSamples() {
    if (platformIsHeadless()) return headlessFramebufferSamples();
#if !QD_FIXED_FUNCTION_LAYER
    // The picture's, as many as asked for and the driver draws.
    if (!glContext) return 1;
    GLint most = 1;
    glGetIntegerv(GL_MAX_SAMPLES, &most);
    return std::max(1, std::min(pictureSamples, static_cast<int>(most)));
#endif
    int buffers = 0, samples = 0;
    if (!glContext || SDL_GL_GetAttribute(SDL_GL_MULTISAMPLEBUFFERS, &buffers) != 0 ||
        SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &samples) != 0)
        return 1;
    return buffers > 0 && samples > 1 ? samples : 1;
}

int platformSetDesktopFullscreen(int on) {
    if (!window) return 0;
    return SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0 ? 1 : 0;
}

void platformShowWindow() {
    if (!window) return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

void platformShowCursor(int visible) {
    if (simulated) simulated->cursorHidden = !visible;
    if (!videoReady) return;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    cursorHidden = !visible;
}

void platformSwapBuffers() {
    if (platformIsHeadless()) {
        swapHeadlessBuffers();
        return;
    }
#if QD_FIXED_FUNCTION_LAYER
    fixedgl::glFlush();  // what the layer still holds, before the frame is shown
#endif
    if (window) SDL_GL_SwapWindow(window);
}

void platformCloseWindow() {
    if (simulated) {
        simulated->windowOpen = simulated->modeSwitched = simulated->cursorHidden = 0;
        simulatedContext = false;
    }
    if (displayModeChanged && window) {
        SDL_SetWindowFullscreen(window, 0);
        displayModeChanged = false;
    }
    if (cursorHidden) platformShowCursor(1);
    if (glContext) {
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(glContext);
        glContext = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
}

int platformPollEvent(PlatformEvent* out) {
    if (takePostedEvent(out)) return 1;
    if (!window) return 0;
    *out = PlatformEvent{};
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                int key = virtualKey(event.key.keysym.sym);
                if (key < 0) continue;
                out->kind = event.type == SDL_KEYDOWN ? PLATFORM_KEY_DOWN : PLATFORM_KEY_UP;
                out->key = key;
                out->repeat = event.key.repeat ? 1 : 0;
                return 1;
            }
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                    out->kind = PLATFORM_RESIZED;
                    SDL_GL_GetDrawableSize(window, &out->width, &out->height);
                    return 1;
                }
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                    out->kind = PLATFORM_CLOSE_REQUESTED;
                    return 1;
                }
                continue;
            case SDL_QUIT:
                out->kind = PLATFORM_CLOSE_REQUESTED;
                return 1;
            default:
                continue;
        }
    }
    return 0;
}

void showModalBox(const char* caption, const char* text) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr);
}

void simulateDisplay(SimulatedDisplay* display) {
    simulated = display;
    simulatedContext = false;
}
