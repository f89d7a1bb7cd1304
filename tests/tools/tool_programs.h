// Where the programs that end-to-end tests run were built, where the build made the data set
// they share, how a path goes into a shell command line, how a run's exit code and output are
// collected, and reading the PNG pictures the programs write.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#ifdef QD_CAPTURE_PROGRAM
inline const char* const CAPTURE_PROGRAM = QD_CAPTURE_PROGRAM;
#else
inline const char* const CAPTURE_PROGRAM = nullptr;
#endif

// demo-capture built over the fixed-function layer on OpenGL ES 2.
#ifdef QD_LAYER_CAPTURE_PROGRAM
inline const char* const LAYER_CAPTURE_PROGRAM = QD_LAYER_CAPTURE_PROGRAM;
#else
inline const char* const LAYER_CAPTURE_PROGRAM = nullptr;
#endif

#ifdef QD_WINDOWED_PROGRAM
inline const char* const WINDOWED_PROGRAM = QD_WINDOWED_PROGRAM;
#else
inline const char* const WINDOWED_PROGRAM = nullptr;
#endif

// The folder holding the build's data set: data/, and the file "complete" once it is whole.
#ifdef QD_DATA_SET_DIR
inline const char* const DATA_SET_DIR = QD_DATA_SET_DIR;
#else
inline const char* const DATA_SET_DIR = nullptr;
#endif

// The text in single quotes for a shell command line; a quote in it is closed, escaped and
// opened again, so any temporary folder's name passes whole.
inline std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

struct ProgramRun {
    int exitCode = -1;
    std::string out, err;
};

// The whole file as text; empty when it cannot be read.
std::string slurp(const std::filesystem::path& path);
// Runs a command line in `folder`, collecting its exit code and both output streams. In
// sanitizer builds the child's leak check is off: Mesa's software driver leaves a few
// allocations of its unloaded module at exit.
ProgramRun runIn(const std::filesystem::path& folder, const std::string& command);
// 1 when `name` is a program on PATH.
int programOnPath(const char* name);

struct PngPicture {
    int ok = 0;
    int width = 0, height = 0;
    int colour = 0;            // 1 when the file stores colour, 0 for grey
    std::vector<uint8_t> rgb;  // rows top first, 3 bytes a pixel
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    // Sum of all channel values: a cleared black frame sums to 0.
    long long brightness() const;
};

PngPicture readPng(const std::filesystem::path& path);
