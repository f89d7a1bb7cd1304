// The main loop: every frame turns the music position into a scene index and scene-local time,
// clears, lets the current scene's composition draw, and swaps. The music is the only clock.
#pragma once

#include <cstdint>

#include "timeline/compositions.h"

// What the timeline keeps from one frame to the next. The caller owns it and hands it to every
// frame, so nothing a frame depends on is left in globals.
struct TimelineState {
    // The scene of the last frame: 0 to 8 while playing; 9 or more ends the demo.
    int sceneIndex;
    // Music byte position of the last frame, for frameStep.
    float previousPosition;
    // The pass settings and text levels the scenes keep.
    CompositionState compositions;
};

// The state before the first frame of the demo.
constexpr TimelineState START_TIMELINE = {0, 0.0f, START_COMPOSITION_STATE};

// Starts a run of frames from the music's start: the scene and the last position go back to
// the beginning, while what the scenes keep stays (a run after the music looped keeps it). 0
// when Escape is already down (no frame).
int beginTimeline(TimelineState* timeline);
// One frame: pump, read the position, clear, draw the scene, swap. 0 once the demo is over
// (past scene 8, or Escape down after the frame).
int timelineFrame(TimelineState* timeline);
// The frame at music byte position `position` without pumping or swapping: the scene index and
// times, then (when drawn) the clear and the scene's composition, or (when only advanced)
// everything that outlives the frame and nothing sent to GL. Returns the frame's scene index.
int runTimelineFrame(TimelineState* timeline, int32_t position, FrameWork work);
