// The last three scenes: the underwater fish scene over a dark blue background, its fish
// morphing through key shapes and swaying, its water texture re-warped every frame (scene 6);
// the mirror scene with its rippled mirror copy, a second water texture, the fire-spitter, a
// passing text and the closing shutters (scene 7); and the looping kopuli scene under a
// breathing text, ending in black (scene 8).
#include <cmath>

#include "anim/frame_clock.h"
#include "anim/layers.h"
#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "assets/texture_table.h"
#include "math/math3d.h"
#include "render/mesh_morph.h"
#include "render/overlays.h"
#include "render/render_globals.h"
#include "render/scene_pass.h"
#include "render/water_effects.h"
#include "timeline/compositions.h"
#include "timeline/scene_schedule.h"

// Where in the fish animation each take of scene 6 starts.
static constexpr double FISH_TAKE_OFFSET[10] = {50, 750, 450, 300, 750, 600, 100, 300, 820, 820};

// The sway weight at animation time u: SWAY_CURVE read at u / 100, linearly between entries.
static double swayWeight(double u) {
    const float v = f32(u) * 0.01f;
    int i = static_cast<int>(v);
    // Keep both entries inside the curve for times outside the scene's range.
    if (i < 0) i = 0;
    if (i > 18) i = 18;
    return SWAY_CURVE[i] + (static_cast<double>(v) - i) * (SWAY_CURVE[i + 1] - SWAY_CURVE[i]);
}

// The water texture of a slot re-warped from the surface picture, rows or columns scrolling.
static void animateWater(int slot, int byColumns, double t) {
    if (surfacePicture == nullptr || colourTable == nullptr || offsetTable == nullptr) return;
    if (byColumns) {
        warpSurfaceColumns(surfacePicture, colourTable, offsetTable, f32(t * 0.5));
    } else {
        warpSurfaceRows(surfacePicture, colourTable, offsetTable, f32(t * 0.5));
    }
    uploadPicture(&textureTable[slot], surfacePicture);
}

void drawScene6() {
    wobbleEnabled = 0;
    translucentFogOff = 1;

    const double t = sceneTime;
    animateWater(FISH_WATER_SLOT, 0, t);

    const Cut cut = cutAt(CUT_TABLE_A, sceneTime);
    const double u = cut.time + FISH_TAKE_OFFSET[cut.index];
    const double m = swayWeight(u);
    Scene* fish = &scenes[FISH_SCENE];
    if (fish->objectCount > 1) morphObject(&fish->objects[1], f32(u * 0.2), f32(m), 0.0f);
    renderScene(fish, f32(u));

    if (t > 850.0) fadeToBlack(f32(1.0 - (t - 850.0) * 0.014285714285714285));
    if (t < 50.0) fadeToWhite(f32(1.0 - t * 0.02));
}

// The fire-spitter's offset to the right: in between t = 200 and 250, out between 350 and 400.
static double spitterOffset(double t) {
    double p = 1.0;
    if (t > 200.0) {
        p = 1.0 - (t - 200.0) * 0.02;
        if (p < 0.0) p = 0.0;
        if (p > 1.0) p = 1.0;
    }
    if (t > 350.0) p = (t - 350.0) * 0.02;
    if (p < 0.0) p = 0.0;
    if (p > 1.0) p = 1.0;
    return p;
}

void drawScene7() {
    wobbleEnabled = 0;
    translucentFogOff = 0;

    const double bigT = demoTime;
    const double t = sceneTime;
    const double u = t + 50.0;

    animateWater(MIRROR_WATER_SLOT, 1, t);
    Scene* mirror = &scenes[MIRROR_SCENE];
    if (mirror->objectCount > 2) {
        morphObject(&mirror->objects[0], f32(u * 0.2), 0.0f, 0.0f);
        rippleMirror(&mirror->objects[2], &mirror->objects[0], sceneTime);
    }
    renderScene(mirror, f32(u));

    drawMaskedPictureShifted(FIRE_SPITTER_MASK_LAYER, FIRE_SPITTER_LAYER, spitterOffset(t), bigT);

    // Two copies of the text cross from the right; the wide one drifts the other way.
    const double q = t <= 300.0 ? 3.0 : 3.0 - (t - 300.0) * 0.02;
    drawLayerShifted(layerAt(WE_WANT_TEXT_LAYER), 0.3f, f32(q), 0, 0, f32(bigT * 0.5));
    drawLayerShifted(layerAt(WE_WANT_TEXT_WIDE_LAYER), 0.3f, f32(q * 1.5), 0, 0, f32(bigT * 0.5));
    drawLayerShifted(layerAt(WE_WANT_TEXT_WIDEST_LAYER), 0.2f, f32(-0.5 * q - 2.0), 0, 0,
                     f32(bigT * 0.5));

    drawClosingShutters(t, 500.0, bigT);
}

void drawScene8() {
    // The globals stay as scene 7 left them.
    const double bigT = demoTime;
    const double t = sceneTime;

    // The kopuli animation loops every 200 ticks: u runs through [0, 200).
    double u = t;
    while (u >= 200.0) u -= 200.0;
    renderScene(&scenes[KOPULI_SCENE], f32(u));

    // The text breathes, its two copies in opposite phase.
    const double w = std::sin(t * 0.01) * 0.2;
    drawLayerScaled(layerAt(BRAKKWELL_TEXT_LAYER), 0.7f, f32(1.0 + w), 1, 1, f32(bigT * 0.5));
    drawLayerScaled(layerAt(BRAKKWELL_TEXT_WIDE_LAYER), 0.3f, f32(1.0 - w), 1, 1, f32(bigT * 0.5));

    const double x = t < 50.0 ? 1.0 - t * 0.02 : 0.0;
    fadeToWhite(f32(x * 0.5));
    const double y = t > 250.0 ? 1.0 - (t - 250.0) * 0.01 : 1.0;
    fadeToBlack(f32(y));
}
