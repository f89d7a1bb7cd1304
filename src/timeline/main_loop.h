// The main loop: every frame turns the music position into a scene index and scene-local time,
// clears, lets the current scene's composition draw, and swaps. The music is the only clock.
#pragma once

#include <cstdint>

// The current scene (the frame's times are in anim/frame_clock.h): 0 to 8 while playing; 9 or
// more ends the demo.
extern int sceneIndex;

// Resets the loop's state before the first frame; 0 when Escape is already down (no frame).
int beginTimeline();
// One frame: pump, read the position, clear, draw the scene, swap. 0 once the demo is over
// (past scene 8, or Escape down after the frame).
int timelineFrame();
// beginTimeline, then frames until the demo is over.
void runTimeline();
