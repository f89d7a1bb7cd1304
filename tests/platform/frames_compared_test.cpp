// The frames of the fixed-function layer and of the web page, compared with the system's
// OpenGL 1.1 frames at one time in each scene. Three captures of the same times on the build's
// data set (demo-capture, demo-capture-gles, and the page in headless Chromium through
// scripts/page-stills) are tests of their own, which CTest runs before the comparisons and
// side by side; each comparison then reads two pictures. A build without the layer leaves out
// its tests, and one not told where the web page was built (QD_WEB_SITE) leaves out the page's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "scratch_folder.h"
#include "tools/tool_programs.h"

namespace fs = std::filesystem;

namespace {

// One time in each scene, well inside it (the scenes start at 0, 13.2, 54.3, 82.2, 107.8,
// 134, 173, 199.7 and 215.8 s).
constexpr int SCENE_TIMES_MS[] = {6000, 30000, 60000, 95000, 120000, 150000, 185000, 207000,
                                  220000};
// The frames before each time run at this rate, as a player at that rate would see them.
constexpr int FRAME_RATE = 2;
// Largest mean absolute difference from the system's frame, as a share of full scale. The
// layer draws with other rasterisation rules (a quad split the same way, but shaded and
// sampled by another driver path, fog per fragment): the measured differences stay below
// 0.25 %. A missing Layer, flare or fade moves a frame by several per cent.
constexpr double MEAN_DIFFERENCE_BOUND = 0.005;
// A frame darker than this on average is blank: every compared time shows a lit picture.
constexpr double BLANK_MEAN = 0.01;

fs::path framesFolder(const char* kind) {
    return fs::path(QD_BINARY_DIR) / "compared-frames" / kind;
}

std::string timesArgument() {
    std::string times;
    for (int ms : SCENE_TIMES_MS) times += (times.empty() ? "" : ",") + std::to_string(ms);
    return times;
}

// Runs a capture program on the build's data set into a fresh folder of compared frames.
void captureWith(const char* program, const char* kind) {
    ASSERT_TRUE(program && fs::exists(program)) << kind << ": the capture program is not built";
    ASSERT_TRUE(DATA_SET_DIR && fs::exists(fs::path(DATA_SET_DIR) / "complete"))
        << "the build made no data set";
    const fs::path out = framesFolder(kind);
    fs::remove_all(out);
    ProgramRun run = runIn(DATA_SET_DIR, quoted(program) + " --fps " + std::to_string(FRAME_RATE) +
                                             " --at " + timesArgument() + " --out " + quoted(out));
    ASSERT_EQ(run.exitCode, 0) << run.err;
}

double meanOf(const PngPicture& p) {
    return static_cast<double>(p.brightness()) / static_cast<double>(p.rgb.size()) / 255.0;
}

double meanDifference(const PngPicture& a, const PngPicture& b) {
    long long sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(a.rgb[i] - b.rgb[i]);
    return static_cast<double>(sum) / static_cast<double>(a.rgb.size()) / 255.0;
}

// The frame of `kind` at the scene's time against the system's.
void expectSameFrame(const char* kind, int scene) {
    const std::string name = "at-" + std::to_string(SCENE_TIMES_MS[scene]) + ".png";
    const PngPicture system = readPng(framesFolder("system") / name);
    const PngPicture other = readPng(framesFolder(kind) / name);
    ASSERT_TRUE(system.ok) << "no system frame " << name;
    ASSERT_TRUE(other.ok) << "no " << kind << " frame " << name;
    ASSERT_EQ(other.width, system.width);
    ASSERT_EQ(other.height, system.height);
    EXPECT_GT(meanOf(system), BLANK_MEAN) << "the system's frame is blank";
    EXPECT_GT(meanOf(other), BLANK_MEAN) << "the " << kind << " frame is blank";
    EXPECT_LT(meanDifference(system, other), MEAN_DIFFERENCE_BOUND)
        << kind << " frame at " << SCENE_TIMES_MS[scene] << " ms";
}

std::string sceneName(const ::testing::TestParamInfo<int>& info) {
    return "Scene" + std::to_string(info.param);
}

}  // namespace

TEST(FrameCaptures, SystemOpenGl) { captureWith(CAPTURE_PROGRAM, "system"); }

#ifdef QD_LAYER_CAPTURE_PROGRAM
TEST(FrameCaptures, FixedFunctionLayer) { captureWith(LAYER_CAPTURE_PROGRAM, "layer"); }

class LayerFrames : public ::testing::TestWithParam<int> {};

TEST_P(LayerFrames, MatchTheSystemFrame) { expectSameFrame("layer", GetParam()); }

INSTANTIATE_TEST_SUITE_P(EachScene, LayerFrames, ::testing::Range(0, 9), sceneName);
#endif

#ifdef QD_WEB_SITE
TEST(FrameCaptures, WebPage) {
    SKIP_WITHOUT_PROGRAMS("chromium", "python3");
    ASSERT_TRUE(fs::exists(fs::path(QD_WEB_SITE) / "quelldrift.wasm"))
        << "no web page in " << QD_WEB_SITE << " (scripts/web builds it)";
    const fs::path out = framesFolder("page");
    fs::remove_all(out);
    std::string command = quoted(fs::path(QD_SOURCE_DIR) / "scripts/page-stills") + " " +
                          quoted(QD_WEB_SITE) + " " + quoted(out) + " --fps " +
                          std::to_string(FRAME_RATE);
    for (int ms : SCENE_TIMES_MS) command += " " + std::to_string(ms);
    ProgramRun run = runIn(QD_BINARY_DIR, command);
    ASSERT_EQ(run.exitCode, 0) << run.err;
}

class PageFrames : public ::testing::TestWithParam<int> {};

TEST_P(PageFrames, MatchTheSystemFrame) { expectSameFrame("page", GetParam()); }

INSTANTIATE_TEST_SUITE_P(EachScene, PageFrames, ::testing::Range(0, 9), sceneName);
#endif
