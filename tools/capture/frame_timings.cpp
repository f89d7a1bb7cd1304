// Frame timing statistics. Frames arrive in music order, but nothing here relies on that: each
// record carries its scene, and a summary gathers one scene's values into a scratch array and
// finds the median with nth_element. The pools are static, so timing a run allocates nothing.
#include "frame_timings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

float oursTimes[MAX_TIMED_FRAMES];
float driverTimes[MAX_TIMED_FRAMES];
uint8_t frameScenes[MAX_TIMED_FRAMES];
float scratch[MAX_TIMED_FRAMES];
int timedFrames = 0;

// Gathers one scene's values of `source` into scratch; returns how many.
int gather(int scene, const float* source) {
    int count = 0;
    for (int i = 0; i < timedFrames; ++i)
        if (frameScenes[i] == scene) scratch[count++] = source[i];
    return count;
}

void minMedianMax(int count, double* low, double* median, double* high) {
    auto [lowest, highest] = std::minmax_element(scratch, scratch + count);
    *low = *lowest;
    *high = *highest;
    int middle = count / 2;
    std::nth_element(scratch, scratch + middle, scratch + count);
    double upper = scratch[middle];
    if (count % 2 == 1) {
        *median = upper;
        return;
    }
    double lower = *std::max_element(scratch, scratch + middle);
    *median = (lower + upper) / 2;
}

}  // namespace

void resetFrameTimings() { timedFrames = 0; }

int recordFrameTiming(int scene, double oursMs, double driverMs) {
    if (scene < 0 || scene >= TIMED_SCENES) return 0;
    if (timedFrames >= MAX_TIMED_FRAMES) return 0;
    oursTimes[timedFrames] = static_cast<float>(oursMs);
    driverTimes[timedFrames] = static_cast<float>(driverMs);
    frameScenes[timedFrames] = static_cast<uint8_t>(scene);
    ++timedFrames;
    return 1;
}

int summariseScene(int scene, TimingSummary* out) {
    *out = TimingSummary{};
    int count = gather(scene, oursTimes);
    if (count == 0) return 0;
    out->frames = count;
    minMedianMax(count, &out->oursMin, &out->oursMedian, &out->oursMax);
    gather(scene, driverTimes);
    minMedianMax(count, &out->driverMin, &out->driverMedian, &out->driverMax);
    return 1;
}

int formatSceneTiming(int scene, const TimingSummary& s, char* out, size_t size) {
    int length = std::snprintf(
        out, size,
        "scene %d: %lld frames, ours min %.3f median %.3f max %.3f ms, "
        "driver min %.3f median %.3f max %.3f ms",
        scene, static_cast<long long>(s.frames), s.oursMin, s.oursMedian, s.oursMax, s.driverMin,
        s.driverMedian, s.driverMax);
    return length >= 0 && static_cast<size_t>(length) < size;
}

long peakMemoryFromStatus(const char* statusText) {
    if (!statusText) return -1;
    for (const char* line = statusText; line && *line;) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            char* end = nullptr;
            long kb = std::strtol(line + 6, &end, 10);
            if (end == line + 6) return -1;
            return kb;
        }
        line = std::strchr(line, '\n');
        if (line) ++line;
    }
    return -1;
}

long peakMemoryKb() {
    FILE* file = std::fopen("/proc/self/status", "r");
    if (!file) return -1;
    static char text[8192];
    size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[length] = '\0';
    return peakMemoryFromStatus(text);
}
