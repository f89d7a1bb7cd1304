// The composition dispatcher and the vocabulary the scenes are written in. Each frame the main
// loop hands over the scene index and the frame; the scene first takes the pass settings it
// owns from the table of what each scene sets, then draws. The small helpers the scenes share
// (cuts, Layers, fades, ramps, sprite counts, masked pictures, shutters) live here too.
#include "timeline/compositions.h"

#include <algorithm>

#include "anim/layers.h"
#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "math/math3d.h"
#include "render/overlays.h"
#include "render/scene_pass.h"
#include "timeline/scene_schedule.h"

using CompositionFunction = void (*)(SceneFrame& frame);

static constexpr CompositionFunction COMPOSITIONS[SCENE_COMPOSITIONS] = {
    drawScene0, drawScene1, drawScene2, drawScene3, drawScene4,
    drawScene5, drawScene6, drawScene7, drawScene8,
};

void drawComposition(int index, SceneFrame& frame) {
    if (index < 0 || index >= SCENE_COMPOSITIONS) return;
    setScenePass(index, &frame.state->pass);
    COMPOSITIONS[index](frame);
}

void setScenePass(int index, ScenePassSettings* pass) {
    if (index < 0 || index >= SCENE_COMPOSITIONS) return;
    const ScenePassSets& sets = SCENE_PASS_SETS[index];
    if (sets.farCullZ.set) pass->farCullZ = sets.farCullZ.value;
    if (sets.sceneBrightness.set) pass->sceneBrightness = sets.sceneBrightness.value;
    if (sets.wobbleEnabled.set) pass->wobbleEnabled = static_cast<int>(sets.wobbleEnabled.value);
    if (sets.translucentFogOff.set)
        pass->translucentFogOff = static_cast<int>(sets.translucentFogOff.value);
}

Cut cutAt(const int32_t* table, float t) {
    // The tables have 11 entries; a cut starts at entries 0 to 9.
    int k = cutIndexFor(table, t);
    if (k < 0) k = 0;
    if (k > 9) k = 9;
    return Cut{k, f32(static_cast<double>(t) - table[k])};
}

Layer* layerAt(int n) { return layerTable + n; }

// A Layer's deformer writes only the positions it is drawn at, so a frame that is not drawn
// leaves nothing of its Layers behind; the same holds for fades and the tile mask.

void addLayer(const SceneFrame& frame, int n, double level, Stretch place, double time) {
    if (!drawn(frame)) return;
    drawLayerScaled(layerAt(n), f32(level), f32(place.x), f32(place.y), 1.0f, f32(time));
}

void addLayer(const SceneFrame& frame, int n, double level, Offset place, double time) {
    if (!drawn(frame)) return;
    drawLayerShifted(layerAt(n), f32(level), f32(place.x), f32(place.y), 0.0f, f32(time));
}

void maskLayer(const SceneFrame& frame, int n, Stretch place, double time) {
    if (!drawn(frame)) return;
    drawLayerScaledMultiply(layerAt(n), 1.0f, f32(place.x), f32(place.y), 1.0f, f32(time));
}

void maskLayer(const SceneFrame& frame, int n, Offset place, double time) {
    if (!drawn(frame)) return;
    drawLayerShiftedMultiply(layerAt(n), 1.0f, f32(place.x), f32(place.y), 0.0f, f32(time));
}

void fadeToBlack(const SceneFrame& frame, double x) {
    if (drawn(frame)) fadeToBlack(f32(x));
}

void fadeToWhite(const SceneFrame& frame, double x) {
    if (drawn(frame)) fadeToWhite(f32(x));
}

void drawTileMask(const SceneFrame& frame, int n) {
    if (drawn(frame)) drawTileMask(n);
}

void renderScene(const SceneFrame& frame, Scene* scene, double t) {
    if (drawn(frame))
        renderScene(scene, f32(t), frame.state->pass);
    else
        advanceScene(scene, f32(t), frame.state->pass);
}

double riseFrom(double t, double start, double perTick) {
    return std::clamp((t - start) * perTick, 0.0, 1.0);
}

double fallFrom(double t, double start, double perTick) {
    return std::clamp(1.0 - (t - start) * perTick, 0.0, 1.0);
}

void drawMaskedPictureShifted(const SceneFrame& frame, int maskLayer, int pictureLayer,
                              double dx) {
    const double time = frame.demoTime * 0.5;
    ::maskLayer(frame, maskLayer, Offset{dx, 0.0}, time);
    addLayer(frame, pictureLayer, 1.0, Offset{dx, 0.0}, time);
}

void drawClosingShutters(const SceneFrame& frame, double from) {
    const double t = frame.sceneTime;
    if (t <= from) return;
    // Two screen heights away at `from`, closing by one in 40 ticks.
    const double e = std::max(2.0 - (t - from) * (1.0 / 40), 0.0);
    const double time = frame.demoTime * 0.5;
    maskLayer(frame, LOWER_SHUTTER_LAYER, Offset{0.0, -e}, time);
    maskLayer(frame, UPPER_SHUTTER_LAYER, Offset{0.0, e}, time);
}

void setSpriteCount(Scene* scene, int set, int count) {
    if (set < 0 || set >= scene->spriteSetCount) return;
    SpriteSet* sprites = &scene->spriteSets[set];
    if (count < 0) count = 0;
    if (count > sprites->spriteCapacity) count = sprites->spriteCapacity;
    sprites->spriteCount = count;
}
