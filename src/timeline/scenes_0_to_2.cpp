// The first three scenes: the title made of drifting logo pictures (scene 0); the light scene
// cut into takes, each opening with a half-white flash, with a text insert in two takes and a
// closing zoom into the inner-world picture (scene 1); and the tile transition into the darm
// scene with the monks picture, crossing and scrolling texts and closing shutters (scene 2).
// Every step draws over the ones before it, and a fade acts on everything already drawn.
#include <cmath>

#include "anim/frame_clock.h"
#include "anim/layers.h"
#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "math/math3d.h"
#include "render/overlays.h"
#include "render/render_globals.h"
#include "render/scene_pass.h"
#include "timeline/compositions.h"
#include "timeline/scene_schedule.h"

void drawScene0() {
    wobbleEnabled = 0;
    farCullZ = -1800.0f;
    sceneBrightness = 1.0f;

    const double ms = sceneMs;
    const double bigT = demoTime;
    const double t = sceneTime;

    // Full level for the first second, then a fall that reaches 1 at 10 s and 0 at 13 s; values
    // above 1 look the same as 1 once the colours clamp.
    double a = 1.0;
    if (ms > 1000.0) {
        a = (13000.0 - ms) * 0.0003333333333333333;
        if (a < 0.0) a = 0.0;
    }

    drawLayerScaled(layerAt(TITLE_BACKGROUND_LAYER), 0.5f, 1, 1, 1, f32(bigT * 0.5));
    drawLayerScaled(layerAt(TITLE_WIDE_BACKGROUND_LAYER), 0.5f, 1, 1, 1, f32(bigT * 1.5));
    drawLayerScaled(layerAt(TITLE_GROUP_LAYER), f32(a), 1, 1, 1, f32(t * 0.33333334f + 50.0));
    drawLayerScaled(layerAt(TITLE_PRESENTS_LAYER), f32(a), 1, 1, 1, f32(t * 0.25 + 30.0));
    drawLayerScaled(layerAt(TITLE_DEEPER_LAYER), f32(a), 1, 1, 1, f32(t * 0.33333334f + 90.0));
    drawLayerScaled(layerAt(TITLE_CREDITS_LAYER), f32(a), 1, 1, 1, f32(t * 0.2f + 130.0));
    // The logo cut into the picture by its mask.
    drawLayerScaledMultiply(layerAt(TITLE_LOGO_MASK_LAYER), 1, 1, 1, 1, f32(bigT));
    drawLayerScaled(layerAt(TITLE_LOGO_LAYER), 1, 1, 1, 1, f32(bigT));

    if (t < 100.0) fadeToBlack(f32(t * 0.01));
}

// Time in the light scene's animation shown by each take; three takes run backwards.
static double lightAnimationTime(int k, double s) {
    switch (k) {
        case 0: return s + 100.0;
        case 1: return s + 550.0;
        case 2: return 400.0 - s;
        case 3: return s + 800.0;
        case 4: return s + 200.0;
        case 5: return 450.0 - s;
        case 6: return s + 700.0;
        case 7: return 280.0 - s;
        case 8: return s + 820.0;
        default: return s + 100.0;
    }
}

// 1 (fade in) when an odd number of the flare table's switch times lie below u, else 0 (fade
// out); before the animation starts the flare fades in.
static int32_t flareDirection(double u) {
    if (u <= 0.0) return 1;
    int below = 0;
    for (int i = 1; i < 13; ++i) {
        if (FLARE_TABLE[i] < u) ++below;
    }
    return (below & 1) ? 1 : 0;
}

