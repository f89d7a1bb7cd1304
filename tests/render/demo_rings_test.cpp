// The demo's own burst rings, on its own data set, at the moments of scene 3 where the largest
// of them fill the screen: drawn strip by strip, the frame is byte for byte the frame of the
// same rings drawn whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "demo_data_fixture.h"
#include "gl_test_context.h"
#include "render/ink_strips.h"
#include "timeline/scene_schedule.h"
#include "timeline/seeking.h"
#include "tools/tool_programs.h"

namespace fs = std::filesystem;

TEST(DemoRings, StripsDrawTheFrameOfTheWholeRingsAtNinetyAndNinetyEightSeconds) {
    GlTestContext::ensure();
    ASSERT_TRUE(DATA_SET_DIR && fs::exists(fs::path(DATA_SET_DIR) / "complete"))
        << "the build made no data set";
    ASSERT_EQ(loadDemoFixture(DATA_SET_DIR).result, 1);
    Seeker seeker;
    ASSERT_EQ(beginSeeker(&seeker, START_TIMELINE), 1);
    Scene& net = scenes[NEURONAL_SCENE];
    ASSERT_GT(net.spriteSetCount, 0);
    TextureSlot* ring = net.spriteSets[0].slot;
    const TextureInk* ink = ring->ink;
    ASSERT_NE(inkStripsOf(ink), nullptr) << "the ring picture is drawn whole anyway";

    const auto frameAt = [&](double ms) {
        const int32_t position = timePosition(static_cast<int64_t>(ms * 1000));
        TimelineState timeline = START_TIMELINE;
        seekTimeline(&seeker, &timeline, position);
        runTimelineFrame(&timeline, position, FRAME_DRAWN);
        std::vector<uint8_t> pixels(640 * 480 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    for (double ms : {90000.0, 98000.0}) {
        SCOPED_TRACE(testing::Message() << ms << " ms");
        ring->ink = ink;
        const std::vector<uint8_t> inStrips = frameAt(ms);
        ring->ink = nullptr;  // no summary: every ring drawn whole
        const std::vector<uint8_t> whole = frameAt(ms);
        ring->ink = ink;
        EXPECT_TRUE(inStrips == whole);
    }
    releaseSeeker(&seeker);
}
