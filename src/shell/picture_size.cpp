// The picture sizer. It reads the median of the last frames at the current size, so that one
// slow frame (a scene's first, a hiccup of the machine) moves nothing, and it shrinks by as
// many rungs as the median says are needed to come back under the budget, since drawing is
// bound by the pixels filled; it grows one rung at a time.
#include "shell/picture_size.h"

#include <algorithm>
#include <cmath>

namespace {

double medianOf(const double* values, int count) {
    double sorted[MEASURED_FRAMES];
    std::copy(values, values + count, sorted);
    std::sort(sorted, sorted + count);
    return count % 2 ? sorted[count / 2] : 0.5 * (sorted[count / 2 - 1] + sorted[count / 2]);
}

void stepTo(PictureSizer* sizer, int rung, uint64_t now) {
    sizer->rung = rung;
    sizer->measured = 0;
    sizer->changedAt = now;
    sizer->fastSince = 0;
}

}  // namespace

int pictureHeightAt(int rung, int windowHeight) {
    const int top = std::min(windowHeight, LARGEST_PICTURE_HEIGHT);
    if (top <= SMALLEST_PICTURE_HEIGHT) return std::max(top, 1);
    const double height = top * std::pow(2.0, -rung / 4.0);
    return std::max(static_cast<int>(std::lround(height)), SMALLEST_PICTURE_HEIGHT);
}

int lowestRung(int windowHeight) {
    int rung = 0;
    while (pictureHeightAt(rung, windowHeight) > SMALLEST_PICTURE_HEIGHT) ++rung;
    return rung;
}

int deepestRung(int windowHeight) { return lowestRung(windowHeight) + SAMPLE_RUNGS; }

int sampleHalvingsAt(int rung, int windowHeight) {
    return std::clamp(rung - lowestRung(windowHeight), 0, SAMPLE_RUNGS);
}

int followFrameTime(PictureSizer* sizer, double intervalMs, uint64_t now, int windowHeight) {
    const int deepest = deepestRung(windowHeight);
    if (sizer->rung > deepest) stepTo(sizer, deepest, now);
    // Frames measured at this rung, oldest first out.
    if (sizer->measured == MEASURED_FRAMES)
        std::copy(sizer->intervals + 1, sizer->intervals + MEASURED_FRAMES, sizer->intervals);
    sizer->intervals[std::min(sizer->measured, MEASURED_FRAMES - 1)] = intervalMs;
    sizer->measured = std::min(sizer->measured + 1, MEASURED_FRAMES);
    if (sizer->measured < MEASURED_FRAMES)
        return pictureHeightAt(sizer->rung, windowHeight);

    const double median = medianOf(sizer->intervals, sizer->measured);
    const bool held = now >= sizer->changedAt + STEP_HOLD_MS;
    if (median > FRAME_BUDGET_MS && sizer->rung < deepest && held) {
        // Each rung down takes about 1/sqrt(2) of the pixels (or half the samples), and about as
        // much of the time; aim a little under the budget.
        const double rungs = std::ceil(2.0 * std::log2(median / (0.9 * FRAME_BUDGET_MS)));
        const int by = std::clamp(static_cast<int>(rungs), 1, MOST_RUNGS_A_STEP);
        stepTo(sizer, std::min(sizer->rung + by, deepest), now);
    } else if (median < GROW_BELOW_MS && sizer->rung > 0) {
        if (sizer->fastSince == 0) sizer->fastSince = now;
        if (held && now >= sizer->fastSince + GROW_AFTER_MS) stepTo(sizer, sizer->rung - 1, now);
    } else {
        sizer->fastSince = 0;
    }
    return pictureHeightAt(sizer->rung, windowHeight);
}
