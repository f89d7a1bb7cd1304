// The capture tool's command line, turned into one plain record. Every option is optional; a
// malformed or contradictory command line yields a message naming the problem instead of a
// record, so the tool stops before it loads anything.
#pragma once

#include <cstddef>
#include <cstdint>

// Most music times one --at option may name.
constexpr int MAX_AT_TIMES = 64;
// Longest time text kept for a file name ("228000.125" and the terminator fit).
constexpr int AT_TEXT_CAPACITY = 16;
// Frame sizes --size accepts, and the default.
constexpr int MIN_CAPTURE_WIDTH = 320;
constexpr int MIN_CAPTURE_HEIGHT = 240;
constexpr int MAX_CAPTURE_WIDTH = 3840;
constexpr int MAX_CAPTURE_HEIGHT = 2160;
constexpr int DEFAULT_CAPTURE_WIDTH = 640;
constexpr int DEFAULT_CAPTURE_HEIGHT = 480;

// One requested picture: its music time in microseconds, and the text given for its name.
struct AtTime {
    int64_t micros;
    char text[AT_TEXT_CAPACITY];
};

struct CaptureOptions {
    int fps;                    // frames per second of music time
    AtTime at[MAX_AT_TIMES];    // --at times, in the order given
    int atCount;
    int64_t fromMicros;         // first music time written
    int64_t toMicros;           // last music time written
    const char* outDir;         // --out, or null
    const char* videoFile;      // --video, or null
    int width, height;          // frame size in pixels (--size)
    int samples;                // samples per pixel (--msaa); 1 for none
    int bench;                  // 1: write nothing, print timings
    int coverage;               // 1: write nothing, print the pixels each drawing pass covers
    int help;                   // 1: print the usage and stop
    int version;                // 1: print the version and stop
};

// Reads argv[1..argc-1] into `out`. 1 on success; 0 with a one-line message in `error`.
int parseCaptureOptions(int argc, const char* const* argv, CaptureOptions* out, char* error,
                        size_t errorSize);
// Reads a music time in milliseconds ("1500", "1500.25": at most three decimals) into
// microseconds. 1 on success, 0 when the text is not such a number.
int parseMusicTime(const char* text, int64_t* micros);
// The usage text printed for --help and after an error.
const char* captureUsage();
// The line printed for --version: the program's name and the project's version.
const char* captureVersion();
