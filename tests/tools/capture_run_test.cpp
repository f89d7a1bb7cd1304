// The capture program run end to end on the data set the build made: the pictures it writes,
// that two runs agree byte for byte, its timing rows, its start-up failures and a short video.
// The runs take place in a temporary folder whose data/ leads to the build's data set.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/tool_programs.h"

namespace fs = std::filesystem;

namespace {


struct ProgramRun {
    int exitCode = -1;
    std::string out, err;
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}


// Runs a command line in `folder`, collecting its exit code and both output streams.
ProgramRun runIn(const fs::path& folder, const std::string& command) {
    fs::path out = folder / ".run-stdout", err = folder / ".run-stderr";
    // In sanitizer builds the child's leak check is off: Mesa's software driver leaves a few
    // allocations of its unloaded module at exit. The tool's writers are leak-checked here,
    // in this process, by the tests of their own.
    std::string line = "cd " + quoted(folder) + " && ASAN_OPTIONS=detect_leaks=0 " + command +
                       " >" + quoted(out) + " 2>" + quoted(err) + " </dev/null";
    int status = std::system(line.c_str());
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    fs::remove(out);
    fs::remove(err);
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

std::set<std::string> filesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

struct Picture {
    int ok = 0;
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    // Sum of all channel values: a cleared black frame sums to 0.
    long long brightness() const {
        long long sum = 0;
        for (uint8_t v : rgb) sum += v;
        return sum;
    }
};

Picture readPng(const fs::path& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    picture.ok = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr);
    return picture;
}

int programOnPath(const char* name) {
    std::string probe = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

}  // namespace

class CaptureRun : public ::testing::Test {
protected:
    static fs::path root;          // holds data/, a link to the build's data set
    static std::string unusable;   // why the suite cannot run, or empty

    static void SetUpTestSuite() {
        if (!CAPTURE_PROGRAM || !fs::exists(CAPTURE_PROGRAM)) {
            unusable = "demo-capture is not built";
            return;
        }
        if (!DATA_SET_DIR || !fs::exists(fs::path(DATA_SET_DIR) / "complete")) {
            unusable = "the build made no data set to capture";
            return;
        }
        char pattern[] = "/tmp/capture-run-XXXXXX";
        root = mkdtemp(pattern);
        fs::create_directory_symlink(fs::path(DATA_SET_DIR) / "data", root / "data");
    }

    static void TearDownTestSuite() {
        if (!root.empty()) fs::remove_all(root);
        root.clear();
    }

    void SetUp() override {
        if (!unusable.empty()) FAIL() << unusable;
    }

    // Runs demo-capture with `args` in the folder holding data/.
    static ProgramRun capture(const std::string& args) {
        return runIn(root, quoted(CAPTURE_PROGRAM) + " " + args);
    }

