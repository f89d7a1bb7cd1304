// The timeline under a clock that misbehaves and a window that shrinks away: the music jumping
// back to its start (a looping stream shorter than the demo) from every scene, and a window
// resized to no height between frames. Frames run through the real frame function over the
// fixture data set, with the position driven by the test.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "anim/frame_clock.h"
#include "demo_data_fixture.h"
#include "gl_test_context.h"
#include "platform/platform.h"
#include "shell/gl_window.h"
#include "timeline/compositions.h"
#include "timeline/main_loop.h"
#include "timeline/scene_schedule.h"

namespace {

int32_t drivenPosition = 0;
int32_t answerDrivenPosition() { return drivenPosition; }

// Byte position of a music time, in whole sample frames.
int32_t bytesAt(double ms) { return static_cast<int32_t>(std::lround(ms * 176.4)) & ~3; }

// What the timeline keeps between the frames a test plays.
TimelineState timeline = START_TIMELINE;

int frameAtMs(double ms) {
    drivenPosition = bytesAt(ms);
    return timelineFrame(&timeline);
}

bool samePixel(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

class TimelineFaults : public ::testing::Test {
protected:
    void SetUp() override {
        GlTestContext::ensure();
        if (!loaded) {
            const std::string folder = writeDemoFixture(FixtureOptions{});
            const LoadRecord record = loadDemoFixture(folder);
            removeDemoFixture(folder);
            ASSERT_EQ(record.result, 1);
            loaded = true;
        }
        timeline = START_TIMELINE;
        keyDown[27] = 0;
        setAudioPositionSource(answerDrivenPosition);
        drivenPosition = 0;
        ASSERT_EQ(beginTimeline(&timeline), 1);
    }

    void TearDown() override {
        setAudioPositionSource(nullptr);
        resizeViewport(640, 480);
    }

    static inline bool loaded = false;
};

}  // namespace

// A stream shorter than the demo starts again at 0 from wherever it ends. Whatever scene was
// playing, the next frame belongs to scene 0 at the new time, draws the title as the first pass
// did, and the demo plays on forward into the scene it left.
TEST_F(TimelineFaults, MusicStartingAgainReturnsToTheTitleFromEveryScene) {
    ASSERT_EQ(frameAtMs(5000), 1);
    const Rgb titleCentre = GlTestContext::readPixel(320, 240);
    const Rgb titleCorner = GlTestContext::readPixel(600, 60);

    for (int scene = 1; scene <= 8; ++scene) {
        SCOPED_TRACE("jump back from scene " + std::to_string(scene));
        const double start = SCENE_START_MS[scene];
        const double end = SCENE_START_MS[scene + 1];
        // Three frames in the scene, the last near its end.
        for (double ms : {start + 40.0, (start + end) / 2, end - 40.0}) {
            ASSERT_EQ(frameAtMs(ms), 1);
            EXPECT_EQ(timeline.sceneIndex, scene);
        }
        ASSERT_EQ(frameAtMs(5000), 1);
        EXPECT_EQ(timeline.sceneIndex, 0);
        EXPECT_NEAR(sceneMs, 5000.0, 0.05);
        EXPECT_NEAR(sceneTime, 175.0, 0.01);
        EXPECT_NEAR(frameStep, (5000.0 - (end - 40.0)) * 0.015, 0.05);  // backwards, once
        EXPECT_TRUE(samePixel(GlTestContext::readPixel(320, 240), titleCentre));
        EXPECT_TRUE(samePixel(GlTestContext::readPixel(600, 60), titleCorner));
        // On again, through the scenes up to the one that was left.
        for (int next = 0; next <= scene; ++next) {
            ASSERT_EQ(frameAtMs(next == 0 ? 5040.0 : SCENE_START_MS[next] + 300.0), 1);
            EXPECT_EQ(timeline.sceneIndex, next);
            EXPECT_GT(frameStep, 0.0f);
        }
    }
}

// A window resized to no height: the picture keeps one pixel instead of dividing by zero, frames
// go on being drawn, and the picture comes back whole when the window gets its size back.
TEST_F(TimelineFaults, WindowWithoutHeightKeepsPlayingAndRecoversItsPicture) {
    ASSERT_EQ(frameAtMs(5000), 1);
    const Rgb before = GlTestContext::readPixel(320, 240);

    platformPostEvent({PLATFORM_RESIZED, 0, 640, 0});
    ASSERT_EQ(frameAtMs(5040), 1);  // the frame's pump handles the resize
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1);
    EXPECT_EQ(viewport[3], 1);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (GLfloat value : projection) EXPECT_TRUE(std::isfinite(value));
    ASSERT_EQ(frameAtMs(5080), 1);
    EXPECT_EQ(timeline.sceneIndex, 0);

    // Minimised: no width either. The frames still run.
    platformPostEvent({PLATFORM_RESIZED, 0, 0, 0});
    ASSERT_EQ(frameAtMs(5120), 1);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1);

    platformPostEvent({PLATFORM_RESIZED, 0, 640, 480});
    ASSERT_EQ(frameAtMs(5000), 1);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    EXPECT_TRUE(samePixel(GlTestContext::readPixel(320, 240), before));
}
