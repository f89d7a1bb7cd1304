// Pictures drawn smaller than the page's canvas. A browser shows a WebGL canvas by copying its
// drawing buffer onto the page, and without a GPU that copy of every frame costs in proportion
// to the buffer's pixels. So a smaller picture is drawn into the canvas itself, its drawing
// buffer made smaller in the window's own shape (the bars included), and the page's style keeps
// the canvas as large as the window: the browser scales it up with linear filtering. At the
// canvas's own size nothing changes.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>

#include "platform/fixed_function/fixed_function_gl.h"
#include "platform/platform.h"

namespace {

// The canvas's full drawing-buffer size: its place on the page in device pixels.
EM_JS(void, fullCanvasSize, (int* width, int* height), {
    var canvas = Module.canvas;
    var scale = window.devicePixelRatio || 1;
    HEAP32[width >> 2] = Math.max(1, Math.round(canvas.clientWidth * scale));
    HEAP32[height >> 2] = Math.max(1, Math.round(canvas.clientHeight * scale));
});

EM_JS(void, sizeCanvas, (int width, int height), {
    var canvas = Module.canvas;
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
});

}  // namespace

int platformBeginScaledPicture(int width, int height, int, ScaledSurface* surface) {
    int fullWidth = 1, fullHeight = 1;
    fullCanvasSize(&fullWidth, &fullHeight);
    // The height of the largest 4:3 picture the full canvas holds.
    const int fullPicture = std::min(fullHeight, (fullWidth * 3 + 2) / 4);
    fixedgl::glFlush();  // what the layer still holds goes to the canvas at its size so far
    if (width < 1 || height < 1 || height >= fullPicture) {
        sizeCanvas(fullWidth, fullHeight);
        return 0;
    }
    const double scale = static_cast<double>(height) / fullPicture;
    surface->width = std::max(1, static_cast<int>(std::lround(fullWidth * scale)));
    surface->height = std::max(1, static_cast<int>(std::lround(fullHeight * scale)));
    surface->samples = platformSamples();
    sizeCanvas(surface->width, surface->height);
    return 1;
}

void platformEndScaledPicture(int, int, int, int) { fixedgl::glFlush(); }