void drawScene1() {
    wobbleEnabled = 0;
    farCullZ = -1800.0f;

    const double ms = sceneMs;
    const double bigT = demoTime;
    const double t = sceneTime;
    const Cut cut = cutAt(CUT_TABLE_A, sceneTime);
    const double s = cut.time;

    const double a = s < 20.0 ? 1.0 - s * 0.05 : 0.0;
    if (s < 20.0) {
        lightTextLevel = f32(s * 0.05);
    } else if (s > 95.0) {
        lightTextLevel = f32(1.0 - (s - 95.0) * 0.05);
    }
    const double b = lightTextLevel;

    const double u = lightAnimationTime(cut.index, s);
    Scene* light = &scenes[LIGHT_SCENE];
    if (light->flareSetCount > 0) light->flareSets[0].fadeDirection = flareDirection(u);

    renderScene(light, f32(u));
    fadeToWhite(f32(a * 0.5));

    if (cut.index == 2 || cut.index == 5) {
        drawLayerScaled(layerAt(LIGHT_TEXT_LAYER), f32(b * 0.5), 1, f32(a + 1.0), 1,
                        f32(bigT * 0.5));
        drawLayerScaled(layerAt(LIGHT_TEXT_WIDE_LAYER), f32(b * 0.2), 1, f32(a + 1.0), 1,
                        f32(bigT * 0.5));
    }

    // The closing zoom: the scene darkens (from the next frame's pass on) while the inner-world
    // picture shrinks from five times its size and comes up to full level.
    double f = 1.0;
    if (t > 1050.0) {
        f = (1250.0 - t) * 0.005;
        if (f < 0.0) f = 0.0;
    }
    sceneBrightness = f32(f);
    const float z = f32(std::cos((2.0 - f) * 1.5707963267948966) * 4.0 + 5.0);
    drawLayerScaled(layerAt(INNER_WORLD_LAYER), f32(1.0 - f), z, z, 1, f32(bigT));
    drawLayerScaledMultiply(layerAt(INNER_WORLD_MASK_LAYER), 1, z, z, 1, f32(bigT));
    drawLayerScaled(layerAt(INNER_WORLD_FRAME_LAYER), f32(1.0 - f), z, z, 1, f32(bigT));

    // The title of scene 0 shrinks, faster in height, and fades over the first 1.5 seconds.
    if (ms < 1500.0) {
        double g = (1500.0 - ms) * 0.0006666666666666666;
        if (g < 0.0) g = 0.0;
        const float g3 = f32(g * g * g);
        drawLayerScaled(layerAt(TITLE_BACKGROUND_LAYER), f32(g * 0.5), 1, 1, 1, f32(bigT * 0.5));
        drawLayerScaled(layerAt(TITLE_WIDE_BACKGROUND_LAYER), f32(g * 0.5), 1, 1, 1,
                        f32(bigT * 1.5));
        drawLayerScaledMultiply(layerAt(TITLE_LOGO_MASK_LAYER), 1, f32(g), g3, 1, f32(bigT));
        drawLayerScaled(layerAt(TITLE_LOGO_LAYER), f32(g), f32(g), g3, 1, f32(bigT));
    }
}

void drawScene2() {
    wobbleEnabled = 0;
    translucentFogOff = 0;
    farCullZ = -100800.0f;

    const double bigT = demoTime;
    const double t = sceneTime;

    // The tile transition: the end picture of scene 1 darkens while the tiles, which hide all
    // later drawing where they stand, are taken away one every 5 ticks.
    if (t < 50.0) {
        sceneBrightness = 0.0f;
        renderScene(&scenes[LIGHT_SCENE], f32(t + 1000.0));
        drawLayerScaled(layerAt(INNER_WORLD_LAYER), 1, 1, 1, 1, f32(bigT));
        fadeToBlack(f32(1.0 - t * 0.02));
        drawTileMask(static_cast<int>(t * 0.2));
    }

    // One more path ball every 114 ticks from t = 164, all five from t = 620.
    double n = (t - 50.0) * 0.00877193f;
    if (n < 0.0) n = 0.0;
    if (n > 5.0) n = 5.0;
    sceneBrightness = 1.0f;
    Scene* darm = &scenes[DARM_SCENE];
    setSpriteCount(darm, DARM_BALLS_SPRITE_SET, static_cast<int>(n));
    renderScene(darm, f32(t * 0.5));

    if (t > 507.0) {
        const int m = static_cast<int>(t - 507.0) % 114;
        double p = 2.0 - m * 0.06666666666666667;
        if (p < 1.0) p = 1.0;
        drawLayerScaledMultiply(layerAt(MONKS_MASK_LAYER), 1, 1, f32(p), 1, f32(bigT * 0.5));
        drawLayerScaled(layerAt(MONKS_LAYER), 1, 1, f32(p), 1, f32(bigT * 0.5));
        const double v = 2.5 - (t - 520.0) * 0.01;
        drawLayerShifted(layerAt(CHECK_OUR_GIFT_LAYER), 1, f32(v), 0, 0, f32(bigT * 0.5));
        drawLayerShifted(layerAt(WE_BRING_YOU_DEMO_LAYER), 1, f32(-v), 0, 0, f32(bigT * 0.5));
    }

    // Three copies of one text column scroll at different speeds and levels.
    const double c2 = (t - 520.0) * 0.0025;
    const double b = t < 300.0 ? t * 0.0033333334f : 1.0;
    drawLayerShifted(layerAt(DRIFT_WELLING_LAYER), f32(b * 0.4), 0, f32(c2), 0, f32(bigT * 0.5));
    drawLayerShifted(layerAt(DRIFT_WELLING_LAYER), f32(b * 0.25), 0.15f, f32(2.0 - c2), 0,
                     f32(bigT * 0.5));
    drawLayerShifted(layerAt(DRIFT_WELLING_LAYER), f32(b * 0.1), 0.3f, f32(0.7 * c2 - 2.0), 0,
                     f32(bigT * 0.5));

    drawClosingShutters(t, 910.0, bigT);
}