    static fs::path fresh(const std::string& name) {
        fs::path folder = root / name;
        fs::remove_all(folder);
        return folder;
    }
};

fs::path CaptureRun::root;
std::string CaptureRun::unusable;

TEST_F(CaptureRun, AtWritesExactlyTheRequestedPicturesAndNothingElse) {
    fs::path out = fresh("at");
    ProgramRun run = capture("--fps 10 --at 13250,500,500.0 --out at");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(filesIn(out), (std::set<std::string>{"at-13250.png", "at-500.png", "at-500.0.png"}));

    Picture early = readPng(out / "at-500.png");
    Picture scene1 = readPng(out / "at-13250.png");
    ASSERT_TRUE(early.ok);
    ASSERT_TRUE(scene1.ok);
    EXPECT_EQ(early.width, 640);
    EXPECT_EQ(early.height, 480);
    EXPECT_GT(scene1.brightness(), 0);   // scene 1's first frames show the fading title
    EXPECT_NE(early.rgb, scene1.rgb);
    // Two names for one time are one frame written twice.
    EXPECT_EQ(slurp(out / "at-500.png"), slurp(out / "at-500.0.png"));
}

TEST_F(CaptureRun, SameCommandWritesByteIdenticalFramesAndMusic) {
    // Scene 2 begins at 54.3 s: sprites and flares there depend on every frame before.
    const std::string args = "--fps 2 --from 54500 --to 55500 --out ";
    fs::path first = fresh("first"), second = fresh("second");
    ProgramRun a = capture(args + "first");
    ProgramRun b = capture(args + "second");
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ASSERT_EQ(b.exitCode, 0) << b.err;

    std::set<std::string> expected = {"frame-000000.png", "frame-000001.png", "frame-000002.png",
                                      "music.wav"};
    EXPECT_EQ(filesIn(first), expected);
    EXPECT_EQ(filesIn(second), expected);
    for (const std::string& name : expected)
        EXPECT_EQ(slurp(first / name), slurp(second / name)) << name << " differs between runs";
    EXPECT_GT(readPng(first / "frame-000001.png").brightness(), 0);
    // The music of the three kept frames: 54.5 s up to 56.0 s, where a fourth would start.
    EXPECT_EQ(fs::file_size(first / "music.wav"), 44u + (2469600u - 2403450u) * 4);
    std::string music = slurp(first / "music.wav");
    EXPECT_NE(music.find_first_not_of('\0', 44), std::string::npos) << "the music is silent";
}

TEST_F(CaptureRun, BenchPrintsLoadAndMemoryThenOneRowPerScene) {
    ProgramRun run = capture("--bench --fps 1");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> rows = lines(run.out);
    ASSERT_EQ(rows.size(), 10u) << run.out;
    EXPECT_EQ(rows[0].rfind("load ", 0), 0u) << rows[0];
    EXPECT_NE(rows[0].find("peak memory"), std::string::npos) << rows[0];

    // One frame a second: how many land in each scene follows from the scene table.
    const int starts[] = {0, 13200, 54300, 82200, 107800, 134000, 173000, 199700, 215800, 228000};
    for (int scene = 0; scene < 9; ++scene) {
        int frames = 0;
        for (int ms = 0; ms <= 228000; ms += 1000)
            if ((scene == 0 && ms == 0) || (ms > starts[scene] && ms <= starts[scene + 1])) ++frames;
        std::string head = "scene " + std::to_string(scene) + ": " + std::to_string(frames) + " frames, ours min ";
        EXPECT_EQ(rows[scene + 1].rfind(head, 0), 0u) << "expected " << head << "\ngot " << rows[scene + 1];
        EXPECT_NE(rows[scene + 1].find(" ms, driver min "), std::string::npos);
    }
    // Progress went to stderr, one line per scene when it is not a terminal.
    int sceneLines = 0;
    for (const std::string& line : lines(run.err)) sceneLines += line.rfind("scene ", 0) == 0;
    EXPECT_EQ(sceneLines, 9) << run.err;
}

TEST_F(CaptureRun, StartUpFailuresGiveTheDemoMessagesAndExitCodeOne) {
    // No pictures or scenes at all.
    fs::path empty = fresh("empty");
    fs::create_directories(empty / "data");
    ProgramRun noData = runIn(empty, quoted(CAPTURE_PROGRAM) + " --to 100");
    EXPECT_EQ(noData.exitCode, 1);
    EXPECT_NE(noData.err.find("cannot load scenes or textures"), std::string::npos) << noData.err;

    // Everything but the music.
    fs::path silent = fresh("silent");
    fs::create_directories(silent / "data");
    for (const auto& entry : fs::directory_iterator(root / "data"))
        if (entry.path().filename() != "5tfina.mp3")
            fs::create_symlink(entry.path(), silent / "data" / entry.path().filename());
    ProgramRun noMusic = runIn(silent, quoted(CAPTURE_PROGRAM) + " --to 100 --out frames");
    EXPECT_EQ(noMusic.exitCode, 1);
    EXPECT_NE(noMusic.err.find("cannot play audio"), std::string::npos) << noMusic.err;
    EXPECT_FALSE(fs::exists(silent / "frames" / "frame-000000.png"));

    // A command line it cannot follow stops before anything is loaded.
    ProgramRun badOption = capture("--fps fast");
    EXPECT_EQ(badOption.exitCode, 2);
    EXPECT_NE(badOption.err.find("usage: demo-capture"), std::string::npos);
}

TEST_F(CaptureRun, VideoHoldsSixFortyByFourEightyFramesAndStereoMusic) {
    if (!programOnPath("ffmpeg") || !programOnPath("ffprobe"))
        GTEST_SKIP() << "ffmpeg and ffprobe are not installed; the video output cannot be checked";
    fs::path folder = fresh("video");
    fs::create_directories(folder);
    ProgramRun run = capture("--fps 10 --to 1000 --video video/short.mp4");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(filesIn(folder), std::set<std::string>{"short.mp4"});  // no leftover music file

    ProgramRun probe = runIn(folder, "ffprobe -v error -count_frames -show_entries "
                              "stream=codec_type,width,height,sample_rate,channels,nb_read_frames "
                              "-of default=noprint_wrappers=1 short.mp4");
    ASSERT_EQ(probe.exitCode, 0) << probe.err;
    std::vector<std::string> fields = lines(probe.out);
    auto has = [&](const std::string& field) {
        return std::find(fields.begin(), fields.end(), field) != fields.end();
    };
    EXPECT_TRUE(has("codec_type=video")) << probe.out;
    EXPECT_TRUE(has("width=640")) << probe.out;
    EXPECT_TRUE(has("height=480")) << probe.out;
    EXPECT_TRUE(has("nb_read_frames=11")) << probe.out;
    EXPECT_TRUE(has("codec_type=audio")) << probe.out;
    EXPECT_TRUE(has("sample_rate=44100")) << probe.out;
    EXPECT_TRUE(has("channels=2")) << probe.out;
}

// `cmake --install` of this build puts the programs, the data set and a menu entry under the
// prefix. The installed capture program, run from an empty folder, renders from the installed
// data set exactly the picture the built one renders from the build's; with the installed set
// gone too, it names both places it looked.
TEST_F(CaptureRun, InstalledProgramFindsTheInstalledDataFromAnEmptyFolder) {
    const fs::path prefix = fresh("prefix");
    ProgramRun install = runIn(root, quoted(QD_CMAKE_COMMAND) + " --install " +
                                         quoted(QD_BINARY_DIR) + " --prefix " + quoted(prefix));
    ASSERT_EQ(install.exitCode, 0) << install.err;
    for (const char* file : {"bin/demo-windowed", "bin/demo-fullscreen", "bin/make-data",
                             "share/quelldrift/data/flare.cfg", "share/quelldrift/data/5tfina.mp3"})
        EXPECT_TRUE(fs::exists(prefix / file)) << file;
    const std::string program = (prefix / "bin/demo-windowed").string();
    EXPECT_NE(slurp(prefix / "share/applications/quelldrift.desktop").find("Exec=\"" + program),
              std::string::npos);

    const fs::path empty = fresh("empty-folder");
    fs::create_directories(empty);
    const std::string installed = quoted((prefix / "bin/demo-capture").string());
    ProgramRun fromPrefix = runIn(empty, installed + " --fps 5 --at 20000 --out frames");
    ASSERT_EQ(fromPrefix.exitCode, 0) << fromPrefix.err;
    fresh("built");
    ProgramRun fromBuild = capture("--fps 5 --at 20000 --out built");
    ASSERT_EQ(fromBuild.exitCode, 0) << fromBuild.err;
    const std::string picture = slurp(empty / "frames/at-20000.png");
    EXPECT_GT(picture.size(), 1000u);
    EXPECT_EQ(picture, slurp(root / "built/at-20000.png"));

    fs::remove_all(prefix / "share/quelldrift/data");
    ProgramRun lost = runIn(empty, installed + " --at 100 --out frames");
    EXPECT_EQ(lost.exitCode, 1);
    const std::string looked = "cannot find the data folder: looked in " +
                               (empty / "data").string() + " and " +
                               (prefix / "share/quelldrift/data").string();
    EXPECT_NE(lost.err.find(looked), std::string::npos) << lost.err;
}
