// The last three scenes: the underwater fish scene over a dark blue background, its fish
// morphing through key shapes and swaying, its water texture re-warped every frame (scene 6);
// the mirror scene with its rippled mirror copy, a second water texture, the fire-spitter, a
// passing text and the closing shutters (scene 7); and the looping kopuli scene under a
// breathing text, ending in black (scene 8).
#include <cmath>

#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "assets/texture_table.h"
#include "math/math3d.h"
#include "render/mesh_morph.h"
#include "render/scene_pass.h"
#include "render/water_effects.h"
#include "timeline/compositions.h"
#include "timeline/scene_schedule.h"

namespace {

// Where in the fish animation each take of scene 6 starts.
constexpr double FISH_TAKE_OFFSET[10] = {50, 750, 450, 300, 750, 600, 100, 300, 820, 820};

// The sway weight at animation time u: SWAY_CURVE read at u / 100, linearly between entries.
double swayWeight(double u) {
    const float v = f32(u) * 0.01f;
    int i = static_cast<int>(v);
    // Keep both entries inside the curve for times outside the scene's range.
    if (i < 0) i = 0;
    if (i > 18) i = 18;
    return SWAY_CURVE[i] + (static_cast<double>(v) - i) * (SWAY_CURVE[i + 1] - SWAY_CURVE[i]);
}

// The water texture of a slot re-warped from the surface picture, rows or columns scrolling.
// The picture is made anew from the time before every upload, so a frame that is not drawn
// needs none.
void animateWater(const SceneFrame& frame, int slot, int byColumns, double t) {
    if (!drawn(frame)) return;
    if (surfacePicture == nullptr || colourTable == nullptr || offsetTable == nullptr) return;
    if (byColumns) {
        warpSurfaceColumns(surfacePicture, colourTable, offsetTable, f32(t * 0.5));
    } else {
        warpSurfaceRows(surfacePicture, colourTable, offsetTable, f32(t * 0.5));
    }
    uploadPicture(&textureTable[slot], surfacePicture);
}

// The fire-spitter's offset to the right, in screen widths: in between t = 200 and 250, out
// between 350 and 400.
double spitterOffset(double t) {
    constexpr double slide = 1.0 / 50;
    return t > 350.0 ? riseFrom(t, 350.0, slide) : fallFrom(t, 200.0, slide);
}

}  // namespace

void drawScene6(SceneFrame& frame) {
    const double t = frame.sceneTime;
    animateWater(frame, FISH_WATER_SLOT, 0, t);

    const Cut cut = cutAt(CUT_TABLE_A, frame.sceneTime);
    const double u = cut.time + FISH_TAKE_OFFSET[cut.index];
    const double m = swayWeight(u);
    Scene* fish = &scenes[FISH_SCENE];
    // The morph writes only the mesh this frame shows; a frame that is only advanced needs it
    // while the scene's normals may still be measured for the first time.
    if (fish->objectCount > 1 && (drawn(frame) || sceneNormalsPending(fish)))
        morphObject(&fish->objects[1], f32(u * 0.2), f32(m), 0.0f);
    renderScene(frame, fish, u);

    // Down to black over the last 70 ticks; up from white over the first 50.
    if (t > 850.0) fadeToBlack(frame, 1.0 - (t - 850.0) * (1.0 / 70));
    if (t < 50.0) fadeToWhite(frame, 1.0 - t * (1.0 / 50));
}

void drawScene7(SceneFrame& frame) {
    const double bigT = frame.demoTime;
    const double t = frame.sceneTime;
    const double u = t + 50.0;

    animateWater(frame, MIRROR_WATER_SLOT, 1, t);
    Scene* mirror = &scenes[MIRROR_SCENE];
    if (mirror->objectCount > 2 && (drawn(frame) || sceneNormalsPending(mirror))) {
        morphObject(&mirror->objects[0], f32(u * 0.2), 0.0f, 0.0f);
        rippleMirror(&mirror->objects[2], &mirror->objects[0], frame.sceneTime);
    }
    renderScene(frame, mirror, u);

    drawMaskedPictureShifted(frame, FIRE_SPITTER_MASK_LAYER, FIRE_SPITTER_LAYER, spitterOffset(t));

    // Two copies of the text cross from the right from t = 300; the widest drifts the other way.
    const double q = t <= 300.0 ? 3.0 : 3.0 - (t - 300.0) * (1.0 / 50);
    addLayer(frame, WE_WANT_TEXT_LAYER, 0.3, Offset{q, 0.0}, bigT * 0.5);
    addLayer(frame, WE_WANT_TEXT_WIDE_LAYER, 0.3, Offset{q * 1.5, 0.0}, bigT * 0.5);
    addLayer(frame, WE_WANT_TEXT_WIDEST_LAYER, 0.2, Offset{-0.5 * q - 2.0, 0.0}, bigT * 0.5);

    drawClosingShutters(frame, 500.0);
}

void drawScene8(SceneFrame& frame) {
    const double bigT = frame.demoTime;
    const double t = frame.sceneTime;

    // The kopuli animation loops every 200 ticks: u runs through [0, 200).
    double u = t;
    while (u >= 200.0) u -= 200.0;
    renderScene(frame, &scenes[KOPULI_SCENE], u);

    // The text breathes, its two copies in opposite phase.
    const double w = std::sin(t * 0.01) * 0.2;
    addLayer(frame, BRAKKWELL_TEXT_LAYER, 0.7, Stretch{1.0 + w, 1.0}, bigT * 0.5);
    addLayer(frame, BRAKKWELL_TEXT_WIDE_LAYER, 0.3, Stretch{1.0 - w, 1.0}, bigT * 0.5);

    // Half white falling away over the first 50 ticks; down to black over 100 from t = 250.
    const double flash = t < 50.0 ? 1.0 - t * (1.0 / 50) : 0.0;
    fadeToWhite(frame, flash * 0.5);
    const double level = t > 250.0 ? 1.0 - (t - 250.0) * (1.0 / 100) : 1.0;
    fadeToBlack(frame, level);
}
