// The windowed program as a user meets it, on a virtual display with a window manager: the
// window is resized, laid over the whole desktop with F11 and given back with Alt+Enter, and
// each time the window's own pixels show the picture in the largest centred 4:3 rectangle with
// black bars beside or above and below it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "scratch_folder.h"
#include "tools/tool_programs.h"

namespace fs = std::filesystem;

namespace {

// Every session starts the window manager, then the demo ($1; with $2, every frame drawn that
// many rows high), finds its window and waits until the title plays. Loading draws only grey
// text in the top left corner, so a lit centre means the title plays. `grab` takes the
// window's pixels, `is lit|dark X Y` tells whether the pixel at (X, Y) from the top left is so,
// and `wait_until` waits until every such condition holds (60 s at most: a sanitizer build on
// a busy machine takes long to load and to make seeking ready).
const char* const SESSION_START = R"SH(
openbox --startup "touch wm-ready" >/dev/null 2>&1 &
for i in $(seq 1 100); do [ -e wm-ready ] && break; sleep 0.1; done
env SDL_AUDIODRIVER=dummy QUELLDRIFT_NO_BOXES=1 ${2:+QUELLDRIFT_PICTURE_HEIGHT=$2} \
  timeout -k 5 200 "$1" >demo.log 2>&1 &
demo=$!
for i in $(seq 1 300); do
  window=$(xdotool search --onlyvisible --name '^\.quellDrift$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window never appeared"; exit 3; }
grab() {
  ffmpeg -hide_banner -loglevel error -y -f x11grab -draw_mouse 0 -window_id "$window" \
    -i "$DISPLAY" -frames:v 1 "$@"
}
is() {
  digits=$(grab -vf "crop=1:1:$2:$3" -f rawvideo -pix_fmt rgb24 - | od -An -tu1 | tr -d ' 0\n')
  if [ "$1" = lit ]; then [ -n "$digits" ]; else [ -z "$digits" ]; fi
}
wait_until() {
  for i in $(seq 1 240); do
    held=yes
    for condition in "$@"; do is $condition || held=no; done
    [ $held = yes ] && return
    sleep 0.25
  done
  echo "timed out waiting for $*"
}
wait_until "lit 320 240"
)SH";

// Each step waits until two pixels show that the demo has drawn the window's new size: one
// where the new picture lies and one in a new bar, which neither a frame of the former size
// nor what the screen showed there before can light and darken both. Then it grabs the
// window's pixels four times, half a second apart (NAME-1.png to NAME-4.png).
const char* const RESIZE_STEPS = R"SH(
grabs() {
  for k in 1 2 3 4; do grab "$1-$k.png"; sleep 0.5; done
}
xdotool windowsize --sync "$window" 1000 500
wait_until "lit 760 250" "dark 950 250"; grabs resized
xdotool key --window "$window" F11
wait_until "lit 640 300" "dark 640 10"; grabs fullscreen
xdotool key --window "$window" alt+Return
wait_until "lit 500 250" "dark 100 250"; grabs restored
xdotool keydown --window "$window" Escape
wait "$demo"
echo "demo exit $?"
)SH";

// The window's keys: the demo plays (no bar), Space pauses it (the bar shows and the frame
// stands), Page Down goes to the start of scene 1.
const char* const KEYS_STEPS = R"SH(
sleep 1
grab playing.png
xdotool key --window "$window" space
sleep 0.5
grab paused-1.png
sleep 1
grab paused-2.png
xdotool key --window "$window" Next
sleep 1
grab scene-1.png
xdotool keydown --window "$window" Escape
wait "$demo"
echo "demo exit $?"
)SH";

// The picture at one moment, paused: Space, then 10 s into scene 2 (Page Down twice, Right
// twice), drawn at the picture height QUELLDRIFT_PICTURE_HEIGHT gives ($2).
const char* const PICTURE_HEIGHT_STEPS = R"SH(
xdotool key --window "$window" space
sleep 0.5
xdotool key --window "$window" Next Next
sleep 1
xdotool key --window "$window" Right Right
sleep 3
grab "picture-$2.png"
xdotool keydown --window "$window" Escape
wait "$demo"
echo "demo exit $?"
)SH";

struct Box {
    int left = -1, top = -1, right = -1, bottom = -1;  // inclusive; -1 when all is black
};

// The smallest box, rows counted from the top, that holds every pixel that is not black.
Box litBox(const PngPicture& picture) {
    Box box;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.at(x, y);
            if (p[0] + p[1] + p[2] == 0) continue;
            if (box.left < 0 || x < box.left) box.left = x;
            if (box.right < 0 || x > box.right) box.right = x;
            if (box.top < 0) box.top = y;
            box.bottom = y;
        }
    return box;
}

