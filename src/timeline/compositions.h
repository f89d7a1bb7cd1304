// The nine scene compositions, each drawing its frame from Layers, fades, the tile mask, scene
// render passes and effects in a fixed order, and the small vocabulary they are written in.
#pragma once

#include <cstdint>

#include "render/frame_work.h"
#include "render/scene_pass_settings.h"

constexpr int SCENE_COMPOSITIONS = 9;
constexpr double PI = 3.141592653589793;

struct Scene;
struct Layer;

// What the compositions keep from one frame to the next: the settings of the scene passes,
// which each scene changes only where it sets them, and two text levels that are only changed
// in some stretches of their scenes (scene 1's inserted text, scene 3's flying text).
struct CompositionState {
    ScenePassSettings pass;
    float lightTextLevel;
    float neuronalTextLevel;
};

// The state before the first frame of the demo.
constexpr CompositionState START_COMPOSITION_STATE = {START_PASS_SETTINGS, 0.0f, 0.0f};

// One frame as a composition makes it: the frame's times, the state it carries on, and whether
// it is drawn or only advanced (the drawing steps below then draw nothing, while everything
// the scene keeps moves on as in a drawn frame).
struct SceneFrame {
    float sceneTime;  // ticks since the scene started
    float demoTime;   // the music position in ticks, the clock of the Layers' deformers
    float sceneMs;    // milliseconds since the scene started
    CompositionState* state;
    FrameWork work;
};

inline bool drawn(const SceneFrame& frame) { return frame.work == FRAME_DRAWN; }

// Draws scene `index` (0 to 8) for the frame: the scene first sets the pass settings it owns
// (SCENE_PASS_SETS below), then draws. Other indices draw nothing.
void drawComposition(int index, SceneFrame& frame);

// ---- What each scene sets of the pass settings ----

// A setting a scene either sets to a value before it draws, or keeps as the scene drawn before
// it left it.
struct PassSetting {
    bool set;
    float value;
};
constexpr PassSetting KEEP = {false, 0.0f};
constexpr PassSetting to(float value) { return {true, value}; }

struct ScenePassSets {
    PassSetting farCullZ, sceneBrightness, wobbleEnabled, translucentFogOff;
};

// Scene 1 sets its brightness after its pass, for the next frame's (the closing zoom darkens
// from then on); scene 2 sets it before each of its two passes. Played through, scene 0 starts
// from the start settings and every later scene from the one before it, so scene 8 draws with
// scene 7's; a jump in the music carries over whatever the last scene drawn left.
inline constexpr ScenePassSets SCENE_PASS_SETS[SCENE_COMPOSITIONS] = {
    /* 0 */ {to(-1800), to(1), to(0), KEEP},
    /* 1 */ {to(-1800), KEEP, to(0), KEEP},
    /* 2 */ {to(-100800), KEEP, to(0), to(0)},
    /* 3 */ {to(-30000), KEEP, to(1), to(0)},
    /* 4 */ {to(-1800), to(1), to(0), KEEP},
    /* 5 */ {to(-1800), to(1), to(0), KEEP},
    /* 6 */ {KEEP, KEEP, to(0), to(1)},
    /* 7 */ {KEEP, KEEP, to(0), to(0)},
    /* 8 */ {KEEP, KEEP, KEEP, KEEP},
};

// Applies what the table gives scene `index` to `pass`.
void setScenePass(int index, ScenePassSettings* pass);

// ---- Takes ----

// A take of a scene: the cut a scene time falls into and the time since the cut began.
struct Cut {
    int index;
    float time;
};

// Cut of scene time t within an 11-entry cut table (the index kept inside the table).
Cut cutAt(const int32_t* table, float t);

// ---- Layers and fades ----

// A Layer's drawn positions are its own multiplied per axis (Stretch) or moved per axis
// (Offset); depth is never changed.
struct Stretch {
    double x = 1.0, y = 1.0;
};
struct Offset {
    double x = 0.0, y = 0.0;
};
// The Layer as it was made.
constexpr Stretch AS_MADE{};

// Entry n of the LayerTable.
Layer* layerAt(int n);
// Adds Layer n to the frame's picture at `level`, placed as given, its deformer at `time`.
void addLayer(const SceneFrame& frame, int n, double level, Stretch place, double time);
void addLayer(const SceneFrame& frame, int n, double level, Offset place, double time);
// Multiplies the frame's picture by Layer n (a mask: its black hides, its white keeps).
void maskLayer(const SceneFrame& frame, int n, Stretch place, double time);
void maskLayer(const SceneFrame& frame, int n, Offset place, double time);
// Multiplies the frame's picture by x (nothing for x >= 1), or adds x to every channel
// (nothing for x <= 0).
void fadeToBlack(const SceneFrame& frame, double x);
void fadeToWhite(const SceneFrame& frame, double x);
// Renders a Scene at time t with the frame's pass settings (or only advances it).
void renderScene(const SceneFrame& frame, Scene* scene, double t);
// Covers the tiles of the tile mask that are not yet uncovered (n of 8 are).
void drawTileMask(const SceneFrame& frame, int n);

// ---- Levels that follow the scene time ----

// 0 at tick `start`, rising by `perTick` a tick, held within 0 and 1.
double riseFrom(double t, double start, double perTick);
// 1 at tick `start`, falling by `perTick` a tick, held within 0 and 1.
double fallFrom(double t, double start, double perTick);

// ---- Helpers the scenes share ----

// Sets how many sprites of a scene's sprite set are drawn, kept within what the set holds;
// nothing when the scene has no such set.
void setSpriteCount(Scene* scene, int set, int count);
// A picture cut in by its mask, both moved sideways by dx: the mask darkens where the picture
// goes, then the picture is added there.
void drawMaskedPictureShifted(const SceneFrame& frame, int maskLayer, int pictureLayer, double dx);
// The two shutters close over the picture from below and above, starting at scene time `from`
// two screen heights away and meeting after 80 ticks; nothing before `from`.
void drawClosingShutters(const SceneFrame& frame, double from);

void drawScene0(SceneFrame& frame);
void drawScene1(SceneFrame& frame);
void drawScene2(SceneFrame& frame);
void drawScene3(SceneFrame& frame);
void drawScene4(SceneFrame& frame);
void drawScene5(SceneFrame& frame);
void drawScene6(SceneFrame& frame);
void drawScene7(SceneFrame& frame);
void drawScene8(SceneFrame& frame);
