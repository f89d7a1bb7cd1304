// Pixel counts for --coverage: each drawing pass the demo announces is wrapped in a GL
// occlusion query, whose count of samples that passed the depth test (the pixels the
// rasterizer had to shade and blend) is summed per scene and per pass. The report gives each
// pass in screens per frame (its pixels divided by the frame's) and in milliseconds of CPU
// time: the driver is made to finish at every pass boundary, so a pass's time holds its own
// work on the demo's thread and in the driver's threads, and little of other processes' load.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/pass_probe.h"

// One pass of one scene, summed over the scene's frames.
struct PassCoverage {
    DrawPassKind kind;
    int32_t id;
    double samples;   // samples that passed, over all frames
    double ms;        // CPU time from its announcement to the next one, over all frames
    int64_t draws;    // times the pass was announced
};

// Installs the probe for frames of width x height pixels and forgets earlier counts.
void beginPassCoverage(int width, int height);
// Ends the frame: reads the frame's queries and adds them to `scene`. Call after each frame.
void endCoverageFrame(int scene);
// Removes the probe.
void endPassCoverage();
// The counted passes of a scene, most pixels first; the count of them, at most `capacity`.
int sceneCoverage(int scene, PassCoverage* out, int capacity, int64_t* frames);
// "sprite set 1", "Layer 30", "fade to black": the pass's name in the report.
int formatPassName(DrawPassKind kind, int32_t id, char* out, size_t size);
// Prints every scene's passes in screens per frame.
void printPassCoverage();