// In every grab nothing is lit outside the picture rectangle, and in one at least the picture
// reaches the two sides of it that face the bars: whatever the scene shows, its edge rows or
// columns are not all black for two seconds, though they may be in one frame.
testing::AssertionResult pictureBetweenBars(const fs::path& root, const std::string& name,
                                            int width, int height, const Box& picture) {
    bool reached = false;
    std::string seen;
    for (int k = 1; k <= 4; ++k) {
        const PngPicture grab = readPng(root / (name + "-" + std::to_string(k) + ".png"));
        if (!grab.ok) return testing::AssertionFailure() << name << " " << k << " was not grabbed";
        if (grab.width != width || grab.height != height)
            return testing::AssertionFailure() << "the window is " << grab.width << "x"
                                               << grab.height;
        const Box lit = litBox(grab);
        seen += " lit x " + std::to_string(lit.left) + ".." + std::to_string(lit.right) +
                ", y " + std::to_string(lit.top) + ".." + std::to_string(lit.bottom) + ";";
        if (lit.left < picture.left || lit.right > picture.right || lit.top < picture.top ||
            lit.bottom > picture.bottom)
            return testing::AssertionFailure() << name << " " << k << " is lit outside the picture:"
                                               << seen;
        const bool barsBeside = picture.left > 0;
        reached = reached || (barsBeside
                                  ? lit.left == picture.left && lit.right == picture.right
                                  : lit.top == picture.top && lit.bottom == picture.bottom);
    }
    if (reached) return testing::AssertionSuccess();
    return testing::AssertionFailure() << name << " never reaches the bars:" << seen << " picture x "
                                       << picture.left << ".." << picture.right << ", y "
                                       << picture.top << ".." << picture.bottom;
}

}  // namespace

TEST(WindowedProgram, PictureStaysCentredAtFourToThreeThroughResizeAndDesktopFullscreen) {
    ASSERT_TRUE(WINDOWED_PROGRAM && fs::exists(WINDOWED_PROGRAM)) << "demo-windowed is not built";
    SKIP_WITHOUT_PROGRAMS("xvfb-run", "xdotool", "openbox", "ffmpeg");
    ASSERT_TRUE(DATA_SET_DIR && fs::exists(fs::path(DATA_SET_DIR) / "complete"))
        << "the build made no data set";

    const ScratchFolder scratch("windowed-run");
    ASSERT_FALSE(scratch.path.empty());
    const fs::path root = scratch.path;
    fs::create_directory_symlink(fs::path(DATA_SET_DIR) / "data", root / "data");
    std::ofstream(root / "session.sh") << SESSION_START << RESIZE_STEPS;

    ProgramRun run = runIn(root, "timeout -k 5 250 xvfb-run -a -s '-screen 0 1280x1024x24' "
                                 "sh session.sh " + quoted(WINDOWED_PROGRAM));
    SCOPED_TRACE(run.out + run.err + slurp(root / "demo.log"));
    EXPECT_NE(run.out.find("demo exit 0"), std::string::npos);

    // 1000 x 500: 667 columns of picture from column 166. 1280 x 1024: 960 rows from row 32.
    EXPECT_TRUE(pictureBetweenBars(root, "resized", 1000, 500, {166, 0, 832, 499}));
    EXPECT_TRUE(pictureBetweenBars(root, "fullscreen", 1280, 1024, {0, 32, 1279, 991}));
    EXPECT_TRUE(pictureBetweenBars(root, "restored", 1000, 500, {166, 0, 832, 499}));
}

// The row of the position bar's line in a 640 x 480 grab: the unplayed part, a mid grey, lies
// across the middle of the picture in its bottom tenth. -1 when there is no such row.
int positionBarRow(const PngPicture& grab) {
    for (int y = 432; y < 480; ++y) {
        bool grey = true;
        for (int x : {300, 400, 580}) {
            const uint8_t* p = grab.at(x, y);
            for (int c = 0; c < 3; ++c) grey = grey && p[c] >= 70 && p[c] <= 110;
        }
        if (grey) return y;
    }
    return -1;
}

