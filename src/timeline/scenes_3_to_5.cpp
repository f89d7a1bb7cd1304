// The middle three scenes: the wobbling neural net with the sliding helmet, the greetings and a
// flying text (scene 3); the darm scene again with the bird picture and a passing text
// (scene 4); and the aterie scene cut into short takes with picture inserts, swaying texts and
// a fade at every cut, ending on the fish picture alone (scene 5).
#include <cmath>

#include "anim/frame_clock.h"
#include "anim/layers.h"
#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "assets/texture_table.h"
#include "math/math3d.h"
#include "render/overlays.h"
#include "render/render_globals.h"
#include "render/scene_pass.h"
#include "timeline/compositions.h"
#include "timeline/scene_schedule.h"

static double clampTo(double x, double low, double high) {
    if (x < low) return low;
    if (x > high) return high;
    return x;
}

// The helmet's offset to the left: out until t = 100, slides in by 200, stays until 400 and
// slides out again by 500.
static double helmetOffset(double t) {
    double x;
    if (t <= 100.0) {
        x = 1.0;
    } else if (t <= 200.0) {
        x = 1.0 - (t - 100.0) * 0.01;
    } else if (t <= 400.0) {
        x = 0.0;
    } else if (t <= 500.0) {
        x = (t - 400.0) * 0.01;
    } else {
        x = 1.0;
    }
    return clampTo(x, 0.0, 1.0);
}

void drawScene3() {
    wobbleEnabled = 1;
    farCullZ = -30000.0f;
    translucentFogOff = 0;

    const double bigT = demoTime;
    const double t = sceneTime;

    // The net animation loops every 250 ticks of its own time: u runs through (0, 250].
    double u = t * 0.5;
    while (u > 250.0) u -= 250.0;

    textureTable[NET_MAP_SLOT].wireBrightness = 0.5f;
    renderScene(&scenes[NEURONAL_SCENE], f32(u));

    drawMaskedPictureShifted(HELMET_MASK_LAYER, HELMET_LAYER, -helmetOffset(t), bigT);

    if (t > 460.0) {
        const double w = std::cos(t * 0.005) * 0.25;
        const double g = clampTo((t - 460.0) * 0.005, 0.0, 1.0);
        drawLayerShifted(layerAt(GREETINGS_LAYER), f32(g * 0.5), 0, f32(w), 0, f32(bigT * 0.2));
    }

    // The flying text rises over the first 100 ticks, keeps its level and falls after 400.
    double b2 = neuronalTextLevel;
    if (t < 100.0) {
        b2 = t * 0.01;
    } else if (t > 400.0) {
        b2 = 1.0 - (t - 400.0) * 0.01;
    }
    neuronalTextLevel = f32(clampTo(b2, 0.0, 1.0));
    b2 = neuronalTextLevel;
    drawLayerScaled(layerAt(FLY_OUT_TEXT_LAYER), f32(b2 * 0.6), f32(1.0 + 0.1 * std::cos(t * 0.1)),
                    1, 1, f32(bigT));
    drawLayerScaled(layerAt(FLY_OUT_TEXT_WIDE_LAYER), f32(b2 * 0.3), 1,
                    f32(1.0 + 0.2 * std::sin(t * 0.1)), 1, f32(bigT));

    if (t < 100.0) fadeToBlack(f32(t * 0.01));
    if (t > 800.0) fadeToBlack(f32(1.0 - (t - 800.0) * 0.01));
}

// The bird's offset to the right: flies in from t = 100, rests at 0, leaves by t = 400.
static double birdOffset(double t) {
    const double perTick = 0.012048192771084338;
    double p;
    if (t <= 100.0) {
        p = 1.2;
    } else if (t <= 300.0) {
        p = 1.2 - (t - 100.0) * perTick;
    } else if (t < 400.0) {
        p = (t - 300.0) * perTick;
    } else {
        p = 1.2;
    }
    if (t < 400.0 && p < 0.0) p = 0.0;
    if (p > 1.2) p = 1.2;
    return p;
}

void drawScene4() {
    wobbleEnabled = 0;
    farCullZ = -1800.0f;
    sceneBrightness = 1.0f;

    const double bigT = demoTime;
    const double t = sceneTime;

    // A wire pulse between 0.3 and 0.9 with a period of 100 ticks.
    textureTable[DARM_TUBE_SLOT].wireBrightness =
        f32(std::sin(t * 0.06283185307179587) * 0.3 + 0.6);
    Scene* darm = &scenes[DARM_SCENE];
    setSpriteCount(darm, DARM_BALLS_SPRITE_SET, 0);
    renderScene(darm, f32(2.0 * t + 700.0));

    drawMaskedPictureShifted(BIRD_MASK_LAYER, BIRD_LAYER, birdOffset(t), bigT);

    const double q = t <= 100.0 ? 3.0 : 3.0 - (t - 200.0) * 0.02;
    drawLayerShifted(layerAt(SCREAM_TEXT_LAYER), 0.4f, f32(q), 0, 0, f32(bigT * 0.5));
    drawLayerShifted(layerAt(SCREAM_TEXT_WIDE_LAYER), 0.3f, f32(q * 1.5), 0, 0, f32(bigT * 0.5));

    if (t > 800.0) fadeToBlack(f32(clampTo(1.0 - (t - 800.0) * 0.01, 0.0, 1.0)));
    if (t < 50.0) fadeToWhite(f32(1.0 - t * 0.02));
}

