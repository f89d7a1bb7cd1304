// The page around the canvas. page.js lays words and controls over it and keeps Module.page,
// through which the demo and the page talk: error boxes become messages on the page (nothing
// blocks a browser tab), the page learns the schedule, the demo's state and each frame's
// position, and the demo takes the control bar's commands. The browser's frame loop drives the
// frames, and the address's "#at=MS&fps=N" (read and checked by page.js) asks for one still
// frame.
#include <emscripten/emscripten.h>

#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "platform/web/web_page.h"

namespace {

int (*frameFunction)() = nullptr;

EM_JS(void, addMessageToPage, (const char* caption, const char* text), {
    if (Module.page) Module.page.message(UTF8ToString(caption), UTF8ToString(text));
});

// The still frame's time in milliseconds, or -1; its frame rate in *fps.
EM_JS(double, pageStillFrame, (int* fps), {
    var still = Module.page ? Module.page.still() : null;
    if (!still) return -1;
    HEAP32[fps >> 2] = still[1];
    return still[0];
});

EM_JS(void, pageStillFrameDrawn, (), { if (Module.page) Module.page.stillDrawn(); });

EM_JS(void, pageSchedule, (const float* starts, int count, double endMs), {
    var list = [];
    for (var i = 0; i < count; ++i) list.push(HEAPF32[(starts >> 2) + i]);
    if (Module.page) Module.page.schedule(list, endMs);
});

EM_JS(void, pageReady, (), { if (Module.page) Module.page.ready(); });

EM_JS(void, pagePosition, (double ms, int paused), {
    if (Module.page) Module.page.position(ms, paused);
});

EM_JS(double, pageTakeStartMs, (), { return Module.page ? Module.page.takeStartMs() : 0; });

// The next command's kind (0 pause, 1 seek) with its time in *ms, or -1.
EM_JS(int, pageTakeCommand, (double* ms), {
    var command = Module.page ? Module.page.takeCommand() : null;
    if (!command) return -1;
    HEAPF64[ms >> 3] = command.ms || 0;
    return command.kind === "seek" ? 1 : 0;
});

// Whether the address asks for the frame log: "framelog=1" after the "#" or the "?".
EM_JS(int, frameLogAsked, (), {
    var parts = (window.location.hash.replace(/^#/, "") + "&" +
                 window.location.search.replace(/^[?]/, "")).split("&");
    return parts.indexOf("framelog=1") >= 0 ? 1 : 0;
});

EM_JS(void, logFrameToConsole, (const char* line), { console.log(UTF8ToString(line)); });

bool inFrame = false;

void runFrame() {
    inFrame = true;
    const int goOn = frameFunction && frameFunction();
    inFrame = false;
    if (!goOn) {
        frameFunction = nullptr;
        emscripten_cancel_main_loop();
    }
}

}  // namespace

void showModalBox(const char* caption, const char* text) { addMessageToPage(caption, text); }

void webRunFrames(int (*frame)()) {
    frameFunction = frame;
    emscripten_set_main_loop(runFrame, 0, 0);
}

int webStillFrameWanted(double* ms, int* fps) {
    int rate = 60;
    const double at = pageStillFrame(&rate);
    if (!(at >= 0)) return 0;
    if (ms) *ms = at;
    if (fps) *fps = rate;
    return 1;
}

void webStillFrameDrawn() { pageStillFrameDrawn(); }

void webSetSchedule(const float* sceneStartsMs, int count, double endMs) {
    pageSchedule(sceneStartsMs, count, endMs);
}

void webShowReady() { pageReady(); }

void webShowPosition(double ms, int paused) { pagePosition(ms, paused); }

double webTakeStartMs() { return pageTakeStartMs(); }

int webTakeCommand(WebCommand* out) {
    double ms = 0;
    const int kind = pageTakeCommand(&ms);
    if (kind < 0) return 0;
    out->kind = kind == 1 ? WEB_COMMAND_SEEK : WEB_COMMAND_PAUSE;
    out->ms = ms;
    return 1;
}

int webInFrameLoop() { return inFrame ? 1 : 0; }

int platformFrameLogWanted() { return frameLogAsked(); }

void platformLogFrame(const char* line) { logFrameToConsole(line); }
