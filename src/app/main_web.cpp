// demo-web: the demo on a web page. Start-up is the demo's own (the loading screen, every
// asset, the music opened), its failures shown as text on the page. A browser lets sound start
// only after the viewer has done something, so the page then shows its Play button (page.js);
// Play starts the music, and the timeline runs in the browser's frame loop with the music as
// its clock, telling the page where each frame stands. Escape, or the end of the demo, stops the
// music and goes back to the Play button.
// With "#at=MS" in the address the page instead draws the one frame at music time MS as
// demo-capture --at MS draws it: the frames before it run at the capture's fixed rate ("&fps=N",
// 60 by default), only advanced, so that all that depends on the past (fades, flares, sprites)
// is as in the capture; a time past the end draws the demo's end frame. While the demo plays,
// the window's keys pause, seek and step it, and so do the page's controls.
#include <cmath>
#include <cstdint>

#include "app/startup.h"
#include "platform/opengl.h"
#include "platform/platform.h"
#include "platform/web/web_page.h"
#include "shell/error_report.h"
#include "shell/gl_window.h"
#include "shell/music.h"
#include "timeline/main_loop.h"
#include "timeline/playback.h"
#include "timeline/seeking.h"
#include "timeline/scene_schedule.h"

namespace {

int32_t stillPosition = 0;
int32_t stillClock() { return stillPosition; }

bool playing = false;
Playback playback;

// The end frame depends on nothing before it, so a time past the end is drawn at once, as the
// first moment after the end: no time, however far, wraps around in the music's byte position.
void drawStillFrame(double ms, int fps) {
    const double endMs = SCENE_START_MS[SCENE_COUNT_PLAYED];
    const bool pastTheEnd = ms > endMs;
    const int32_t target = timePosition(std::llround((pastTheEnd ? endMs + 1 : ms) * 1000));
    TimelineState timeline = START_TIMELINE;
    if (beginTimeline(&timeline)) {
        if (!pastTheEnd) advanceFramesBefore(&timeline, fps, 0, target);
        stillPosition = target;
        timelineFrame(&timeline);
    }
    webStillFrameDrawn();
}

// While the page shows its Play button the canvas is black behind it.
void showWaiting() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    platformSwapBuffers();
}

// What the page's control bar asks for, while the demo plays.
void applyPageCommand(const WebCommand& command) {
    if (command.kind == WEB_COMMAND_PAUSE)
        togglePause(&playback);
    else
        seekPlayback(&playback, command.ms);
}

// One frame of the page: black behind the Play button until the music plays, then the
// timeline with the window's keys and the page's controls, from the time the address asks for.
// 0 ends the page's loop (after a reported failure).
int pageFrame() {
    if (webMusicFailed()) {
        reportError("cannot play audio");
        return 0;
    }
    WebCommand command;
    while (webTakeCommand(&command)) {
        if (playing) applyPageCommand(command);
    }
    if (!playing) {
        pumpMessages();
        if (!webMusicPlaying()) {
            showWaiting();
            return 1;
        }
        playing = beginPlayback(&playback) != 0;
        const double startMs = webTakeStartMs();
        if (playing && startMs > 0) seekPlayback(&playback, startMs);
    }
    if (playing && playbackFrame(&playback)) {
        webShowPosition(playbackMs(&playback), playback.paused);
        return 1;
    }
    // Escape or the end: the music stops and waits for the next Play.
    playing = false;
    stopMusic();
    if (!startMusic(MUSIC_PATH)) {
        reportError("cannot play audio");
        return 0;
    }
    webShowReady();
    return 1;
}

}  // namespace

int main() {
    webSetSchedule(SCENE_START_MS, SCENE_COUNT_PLAYED, PLAYBACK_END_MS);
    double stillMs = 0;
    int stillFps = 60;
    const bool still = webStillFrameWanted(&stillMs, &stillFps) != 0;
    if (still) setAudioPositionSource(stillClock);
    if (!startDemo(CONTEXT_WINDOWED, WINDOW_FORMAT, still ? nullptr : &playback)) return 1;
    if (still) {
        drawStillFrame(stillMs, stillFps);
        return 0;
    }
    playback.showsBar = 0;  // the page has a control bar of its own
    webShowReady();
    webRunFrames(pageFrame);
    return 0;
}
