// Texture summaries for skipping drawing that cannot change the picture. The summary keeps,
// per cell, whether all its texels are black and whether all are white; a question about a
// range of texture coordinates turns the range into the texels the linear filter may read
// (with a little slack for rounding in the interpolation),
// wraps them around the texture as GL_REPEAT does, and asks every cell they touch. Pictures
// smaller than the grid, and slots without a summary, never count as empty. The summaries
// come from a fixed pool filled at load time and never emptied.
#include "assets/texture_ink.h"

#include <cmath>
#include <utility>

namespace {

TextureInk summaries[INK_SUMMARIES];
int summaryCount = 0;

// The first cell and the number of cells a range of texture coordinates touches along one side
// of `size` texels, wrapped; false when the range covers the side more than once over.
bool cellSpan(double t1, double t2, int32_t size, int* first, int* count) {
    if (t2 < t1) std::swap(t1, t2);
    // Texel centres sit at i + 0.5; the filter reads floor(t - 0.5) and the one after it. The
    // interpolated coordinates may stray from the range by rounding, far less than the slack.
    constexpr double slack = 1.0 / 64;
    const double lo = std::floor(t1 * size - 0.5 - slack);
    const double hi = std::floor(t2 * size - 0.5 + slack) + 1.0;
    if (!(hi - lo < size)) return false;  // also for values that are not finite
    const int32_t cellSize = size / INK_GRID;
    const int64_t loTexel = static_cast<int64_t>(lo);
    const int64_t wrapped = ((loTexel % size) + size) % size;
    const int64_t last = wrapped + static_cast<int64_t>(hi - lo);
    *first = static_cast<int>(wrapped / cellSize);
    *count = static_cast<int>(last / cellSize - wrapped / cellSize + 1);
    return true;
}

}  // namespace

const TextureInk* summariseTextureInk(const Picture* picture) {
    if (summaryCount >= INK_SUMMARIES || !picture || !picture->pixels ||
        picture->width < INK_GRID || picture->height < INK_GRID)
        return nullptr;
    TextureInk& ink = summaries[summaryCount++];
    const int32_t cellWidth = picture->width / INK_GRID;
    const int32_t cellHeight = picture->height / INK_GRID;
    for (int row = 0; row < INK_GRID; ++row) {
        ink.dark[row] = ink.clear[row] = 0;
        for (int column = 0; column < INK_GRID; ++column) {
            bool dark = true, clear = true;
            for (int32_t y = row * cellHeight; y < (row + 1) * cellHeight; ++y) {
                const uint8_t* p =
                    picture->pixels +
                    (static_cast<size_t>(y) * picture->width + column * cellWidth) * 3;
                for (int32_t i = 0; i < cellWidth * 3; ++i) {
                    dark = dark && p[i] == 0;
                    clear = clear && p[i] == 255;
                }
            }
            ink.dark[row] |= static_cast<uint64_t>(dark) << column;
            ink.clear[row] |= static_cast<uint64_t>(clear) << column;
        }
    }
    ink.width = picture->width;
    ink.height = picture->height;
    return &ink;
}

int textureRangeIs(const TextureInk* ink, InkTest test, float u1, float v1, float u2, float v2) {
    if (!ink) return 0;
    int firstColumn, columns, firstRow, rows;
    if (!cellSpan(u1, u2, ink->width, &firstColumn, &columns) ||
        !cellSpan(v1, v2, ink->height, &firstRow, &rows))
        return 0;
    const auto& cells = test == INK_DARK ? ink->dark : ink->clear;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (!(cells[(firstRow + r) % INK_GRID] >> ((firstColumn + c) % INK_GRID) & 1)) return 0;
    return 1;
}
