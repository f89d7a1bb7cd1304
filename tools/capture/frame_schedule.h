// Which music positions the capture draws, in order. Frames follow a fixed rate of music time,
// so a video holds every frame in step with the music however slow the machine. Requested
// single pictures (--at) are drawn as frames of their own between the fixed-rate frames, so
// everything that depends on the past (fades, flares, sprites) is as in a real run.
#pragma once

#include <cstdint>

#include "capture_options.h"
#include "timeline/scene_schedule.h"

// The last music time the demo draws: the end of scene 8.
constexpr int64_t DEMO_END_MS = 228000;

// Milliseconds of music at a byte position.
double positionMs(int32_t position);

struct PlannedFrame {
    int32_t position;
    int write;       // 1 when this frame is kept (a picture, a video frame)
    int64_t number;  // index of the kept frame among the kept frames, from 0
    int atFirst;     // for --at frames: the requested times (sorted order) this frame serves
    int atEnd;       // one past the last; equal to atFirst for other frames
};

struct FrameSchedule {
    int fps;
    int64_t nextFrame;          // next fixed-rate frame
    int32_t fromPosition;       // kept frames lie in [fromPosition, toPosition]
    int32_t toPosition;
    int64_t written;            // frames kept so far
    int32_t atPositions[MAX_AT_TIMES];
    int atOrder[MAX_AT_TIMES];  // indices into CaptureOptions::at, by ascending time
    int atCount;
    int nextAt;
};

// Prepares the schedule of a run with these options.
void beginSchedule(FrameSchedule* schedule, const CaptureOptions& options);
// The next frame to draw; 0 when the run is complete.
int nextScheduledFrame(FrameSchedule* schedule, PlannedFrame* out);
// How many frames a run with these options draws, and how many of them it keeps.
void countScheduledFrames(const CaptureOptions& options, int64_t* drawn, int64_t* kept);
// The music bytes that go with the kept frames of a fixed-rate run: from the first kept frame
// to where the frame after the last kept one would start; and, where `lastFrame` is given, the
// position of the last kept frame. 0 when no frame is kept, or for single pictures (--at),
// which carry no music.
int keptMusicRange(const CaptureOptions& options, int32_t* startByte, int32_t* endByte,
                   int32_t* lastFrame = nullptr);
