// The page around the canvas: error boxes become text on the page (nothing blocks a browser
// tab), the browser's frame loop drives the frames, and the address's "#at=MS&fps=N" asks for
// one still frame.
#include <emscripten/emscripten.h>

#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "platform/web/web_page.h"

namespace {

int (*frameFunction)() = nullptr;

// Adds the caption and the text to the page's message list, as text, and shows the list.
EM_JS(void, addMessageToPage, (const char* caption, const char* text), {
    var list = document.getElementById("messages");
    if (!list) return;
    var box = document.createElement("div");
    box.className = "message";
    var title = document.createElement("strong");
    title.textContent = UTF8ToString(caption);
    var body = document.createElement("span");
    body.textContent = UTF8ToString(text);
    box.appendChild(title);
    box.appendChild(body);
    list.appendChild(box);
    list.hidden = false;
});

// The still frame of the address: its time in microseconds, or -1; the frame rate in *fps.
EM_JS(double, stillFrameMicros, (int* fps), {
    var hash = window.location.hash.replace(/^#/, "");
    var at = -1;
    var rate = 60;
    hash.split("&").forEach(function(part) {
        var pair = part.split("=");
        var value = Number(pair[1]);
        if (pair[0] === "at" && pair[1] !== "" && isFinite(value) && value >= 0)
            at = Math.round(value * 1000);
        if (pair[0] === "fps" && Number.isInteger(value) && value >= 1 && value <= 1000)
            rate = value;
    });
    HEAP32[fps >> 2] = rate;
    return at;
});

EM_JS(void, markStillFrameDrawn, (), { document.title = document.title + " [still]"; });

// Whether the address asks for the frame log: "framelog=1" after the "#" or the "?".
EM_JS(int, frameLogAsked, (), {
    var parts = (window.location.hash.replace(/^#/, "") + "&" +
                 window.location.search.replace(/^\?/, "")).split("&");
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

int webStillFrameWanted(int64_t* micros, int* fps) {
    int rate = 60;
    const double at = stillFrameMicros(&rate);
    if (at < 0) return 0;
    if (micros) *micros = static_cast<int64_t>(at);
    if (fps) *fps = rate;
    return 1;
}

void webStillFrameDrawn() { markStillFrameDrawn(); }

int webInFrameLoop() { return inFrame ? 1 : 0; }

int platformFrameLogWanted() { return frameLogAsked(); }

void platformLogFrame(const char* line) { logFrameToConsole(line); }
