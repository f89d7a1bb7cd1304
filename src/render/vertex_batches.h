// Geometry goes to OpenGL in batches of vertex arrays: the drawing code writes whole primitives
// into one fixed buffer and the batch draws them with glDrawArrays when it is full or ended.
// One batch is open at a time. What a batch does not send per vertex (colour, texture
// coordinate) comes from GL's current values, which the drawing code sets itself just before;
// no drawing relies on what an earlier batch left current.
#pragma once

#include <cstdint>

// One vertex as the batches send it: position, texture coordinate, colour (red, green, blue,
// alpha). Fields a batch does not send are not read.
struct DrawVertex {
    float x, y, z;
    float u, v;
    float r, g, b, a;
};

// Vertices one batch holds before it draws; a multiple of 3, 4 and 8, so whole triangles,
// quads and the wire overlay's eight-vertex groups fill it exactly.
constexpr int32_t BATCH_VERTICES = 24576;

// What a batch sends per vertex besides the position; the rest comes from the current values.
enum BatchAttributes : int {
    BATCH_POSITION = 0,
    BATCH_TEXCOORD = 1,
    BATCH_COLOUR = 2,
};

// Opens a batch of primitives of the GL `mode` (GL_TRIANGLES, GL_QUADS, GL_LINES).
void beginBatch(uint32_t mode, int attributes);
// Room for `count` more vertices (one or more whole primitives, at most BATCH_VERTICES),
// drawing what the batch holds first when they would not fit.
DrawVertex* reserveBatchVertices(int32_t count);
// Draws what is left.
void endBatch();
// One quad in its own batch, as emitQuadVertices lays it out, with the current colour.
void drawQuad(float x1, float y1, float x2, float y2, float z, float u1, float v1, float u2,
              float v2);
// The corners (x1, y1), (x2, y1), (x2, y2), (x1, y2), in this order, with the texture
// coordinates (u1, v1), (u2, v1), (u2, v2), (u1, v2).
void emitQuadVertices(DrawVertex* out, float x1, float y1, float x2, float y2, float z, float u1,
                      float v1, float u2, float v2);
