// Ink strips. A plan holds, for each row of the 32 x 32 grid over a picture, the cells that can
// sample something other than black. Drawing a square walks its pixel rows: a row takes the
// cells of the grid rows its pixel centres lie in (and of any grid row within a hair of them),
// and its pixels are those whose centres lie in such a cell or within a hair of one. Rows with
// the same cells make one scissor box per run of cells; the boxes never overlap, so no pixel is
// drawn twice, and every pixel left out lies wholly over black, where the whole square adds
// nothing. Rows of cells are grouped coarser the smaller the square is on the screen, since
// every box costs a draw of its own. Plans come from a fixed pool filled as pictures are first
// drawn and never emptied, so no frame allocates.
#include "render/ink_strips.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/opengl.h"
#include "render/vertex_batches.h"

namespace {

constexpr int ROW_CHOICES = 6;  // grid rows of 1, 2, 4, 8, 16 or 32 cells
constexpr int MAX_RUNS = INK_STRIP_PIECES / 2;
// Least height of a row of boxes on the screen (which is 2 high).
constexpr double LEAST_STRIP_HEIGHT = 0.12;
// How far, in grid cells, a pixel centre may lie outside a cell and still count as in it: far
// more than the rounding of any rasterizer's texture coordinates, far less than a pixel.
constexpr double CELL_MARGIN = 1e-3;

static_assert(INK_STRIP_PIECES == 1 << (ROW_CHOICES - 1), "one row choice per power of two");
static_assert(INK_STRIP_PIECES <= 32, "a row of cells is one 32-bit word");

}  // namespace

struct InkStrips {
    uint32_t inkedCells[INK_STRIP_PIECES];  // per grid row, bit c: cell c may sample ink
};

namespace {

struct Plan {
    const TextureInk* ink;
    bool split;
    InkStrips strips;
};

Plan plans[INK_STRIP_PLANS];
int planCount = 0;

// Runs of set bits in a row of cells.
int runCount(uint32_t cells) {
    int runs = 0;
    for (int column = 0; column < INK_STRIP_PIECES; ++column)
        if ((cells >> column & 1) && (column == 0 || !(cells >> (column - 1) & 1))) ++runs;
    return runs;
}

// Fills `strips` for the picture; false when more than half the cells hold ink or a row has
// more runs than MAX_RUNS.
bool planStrips(const TextureInk* ink, InkStrips* strips) {
    constexpr float step = 1.0f / INK_STRIP_PIECES;
    int inked = 0;
    for (int row = 0; row < INK_STRIP_PIECES; ++row) {
        uint32_t& cells = strips->inkedCells[row];
        cells = 0;
        for (int column = 0; column < INK_STRIP_PIECES; ++column) {
            if (textureRangeIs(ink, INK_DARK, column * step, row * step, (column + 1) * step,
                               (row + 1) * step))
                continue;
            cells |= 1u << column;
            ++inked;
        }
        if (runCount(cells) > MAX_RUNS) return false;
    }
    return inked * 2 <= INK_STRIP_PIECES * INK_STRIP_PIECES;
}

// One quad into the open batch, as emitQuadVertices lays it out, with the colour (r, g, b, 1).
void emitColouredQuad(float x1, float y1, float x2, float y2, float z, float u1, float v1,
                      float u2, float v2, float r, float g, float b) {
    DrawVertex* quad = reserveBatchVertices(4);
    emitQuadVertices(quad, x1, y1, x2, y2, z, u1, v1, u2, v2);
    for (int c = 0; c < 4; ++c) {
        quad[c].r = r;
        quad[c].g = g;
        quad[c].b = b;
        quad[c].a = 1.0f;
    }
}

// The grid laid over the square on the screen: window pixels of grid line k (0 to
// INK_STRIP_PIECES) across and up, which run straight with k since the square faces the eye.
struct ScreenGrid {
    double x0, xStep;  // window x of line k: x0 + k xStep
    double y0, yStep;
};

// The first and last pixel (inclusive) whose centres lie between grid lines a and b, or within
// CELL_MARGIN of them.
void pixelsBetween(double origin, double step, int a, int b, int* first, int* last) {
    const double from = origin + step * (a - CELL_MARGIN);
    const double to = origin + step * (b + CELL_MARGIN);
    *first = static_cast<int>(std::ceil(std::min(from, to) - 0.5));
    *last = static_cast<int>(std::floor(std::max(from, to) - 0.5));
}

// The grid cells whose rows a pixel row's centre lies in or within CELL_MARGIN of, with grid
// rows grouped `height` at a time.
uint32_t cellsOfPixelRow(const InkStrips* strips, const ScreenGrid& grid, int height, int py) {
    const double v = (py + 0.5 - grid.y0) / grid.yStep;  // in grid rows
    const int low = std::max(static_cast<int>(std::floor(v - CELL_MARGIN)), 0);
    const int high = std::min(static_cast<int>(std::floor(v + CELL_MARGIN)), INK_STRIP_PIECES - 1);
    uint32_t cells = 0;
    for (int group = low / height; group <= high / height; ++group)
        for (int r = group * height; r < (group + 1) * height; ++r) cells |= strips->inkedCells[r];
    return cells;
}

// Draws the square once for every run of cells in `cells`, over pixel rows `bottom` to `top`
// (inclusive), with the scissor on each run's pixels within the picture.
void drawRuns(uint32_t cells, int bottom, int top, const ScreenGrid& grid, const PixelBox& picture,
              float x, float y, float z, float s, float r, float g, float b) {
    const int low = std::max(bottom, picture.y);
    const int high = std::min(top, picture.y + picture.height - 1);
    if (low > high) return;
    for (int column = 0; column < INK_STRIP_PIECES;) {
        if (!(cells >> column & 1)) {
            ++column;
            continue;
        }
        int last = column;
        while (last + 1 < INK_STRIP_PIECES && (cells >> (last + 1) & 1)) ++last;
        int first = 0, end = 0;
        pixelsBetween(grid.x0, grid.xStep, column, last + 1, &first, &end);
        first = std::max(first, picture.x);
        end = std::min(end, picture.x + picture.width - 1);
        if (first <= end) {
            glScissor(first, low, end - first + 1, high - low + 1);
            beginBatch(GL_QUADS, BATCH_TEXCOORD | BATCH_COLOUR);
            emitInkSquare(x, y, z, s, r, g, b);
            endBatch();
        }
        column = last + 1;
    }
}

}  // namespace

