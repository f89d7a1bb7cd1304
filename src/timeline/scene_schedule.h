// The schedule of the demo: where each scene starts in the music, the cut tables that split
// scenes into takes, and the sway and flare tables of the compositions. Time is the music's
// byte position, turned into milliseconds and ticks of 1/35 second.
#pragma once

#include <cstdint>

constexpr double MS_PER_BYTE = 0.005668934240362812;  // 1 / 176.4
constexpr double TICKS_PER_MS = 0.035;
constexpr double FRAME_STEP_PER_MS = 0.015;
constexpr int SCENE_COUNT_PLAYED = 9;  // scene index 9 is the end of the demo

inline constexpr float SCENE_START_MS[11] = {0,      13200,  54300,  82200,  107800, 134000,
                                             173000, 199700, 215800, 228000, 240000};
inline constexpr int32_t CUT_TABLE_A[11] = {0, 115, 230, 345, 460, 570, 680, 800, 915, 1500, 2000};
inline constexpr int32_t CUT_TABLE_B[11] = {0, 115, 230, 345, 460, 575, 690, 805, 920, 1500, 2000};
inline constexpr float SWAY_CURVE[20] = {0, 1, 0.5f, 0, -1, -1, -0.5f, 0, 0, 1, 1, 0,
                                         0, 0, 0,    0, 0,  0,  0,     0};
inline constexpr int32_t FLARE_TABLE[13] = {0,   30,  130, 160,  230,  260, 330,
                                            370, 420, 470, 1200, 2000, 3000};

// Scene index of a music time: 0 up to 13200 ms, then the i with start[i] < ms <= start[i + 1];
// past the table's end an index above 9.
int sceneIndexForMs(double ms);
// Cut index of a scene time in ticks within an 11-entry cut table: 0 up to 115, then the k with
// table[k] < t <= table[k + 1].
int cutIndexFor(const int32_t* table, float t);

// Music positions of frames drawn at a fixed rate of music time, as the capture tool and the
// web page's still frames draw them, in whole samples so that a frame lands on the same sample
// everywhere.
constexpr int BYTES_PER_SAMPLE_FRAME = 4;  // 16-bit stereo
// Music byte position of fixed-rate frame `frame`: 4 x round(frame x 44100 / fps), halves up.
int32_t framePosition(int64_t frame, int fps);
// Music byte position of a time in microseconds: 4 x round(ms x 44.1), halves up.
int32_t timePosition(int64_t micros);
