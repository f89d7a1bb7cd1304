// Temporary folders for the tests, made under $TMPDIR (or /tmp when it is not set) and removed
// with everything in them; and the skip a test takes when a tool it needs is not installed.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

// A new empty folder named PREFIX-XXXXXX under the temporary folder; empty when it cannot be made.
std::filesystem::path makeScratchFolder(const std::string& prefix);

// A scratch folder that is removed, with everything in it, when the object goes.
struct ScratchFolder {
    std::filesystem::path path;
    explicit ScratchFolder(const std::string& prefix) : path(makeScratchFolder(prefix)) {}
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};

// The programs of `names` that are not on PATH, separated by ", "; empty when all are.
std::string missingPrograms(std::initializer_list<const char*> names);
// 1 when QD_EVERY_TOOL=1 in the environment: a missing tool then fails a test instead of
// skipping it (CI, which installs every tool, sets it so that nothing is skipped there).
int everyToolRequired();

// Skips the test, naming the missing programs, unless every one is on PATH.
#define SKIP_WITHOUT_PROGRAMS(...)                                                           \
    do {                                                                                     \
        const std::string missingTools = missingPrograms({__VA_ARGS__});                     \
        if (!missingTools.empty()) {                                                         \
            if (everyToolRequired()) FAIL() << "not installed: " << missingTools;             \
            GTEST_SKIP() << "not installed: " << missingTools << " (scripts/setup installs it)"; \
        }                                                                                    \
    } while (0)
