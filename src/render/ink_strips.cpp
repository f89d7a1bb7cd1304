// Ink strips. A plan holds, for every row height from one cell to the whole square, the runs of
// inked cells in each row; drawing picks the row height from the square's size on the screen,
// since thin strips cost the rasterizer more per pixel than they save. Plans come from a fixed
// pool filled as pictures are first drawn and never emptied, so no frame allocates.
#include "render/ink_strips.h"

#include <cstdint>

#include "render/vertex_batches.h"

namespace {

constexpr int ROW_CHOICES = 6;  // rows of 1, 2, 4, 8, 16 or 32 cells
constexpr int MAX_RUNS = INK_STRIP_PIECES / 2;
// Least height of a strip on the screen (which is 2 high).
constexpr double LEAST_STRIP_HEIGHT = 0.12;

static_assert(INK_STRIP_PIECES == 1 << (ROW_CHOICES - 1), "one row choice per power of two");
static_assert(INK_STRIP_PIECES <= 32, "a row of cells is one 32-bit word");

struct StripRun {
    int8_t first, last;  // columns of the cells, inclusive
};

// The strips of one row height: row r spans cell rows r * height to (r + 1) * height - 1.
struct StripRows {
    int8_t runCount[INK_STRIP_PIECES];
    StripRun runs[INK_STRIP_PIECES][MAX_RUNS];  // per row, left to right
};

}  // namespace

struct InkStrips {
    StripRows rows[ROW_CHOICES];  // [k]: rows of 2^k cells
};

namespace {

struct Plan {
    const TextureInk* ink;
    bool split;
    InkStrips strips;
};

Plan plans[INK_STRIP_PLANS];
int planCount = 0;

// Fills `strips` for the picture; false when more than half the cells hold ink or a row has
// more runs than MAX_RUNS.
bool planStrips(const TextureInk* ink, InkStrips* strips) {
    constexpr float step = 1.0f / INK_STRIP_PIECES;
    uint32_t inkedCells[INK_STRIP_PIECES];  // per cell row, bit c: cell c may sample ink
    int inked = 0;
    for (int row = 0; row < INK_STRIP_PIECES; ++row) {
        inkedCells[row] = 0;
        for (int column = 0; column < INK_STRIP_PIECES; ++column) {
            if (textureRangeIs(ink, INK_DARK, column * step, row * step, (column + 1) * step,
                               (row + 1) * step))
                continue;
            inkedCells[row] |= 1u << column;
            ++inked;
        }
    }
    if (inked * 2 > INK_STRIP_PIECES * INK_STRIP_PIECES) return false;
    for (int k = 0; k < ROW_CHOICES; ++k) {
        const int height = 1 << k;
        StripRows& rows = strips->rows[k];
        for (int row = 0; row * height < INK_STRIP_PIECES; ++row) {
            uint32_t cells = 0;
            for (int r = row * height; r < (row + 1) * height; ++r) cells |= inkedCells[r];
            int8_t& count = rows.runCount[row];
            count = 0;
            for (int column = 0; column < INK_STRIP_PIECES;) {
                if (!(cells >> column & 1)) {
                    ++column;
                    continue;
                }
                int last = column;
                while (last + 1 < INK_STRIP_PIECES && (cells >> (last + 1) & 1)) ++last;
                if (count == MAX_RUNS) return false;
                rows.runs[row][count++] = {static_cast<int8_t>(column), static_cast<int8_t>(last)};
                column = last + 1;
            }
        }
    }
    return true;
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

void emitInkSquare(const InkStrips* strips, float x, float y, float z, float s,
                   double screenHeight, float r, float g, float b) {
    // Rows of at least the least strip height on the screen, a power of two of them.
    int rowChoice = 0;
    if (strips) {
        while (rowChoice + 1 < ROW_CHOICES &&
               screenHeight / (1 << (rowChoice + 1)) >= LEAST_STRIP_HEIGHT)
            ++rowChoice;
    }
    const int rowCount = INK_STRIP_PIECES >> (ROW_CHOICES - 1 - rowChoice);
    if (rowCount <= 1) {
        emitColouredQuad(x - s, y - s, x + s, y + s, z, 0.0f, 0.0f, 1.0f, 1.0f, r, g, b);
        return;
    }
    const StripRows& rows = strips->rows[ROW_CHOICES - 1 - rowChoice];
    // Grid lines shared by neighbouring pieces, so the pieces meet without gaps; the outer ones
    // are the square's own edges.
    float xs[INK_STRIP_PIECES + 1], ys[INK_STRIP_PIECES + 1];
    for (int k = 0; k <= INK_STRIP_PIECES; ++k) {
        const double f = static_cast<double>(k) / INK_STRIP_PIECES;
        xs[k] = static_cast<float>((x - s) + 2.0 * s * f);
        ys[k] = static_cast<float>((y - s) + 2.0 * s * f);
    }
    xs[0] = x - s, xs[INK_STRIP_PIECES] = x + s;
    ys[0] = y - s, ys[INK_STRIP_PIECES] = y + s;
    constexpr float step = 1.0f / INK_STRIP_PIECES;
    const int height = INK_STRIP_PIECES / rowCount;
    for (int row = 0; row < rowCount; ++row) {
        const int top = row * height, bottom = top + height;
        for (int k = 0; k < rows.runCount[row]; ++k) {
            const int first = rows.runs[row][k].first, end = rows.runs[row][k].last + 1;
            emitColouredQuad(xs[first], ys[top], xs[end], ys[bottom], z, first * step,
                             top * step, end * step, bottom * step, r, g, b);
        }
    }
}
