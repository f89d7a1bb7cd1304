// The composition dispatcher: each frame the main loop hands over the scene index and the
// matching scene draws its picture. Two text levels (of scenes 1 and 3) are only changed in
// some stretches of their scenes and otherwise keep what the last frame left, so they live here
// as persisting values rather than being recomputed from the time. The small helpers the
// scenes share (cuts, Layers, sprite counts, masked pictures, shutters) live here too.
#include "timeline/compositions.h"

#include "anim/layers.h"
#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "math/math3d.h"
#include "render/overlays.h"
#include "timeline/scene_schedule.h"

float lightTextLevel = 0.0f;
float neuronalTextLevel = 0.0f;

using CompositionFunction = void (*)();

static constexpr CompositionFunction COMPOSITIONS[SCENE_COMPOSITIONS] = {
    drawScene0, drawScene1, drawScene2, drawScene3, drawScene4,
    drawScene5, drawScene6, drawScene7, drawScene8,
};

void drawComposition(int index) {
    if (index < 0 || index >= SCENE_COMPOSITIONS) return;
    COMPOSITIONS[index]();
}

void resetCompositionState() {
    lightTextLevel = 0.0f;
    neuronalTextLevel = 0.0f;
}

Cut cutAt(const int32_t* table, float t) {
    // The tables have 11 entries; a cut starts at entries 0 to 9.
    int k = cutIndexFor(table, t);
    if (k < 0) k = 0;
    if (k > 9) k = 9;
    return Cut{k, f32(static_cast<double>(t) - table[k])};
}

Layer* layerAt(int n) { return layerTable + n; }

void drawMaskedPictureShifted(int maskLayer, int pictureLayer, double dx, double bigT) {
    drawLayerShiftedMultiply(layerAt(maskLayer), 1, f32(dx), 0, 0, f32(bigT * 0.5));
    drawLayerShifted(layerAt(pictureLayer), 1, f32(dx), 0, 0, f32(bigT * 0.5));
}

void drawClosingShutters(double t, double from, double bigT) {
    if (t <= from) return;
    double e = 2.0 - (t - from) * 0.025;
    if (e < 0.0) e = 0.0;
    drawLayerShiftedMultiply(layerAt(LOWER_SHUTTER_LAYER), 1, 0, f32(-e), 0, f32(bigT * 0.5));
    drawLayerShiftedMultiply(layerAt(UPPER_SHUTTER_LAYER), 1, 0, f32(e), 0, f32(bigT * 0.5));
}

void setSpriteCount(Scene* scene, int set, int count) {
    if (set < 0 || set >= scene->spriteSetCount) return;
    SpriteSet* sprites = &scene->spriteSets[set];
    if (count < 0) count = 0;
    if (count > sprites->spriteCapacity) count = sprites->spriteCapacity;
    sprites->spriteCount = count;
}
