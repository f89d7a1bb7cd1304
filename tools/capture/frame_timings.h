// Timing figures for --bench: per frame, the time spent in the demo's own frame function and
// the time the GL driver still needed afterwards (until glFinish returned), kept per scene in
// a fixed pool and summarised as minimum, median and maximum. Peak memory comes from the
// kernel's high-water mark of the process.
#pragma once

#include <cstddef>
#include <cstdint>

// Most frames one run can time: 228 s at the highest frame rate the tool accepts.
constexpr int MAX_TIMED_FRAMES = 1 << 18;
constexpr int TIMED_SCENES = 9;

struct TimingSummary {
    int64_t frames;
    double oursMin, oursMedian, oursMax;        // milliseconds
    double driverMin, driverMedian, driverMax;  // milliseconds
};

// Forgets every recorded frame.
void resetFrameTimings();
// Records one frame of `scene`. 0 when the scene is out of range or the pool is full.
int recordFrameTiming(int scene, double oursMs, double driverMs);
// Minimum, median (the mean of the middle two for an even count) and maximum of one scene.
// 0 when the scene has no frames.
int summariseScene(int scene, TimingSummary* out);
// "scene N: F frames, ours min/median/max ... ms, driver min/median/max ... ms".
int formatSceneTiming(int scene, const TimingSummary& summary, char* out, size_t size);
// The VmHWM figure of a /proc/<pid>/status text, in kB; -1 when it has none.
long peakMemoryFromStatus(const char* statusText);
// This process's peak resident memory in kB; -1 when it cannot be read.
long peakMemoryKb();
