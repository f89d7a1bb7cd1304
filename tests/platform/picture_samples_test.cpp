// The samples a scaled picture gets: every picture a window can ask for, up to the tallest
// (2160 rows) in the widest shape, keeps its colour and depth samples within the budget, while
// the sizes a demo is usually watched at keep the four samples the window asks for.
#include <gtest/gtest.h>

#include "platform/picture_samples.h"

namespace {

constexpr long long BYTES_PER_SAMPLE = 4 + 4;  // RGBA8 colour and a padded depth

TEST(PictureSamples, CommonSizesKeepEverySampleAskedFor) {
    EXPECT_EQ(pictureSamplesWithinBudget(4, 640, 480), 4);
    EXPECT_EQ(pictureSamplesWithinBudget(4, 1920, 1080), 4);
    EXPECT_EQ(pictureSamplesWithinBudget(4, 2560, 1440), 4);
    EXPECT_EQ(pictureSamplesWithinBudget(1, 640, 480), 1);
    EXPECT_EQ(pictureSamplesWithinBudget(0, 640, 480), 1);
}

TEST(PictureSamples, TallPicturesOfAnyShapeStayWithinTheBudget) {
    for (int height = 240; height <= 2160; height += 16) {
        for (const double aspect : {4.0 / 3.0, 16.0 / 9.0, 21.0 / 9.0, 32.0 / 9.0}) {
            const int width = static_cast<int>(height * aspect);
            const int samples = pictureSamplesWithinBudget(4, width, height);
            EXPECT_GE(samples, 1);
            const long long bytes = BYTES_PER_SAMPLE * samples * width * height;
            if (samples > 1) {
                EXPECT_LE(bytes, BYTES_PER_SAMPLE * PICTURE_SAMPLE_BUDGET);
            }
            EXPECT_LE(bytes, 130LL << 20) << width << " x " << height;
        }
    }
    EXPECT_EQ(pictureSamplesWithinBudget(4, 2880, 2160), 2);
    EXPECT_EQ(pictureSamplesWithinBudget(8, 3840, 2160), 1);
}

TEST(PictureSamples, NonsenseSizesAskForNothingOdd) {
    EXPECT_EQ(pictureSamplesWithinBudget(4, 0, 0), 4);
    EXPECT_EQ(pictureSamplesWithinBudget(4, -5, 100), 4);
    EXPECT_EQ(pictureSamplesWithinBudget(4, 1 << 20, 1 << 20), 1);
}

}  // namespace
