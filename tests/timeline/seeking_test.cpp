// Seeking on the demo's own data set, drawn headless. Frames that are only advanced leave the
// state exactly as drawn ones do, across the start of every scene; a frame after a seek,
// forward or backward, is byte for byte the frame a play-through at the seek rate draws there;
// a paused demo holds its frame and its clock, and the keys move it where they say.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "demo_data_fixture.h"
#include "gl_test_context.h"
#include "platform/platform.h"
#include "shell/gl_window.h"
#include "timeline/playback.h"
#include "timeline/scene_schedule.h"
#include "timeline/seeking.h"
#include "tools/tool_programs.h"

namespace fs = std::filesystem;

namespace {

using Frame = std::vector<uint8_t>;

int32_t drivenPosition = 0;
int32_t readDrivenPosition() { return drivenPosition; }

Frame readFrame() {
    Frame pixels(640 * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The frame drawn at `position` over the timeline's state.
Frame drawAt(TimelineState* timeline, int32_t position) {
    runTimelineFrame(timeline, position, FRAME_DRAWN);
    return readFrame();
}

int32_t positionOfMs(double ms) { return timePosition(static_cast<int64_t>(ms * 1000.0)); }

// Pixels that differ between two frames.
int differingPixels(const Frame& a, const Frame& b) {
    int count = 0;
    for (size_t i = 0; i < a.size(); i += 3)
        count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return count;
}

class SeekingOnTheDataSet : public ::testing::Test {
protected:
    static void SetUpTestSuite() { loaded = false; }

    void SetUp() override {
        GlTestContext::ensure();
        if (!loaded) {
            ASSERT_TRUE(DATA_SET_DIR && fs::exists(fs::path(DATA_SET_DIR) / "complete"))
                << "the build made no data set";
            const LoadRecord record = loadDemoFixture(DATA_SET_DIR);
            ASSERT_EQ(record.result, 1);
            ASSERT_EQ(beginSeeker(&seeker, START_TIMELINE), 1);
            loaded = true;
        }
        setAudioPositionSource(readDrivenPosition);
    }
    void TearDown() override { setAudioPositionSource(nullptr); }

    static inline bool loaded = false;
    static inline Seeker seeker{};
};

// One moment in each scene, 0.2 s after its start.
std::vector<double> momentsAfterSceneStarts() {
    std::vector<double> moments;
    for (int scene = 0; scene < SCENE_COUNT_PLAYED; ++scene)
        moments.push_back(SCENE_START_MS[scene] + 200.0);
    return moments;
}

}  // namespace

// From 0.05 s before each scene's start, the frames to 0.2 s after it drawn or only advanced:
// the frame drawn then is the same, so the first frames of a scene (normals measured, sprites
// and flares stepped, hidden objects shown) leave nothing a drawn frame would not.
TEST_F(SeekingOnTheDataSet, AdvancedFramesLeaveTheStateOfDrawnOnes) {
    SavedDemoState before{};
    for (double moment : momentsAfterSceneStarts()) {
        SCOPED_TRACE(testing::Message() << "at " << moment << " ms");
        const int32_t from = positionOfMs(std::max(moment - 250.0, 0.0));
        const int32_t target = positionOfMs(moment);
        TimelineState timeline = START_TIMELINE;
        seekTimeline(&seeker, &timeline, from);
        ASSERT_EQ(resaveDemoState(seeker.layout, timeline, &before), 1);
        int64_t first = 0;
        while (framePosition(first, SEEK_FPS) < from) ++first;

        for (int64_t k = first; framePosition(k, SEEK_FPS) < target; ++k)
            runTimelineFrame(&timeline, framePosition(k, SEEK_FPS), FRAME_DRAWN);
        const Frame drawn = drawAt(&timeline, target);

        restoreDemoState(seeker.layout, before, &timeline);
        advanceFramesBefore(&timeline, SEEK_FPS, first, target);
        const Frame advanced = drawAt(&timeline, target);
        EXPECT_EQ(differingPixels(drawn, advanced), 0);
    }
    releaseSavedDemoState(&before);
}

// Each scene's moment reached by one straight run from the start (the state before each
// moment kept aside while its frame is drawn), then by seeks in an order that jumps forward and
// back, each from the checkpoint nearest before it.
TEST_F(SeekingOnTheDataSet, SeeksForwardAndBackwardShowThePlayThroughFrame) {
    const std::vector<double> moments = momentsAfterSceneStarts();
    std::vector<Frame> playedThrough;
    SavedDemoState before{};
    TimelineState run = START_TIMELINE;
    restoreDemoState(seeker.layout, seeker.checkpoints[0], &run);
    int64_t frame = 0;
    for (double moment : moments) {
        frame = advanceFramesBefore(&run, SEEK_FPS, frame, positionOfMs(moment));
        ASSERT_EQ(resaveDemoState(seeker.layout, run, &before), 1);
        playedThrough.push_back(drawAt(&run, positionOfMs(moment)));
        restoreDemoState(seeker.layout, before, &run);
    }
    releaseSavedDemoState(&before);
    TimelineState timeline = START_TIMELINE;
    for (int scene : {4, 1, 7, 0, 8, 2, 6, 3, 5, 5}) {
        SCOPED_TRACE(testing::Message() << "scene " << scene);
        seekTimeline(&seeker, &timeline, positionOfMs(moments[scene]));
        EXPECT_EQ(differingPixels(drawAt(&timeline, positionOfMs(moments[scene])),
                                  playedThrough[scene]),
                  0);
    }
    EXPECT_GT(seeker.checkpointCount, 20);  // one every 10 s of the 228 s passed
}

// Paused, the frame and the clock stand while the music's clock runs on; a step moves one
// frame of 1/60 s; playing on follows the clock again. The keys move the paused demo: Right
// and Left by 5 s, Page Down to the next scene's start, Page Up to this scene's start or,
// within its first 2 s, the one before, Home to the start.
TEST_F(SeekingOnTheDataSet, PausedDemoHoldsItsFrameAndClockAndTheKeysMoveIt) {
    Playback playback;
    ASSERT_EQ(preparePlayback(&playback), 1);
    ASSERT_EQ(beginPlayback(&playback), 1);
    drivenPosition = positionOfMs(20000);
    ASSERT_EQ(playbackFrame(&playback), 1);
    drivenPosition = positionOfMs(20040);
    ASSERT_EQ(playbackFrame(&playback), 1);
    togglePause(&playback);
    ASSERT_EQ(playback.paused, 1);
    auto paused = [&] {
        drivenPosition += positionOfMs(500);  // the music's clock would have run on
        EXPECT_EQ(playbackFrame(&playback), 1);
        return readFrame();
    };
    const Frame held = paused();
    EXPECT_EQ(differingPixels(paused(), held), 0);
    EXPECT_NEAR(playbackMs(&playback), 20040.0, 0.05);

    stepPlayback(&playback, 1);
    EXPECT_NEAR(playbackMs(&playback), 20040.0 + 1000.0 / 60, 0.05);
    EXPECT_GT(differingPixels(paused(), held), 0);

    const auto pressAndShow = [&](int key) {
        platformPostEvent({PLATFORM_KEY_DOWN, key, 0, 0});
        platformPostEvent({PLATFORM_KEY_UP, key, 0, 0});
        EXPECT_EQ(playbackFrame(&playback), 1);
        return playbackMs(&playback);
    };
    seekPlayback(&playback, 20000.0);
    EXPECT_NEAR(pressAndShow(KEY_RIGHT), 25000.0, 0.05);
    EXPECT_NEAR(pressAndShow(KEY_LEFT), 20000.0, 0.05);
    EXPECT_NEAR(pressAndShow(KEY_PAGE_DOWN), SCENE_START_MS[2], 0.05);  // scene 2
    EXPECT_EQ(playbackScene(&playback), 2);
    EXPECT_NEAR(pressAndShow(KEY_PAGE_UP), SCENE_START_MS[1], 0.05);  // within 2 s: back one
    seekPlayback(&playback, SCENE_START_MS[1] + 2500.0);
    EXPECT_NEAR(pressAndShow(KEY_PAGE_UP), SCENE_START_MS[1], 0.05);  // this scene's start
    EXPECT_NEAR(pressAndShow(KEY_LEFT), 8200.0, 0.05);
    EXPECT_NEAR(pressAndShow(KEY_HOME), 0.0, 0.05);
    EXPECT_NEAR(pressAndShow(KEY_LEFT), 0.0, 0.05);  // no further back than the start
    seekPlayback(&playback, PLAYBACK_END_MS - 1000.0);
    EXPECT_NEAR(pressAndShow(KEY_RIGHT), PLAYBACK_END_MS, 0.05);  // nor on than the end

    // Playing on: the frames follow the music's clock again.
    togglePause(&playback);
    drivenPosition = positionOfMs(30000);
    ASSERT_EQ(playbackFrame(&playback), 1);
    EXPECT_NEAR(playbackMs(&playback), 30000.0, 0.05);
    endPlayback(&playback);
}