TEST(WindowedProgram, SpacePausesWithThePositionBarAndPageDownGoesToTheNextScene) {
    ASSERT_TRUE(WINDOWED_PROGRAM && fs::exists(WINDOWED_PROGRAM)) << "demo-windowed is not built";
    SKIP_WITHOUT_PROGRAMS("xvfb-run", "xdotool", "openbox", "ffmpeg", "convert");
    ASSERT_TRUE(DATA_SET_DIR && fs::exists(fs::path(DATA_SET_DIR) / "complete"))
        << "the build made no data set";

    const ScratchFolder scratch("windowed-keys");
    ASSERT_FALSE(scratch.path.empty());
    const fs::path root = scratch.path;
    fs::create_directory_symlink(fs::path(DATA_SET_DIR) / "data", root / "data");
    std::ofstream(root / "session.sh") << SESSION_START << KEYS_STEPS;

    ProgramRun run = runIn(root, "timeout -k 5 250 xvfb-run -a -s '-screen 0 1280x1024x24' "
                                 "sh session.sh " + quoted(WINDOWED_PROGRAM));
    SCOPED_TRACE(run.out + run.err + slurp(root / "demo.log"));
    EXPECT_NE(run.out.find("demo exit 0"), std::string::npos);

    const PngPicture playing = readPng(root / "playing.png");
    const PngPicture paused1 = readPng(root / "paused-1.png");
    const PngPicture paused2 = readPng(root / "paused-2.png");
    const PngPicture scene1 = readPng(root / "scene-1.png");
    ASSERT_TRUE(playing.ok && paused1.ok && paused2.ok && scene1.ok);
    ASSERT_EQ(paused1.width, 640);
    EXPECT_EQ(positionBarRow(playing), -1);  // a viewer who presses nothing sees no bar
    const int row = positionBarRow(paused1);
    ASSERT_GE(row, 0) << "no position bar while paused";
    EXPECT_TRUE(paused1.rgb == paused2.rgb);  // the frame and its clock stand
    // Paused a few seconds in, the lit part of the line ends before x = 45; at 13.2 s (scene
    // 1's start) it reaches x = 60 of the line's 26 to 614.
    EXPECT_LT(paused1.at(45, row)[0], 150);
    EXPECT_GT(scene1.at(45, row)[0], 200);
    EXPECT_LT(scene1.at(80, row)[0], 150);
    EXPECT_FALSE(scene1.rgb == paused1.rgb);
}

// The same moment drawn at the window's 480 rows and at 240 scaled up: the same picture, only
// softer (the mean difference is small), and the bar over it at the window's own resolution.
TEST(WindowedProgram, PictureDrawnSmallerAndScaledUpIsTheSamePictureOnlySofter) {
    ASSERT_TRUE(WINDOWED_PROGRAM && fs::exists(WINDOWED_PROGRAM)) << "demo-windowed is not built";
    SKIP_WITHOUT_PROGRAMS("xvfb-run", "xdotool", "openbox", "ffmpeg", "convert");
    ASSERT_TRUE(DATA_SET_DIR && fs::exists(fs::path(DATA_SET_DIR) / "complete"))
        << "the build made no data set";
    const ScratchFolder scratch("windowed-scaled");
    ASSERT_FALSE(scratch.path.empty());
    const fs::path root = scratch.path;
    fs::create_directory_symlink(fs::path(DATA_SET_DIR) / "data", root / "data");
    std::ofstream(root / "session.sh") << SESSION_START << PICTURE_HEIGHT_STEPS;
    for (const char* height : {"480", "240"}) {
        ProgramRun run = runIn(root, "timeout -k 5 250 xvfb-run -a -s '-screen 0 1280x1024x24' "
                                     "sh session.sh " + quoted(WINDOWED_PROGRAM) + " " + height);
        SCOPED_TRACE(run.out + run.err + slurp(root / "demo.log"));
        EXPECT_NE(run.out.find("demo exit 0"), std::string::npos);
    }
    const PngPicture full = readPng(root / "picture-480.png");
    const PngPicture scaled = readPng(root / "picture-240.png");
    ASSERT_TRUE(full.ok && scaled.ok);
    ASSERT_EQ(full.rgb.size(), scaled.rgb.size());
    double difference = 0;
    for (size_t i = 0; i < full.rgb.size(); ++i) difference += std::abs(full.rgb[i] - scaled.rgb[i]);
    const double mean = difference / full.rgb.size();
    EXPECT_GT(full.brightness(), static_cast<long long>(full.rgb.size()) * 20);  // lit, not black
    EXPECT_LT(mean, 0.02 * 255) << "mean difference " << mean;
    EXPECT_GT(mean, 0.0);  // drawn at another size indeed
    const int row = positionBarRow(scaled);
    EXPECT_GE(row, 0);
    EXPECT_EQ(row, positionBarRow(full));
}
