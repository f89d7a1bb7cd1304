// Where a texture is empty. When a slot's picture is loaded, its texels are summarised on a
// grid of 64 x 64 cells: a cell is dark when every texel in it is black, and clear when every
// texel is white. Drawing asks whether a range of texture coordinates can only ever sample dark
// (or clear) texels, with the bilinear filter's neighbours and the wrap-around included: an
// additive quad that samples only black adds nothing, and a multiplying one that samples only
// white at full level changes nothing, so neither needs drawing.
#pragma once

#include <cstdint>

#include "assets/texture_table.h"

// Cells per side of a picture's summary.
constexpr int INK_GRID = 64;
// Summaries the pool holds, one per slot picture: the demo loads about eighty, and a summary
// is never reused, since a table loaded earlier may still point to it.
constexpr int INK_SUMMARIES = 1024;

struct TextureInk {
    int32_t width, height;      // the summarised picture's size in texels
    uint64_t dark[INK_GRID];    // per row, bit c: every texel of cell c is black
    uint64_t clear[INK_GRID];   // bit c: every texel of cell c is white
};
static_assert(INK_GRID == 64, "a row of cells is one 64-bit word");

enum InkTest { INK_DARK, INK_CLEAR };

// Summarises a picture (rows as uploaded) into the next summary of a fixed pool; null when the
// pool is used up or the picture has fewer texels than cells on a side.
const TextureInk* summariseTextureInk(const Picture* picture);
// 1 when every texel that linear filtering with wrap-around can read for texture coordinates
// in [u1, u2] x [v1, v2] (in either order) is black (INK_DARK) or white (INK_CLEAR); 0 when
// not, or when there is no summary.
int textureRangeIs(const TextureInk* ink, InkTest test, float u1, float v1, float u2, float v2);
