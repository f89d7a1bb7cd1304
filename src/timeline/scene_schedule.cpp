// Looking up where in the schedule a time lies. Both searches compare with the table from its
// third entry upwards and stop at the first entry not below the time, so a time exactly on an
// entry still belongs to the span that ends there. And the music positions of fixed-rate
// frames, counted in whole samples.
#include "timeline/scene_schedule.h"

int sceneIndexForMs(double ms) {
    if (ms <= SCENE_START_MS[1]) return 0;
    for (int i = 2; i < 11; ++i)
        if (ms <= SCENE_START_MS[i]) return i - 1;
    return 11;  // past the end mark of the table
}

int cutIndexFor(const int32_t* table, float t) {
    if (t <= table[1]) return 0;
    for (int k = 2; k < 11; ++k)
        if (t <= table[k]) return k - 1;
    return 10;  // beyond the last entry: the last cut, measured from the final entry
}

int32_t framePosition(int64_t frame, int fps) {
    // round(frame x 44100 / fps) with halves up, in integers.
    const int64_t samples = (2 * frame * 44100 + fps) / (2 * static_cast<int64_t>(fps));
    return static_cast<int32_t>(samples * BYTES_PER_SAMPLE_FRAME);
}

int32_t timePosition(int64_t micros) {
    // ms x 44.1 = micros x 441 / 10000, rounded with halves up.
    const int64_t samples = (2 * micros * 441 + 10000) / 20000;
    return static_cast<int32_t>(samples * BYTES_PER_SAMPLE_FRAME);
}
