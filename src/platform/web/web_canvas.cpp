// The window of the web page: the canvas with id "canvas" and its WebGL 1 context, which the
// fixed-function layer draws with. The canvas fills the browser window and its drawing buffer
// has the window's size in device pixels; a change of size reaches the demo as a resize event.
// Keys reach it with their DOM key codes, which are the Windows virtual-key codes the demo
// reads. A page has no display modes to switch and no headless context. The browser shows a
// frame when it takes control back: in its frame loop that is when the frame function
// returns; outside it (the loading screen and its picture log) a buffer swap hands control to
// the browser for a moment, so that the frame is seen before loading goes on.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>
#include <GLES2/gl2.h>

#include "platform/fixed_function/fixed_function_gl.h"
#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "platform/web/web_page.h"

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
int wantedSamples = 1;

EM_JS(void, setPageTitle, (const char* title), { document.title = UTF8ToString(title); });

EM_JS(void, setCanvasCursor, (int visible), {
    Module.canvas.style.cursor = visible ? "auto" : "none";
});

// Sizes the drawing buffer to the canvas's place on the page in device pixels.
EM_JS(void, fitCanvasToWindow, (), {
    var canvas = Module.canvas;
    var scale = window.devicePixelRatio || 1;
    canvas.width = Math.max(1, Math.round(canvas.clientWidth * scale));
    canvas.height = Math.max(1, Math.round(canvas.clientHeight * scale));
});

EM_BOOL onResize(int, const EmscriptenUiEvent*, void*) {
    fitCanvasToWindow();
    PlatformEvent event{};
    event.kind = PLATFORM_RESIZED;
    platformClientSize(&event.width, &event.height);
    platformPostEvent(event);
    return EM_FALSE;
}

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* key, void*) {
    const int code = static_cast<int>(key->keyCode);
    if (code <= 0 || code > 255) return EM_FALSE;
    PlatformEvent event{};
    event.kind = type == EMSCRIPTEN_EVENT_KEYDOWN ? PLATFORM_KEY_DOWN : PLATFORM_KEY_UP;
    event.key = code;
    event.repeat = key->repeat ? 1 : 0;
    platformPostEvent(event);
    return EM_FALSE;  // the browser keeps its own keys (F11, reload, ...)
}

}  // namespace

// ---- Display modes: a page has none ----

int platformDisplayModeCount() { return 0; }
int platformDisplayMode(int, DisplayMode*) { return 0; }
DisplayModeChange platformSetDisplayMode(const DisplayMode&) { return DISPLAY_MODE_REFUSED; }

// ---- Window and GL context ----

int platformHasDisplay() { return 1; }

int platformOpenWindow(const char* title, int, int, int, int samples) {
    wantedSamples = samples;
    setPageTitle(title);
    fitCanvasToWindow();
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onResize);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKey);
    return 1;
}

GlContextResult platformCreateGlContext() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    // Multisampling as the window asks for it, except for a still frame, which is drawn like
    // the capture tool's, without.
    attributes.antialias =
        wantedSamples > 1 && !webStillFrameWanted(nullptr, nullptr) ? EM_TRUE : EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    context = emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0) return GL_CONTEXT_NOT_CREATED;
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS)
        return GL_CONTEXT_NOT_ACTIVATED;
    return GL_CONTEXT_READY;
}

int platformHasGlContext() { return context > 0 ? 1 : 0; }

void platformClientSize(int* width, int* height) {
    *width = 0;
    *height = 0;
    if (context > 0) emscripten_webgl_get_drawing_buffer_size(context, width, height);
}

int platformSamples() {
    GLint samples = 0;
    if (context > 0) ::glGetIntegerv(GL_SAMPLES, &samples);
    return samples > 1 ? samples : 1;
}

// The page's window belongs to the browser, which lays it over the screen (F11) itself.
int platformSetDesktopFullscreen(int) { return 0; }

void platformShowWindow() {}

void platformShowCursor(int visible) { setCanvasCursor(visible); }

void platformSwapBuffers() {
    fixedgl::glFlush();
    if (!webInFrameLoop()) emscripten_sleep(0);
}

void platformCloseWindow() {}


// ---- No headless context in a page ----

int platformCreateHeadlessContext(int, int, int) { return 0; }
void platformDestroyHeadlessContext() {}
int platformIsHeadless() { return 0; }

// ---- Events ----

int platformPollEvent(PlatformEvent* out) { return takePostedEvent(out); }
