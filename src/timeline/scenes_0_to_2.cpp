// The first three scenes: the title made of drifting logo pictures (scene 0); the light scene
// cut into takes, each opening with a half-white flash, with a text insert in two takes and a
// closing zoom into the inner-world picture (scene 1); and the tile transition into the darm
// scene with the monks picture, crossing and scrolling texts and closing shutters (scene 2).
// Every step draws over the ones before it, and a fade acts on everything already drawn.
#include <algorithm>
#include <cmath>

#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "math/math3d.h"
#include "timeline/compositions.h"
#include "timeline/scene_schedule.h"

namespace {

// The title texts drift at paces of their own: their deformers run at a fraction of the scene
// time, from an offset of their own.
constexpr float THIRD = 1.0f / 3;
constexpr float FIFTH = 1.0f / 5;

// Time in the light scene's animation shown by each take; three takes run backwards.
double lightAnimationTime(int k, double s) {
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
int32_t flareDirection(double u) {
    if (u <= 0.0) return 1;
    int below = 0;
    for (int i = 1; i < 13; ++i) {
        if (FLARE_TABLE[i] < u) ++below;
    }
    return (below & 1) ? 1 : 0;
}

}  // namespace

void drawScene0(SceneFrame& frame) {
    const double ms = frame.sceneMs;
    const double bigT = frame.demoTime;
    const double t = frame.sceneTime;

    // Full level for the first second, then a fall that reaches 1 at 10 s and 0 at 13 s; values
    // above 1 look the same as 1 once the colours clamp.
    const double a = ms > 1000.0 ? std::max((13000.0 - ms) * (1.0 / 3000), 0.0) : 1.0;

    addLayer(frame, TITLE_BACKGROUND_LAYER, 0.5, AS_MADE, bigT * 0.5);
    addLayer(frame, TITLE_WIDE_BACKGROUND_LAYER, 0.5, AS_MADE, bigT * 1.5);
    addLayer(frame, TITLE_GROUP_LAYER, a, AS_MADE, t * THIRD + 50.0);
    addLayer(frame, TITLE_PRESENTS_LAYER, a, AS_MADE, t * 0.25 + 30.0);
    addLayer(frame, TITLE_DEEPER_LAYER, a, AS_MADE, t * THIRD + 90.0);
    addLayer(frame, TITLE_CREDITS_LAYER, a, AS_MADE, t * FIFTH + 130.0);
    // The logo cut into the picture by its mask.
    maskLayer(frame, TITLE_LOGO_MASK_LAYER, AS_MADE, bigT);
    addLayer(frame, TITLE_LOGO_LAYER, 1.0, AS_MADE, bigT);

    if (t < 100.0) fadeToBlack(frame, t * (1.0 / 100));
}

void drawScene1(SceneFrame& frame) {
    CompositionState& state = *frame.state;
    const double ms = frame.sceneMs;
    const double bigT = frame.demoTime;
    const double t = frame.sceneTime;
    const Cut cut = cutAt(CUT_TABLE_A, frame.sceneTime);
    const double s = cut.time;

    // Every take opens with a flash that falls from half white over 20 ticks; the inserted text
    // rises over the same 20 ticks and falls after 95, keeping its level in between.
    const double flash = s < 20.0 ? 1.0 - s * (1.0 / 20) : 0.0;
    if (s < 20.0) {
        state.lightTextLevel = f32(s * (1.0 / 20));
    } else if (s > 95.0) {
        state.lightTextLevel = f32(1.0 - (s - 95.0) * (1.0 / 20));
    }
    const double text = state.lightTextLevel;

    const double u = lightAnimationTime(cut.index, s);
    Scene* light = &scenes[LIGHT_SCENE];
    if (light->flareSetCount > 0) light->flareSets[0].fadeDirection = flareDirection(u);

    renderScene(frame, light, u);
    fadeToWhite(frame, flash * 0.5);

    if (cut.index == 2 || cut.index == 5) {
        const Stretch squashed{1.0, flash + 1.0};
        addLayer(frame, LIGHT_TEXT_LAYER, text * 0.5, squashed, bigT * 0.5);
        addLayer(frame, LIGHT_TEXT_WIDE_LAYER, text * 0.2, squashed, bigT * 0.5);
    }

    // The closing zoom: from t = 1050 the scene darkens over 200 ticks (from the next frame's
    // pass on) while the inner-world picture shrinks from five times its size and comes up to
    // full level.
    const double f = t > 1050.0 ? std::max((1250.0 - t) * (1.0 / 200), 0.0) : 1.0;
    state.pass.sceneBrightness = f32(f);
    const float z = f32(std::cos((2.0 - f) * (PI / 2)) * 4.0 + 5.0);
    const Stretch zoomed{z, z};
    addLayer(frame, INNER_WORLD_LAYER, 1.0 - f, zoomed, bigT);
    maskLayer(frame, INNER_WORLD_MASK_LAYER, zoomed, bigT);
    addLayer(frame, INNER_WORLD_FRAME_LAYER, 1.0 - f, zoomed, bigT);

    // The title of scene 0 shrinks, faster in height, and fades over the first 1.5 seconds.
    if (ms < 1500.0) {
        const double g = std::max((1500.0 - ms) * (1.0 / 1500), 0.0);
        const Stretch shrunk{g, f32(g * g * g)};
        addLayer(frame, TITLE_BACKGROUND_LAYER, g * 0.5, AS_MADE, bigT * 0.5);
        addLayer(frame, TITLE_WIDE_BACKGROUND_LAYER, g * 0.5, AS_MADE, bigT * 1.5);
        maskLayer(frame, TITLE_LOGO_MASK_LAYER, shrunk, bigT);
        addLayer(frame, TITLE_LOGO_LAYER, g, shrunk, bigT);
    }
}

void drawScene2(SceneFrame& frame) {
    ScenePassSettings& pass = frame.state->pass;
    const double bigT = frame.demoTime;
    const double t = frame.sceneTime;

    // The tile transition: the end picture of scene 1 darkens while the tiles, which hide all
    // later drawing where they stand, are taken away one every 5 ticks.
    if (t < 50.0) {
        pass.sceneBrightness = 0.0f;
        renderScene(frame, &scenes[LIGHT_SCENE], t + 1000.0);
        addLayer(frame, INNER_WORLD_LAYER, 1.0, AS_MADE, bigT);
        fadeToBlack(frame, 1.0 - t * (1.0 / 50));
        drawTileMask(frame, static_cast<int>(t * (1.0 / 5)));
    }

    // One more path ball every 114 ticks from t = 164, all five from t = 620.
    const double balls = std::clamp((t - 50.0) * (1.0f / 114), 0.0, 5.0);
    pass.sceneBrightness = 1.0f;
    Scene* darm = &scenes[DARM_SCENE];
    setSpriteCount(darm, DARM_BALLS_SPRITE_SET, static_cast<int>(balls));
    renderScene(frame, darm, t * 0.5);

    // From t = 507 the monks picture comes in every 114 ticks, squashed to twice its height and
    // opening out over 15 ticks; the two texts cross it.
    if (t > 507.0) {
        const int m = static_cast<int>(t - 507.0) % 114;
        const Stretch opening{1.0, std::max(2.0 - m * (1.0 / 15), 1.0)};
        maskLayer(frame, MONKS_MASK_LAYER, opening, bigT * 0.5);
        addLayer(frame, MONKS_LAYER, 1.0, opening, bigT * 0.5);
        const double v = 2.5 - (t - 520.0) * 0.01;
        addLayer(frame, CHECK_OUR_GIFT_LAYER, 1.0, Offset{v, 0.0}, bigT * 0.5);
        addLayer(frame, WE_BRING_YOU_DEMO_LAYER, 1.0, Offset{-v, 0.0}, bigT * 0.5);
    }

    // Three copies of one text column scroll at different speeds and levels; they come up
    // over the first 300 ticks.
    const double c2 = (t - 520.0) * (1.0 / 400);
    const double b = t < 300.0 ? t * (1.0f / 300) : 1.0;
    addLayer(frame, DRIFT_WELLING_LAYER, b * 0.4, Offset{0.0, c2}, bigT * 0.5);
    addLayer(frame, DRIFT_WELLING_LAYER, b * 0.25, Offset{0.15f, 2.0 - c2}, bigT * 0.5);
    addLayer(frame, DRIFT_WELLING_LAYER, b * 0.1, Offset{0.3f, 0.7 * c2 - 2.0}, bigT * 0.5);

    drawClosingShutters(frame, 910.0);
}
