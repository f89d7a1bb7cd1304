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
#include "timeline/compositions.h"
#include "timeline/scene_schedule.h"

int sceneIndex;

namespace {
float previousPosition;
constexpr int KEY_ESCAPE = 27;
}  // namespace

int beginTimeline() {
    previousPosition = 0;
    sceneIndex = 0;
    return keyDown[KEY_ESCAPE] == 1 ? 0 : 1;
}

int timelineFrame() {
    if (sceneIndex >= SCENE_COUNT_PLAYED) return 0;
    pumpMessages();

    float previous = previousPosition;
    int32_t position = musicPosition();
    previousPosition = f32(position);
    double ms = position * MS_PER_BYTE;
    double elapsed = (position - static_cast<double>(previous)) * MS_PER_BYTE;

    sceneIndex = sceneIndexForMs(ms);
    demoTime = f32(ms * TICKS_PER_MS);
    // Past the table's end there is no start time; the frame is only cleared.
    sceneMs = sceneIndex < 11 ? f32(ms - SCENE_START_MS[sceneIndex]) : 0.0f;
    sceneTime = f32(sceneMs * TICKS_PER_MS);
    frameStep = f32(elapsed * FRAME_STEP_PER_MS);

    if (sceneIndex == 6)
        glClearColor(0.1f, 0.1f, 0.2f, 0.2f);
    else
        glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    clearFrame();

    if (sceneIndex < SCENE_COUNT_PLAYED) drawComposition(sceneIndex);
    platformSwapBuffers();

    if (keyDown[KEY_ESCAPE] == 1) return 0;
    return sceneIndex < SCENE_COUNT_PLAYED ? 1 : 0;
}

void runTimeline() {
    if (!beginTimeline()) return;
    while (timelineFrame()) {
    }
}
