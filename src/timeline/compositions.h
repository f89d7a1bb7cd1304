// The nine scene compositions, each drawing its frame from Layers, fades, the tile mask, scene
// render passes and effects in a fixed order.
#pragma once

#include <cstdint>

constexpr int SCENE_COMPOSITIONS = 9;

// Text levels that keep their value between frames (0 at start): scene 1's inserted text and
// scene 3's flying text.
extern float lightTextLevel;
extern float neuronalTextLevel;

struct Scene;
struct Layer;

// A take of a scene: the cut a scene time falls into and the time since the cut began.
struct Cut {
    int index;
    float time;
};

// Cut of scene time t within an 11-entry cut table (the index kept inside the table).
Cut cutAt(const int32_t* table, float t);
// Entry n of the LayerTable.
Layer* layerAt(int n);
// Sets how many sprites of a scene's sprite set are drawn, kept within what the set holds;
// nothing when the scene has no such set.
void setSpriteCount(Scene* scene, int set, int count);
// A picture cut in by its mask, both moved sideways by dx: the mask darkens where the picture
// goes, then the picture is added there.
void drawMaskedPictureShifted(int maskLayer, int pictureLayer, double dx, double bigT);
// The two shutters close over the picture from below and above, starting at scene time `from`
// two screen heights away and meeting after 80 ticks; nothing before `from`.
void drawClosingShutters(double t, double from, double bigT);

// Draws scene `index` (0 to 8) for the current frame; other indices draw nothing.
void drawComposition(int index);
// Sets the levels that persist between frames (the text levels of scenes 1 and 3) back to 0.
void resetCompositionState();

void drawScene0();
void drawScene1();
void drawScene2();
void drawScene3();
void drawScene4();
void drawScene5();
void drawScene6();
void drawScene7();
void drawScene8();
