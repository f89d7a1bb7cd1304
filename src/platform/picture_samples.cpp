#include "platform/picture_samples.h"

int pictureSamplesWithinBudget(int wanted, int width, int height) {
    const long long pixels =
        static_cast<long long>(width > 0 ? width : 0) * (height > 0 ? height : 0);
    int samples = wanted > 1 ? wanted : 1;
    while (samples > 1 && samples * pixels > PICTURE_SAMPLE_BUDGET) samples /= 2;
    return samples;
}
