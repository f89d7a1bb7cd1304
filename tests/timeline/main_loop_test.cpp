// The schedule lookups at their boundaries, and the main loop's per-frame values driven by a
// position source instead of the sound device.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/frame_clock.h"
#include "app/asset_tables.h"
#include "gl_test_context.h"
#include "platform/platform.h"
#include "shell/gl_window.h"
#include "timeline/main_loop.h"
#include "timeline/scene_schedule.h"

namespace {

int32_t drivenPosition = 0;
int32_t readDrivenPosition() { return drivenPosition; }

struct DrivenClock {
    DrivenClock() { setAudioPositionSource(readDrivenPosition); }
    ~DrivenClock() { setAudioPositionSource(nullptr); }
};

double msOfBytes(int32_t bytes) { return bytes * MS_PER_BYTE; }

}  // namespace

TEST(SceneSchedule, SceneBoundariesBelongToTheSceneThatEnds) {
    EXPECT_EQ(sceneIndexForMs(msOfBytes(2328480)), 0);  // exactly 13200 ms
    EXPECT_EQ(sceneIndexForMs(msOfBytes(2328484)), 1);
    EXPECT_EQ(sceneIndexForMs(-0.0057), 0);  // a position query that answered -1
    EXPECT_EQ(sceneIndexForMs(54300), 1);
    EXPECT_EQ(sceneIndexForMs(54300.01), 2);
    EXPECT_EQ(sceneIndexForMs(228000), 8);
    EXPECT_EQ(sceneIndexForMs(228000.01), 9);
    EXPECT_EQ(sceneIndexForMs(240000), 9);
    EXPECT_GT(sceneIndexForMs(240000.01), 9);
}

TEST(SceneSchedule, CutIndexFollowsTheTable) {
    EXPECT_EQ(cutIndexFor(CUT_TABLE_A, -5), 0);
    EXPECT_EQ(cutIndexFor(CUT_TABLE_A, 115), 0);
    EXPECT_EQ(cutIndexFor(CUT_TABLE_A, 115.1f), 1);
    EXPECT_EQ(cutIndexFor(CUT_TABLE_A, 570), 4);
    EXPECT_EQ(cutIndexFor(CUT_TABLE_A, 571), 5);
    EXPECT_EQ(cutIndexFor(CUT_TABLE_B, 460), 3);
    EXPECT_EQ(cutIndexFor(CUT_TABLE_B, 460.1f), 4);
    EXPECT_EQ(cutIndexFor(CUT_TABLE_B, 1365), 8);
    EXPECT_EQ(cutIndexFor(CUT_TABLE_A, 1400), 8);
}

class MainLoop : public testing::Test {
protected:
    void SetUp() override {
        GlTestContext::ensure();
        ASSERT_EQ(allocateTables(), 1);  // empty tables: scene 0 draws nothing visible
        keyDown[27] = 0;
    }
    void TearDown() override {
        releaseTables();
        keyDown[27] = 0;
    }
    DrivenClock clock;
    TimelineState timeline = START_TIMELINE;
};

TEST_F(MainLoop, FrameStepFollowsTheMusicBetweenFrames) {
    ASSERT_EQ(beginTimeline(&timeline), 1);
    drivenPosition = 176400;  // one second
    ASSERT_EQ(timelineFrame(&timeline), 1);
    EXPECT_EQ(timeline.sceneIndex, 0);
    EXPECT_NEAR(frameStep, 15.0, 1e-4);
    EXPECT_NEAR(sceneTime, 35.0, 1e-4);
    EXPECT_NEAR(demoTime, 35.0, 1e-4);
    ASSERT_EQ(timelineFrame(&timeline), 1);  // same position again
    EXPECT_EQ(frameStep, 0.0f);
    drivenPosition = 88200;  // the stream jumped back half a second
    ASSERT_EQ(timelineFrame(&timeline), 1);
    EXPECT_NEAR(frameStep, -7.5, 1e-4);
}

TEST_F(MainLoop, EndsAfterTheClearedFramePastSceneEight) {
    ASSERT_EQ(beginTimeline(&timeline), 1);
    drivenPosition = static_cast<int32_t>(std::lround(228000.5 * 176.4));
    drivenPosition &= ~3;
    GlTestContext::clear(1.0f);
    EXPECT_EQ(timelineFrame(&timeline), 0);
    EXPECT_EQ(timeline.sceneIndex, 9);
    // The last frame is cleared to black and shows nothing else.
    Rgb centre = GlTestContext::readPixel(320, 240);
    EXPECT_EQ(centre.r + centre.g + centre.b, 0);
    EXPECT_EQ(timelineFrame(&timeline), 0);  // nothing more is drawn
}

TEST_F(MainLoop, EscapeHeldBeforeTheLoopDrawsNoFrame) {
    keyDown[27] = 1;
    EXPECT_EQ(beginTimeline(&timeline), 0);
}

// A quick tap, pressed and released before the frame looks, still counts.
TEST_F(MainLoop, EscapeSeenByTheFirstPumpEndsAfterThatFrame) {
    ASSERT_EQ(beginTimeline(&timeline), 1);
    platformPostEvent({PLATFORM_KEY_DOWN, 27, 0, 0});
    platformPostEvent({PLATFORM_KEY_UP, 27, 0, 0});
    drivenPosition = 4000;
    EXPECT_EQ(timelineFrame(&timeline), 0);
    EXPECT_NEAR(sceneMs, 4000 * MS_PER_BYTE, 1e-3);  // the frame itself was drawn
}
