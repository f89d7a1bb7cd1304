// The start-up sequence headless, in a folder without the demo's data: every failure is
// reported once, in order, and the sequence stops at the first failing step.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "assets/asset_tables.h"
#include "gl_test_context.h"
#include "platform/platform.h"
#include "shell/startup.h"

namespace {

std::vector<std::string> messages;

struct InFolder {
    explicit InFolder(const std::filesystem::path& folder) : previous(std::filesystem::current_path()) {
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous); }
    std::filesystem::path previous;
};

}  // namespace

TEST(StartUp, WithAnEmptyDataFolderReportsPicturesThenTheMissingSceneThenStops) {
    GlTestContext::ensure();
    InFolder folder(std::filesystem::temp_directory_path() / "quelldrift-empty-start");
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
