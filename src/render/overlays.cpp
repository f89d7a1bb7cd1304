// Render states and full-screen overlays. Every drawing operation starts from the small state
// vocabulary here (bind, opaque or translucent slot state, reset), and the compositions lay
// Layers, fades and the tile mask over the 3D picture with it. The overlays sit at depth -1 under
// a 90-degree projection of aspect 1, which maps x and y in [-1, 1] exactly onto the viewport.
// Translucent drawing blends with (source alpha, source alpha): the picture is scaled by alpha
// and the surface adds its colour times alpha, which for alpha 1 is a plain additive blend.
// Layer cells that can only add black, or multiply by white at full level, are not sent.
#include "render/overlays.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "assets/demo_numbers.h"
#include "assets/texture_ink.h"
#include "platform/opengl.h"
#include "render/pass_probe.h"
#include "render/render_globals.h"
#include "render/vertex_batches.h"

// The mask covers the screen with 2 rows of 4 tiles.
constexpr int TILE_COUNT = 8;

// ---- Render states ----

void bindTexture(uint32_t glName) { glBindTexture(GL_TEXTURE_2D, glName); }

void applySlotState(const TextureSlot* slot) {
    bindTexture(slot->glName);
    if (slot->translucency != 0.0f) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
        glDepthMask(GL_FALSE);
        glDisable(GL_CULL_FACE);
        glColor4f(1.0f, 1.0f, 1.0f, slot->translucency);
    } else {
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glEnable(GL_CULL_FACE);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
}

void resetDrawState() {
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void disableFog() {
    glDisable(GL_FOG);
    fogOn = 0;
    fogTintsBlack = 0;
}

void overlayProjection() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 1.0, 100000.0);
}

// ---- Tile mask ----

void drawMaskTile(float x1, float y1, float x2, float y2, float z) {
    applySlotState(&textureTable[TILE_MASK_SLOT]);  // black, translucent
    // The tile adds black, so only its depth stays behind and blocks later drawing.
    glDepthMask(GL_TRUE);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    drawQuad(x1, y1, x2, y2, z, 0.0f, 0.0f, 0.0f, 0.0f);
}

void drawTileMask(int n) {
    if (n < 0) n = 0;
    if (n > TILE_COUNT) n = TILE_COUNT;
    announceDrawPass(PASS_TILE_MASK, 0);
    overlayProjection();
    // Tiles uncover bottom row left to right, then top row left to right.
    for (int k = 0; k < TILE_COUNT; ++k) {
        if (n > k) continue;
        const int column = k % 4;
        const int row = k / 4;
        const float x1 = -1.0f + 0.5f * static_cast<float>(column);
        const float y1 = row == 0 ? -1.0f : 0.0f;
        drawMaskTile(x1, y1, x1 + 0.5f, y1 + 1.0f, -1.0f);
    }
    glDepthFunc(GL_LESS);
}

// ---- Layers ----

