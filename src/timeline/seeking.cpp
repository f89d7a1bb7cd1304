// Seeking. Fixed-rate frame k of a play-through lies at framePosition(k, fps); a seek to a
// position restores the last checkpoint at or before the frames it needs and advances the rest.
// Checkpoint c shares every region that has not changed since checkpoint c - 1, so the whole
// row of them holds little more than the scenes' sprites once over.
#include "timeline/seeking.h"

#include "timeline/scene_schedule.h"

int64_t advanceFramesBefore(TimelineState* timeline, int fps, int64_t first, int32_t target) {
    int64_t frame = first;
    for (; framePosition(frame, fps) < target; ++frame) {
        const int scene = runTimelineFrame(timeline, framePosition(frame, fps), FRAME_ADVANCED);
        if (scene >= SCENE_COUNT_PLAYED) return frame + 1;
    }
    return frame;
}

int beginSeeker(Seeker* seeker, const TimelineState& start) {
    *seeker = Seeker{};
    if (!listDemoState(&seeker->layout)) return 0;
    if (!saveDemoState(seeker->layout, start, nullptr, &seeker->checkpoints[0])) {
        releaseDemoStateLayout(&seeker->layout);
        return 0;
    }
    seeker->checkpointCount = 1;
    return 1;
}

void seekTimeline(Seeker* seeker, TimelineState* timeline, int32_t target) {
    // The frames a play-through runs before the target: 0 to wanted - 1.
    int64_t wanted = 0;
    while (framePosition(wanted, SEEK_FPS) < target) wanted += CHECKPOINT_FRAMES;
    while (wanted > 0 && framePosition(wanted - 1, SEEK_FPS) >= target) --wanted;

    int c = static_cast<int>(wanted / CHECKPOINT_FRAMES);
    if (c > seeker->checkpointCount - 1) c = seeker->checkpointCount - 1;
    restoreDemoState(seeker->layout, seeker->checkpoints[c], timeline);
    int64_t frame = c * CHECKPOINT_FRAMES;
    while (frame < wanted) {
        // Every checkpoint's stretch in turn, saving the state at each new checkpoint reached.
        const int64_t next = (frame / CHECKPOINT_FRAMES + 1) * CHECKPOINT_FRAMES;
        const int64_t until = next < wanted ? next : wanted;
        const int64_t reached =
            advanceFramesBefore(timeline, SEEK_FPS, frame, framePosition(until, SEEK_FPS));
        if (reached < until) return;  // past the end of the demo
        frame = until;
        const int n = static_cast<int>(frame / CHECKPOINT_FRAMES);
        if (frame == next && n == seeker->checkpointCount && n < MAX_CHECKPOINTS &&
            saveDemoState(seeker->layout, *timeline, &seeker->checkpoints[n - 1],
                          &seeker->checkpoints[n]))
            seeker->checkpointCount = n + 1;
    }
}

void releaseSeeker(Seeker* seeker) {
    for (int c = 0; c < seeker->checkpointCount; ++c) releaseSavedDemoState(&seeker->checkpoints[c]);
    releaseDemoStateLayout(&seeker->layout);
    *seeker = Seeker{};
}
