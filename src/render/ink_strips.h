// Squares of mostly black pictures drawn additively, sent as the strips of them that hold ink.
// A square facing the eye with the whole picture on it (texture coordinates 0 to 1) is cut into
// rows, and each row into its runs of grid cells that can sample something other than black;
// the rest would add nothing. The pieces share their grid lines, so they cover exactly the
// pixels the whole square covers, with the same texture coordinates. Sprites of additive slots
// are drawn this way.
#pragma once

#include "assets/texture_ink.h"

// Pieces per side of the square.
constexpr int INK_STRIP_PIECES = 32;
// Different pictures whose strips are kept; a picture past these is drawn whole.
constexpr int INK_STRIP_PLANS = 32;

struct InkStrips;

// The strips of the picture summarised by `ink`, planned at its first use into a fixed pool;
// null when the picture has no summary, is mostly ink (the whole square is then cheaper), is too
// ragged, or the pool is full. Only for additive drawing without a fog that tints black.
const InkStrips* inkStripsOf(const TextureInk* ink);

// Writes into the open GL_QUADS batch the square from (x - s, y - s) to (x + s, y + s) at depth
// z, as emitQuadVertices lays it out, with the colour (r, g, b, 1): whole when `strips` is
// null, otherwise its strips in rows no thinner than the square's height on the screen
// (`screenHeight`, where the screen is 2 high) affords.
void emitInkSquare(const InkStrips* strips, float x, float y, float z, float s,
                   double screenHeight, float r, float g, float b);
