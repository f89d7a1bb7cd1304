// Squares of mostly black pictures drawn additively, drawn only where they hold ink. A square
// facing the eye with the whole picture on it (texture coordinates 0 to 1) is cut into rows,
// and each row into its runs of grid cells that can sample something other than black; the
// rest would add nothing. The whole square is drawn once for each such strip, with the scissor
// shut to the strip's pixels (the strips never share a pixel): every pixel drawn is drawn by
// the very triangles of the whole square, so it gets exactly the value the whole square gives
// it, while the pixels over black cells are not drawn at all. Sprites of additive slots are
// drawn this way.
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

// A rectangle of window pixels, from its bottom left corner.
struct PixelBox {
    int x, y, width, height;
};

// Writes into the open GL_QUADS batch the square from (x - s, y - s) to (x + s, y + s) at depth
// z, as emitQuadVertices lays it out, with the colour (r, g, b, 1).
void emitInkSquare(float x, float y, float z, float s, float r, float g, float b);
// The rows a square is cut into (a power of two up to INK_STRIP_PIECES): as many as its height
// on the screen (`screenHeight`, where the screen is 2 high) affords, since every strip costs a
// draw of its own; 1 (drawn whole) without strips.
int inkStripRows(const InkStrips* strips, double screenHeight);
// Whether a square of this height on the screen is large enough to be cut into strips, and so
// drawn in a draw of its own whether its picture has strips or not: a rasterizer may round the
// corners of a square drawn alone a hair differently from one drawn among others, and a square
// drawn in strips is always drawn alone.
int drawnApart(double screenHeight);
// Draws the square (as emitInkSquare has it) once for every strip of it in `rows` rows that
// holds ink, with the scissor shut to that strip within `picture`, the window pixels of the
// picture; `focal` maps an eye-space x or y over -z onto the picture's -1 to 1. No batch may
// be open; the scissor is on `picture` again afterwards.
void drawInkStrips(const InkStrips* strips, int rows, float x, float y, float z, float s,
                   double focal, const PixelBox& picture, float r, float g, float b);
