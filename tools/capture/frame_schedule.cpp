// The frame schedule. Frames and requested times land on whole samples (framePosition and
// timePosition of the scene schedule). Requested single pictures are kept in time order; fixed-rate frames are drawn up to each one, and fixed-rate frames that
// would fall on or before a picture already drawn are skipped so time never stands still.
#include "frame_schedule.h"

#include <algorithm>

namespace {

int32_t demoEndPosition() { return timePosition(DEMO_END_MS * 1000); }

}  // namespace

double positionMs(int32_t position) { return position / 176.4; }

void beginSchedule(FrameSchedule* schedule, const CaptureOptions& options) {
    *schedule = FrameSchedule{};
    schedule->fps = options.fps;
    schedule->fromPosition = timePosition(options.fromMicros);
    schedule->toPosition = std::min(timePosition(options.toMicros), demoEndPosition());
    schedule->atCount = std::min(options.atCount, MAX_AT_TIMES);
    for (int i = 0; i < schedule->atCount; ++i) schedule->atOrder[i] = i;
    std::stable_sort(schedule->atOrder, schedule->atOrder + schedule->atCount,
                     [&](int a, int b) { return options.at[a].micros < options.at[b].micros; });
    for (int i = 0; i < schedule->atCount; ++i)
        schedule->atPositions[i] = timePosition(options.at[schedule->atOrder[i]].micros);
}

int nextScheduledFrame(FrameSchedule* schedule, PlannedFrame* out) {
    *out = PlannedFrame{};
    if (schedule->atCount > 0) {
        if (schedule->nextAt >= schedule->atCount) return 0;
        int32_t target = schedule->atPositions[schedule->nextAt];
        int32_t fixed = framePosition(schedule->nextFrame, schedule->fps);
        if (fixed < target) {
            out->position = fixed;
            ++schedule->nextFrame;
            return 1;
        }
        // The requested picture: one frame for every time that falls on this position.
        out->position = target;
        out->write = 1;
        out->number = schedule->written++;
        out->atFirst = schedule->nextAt;
        while (schedule->nextAt < schedule->atCount &&
               schedule->atPositions[schedule->nextAt] == target)
            ++schedule->nextAt;
        out->atEnd = schedule->nextAt;
        while (framePosition(schedule->nextFrame, schedule->fps) <= target) ++schedule->nextFrame;
        return 1;
    }

    int32_t position = framePosition(schedule->nextFrame, schedule->fps);
    if (position > schedule->toPosition) return 0;
    ++schedule->nextFrame;
    out->position = position;
    if (position >= schedule->fromPosition) {
        out->write = 1;
        out->number = schedule->written++;
    }
    return 1;
}

void countScheduledFrames(const CaptureOptions& options, int64_t* drawn, int64_t* kept) {
    FrameSchedule schedule;
    beginSchedule(&schedule, options);
    PlannedFrame frame;
    int64_t all = 0, written = 0;
    while (nextScheduledFrame(&schedule, &frame)) {
        ++all;
        written += frame.write;
    }
    if (drawn) *drawn = all;
    if (kept) *kept = written;
}

int keptMusicRange(const CaptureOptions& options, int32_t* startByte, int32_t* endByte,
                   int32_t* lastFrame) {
    if (options.atCount > 0) return 0;  // single pictures carry no music
    FrameSchedule schedule;
    beginSchedule(&schedule, options);
    PlannedFrame frame;
    int64_t firstKept = -1, lastKept = -1;
    while (nextScheduledFrame(&schedule, &frame)) {
        if (!frame.write) continue;
        if (firstKept < 0) firstKept = schedule.nextFrame - 1;
        lastKept = schedule.nextFrame - 1;
    }
    if (firstKept < 0) return 0;
    *startByte = framePosition(firstKept, options.fps);
    *endByte = framePosition(lastKept + 1, options.fps);
    if (lastFrame) *lastFrame = framePosition(lastKept, options.fps);
    return 1;
}