const InkStrips* inkStripsOf(const TextureInk* ink) {
    if (!ink) return nullptr;
    for (int i = 0; i < planCount; ++i)
        if (plans[i].ink == ink) return plans[i].split ? &plans[i].strips : nullptr;
    if (planCount == INK_STRIP_PLANS) return nullptr;
    Plan& plan = plans[planCount++];
    plan.ink = ink;
    plan.split = planStrips(ink, &plan.strips);
    return plan.split ? &plan.strips : nullptr;
}

void emitInkSquare(float x, float y, float z, float s, float r, float g, float b) {
    emitColouredQuad(x - s, y - s, x + s, y + s, z, 0.0f, 0.0f, 1.0f, 1.0f, r, g, b);
}

int drawnApart(double screenHeight) { return screenHeight >= 2.0 * LEAST_STRIP_HEIGHT; }

int inkStripRows(const InkStrips* strips, double screenHeight) {
    if (!strips) return 1;
    // Rows of at least the least strip height on the screen, a power of two of them.
    int rowChoice = 0;
    while (rowChoice + 1 < ROW_CHOICES &&
           screenHeight / (1 << (rowChoice + 1)) >= LEAST_STRIP_HEIGHT)
        ++rowChoice;
    return INK_STRIP_PIECES >> (ROW_CHOICES - 1 - rowChoice);
}

void drawInkStrips(const InkStrips* strips, int rows, float x, float y, float z, float s,
                   double focal, const PixelBox& picture, float r, float g, float b) {
    // Eye-space x or y over -z, times the focal length, is -1 to 1 across the picture.
    const double perLine = 2.0 * s / INK_STRIP_PIECES * focal / -z;
    const ScreenGrid grid{picture.x + (focal * (x - s) / -z + 1.0) * 0.5 * picture.width,
                          perLine * 0.5 * picture.width,
                          picture.y + (focal * (y - s) / -z + 1.0) * 0.5 * picture.height,
                          perLine * 0.5 * picture.height};
    const int height = INK_STRIP_PIECES / rows;
    int bottom = 0, top = 0;
    pixelsBetween(grid.y0, grid.yStep, 0, INK_STRIP_PIECES, &bottom, &top);
    bottom = std::max(bottom, picture.y);
    top = std::min(top, picture.y + picture.height - 1);
    // Pixel rows with the same cells, one box per run.
    int from = bottom;
    uint32_t cells = from <= top ? cellsOfPixelRow(strips, grid, height, from) : 0;
    for (int py = bottom + 1; py <= top + 1; ++py) {
        const uint32_t next = py <= top ? cellsOfPixelRow(strips, grid, height, py) : ~cells;
        if (next == cells) continue;
        drawRuns(cells, from, py - 1, grid, picture, x, y, z, s, r, g, b);
        from = py;
        cells = next;
    }
    glScissor(picture.x, picture.y, picture.width, picture.height);
}
