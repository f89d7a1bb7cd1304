// The include check on a small tree of its own: an include that climbs a level and a platform
// header outside src/platform are both named, and an include of a lower level passes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "scratch_folder.h"
#include "tools/tool_programs.h"

namespace fs = std::filesystem;

TEST(IncludeCheck, NamesEveryIncludeThatClimbsOrReachesThePlatformLibraries) {
    const fs::path tree = makeScratchFolder("include-check");
    ASSERT_FALSE(tree.empty());
    const auto write = [&tree](const std::string& name, const std::string& text) {
        fs::create_directories((tree / name).parent_path());
        std::ofstream(tree / name) << text;
    };
    write("src/timeline/schedule.h", "");
    write("src/anim/clock.h", "");
    write("src/render/pass.cpp", "#include \"anim/clock.h\"\n#include \"timeline/schedule.h\"\n");
    write("src/anim/clock.cpp", "#include <SDL.h>\n#include \"anim/clock.h\"\n");

    const std::string line = quoted(std::string(QD_SOURCE_DIR) + "/scripts/check-includes") +
                             " " + quoted(tree) + " 2>" + quoted(tree / "report");
    const int status = std::system(line.c_str());
    std::stringstream report;
    report << std::ifstream(tree / "report").rdbuf();
    fs::remove_all(tree);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(report.str(),
              "src/anim/clock.cpp:1: only src/platform includes <SDL.h>\n"
              "src/render/pass.cpp:2: level 5 includes src/timeline/schedule.h of level 6\n"
              "2 include(s) break the levels\n");
}
