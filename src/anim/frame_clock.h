// The time values of the current frame that the per-frame work and the compositions read. The
// main loop writes them once per frame; hooks keep the address of sceneTime, so it is one
// global updated in place.
#pragma once

// Scene-local time of the current frame, in ticks of 1/35 second.
extern float sceneTime;
// Music milliseconds since the previous frame times 0.015; 1.0 before the first frame.
extern float frameStep;
// The music position in ticks.
extern float demoTime;
// Milliseconds since the current scene started.
extern float sceneMs;
