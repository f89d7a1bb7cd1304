// Layers: flat textured grids put in front of the viewer. createLayer fills the grid once with
// base positions and texture coordinates; the deformers turn a base position and a time into
// the drawn position just before every draw. A deformer reads only its own vertex's base and
// writes only its drawn position, so it is a pure function of base position and time.
#include "anim/layers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "shell/error_report.h"

Layer* layerTable = nullptr;

namespace {
constexpr double TWO_PI = 6.283185307179586;
constexpr double FIVE_PI = 15.707963267948966;
constexpr double TWENTY_PI = 62.83185307179586;
// Large enough for every Layer of the demo (at most 30 x 30), small enough that the vertex
// array size cannot overflow.
constexpr int32_t MAX_LAYER_SIDE = 4096;
}  // namespace

int createLayer(Layer* layer, float x1, float y1, float x2, float y2, float z, float u1, float v1,
                float u2, float v2, int32_t columns, int32_t rows, int32_t textureSlot,
                Deformer deformer) {
    if (layer == nullptr || columns < 2 || rows < 2 || columns > MAX_LAYER_SIDE ||
        rows > MAX_LAYER_SIDE) {
        reportError("cannot create layer: the grid needs 2 to 4096 columns and rows");
        return 0;
    }
    const int32_t count = columns * rows;
    auto* vertices = static_cast<LayerVertex*>(std::malloc(sizeof(LayerVertex) * count));
    if (vertices == nullptr) {
        reportError("cannot create layer: out of memory");
        return 0;
    }
    layer->textureSlot = textureSlot;
    layer->columns = columns;
    layer->rows = rows;
    layer->vertexCount = count;
    layer->deformer = deformer;
    layer->vertices = vertices;
    for (int32_t i = 0; i < rows; ++i) {
        const double b = static_cast<double>(i) / (rows - 1);
        for (int32_t j = 0; j < columns; ++j) {
            const double a = static_cast<double>(j) / (columns - 1);
            LayerVertex& vertex = vertices[i * columns + j];
            vertex.baseX = static_cast<float>(x1 + (static_cast<double>(x2) - x1) * a);
            vertex.baseY = static_cast<float>(y1 + (static_cast<double>(y2) - y1) * b);
            vertex.baseZ = z;
            vertex.u = static_cast<float>(u1 + (static_cast<double>(u2) - u1) * a);
            vertex.v = static_cast<float>(v1 + (static_cast<double>(v2) - v1) * b);
            vertex.spare = 0.0f;
        }
    }
    return 1;
}

void deformStill(LayerVertex* vertex, float time) {
    vertex->x = vertex->baseX;
    vertex->y = vertex->baseY;
    vertex->z = vertex->baseZ;
}

void deformWobble(LayerVertex* vertex, float time) {
    const double s = 0.001 * time;
    const double px = s + vertex->baseX;
    const double py = s + vertex->baseY;
    vertex->x = static_cast<float>(vertex->baseX + 0.03 * std::cos(TWO_PI * px) +
                                   0.04 * std::sin(TWENTY_PI * px));
    vertex->y = static_cast<float>(vertex->baseY + 0.03 * std::sin(TWO_PI * py) +
                                   0.04 * std::cos(TWENTY_PI * py));
    vertex->z = vertex->baseZ;
}

void deformDrift(LayerVertex* vertex, float time) {
    const double s = 0.01 * time;
    const double px = s + vertex->baseX;
    const double py = s + vertex->baseY;
    vertex->x = static_cast<float>(vertex->baseX +
                                   0.01 * (std::cos(TWO_PI * px) + std::sin(FIVE_PI * px)));
    vertex->y = static_cast<float>(vertex->baseY +
                                   0.01 * (std::cos(FIVE_PI * py) + std::sin(TWO_PI * py)));
    vertex->z = vertex->baseZ;
}

void deformRipple(LayerVertex* vertex, float time) {
    const double h = static_cast<float>(0.05 * time);
    const double bx = vertex->baseX, by = vertex->baseY;
    const double d1 = std::sqrt((bx - 1.0) * (bx - 1.0) + (by - 1.0) * (by - 1.0));
    const double d2 = std::sqrt((bx + 1.0) * (bx + 1.0) + (by + 1.0) * (by + 1.0));
    vertex->x = vertex->baseX;
    vertex->y = vertex->baseY;
    vertex->z = static_cast<float>(vertex->baseZ - 0.5 * std::sin(4.0 * d1 + h) -
                                   0.5 * std::cos(3.0 * d2 + h) - 1.0);
}
