// Layers: flat textured grids of vertices drawn in front of the viewer (logos, text pictures,
// one rippling surface). Each carries a deformer that turns every vertex's base position and a
// time into its drawn position just before the Layer is drawn.
#pragma once

#include <cstdint>

struct LayerVertex {
    float baseX, baseY, baseZ;  // rest position, set once
    float x, y, z;              // drawn position, written by the deformer
    float u, v;
    float spare;
};
static_assert(sizeof(LayerVertex) == 9 * sizeof(float));

using Deformer = void (*)(LayerVertex* vertex, float time);

struct Layer {
    int32_t columns;
    int32_t rows;
    int32_t vertexCount;
    LayerVertex* vertices;  // row by row: row i, column j at i * columns + j
    int32_t textureSlot;
    Deformer deformer;
};

constexpr int LAYER_COUNT = 1024;
// The LayerTable, allocated zero-filled by allocateTables (asset_tables.h).
extern Layer* layerTable;

// Fills a columns x rows grid from (x1, y1) to (x2, y2) at depth z, texture coordinates from
// (u1, v1) to (u2, v2). 1 on success, 0 when the grid is smaller than 2 x 2 or cannot be
// allocated.
int createLayer(Layer* layer, float x1, float y1, float x2, float y2, float z, float u1, float v1,
                float u2, float v2, int32_t columns, int32_t rows, int32_t textureSlot,
                Deformer deformer);

// ---- Deformers ----

void deformStill(LayerVertex* vertex, float time);
void deformWobble(LayerVertex* vertex, float time);
void deformDrift(LayerVertex* vertex, float time);
void deformRipple(LayerVertex* vertex, float time);
