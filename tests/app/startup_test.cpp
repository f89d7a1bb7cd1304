// The start-up sequence headless, in a folder without the demo's data, and on a simulated display
// whose window, mode or GL context fails: every failure is reported once, in order, and the
// sequence stops at the first failing step.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/asset_tables.h"
#include "gl_test_context.h"
#include "app/startup.h"
#include "platform/platform.h"
#include "scratch_folder.h"
#include "shell/gl_window.h"

namespace {

std::vector<std::string> messages;

// A scratch folder as the working directory while it lives.
struct InFolder {
    explicit InFolder(const std::string& prefix)
        : folder(prefix), previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder.path);
    }
    ~InFolder() { std::filesystem::current_path(previous); }
    ScratchFolder folder;
    std::filesystem::path previous;
};

}  // namespace

TEST(StartUp, WithAnEmptyDataFolderReportsPicturesThenTheMissingSceneThenStops) {
    GlTestContext::ensure();
    InFolder folder("quelldrift-empty-start");
    std::filesystem::create_directories("data");
    messages.clear();
    setMessageSink([](const char* caption, const char* text) {
        messages.push_back(std::string(caption) + ": " + text);
    });
    int started = startDemo(CONTEXT_HEADLESS, HEADLESS_FORMAT);
    setMessageSink(nullptr);
    releaseTables();

    EXPECT_EQ(started, 0);
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages.front(), "Error: cannot load picture: data\\logo-quelldriftlogo.jpg");
    EXPECT_EQ(messages[messages.size() - 2], "Error: mesh-file not found");
    EXPECT_EQ(messages.back(), "Error: cannot load scenes or textures");
}

namespace {
SimulatedDisplay* display = nullptr;
}  // namespace

// Start-up of the fullscreen build on a simulated display: the window, the display mode and
// the GL context each fail with their messages, in order ("switched" marks a box shown while
// the display ran in the switched mode); start-up stops and the display mode is given back.
TEST(StartUp, WindowModeAndContextFailuresShowTheirMessagesAndGiveTheDisplayBack) {
    GlTestContext::ensure();
    InFolder folder("quelldrift-simulated-start");
    std::filesystem::create_directories("data");
    const DisplayMode modes[] = {{800, 600, 32, 60}, {640, 480, 32, 60}};
    const std::string cannotInit = "cannot init opengl-window";
    const std::string noMultitexture = "no multi-texturing supported (switched)";
    const std::pair<SimulatedDisplay, std::vector<std::string>> cases[] = {
        {{0, GL_CONTEXT_READY, modes, 2, DISPLAY_MODE_CHANGED}, {cannotInit}},
        {{1, GL_CONTEXT_READY, modes, 1, DISPLAY_MODE_CHANGED}, {cannotInit}},
        {{1, GL_CONTEXT_READY, modes, 2, DISPLAY_MODE_REFUSED}, {cannotInit}},
        {{1, GL_CONTEXT_NO_PIXEL_FORMAT, modes, 2, DISPLAY_MODE_CHANGED},
         {"Can't Find A Suitable PixelFormat.", noMultitexture}},
        {{1, GL_CONTEXT_PIXEL_FORMAT_REFUSED, modes, 2, DISPLAY_MODE_CHANGED},
         {"Can't Set The PixelFormat.", noMultitexture}},
        {{1, GL_CONTEXT_NOT_CREATED, modes, 2, DISPLAY_MODE_CHANGED},
         {"Can't Create A GL Rendering Context.", noMultitexture}},
        {{1, GL_CONTEXT_NOT_ACTIVATED, modes, 2, DISPLAY_MODE_CHANGED},
         {"Can't activate GLRC.", noMultitexture}},
    };
    suppressMessageBoxes(1);
    setMessageSink([](const char*, const char* text) {
        messages.push_back(std::string(text) + (display->modeSwitched ? " (switched)" : ""));
    });
    for (auto [simulated, expected] : cases) {
        SCOPED_TRACE(expected.front());
        messages.clear();
        display = &simulated;
        simulateDisplay(display);
        EXPECT_EQ(startDemo(CONTEXT_FULLSCREEN, WINDOW_FORMAT), 0);
        EXPECT_EQ(messages, expected);
        EXPECT_EQ(simulated.windowOpen + simulated.modeSwitched + simulated.cursorHidden, 0);
    }
    // A switch that fails for another reason than the mode leaves the window over the desktop.
    SimulatedDisplay failing{1, GL_CONTEXT_READY, modes, 2, DISPLAY_MODE_FAILED};
    simulateDisplay(&failing);
    EXPECT_EQ(createGlWindow(640, 480, 1, 1), 1);
    EXPECT_EQ(failing.modeSwitched, 0);
    platformCloseWindow();
    simulateDisplay(nullptr);
    setMessageSink(nullptr);
    suppressMessageBoxes(0);
}