namespace {

enum LayerBlend { LAYER_ADD, LAYER_MULTIPLY };
enum LayerPlacement { LAYER_SCALE, LAYER_SHIFT };

void placeLayerVertex(DrawVertex* out, const LayerVertex& v, LayerPlacement placement, float kx,
                      float ky, float kz) {
    if (placement == LAYER_SCALE)
        *out = {kx * v.x, ky * v.y, kz * v.z, v.u, v.v, 0, 0, 0, 0};
    else
        *out = {kx + v.x, ky + v.y, kz + v.z, v.u, v.v, 0, 0, 0, 0};
}

// Whether a grid cell samples only `empty` texels: every fragment's texture coordinate lies
// within the box of its four corners'.
bool cellIsEmpty(const TextureInk* ink, InkTest empty, const LayerVertex* const corners[4]) {
    float u1 = corners[0]->u, u2 = u1, v1 = corners[0]->v, v2 = v1;
    for (int k = 1; k < 4; ++k) {
        u1 = std::min(u1, corners[k]->u);
        u2 = std::max(u2, corners[k]->u);
        v1 = std::min(v1, corners[k]->v);
        v2 = std::max(v2, corners[k]->v);
    }
    return textureRangeIs(ink, empty, u1, v1, u2, v2) != 0;
}

// The Layer's index in the LayerTable, or -1 for a Layer of its own.
int32_t layerIndex(const Layer* layer) {
    const auto at = reinterpret_cast<uintptr_t>(layer);
    const auto first = reinterpret_cast<uintptr_t>(layerTable);
    if (!layerTable || at < first || at >= first + LAYER_COUNT * sizeof(Layer)) return -1;
    return static_cast<int32_t>((at - first) / sizeof(Layer));
}

// The one body of the four Layer operations; (kx, ky, kz) are scale factors or offsets.
void drawLayer(Layer* layer, float a, float kx, float ky, float kz, float t, LayerBlend blend,
               LayerPlacement placement) {
    if (a == 0.0f || std::isnan(a)) return;  // nothing drawn, deformer not called
    // A slot outside the table has no texture to draw with.
    if (layer->textureSlot < 0 || layer->textureSlot >= TEXTURE_SLOTS) return;

    if (drawPassProbe) drawPassProbe(PASS_LAYER, layerIndex(layer));
    overlayProjection();
    bindTexture(textureTable[layer->textureSlot].glName);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    if (blend == LAYER_ADD) {
        glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
        glColor4f(a, a, a, 1.0f);
    } else {
        // The picture is multiplied by texel times a.
        glBlendFunc(GL_ZERO, GL_SRC_COLOR);
        glColor4f(a, a, a, a);
    }
    glDepthMask(GL_FALSE);
    glNormal3f(0.0f, 0.0f, 0.0f);

    LayerVertex* vertices = layer->vertices;
    const int32_t count = vertices ? layer->vertexCount : 0;
    if (layer->deformer)
        for (int32_t i = 0; i < count; ++i) layer->deformer(&vertices[i], t);

    // Quads only where the whole grid lies inside the vertex array.
    const int32_t columns = layer->columns;
    const int32_t rows = layer->rows;
    const bool gridFits = columns > 0 && rows > 0 &&
                          static_cast<int64_t>(columns) * rows <= static_cast<int64_t>(count);
    if (gridFits) {
        // A cell that can only sample black adds nothing; one that can only sample white, at
        // full level, multiplies by one. Neither is sent.
        const InkTest empty = blend == LAYER_ADD ? INK_DARK : INK_CLEAR;
        const bool skipEmpty = blend == LAYER_ADD ? !fogTintsBlack : !fogOn && a == 1.0f;
        const TextureInk* ink = skipEmpty ? textureTable[layer->textureSlot].ink : nullptr;
        beginBatch(GL_QUADS, BATCH_TEXCOORD);
        for (int32_t i = 0; i + 1 < rows; ++i) {
            const LayerVertex* row = vertices + i * columns;
            const LayerVertex* next = row + columns;
            for (int32_t j = 0; j + 1 < columns; ++j) {
                const LayerVertex* const corners[4] = {&row[j], &row[j + 1], &next[j + 1],
                                                       &next[j]};
                if (ink && cellIsEmpty(ink, empty, corners)) continue;
                DrawVertex* quad = reserveBatchVertices(4);
                for (int k = 0; k < 4; ++k)
                    placeLayerVertex(&quad[k], *corners[k], placement, kx, ky, kz);
            }
        }
        endBatch();
    }

    glDisable(GL_BLEND);
    if (blend == LAYER_MULTIPLY) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    resetDrawState();
}

}  // namespace

void drawLayerScaled(Layer* layer, float brightness, float sx, float sy, float sz, float time) {
    drawLayer(layer, brightness, sx, sy, sz, time, LAYER_ADD, LAYER_SCALE);
}

void drawLayerShifted(Layer* layer, float brightness, float dx, float dy, float dz, float time) {
    drawLayer(layer, brightness, dx, dy, dz, time, LAYER_ADD, LAYER_SHIFT);
}

void drawLayerScaledMultiply(Layer* layer, float brightness, float sx, float sy, float sz,
                             float time) {
    drawLayer(layer, brightness, sx, sy, sz, time, LAYER_MULTIPLY, LAYER_SCALE);
}

void drawLayerShiftedMultiply(Layer* layer, float brightness, float dx, float dy, float dz,
                              float time) {
    drawLayer(layer, brightness, dx, dy, dz, time, LAYER_MULTIPLY, LAYER_SHIFT);
}

// ---- Fades ----

namespace {

// One untextured quad over the whole viewport with the depth test off, blended as given.
void drawFullScreenBlend(GLenum sourceFactor, GLenum destinationFactor, float r, float g, float b,
                         float a) {
    glPushAttrib(GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT | GL_LIGHTING_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 1.0, 100000.0);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(sourceFactor, destinationFactor);
    glColor4f(r, g, b, a);
    glDepthMask(GL_FALSE);
    glNormal3f(0.0f, 0.0f, 0.0f);
    // Texturing is off: the quad sends positions alone and leaves the texture coordinate be.
    beginBatch(GL_QUADS, BATCH_POSITION);
    emitQuadVertices(reserveBatchVertices(4), -1.0f, -1.0f, 1.0f, 1.0f, -1.0f, 0, 0, 0, 0);
    endBatch();
    glDisable(GL_BLEND);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    resetDrawState();
}

}  // namespace

void fadeToBlack(float x) {
    if (!(x < 1.0f)) return;  // also leaves the picture alone for a value that is not a number
    if (x < 0.0f) x = 0.0f;
    announceDrawPass(PASS_FADE_BLACK, 0);
    drawFullScreenBlend(GL_ZERO, GL_SRC_COLOR, x, x, x, x);
}

void fadeToWhite(float x) {
    if (!(x > 0.0f)) return;
    if (x > 1.0f) x = 1.0f;
    announceDrawPass(PASS_FADE_WHITE, 0);
    drawFullScreenBlend(GL_SRC_ALPHA, GL_SRC_ALPHA, x, x, x, 1.0f);
}