// The embryo picture cut in by its mask, at the given level.
static void drawMaskedEmbryo(double level, double bigT) {
    drawLayerScaledMultiply(layerAt(EMBRYO_MASK_LAYER), 1, 1, 1, 1, f32(bigT * 0.5));
    drawLayerScaled(layerAt(EMBRYO_LAYER), f32(level), 1, 1, 1, f32(bigT * 0.5));
}

void drawScene5() {
    wobbleEnabled = 0;
    farCullZ = -1800.0f;
    sceneBrightness = 1.0f;

    const double bigT = demoTime;
    const double t = sceneTime;
    const Cut cut = cutAt(CUT_TABLE_B, sceneTime);
    const double s = cut.time;
    Scene* aterie = &scenes[ATERIE_SCENE];

    switch (cut.index) {
        case 0:
            renderScene(aterie, f32(s));
            drawMaskedEmbryo(1.0, bigT);
            break;
        case 1:
            renderScene(aterie, f32(500.0 - s));
            drawMaskedEmbryo(1.0, bigT);
            break;
        case 2:
            renderScene(aterie, f32(s + 250.0));
            break;
        case 3:
            renderScene(aterie, f32(s + 1200.0));
            drawLayerScaled(layerAt(EMBRYO_LAYER), 0.5f, 1, 1, 1, f32(bigT * 0.5));
            break;
        case 4:
            // The jesus picture alone: up from black, down to a quarter over the last 15 ticks.
            drawLayerScaled(layerAt(JESUS_LAYER), 1, 1, 1, 1, f32(bigT * 0.5));
            if (s < 50.0) fadeToBlack(f32(s * 0.02));
            if (s > 100.0) fadeToBlack(f32(1.0 - (s - 100.0) * 0.05));
            return;
        case 5:
            renderScene(aterie, f32(350.0 - s * 0.5));
            drawLayerScaled(layerAt(EMBRYO_LAYER), 1, 1, 1, 1, f32(bigT * 0.5));
            break;
        case 6:
            renderScene(aterie, f32(1300.0 - s * 0.5));
            drawMaskedEmbryo(0.5, bigT);
            break;
        case 7:
            renderScene(aterie, f32(s + 450.0));
            drawLayerScaled(layerAt(EMBRYO_LAYER), 0.2f, 1, 1, 1, f32(bigT * 0.5));
            break;
        default: {
            // The last take, to the end of the scene: the fish picture alone, up from black.
            // It would stand still for eleven seconds, so it is pushed in slowly (a sixth
            // larger by the end) and goes down to black over the scene's ticks 1200 to 1300.
            const float zoom = f32(1.0 + s * 0.0004);
            drawLayerScaled(layerAt(FISH_PICTURE_LAYER), 1, zoom, zoom, 1, f32(bigT * 0.5));
            if (s < 50.0) fadeToBlack(f32(s * 0.02));
            if (t > 1200.0) fadeToBlack(f32(1.0 - (t - 1200.0) * 0.01));
            return;
        }
    }

    // The swaying texts; odd takes mirror the sway of the even ones.
    const double sway = std::sin(t * 0.005);
    drawLayerScaled(layerAt(INSIDE_TEXT_LAYER), 0.3f, 1, f32(1.0 + 0.1 * sway), 1, f32(bigT * 0.5));
    const double w = (cut.index & 1) ? -sway : sway;
    drawLayerShifted(layerAt(OUTSIDE_TEXT_LAYER), 0.3f, 0, f32(w), 0, f32(bigT * 0.5));
    drawLayerShifted(layerAt(OUTSIDE_TEXT_LAYER), 0.2f, 0.1f, f32(w * 0.8 + 0.4), 0,
                     f32(bigT * 0.5));
    drawLayerScaled(layerAt(INSIDE_TEXT_WIDE_LAYER), 0.15f, f32(1.0 + 0.2 * sway), 1, 1,
                    f32(bigT * 0.5));
    drawLayerScaled(layerAt(INSIDE_TEXT_WIDE_LAYER), 0.05f, 1.5f, 1, 1, f32(bigT * 0.5));

    // Every take comes up from black over 50 ticks and drops to black in its last 5.
    if (s < 50.0) fadeToBlack(f32(s * 0.02));
    if (s > 110.0) fadeToBlack(f32(1.0 - (s - 110.0) * 0.2));
}
