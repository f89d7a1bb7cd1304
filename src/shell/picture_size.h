// The size the window's picture is drawn at, following the frame time: a picture that takes
// longer than the frame budget is drawn smaller, and scaled up to the window, until frames keep
// pace; one that is drawn well within it grows back. Sizes lie on a ladder, each rung a quarter
// of an octave (about 0.84 times the height, 0.71 times the pixels) below the one above, from
// the window's own picture height (at most LARGEST_PICTURE_HEIGHT) down to SMALLEST_PICTURE_HEIGHT.
// Below the least height come SAMPLE_RUNGS rungs where the picture keeps that height and takes
// half the samples per pixel of the rung above (four, two, one): on a software renderer the
// samples weigh about as much as a rung of height, and a scene that is slow even at the least
// height keeps its pace with rougher edges instead of a smaller picture.
// A step is taken only after the frames at the size before it were measured, at most one
// every STEP_HOLD_MS, and the sizer grows only after frames have been fast for GROW_AFTER_MS:
// between the budget and the growing threshold it holds, so the picture never pumps.
#pragma once

#include <cstdint>

// 30 frames a second.
constexpr double FRAME_BUDGET_MS = 1000.0 / 30;
// Frames this fast would still keep the budget one rung larger (0.6 of the budget; a rung
// costs 1.41 times the pixels), with room to spare.
constexpr double GROW_BELOW_MS = FRAME_BUDGET_MS * 0.6;
constexpr int SMALLEST_PICTURE_HEIGHT = 240;
constexpr int LARGEST_PICTURE_HEIGHT = 2160;
constexpr int SAMPLE_RUNGS = 2;
constexpr uint64_t STEP_HOLD_MS = 500;
constexpr uint64_t GROW_AFTER_MS = 1500;
// Frames measured at a size before it may change, and the most rungs one shrinking step takes.
constexpr int MEASURED_FRAMES = 8;
constexpr int MOST_RUNGS_A_STEP = 4;

struct PictureSizer {
    int rung;                              // 0: the window's own height, all its samples
    double intervals[MEASURED_FRAMES];     // the last frame intervals at this rung, in ms
    int measured;                          // how many of them there are
    uint64_t changedAt;                    // wall-clock ms of the last step
    uint64_t fastSince;                    // since when frames have been growing-fast, or 0
};

// Picture height of rung `rung` for a window picture `windowHeight` rows high.
int pictureHeightAt(int rung, int windowHeight);
// The first rung of the least height, for this window.
int lowestRung(int windowHeight);
// The last rung: the least height with the fewest samples.
int deepestRung(int windowHeight);
// How many times the window's samples per pixel are halved at `rung` (0 above the least height).
int sampleHalvingsAt(int rung, int windowHeight);
// Takes the interval of the frame just shown (ms) at wall-clock time `now` (ms), and moves the
// sizer's rung when the rules above say so. Returns the picture height for the next frame.
int followFrameTime(PictureSizer* sizer, double intervalMs, uint64_t now, int windowHeight);
