// Seeking: bringing the demo to any music position at once, with everything that depends on
// the past (sprites, flare fades, hide toggles, the levels and settings the scenes keep) as a
// play-through at a fixed rate of frames would have left it. The frames before the position are
// only advanced, never drawn. A seek starts from the nearest state saved before the position:
// the seeker saves one every CHECKPOINT_SECONDS of music as its seeks pass, starting with the
// state before the first frame, so a seek runs at most that stretch of frames.
#pragma once

#include <cstdint>

#include "timeline/demo_state.h"
#include "timeline/main_loop.h"

// The rate of the frames a seek runs, in frames per second of music time.
constexpr int SEEK_FPS = 60;
constexpr int CHECKPOINT_SECONDS = 5;
constexpr int64_t CHECKPOINT_FRAMES = int64_t{CHECKPOINT_SECONDS} * SEEK_FPS;
// Enough checkpoints for 240 s of music, past the end of the demo's schedule.
constexpr int MAX_CHECKPOINTS = 240 / CHECKPOINT_SECONDS + 1;

// Runs the fixed-rate frames at `fps` from frame number `first` on while their music positions
// lie before `target`, each only advanced; stops after a frame past the demo's end. Returns the
// number of the first frame not run.
int64_t advanceFramesBefore(TimelineState* timeline, int fps, int64_t first, int32_t target);

struct Seeker {
    DemoStateLayout layout;
    // [c]: the state before fixed-rate frame c x CHECKPOINT_FRAMES at SEEK_FPS.
    SavedDemoState checkpoints[MAX_CHECKPOINTS];
    int checkpointCount;
};

// Lists the demo's state and saves the state before the first frame (the demo as loaded, with
// the timeline's record `start`). 1 on success; 0 when there is no memory for it.
int beginSeeker(Seeker* seeker, const TimelineState& start);
// Brings the timeline to just before the frame at music position `target`: the state a
// play-through at SEEK_FPS leaves after its last frame before `target`. The next frame drawn at
// `target` is then the one such a play-through draws there. Checkpoints are saved on the way.
void seekTimeline(Seeker* seeker, TimelineState* timeline, int32_t target);
void releaseSeeker(Seeker* seeker);
