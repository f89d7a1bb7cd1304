// The middle three scenes: the wobbling neural net with the sliding helmet, the greetings and a
// flying text (scene 3); the darm scene again with the bird picture and a passing text
// (scene 4); and the aterie scene cut into short takes with picture inserts, swaying texts and
// a fade at every cut, ending on the fish picture alone (scene 5).
#include <algorithm>
#include <cmath>

#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "assets/texture_table.h"
#include "math/math3d.h"
#include "timeline/compositions.h"
#include "timeline/scene_schedule.h"

namespace {

// The helmet's offset to the left, in screen widths: out until t = 100, slides in by 200,
// stays until 400 and slides out again by 500.
double helmetOffset(double t) {
    constexpr double slide = 1.0 / 100;
    return t <= 400.0 ? fallFrom(t, 100.0, slide) : riseFrom(t, 400.0, slide);
}

// The bird's offset to the right: out (1.2 screen widths) until t = 100, flies in by 300,
// leaves again from 300 and is gone at 400.
double birdOffset(double t) {
    constexpr double flight = 1.0 / 83;
    double p;
    if (t <= 100.0) {
        p = 1.2;
    } else if (t <= 300.0) {
        p = 1.2 - (t - 100.0) * flight;
    } else if (t < 400.0) {
        p = (t - 300.0) * flight;
    } else {
        p = 1.2;
    }
    if (t < 400.0 && p < 0.0) p = 0.0;
    return std::min(p, 1.2);
}

// The embryo picture cut in by its mask, at the given level.
void drawMaskedEmbryo(const SceneFrame& frame, double level) {
    const double time = frame.demoTime * 0.5;
    maskLayer(frame, EMBRYO_MASK_LAYER, AS_MADE, time);
    addLayer(frame, EMBRYO_LAYER, level, AS_MADE, time);
}

}  // namespace

void drawScene3(SceneFrame& frame) {
    CompositionState& state = *frame.state;
    const double bigT = frame.demoTime;
    const double t = frame.sceneTime;

    // The net animation loops every 250 ticks of its own time: u runs through (0, 250].
    double u = t * 0.5;
    while (u > 250.0) u -= 250.0;

    textureTable[NET_MAP_SLOT].wireBrightness = 0.5f;
    renderScene(frame, &scenes[NEURONAL_SCENE], u);

    drawMaskedPictureShifted(frame, HELMET_MASK_LAYER, HELMET_LAYER, -helmetOffset(t));

    // The greetings rise over 200 ticks from t = 460 and sway up and down.
    if (t > 460.0) {
        const double sway = std::cos(t * 0.005) * 0.25;
        const double level = riseFrom(t, 460.0, 1.0 / 200);
        addLayer(frame, GREETINGS_LAYER, level * 0.5, Offset{0.0, sway}, bigT * 0.2);
    }

    // The flying text rises over the first 100 ticks, keeps its level and falls after 400.
    double level = state.neuronalTextLevel;
    if (t < 100.0) {
        level = t * (1.0 / 100);
    } else if (t > 400.0) {
        level = 1.0 - (t - 400.0) * (1.0 / 100);
    }
    state.neuronalTextLevel = f32(std::clamp(level, 0.0, 1.0));
    const double text = state.neuronalTextLevel;
    addLayer(frame, FLY_OUT_TEXT_LAYER, text * 0.6, Stretch{1.0 + 0.1 * std::cos(t * 0.1), 1.0},
             bigT);
    addLayer(frame, FLY_OUT_TEXT_WIDE_LAYER, text * 0.3,
             Stretch{1.0, 1.0 + 0.2 * std::sin(t * 0.1)}, bigT);

    if (t < 100.0) fadeToBlack(frame, t * (1.0 / 100));
    if (t > 800.0) fadeToBlack(frame, 1.0 - (t - 800.0) * (1.0 / 100));
}

