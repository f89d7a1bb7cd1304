// The picture sizer on sequences of frame times, with no GL: it shrinks when the frames are slow,
// holds between the budget and the growing threshold, grows back one rung at a time when they
// are fast, keeps to its limits, and never pumps on a machine whose frame time follows the
// pixels drawn.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/picture_size.h"

namespace {

// Feeds `count` frames of `ms` each, the clock moving by the frame time; returns the last height.
int feed(PictureSizer* sizer, uint64_t* now, int count, double ms, int windowHeight) {
    int height = 0;
    for (int k = 0; k < count; ++k) {
        *now += static_cast<uint64_t>(ms);
        height = followFrameTime(sizer, ms, *now, windowHeight);
    }
    return height;
}

}  // namespace

TEST(PictureSizer, LadderRunsFromTheWindowDownToQuarterVgaAndStopsAtTwentyOneSixty) {
    EXPECT_EQ(pictureHeightAt(0, 1080), 1080);
    EXPECT_EQ(pictureHeightAt(1, 1080), 908);  // a quarter of an octave down
    EXPECT_EQ(pictureHeightAt(4, 1080), 540);
    EXPECT_EQ(pictureHeightAt(40, 1080), 240);
    EXPECT_EQ(pictureHeightAt(lowestRung(1080), 1080), 240);
    EXPECT_GT(pictureHeightAt(lowestRung(1080) - 1, 1080), 240);
    EXPECT_EQ(pictureHeightAt(0, 3000), 2160);
    EXPECT_EQ(pictureHeightAt(0, 200), 200);  // a window smaller than the least size
    EXPECT_EQ(lowestRung(200), 0);
}

TEST(PictureSizer, ShrinksByWhatTheMedianNeedsThenHoldsAndOneSlowFrameMovesNothing) {
    PictureSizer sizer{};
    uint64_t now = 1000;
    // One slow frame among fast ones: the median stays fast.
    EXPECT_EQ(feed(&sizer, &now, 7, 25, 1080), 1080);
    EXPECT_EQ(feed(&sizer, &now, 1, 400, 1080), 1080);
    EXPECT_EQ(feed(&sizer, &now, 30, 25, 1080), 1080);  // between the budget and growing: held

    // 100 ms frames: three times the budget wants 2 log2(100 / 30) = 3.5, so four rungs down.
    sizer = PictureSizer{};
    now = 1000;
    EXPECT_EQ(feed(&sizer, &now, 8, 100, 1080), pictureHeightAt(4, 1080));
    // Still slow: the next step waits for eight frames at the new size and half a second.
    EXPECT_EQ(feed(&sizer, &now, 4, 100, 1080), pictureHeightAt(4, 1080));
    EXPECT_EQ(feed(&sizer, &now, 4, 100, 1080), pictureHeightAt(8, 1080));
    // Ever slower: never below the least size; there the samples are halved, twice at most.
    EXPECT_EQ(feed(&sizer, &now, 200, 1000, 1080), 240);
    EXPECT_EQ(sizer.rung, deepestRung(1080));
    EXPECT_EQ(sampleHalvingsAt(sizer.rung, 1080), SAMPLE_RUNGS);

    // 40 ms frames: one rung a step, and eight of them (320 ms) are not the half second a step
    // holds for.
    sizer = PictureSizer{};
    now = 1000;
    EXPECT_EQ(feed(&sizer, &now, 8, 40, 1080), pictureHeightAt(1, 1080));
    EXPECT_EQ(feed(&sizer, &now, 8, 40, 1080), pictureHeightAt(1, 1080));
    EXPECT_EQ(feed(&sizer, &now, 5, 40, 1080), pictureHeightAt(2, 1080));
}

