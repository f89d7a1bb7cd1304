// Vertex batches. The buffer is a fixed global array, so no frame allocates; a batch that
// outgrows it is drawn in pieces, which changes nothing because every primitive is whole
// within a piece. Client-side arrays are enabled only while a batch draws, so drawing that
// sends no array never sees one.
#include "render/vertex_batches.h"

#include <cstddef>

#include "platform/opengl.h"

namespace {

DrawVertex batchVertices[BATCH_VERTICES];
int32_t batchCount = 0;
uint32_t batchMode = GL_TRIANGLES;
int batchAttributes = BATCH_POSITION;

void drawHeldVertices() {
    if (batchCount == 0) return;
    constexpr GLsizei stride = sizeof(DrawVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, &batchVertices[0].x);
    if (batchAttributes & BATCH_TEXCOORD) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, &batchVertices[0].u);
    }
    if (batchAttributes & BATCH_COLOUR) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, stride, &batchVertices[0].r);
    }
    glDrawArrays(batchMode, 0, batchCount);
    if (batchAttributes & BATCH_COLOUR) glDisableClientState(GL_COLOR_ARRAY);
    if (batchAttributes & BATCH_TEXCOORD) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    batchCount = 0;
}

}  // namespace

void beginBatch(uint32_t mode, int attributes) {
    batchMode = mode;
    batchAttributes = attributes;
    batchCount = 0;
}

DrawVertex* reserveBatchVertices(int32_t count) {
    if (batchCount + count > BATCH_VERTICES) drawHeldVertices();
    DrawVertex* out = &batchVertices[batchCount];
    batchCount += count;
    return out;
}

void endBatch() { drawHeldVertices(); }

void emitQuadVertices(DrawVertex* out, float x1, float y1, float x2, float y2, float z, float u1,
                      float v1, float u2, float v2) {
    out[0] = {x1, y1, z, u1, v1, 0, 0, 0, 0};
    out[1] = {x2, y1, z, u2, v1, 0, 0, 0, 0};
    out[2] = {x2, y2, z, u2, v2, 0, 0, 0, 0};
    out[3] = {x1, y2, z, u1, v2, 0, 0, 0, 0};
}

void drawQuad(float x1, float y1, float x2, float y2, float z, float u1, float v1, float u2,
              float v2) {
    beginBatch(GL_QUADS, BATCH_TEXCOORD);
    emitQuadVertices(reserveBatchVertices(4), x1, y1, x2, y2, z, u1, v1, u2, v2);
    endBatch();
}