void drawScene4(SceneFrame& frame) {
    const double bigT = frame.demoTime;
    const double t = frame.sceneTime;

    // A wire pulse between 0.3 and 0.9 with a period of 100 ticks.
    textureTable[DARM_TUBE_SLOT].wireBrightness = f32(std::sin(t * (2 * PI / 100)) * 0.3 + 0.6);
    Scene* darm = &scenes[DARM_SCENE];
    setSpriteCount(darm, DARM_BALLS_SPRITE_SET, 0);
    renderScene(frame, darm, 2.0 * t + 700.0);

    drawMaskedPictureShifted(frame, BIRD_MASK_LAYER, BIRD_LAYER, birdOffset(t));

    // The scream passes from the right, from t = 100 on.
    const double q = t <= 100.0 ? 3.0 : 3.0 - (t - 200.0) * (1.0 / 50);
    addLayer(frame, SCREAM_TEXT_LAYER, 0.4, Offset{q, 0.0}, bigT * 0.5);
    addLayer(frame, SCREAM_TEXT_WIDE_LAYER, 0.3, Offset{q * 1.5, 0.0}, bigT * 0.5);

    if (t > 800.0) fadeToBlack(frame, fallFrom(t, 800.0, 1.0 / 100));
    if (t < 50.0) fadeToWhite(frame, 1.0 - t * (1.0 / 50));
}

void drawScene5(SceneFrame& frame) {
    const double bigT = frame.demoTime;
    const double t = frame.sceneTime;
    const Cut cut = cutAt(CUT_TABLE_B, frame.sceneTime);
    const double s = cut.time;
    Scene* aterie = &scenes[ATERIE_SCENE];

    switch (cut.index) {
        case 0:
            renderScene(frame, aterie, s);
            drawMaskedEmbryo(frame, 1.0);
            break;
        case 1:
            renderScene(frame, aterie, 500.0 - s);
            drawMaskedEmbryo(frame, 1.0);
            break;
        case 2:
            renderScene(frame, aterie, s + 250.0);
            break;
        case 3:
            renderScene(frame, aterie, s + 1200.0);
            addLayer(frame, EMBRYO_LAYER, 0.5, AS_MADE, bigT * 0.5);
            break;
        case 4:
            // The jesus picture alone: up from black over 50 ticks, down to a quarter over the
            // last 15.
            addLayer(frame, JESUS_LAYER, 1.0, AS_MADE, bigT * 0.5);
            if (s < 50.0) fadeToBlack(frame, s * (1.0 / 50));
            if (s > 100.0) fadeToBlack(frame, 1.0 - (s - 100.0) * (1.0 / 20));
            return;
        case 5:
            renderScene(frame, aterie, 350.0 - s * 0.5);
            addLayer(frame, EMBRYO_LAYER, 1.0, AS_MADE, bigT * 0.5);
            break;
        case 6:
            renderScene(frame, aterie, 1300.0 - s * 0.5);
            drawMaskedEmbryo(frame, 0.5);
            break;
        case 7:
            renderScene(frame, aterie, s + 450.0);
            addLayer(frame, EMBRYO_LAYER, 0.2, AS_MADE, bigT * 0.5);
            break;
        default: {
            // The last take, to the end of the scene: the fish picture alone, up from black.
            // It would stand still for eleven seconds, so it is pushed in (close to half as
            // large again by the end) and goes down to black over the scene's last 100 ticks,
            // reaching it as the next scene begins.
            const float zoom = f32(1.0 + s * 0.001);
            addLayer(frame, FISH_PICTURE_LAYER, 1.0, Stretch{zoom, zoom}, bigT * 0.5);
            if (s < 50.0) fadeToBlack(frame, s * (1.0 / 50));
            if (t > 1265.0) fadeToBlack(frame, 1.0 - (t - 1265.0) * (1.0 / 100));
            return;
        }
    }

    // The swaying texts; odd takes mirror the sway of the even ones.
    const double sway = std::sin(t * 0.005);
    const double w = (cut.index & 1) ? -sway : sway;
    addLayer(frame, INSIDE_TEXT_LAYER, 0.3, Stretch{1.0, 1.0 + 0.1 * sway}, bigT * 0.5);
    addLayer(frame, OUTSIDE_TEXT_LAYER, 0.3, Offset{0.0, w}, bigT * 0.5);
    addLayer(frame, OUTSIDE_TEXT_LAYER, 0.2, Offset{0.1, w * 0.8 + 0.4}, bigT * 0.5);
    addLayer(frame, INSIDE_TEXT_WIDE_LAYER, 0.15, Stretch{1.0 + 0.2 * sway, 1.0}, bigT * 0.5);
    addLayer(frame, INSIDE_TEXT_WIDE_LAYER, 0.05, Stretch{1.5, 1.0}, bigT * 0.5);

    // Every take comes up from black over 50 ticks and drops to black in its last 5.
    if (s < 50.0) fadeToBlack(frame, s * (1.0 / 50));
    if (s > 110.0) fadeToBlack(frame, 1.0 - (s - 110.0) * (1.0 / 5));
}