TEST(PictureSizer, GrowsBackOneRungAtATimeAfterFastFramesAndNotAboveTheWindow) {
    PictureSizer sizer{};
    uint64_t now = 1000;
    feed(&sizer, &now, 8, 100, 1080);
    ASSERT_EQ(sizer.rung, 4);
    // 10 ms frames: the first rung back after a second and a half of them, no sooner.
    EXPECT_EQ(feed(&sizer, &now, 140, 10, 1080), pictureHeightAt(4, 1080));
    EXPECT_EQ(feed(&sizer, &now, 20, 10, 1080), pictureHeightAt(3, 1080));
    EXPECT_EQ(feed(&sizer, &now, 2000, 10, 1080), 1080);
    EXPECT_EQ(sizer.rung, 0);
    // The window shrinks under the sizer: its rung is kept within the new ladder.
    sizer.rung = 20;
    EXPECT_EQ(followFrameTime(&sizer, 10, now + 10, 480), 240);
    EXPECT_EQ(sizer.rung, deepestRung(480));
}

// A scene that is slow even at the least height: the picture keeps that height and gives up
// samples, one halving a step, and gets them back first when frames are fast again.
TEST(PictureSizer, BelowTheLeastHeightTheSamplesGoFirstAndComeBackFirst) {
    const int lowest = lowestRung(1080);
    EXPECT_EQ(sampleHalvingsAt(0, 1080), 0);
    EXPECT_EQ(sampleHalvingsAt(lowest, 1080), 0);
    EXPECT_EQ(sampleHalvingsAt(lowest + 1, 1080), 1);
    EXPECT_EQ(sampleHalvingsAt(lowest + 2, 1080), 2);
    EXPECT_EQ(sampleHalvingsAt(lowest + 9, 1080), SAMPLE_RUNGS);
    EXPECT_EQ(pictureHeightAt(deepestRung(1080), 1080), 240);

    PictureSizer sizer{};
    sizer.rung = lowest;
    uint64_t now = 1000;
    // 40 ms frames at the least height: one halving.
    EXPECT_EQ(feed(&sizer, &now, 16, 40, 1080), 240);
    EXPECT_EQ(sizer.rung, lowest + 1);
    // 25 ms frames: between the budget and growing, held.
    feed(&sizer, &now, 200, 25, 1080);
    EXPECT_EQ(sizer.rung, lowest + 1);
    // 10 ms frames: the samples come back before the height grows.
    feed(&sizer, &now, 170, 10, 1080);
    EXPECT_EQ(sizer.rung, lowest);
    EXPECT_EQ(sampleHalvingsAt(sizer.rung, 1080), 0);
    EXPECT_EQ(pictureHeightAt(sizer.rung, 1080), 240);
}

// A machine whose frame takes 2 ms plus time in proportion to the pixels drawn, 60 ms at
// 1920 x 1080: the sizer comes down under the budget within a few seconds and then stays,
// without going back and forth.
TEST(PictureSizer, SettlesUnderTheBudgetWithoutPumping) {
    for (double fullMs : {60.0, 150.0, 30.0}) {
        SCOPED_TRACE(testing::Message() << fullMs << " ms at full size");
        PictureSizer sizer{};
        uint64_t now = 0;
        int height = 1080, changes = 0, lastChangeFrame = 0;
        double frameMs = 0;
        for (int frame = 0; frame < 3000; ++frame) {
            const double share = std::pow(height / 1080.0, 2);
            frameMs = 2.0 + (fullMs - 2.0) * share;
            now += static_cast<uint64_t>(frameMs);
            const int next = followFrameTime(&sizer, frameMs, now, 1080);
            if (next != height) ++changes, lastChangeFrame = frame;
            height = next;
        }
        EXPECT_LE(frameMs, FRAME_BUDGET_MS);
        EXPECT_LE(changes, 3);
        EXPECT_LT(lastChangeFrame, 300);
        if (fullMs <= FRAME_BUDGET_MS) {
            EXPECT_EQ(changes, 0);  // keeps pace: nothing changes
        }
    }
}
