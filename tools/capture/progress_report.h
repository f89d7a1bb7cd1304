// Progress of a capture on stderr. On a terminal a bar is redrawn in place (frames done, music
// time, estimated time left); into a file or pipe, where redrawing would pile up, one line is
// written whenever the music enters a new scene, and one at the end.
#pragma once

#include <cstddef>
#include <cstdint>

struct ProgressReport {
    int terminal;          // 1: redraw a bar in place
    int64_t total;         // frames the run will draw
    int64_t done;
    int scene;             // scene of the last frame, -1 before the first
    double startSeconds;   // monotonic clock at the start
    double lastDrawn;      // monotonic clock at the last redraw
    double musicMs;        // music time of the last frame
};

// Starts reporting a run of `total` frames.
void beginProgress(ProgressReport* report, int64_t total, int terminal);
// Counts one drawn frame at `musicMs` in `scene`, reporting when due.
void stepProgress(ProgressReport* report, int scene, double musicMs);
// Writes the final state and ends the line: "done: ..." when the run is `finished`, "stopped
// after ..." when a failure ended it (the failure itself is said after this).
void endProgress(ProgressReport* report, int finished);
// The bar: "[####------] 1234/6841 frames, music 41.1 s, 2:15 left".
int formatProgressBar(char* out, size_t size, int64_t done, int64_t total, double musicMs,
                      double elapsedSeconds);
// Seconds left at the pace so far, -1 while nothing is done.
double secondsLeft(int64_t done, int64_t total, double elapsedSeconds);
