// The main loop. It has no clock of its own: each frame asks the music how far it has played,
// turns that into a scene index and a scene-local time in ticks, clears, lets the scene's
// composition draw, and swaps. A slow frame skips picture but never delays it; only motion
// driven by frameStep accumulates from frame to frame. The same frame function serves the
// window, the headless tests and the capture tool.
#include "timeline/main_loop.h"

#include "anim/frame_clock.h"
#include "math/math3d.h"
#include "platform/opengl.h"
#include "platform/platform.h"
#include "shell/gl_window.h"
#include "shell/music.h"
#include "timeline/scene_schedule.h"

namespace {
constexpr int KEY_ESCAPE = 27;
}  // namespace

int beginTimeline(TimelineState* timeline) {
    timeline->previousPosition = 0;
    timeline->sceneIndex = 0;
    return keyDown[KEY_ESCAPE] == 1 ? 0 : 1;
}

int timelineFrame(TimelineState* timeline) {
    if (timeline->sceneIndex >= SCENE_COUNT_PLAYED) return 0;
    pumpMessages();
    const int sceneIndex = runTimelineFrame(timeline, musicPosition(), FRAME_DRAWN);
    platformSwapBuffers();

    if (keyDown[KEY_ESCAPE] == 1) return 0;
    return sceneIndex < SCENE_COUNT_PLAYED ? 1 : 0;
}

int runTimelineFrame(TimelineState* timeline, int32_t position, FrameWork work) {
    float previous = timeline->previousPosition;
    timeline->previousPosition = f32(position);
    double ms = position * MS_PER_BYTE;
    double elapsed = (position - static_cast<double>(previous)) * MS_PER_BYTE;

    const int sceneIndex = sceneIndexForMs(ms);
    timeline->sceneIndex = sceneIndex;
    demoTime = f32(ms * TICKS_PER_MS);
    // Past the table's end there is no start time; the frame is only cleared.
    sceneMs = sceneIndex < 11 ? f32(ms - SCENE_START_MS[sceneIndex]) : 0.0f;
    sceneTime = f32(sceneMs * TICKS_PER_MS);
    frameStep = f32(elapsed * FRAME_STEP_PER_MS);

    if (work == FRAME_DRAWN) {
        if (sceneIndex == 6)
            glClearColor(0.1f, 0.1f, 0.2f, 0.2f);
        else
            glClearColor(0, 0, 0, 0);
        glClearDepth(1.0);
        glDepthFunc(GL_LESS);
        clearFrame();
    }

    if (sceneIndex < SCENE_COUNT_PLAYED) {
        SceneFrame frame{sceneTime, demoTime, sceneMs, &timeline->compositions, work};
        drawComposition(sceneIndex, frame);
    }
    return sceneIndex;
}
