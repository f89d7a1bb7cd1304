// demo-web: the demo on a web page. Start-up is the demo's own (the loading screen, every
// asset, the music opened), its failures shown as text on the page. A browser lets sound start
// only after the viewer has done something, so the page then says "click to play"; the click
// starts the music, and the timeline runs in the browser's frame loop with the music as its
// clock. Escape, or the end of the demo, stops the music and goes back to "click to play".
// With "#at=MS" in the address the page instead draws the one frame at music time MS as
// demo-capture --at MS draws it: the frames before it run at the capture's fixed rate ("&fps=N",
// 60 by default), only advanced, so that all that depends on the past (fades, flares, sprites)
// is as in the capture. While the demo plays, the window's keys pause, seek and step it.
#include <cstdint>

#include "app/startup.h"
#include "platform/opengl.h"
#include "platform/platform.h"
#include "platform/web/web_page.h"
#include "shell/bitmap_font.h"
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

void drawStillFrame(int64_t micros, int fps) {
    const int32_t target = timePosition(micros);
    TimelineState timeline = START_TIMELINE;
    if (beginTimeline(&timeline)) {
        advanceFramesBefore(&timeline, fps, 0, target);
        stillPosition = target;
        timelineFrame(&timeline);
    }
    webStillFrameDrawn();
}

// The loading screen's look, with the one line that asks for the click.
void showClickToPlay() {
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawText("click to play", 0.05f, 0.95f);
    platformSwapBuffers();
}

// One frame of the page: "click to play" until the music plays, then the timeline. 0 ends the
// page's loop (after a reported failure).
int pageFrame() {
    if (webMusicFailed()) {
        reportError("cannot play audio");
        return 0;
    }
    if (!playing) {
        pumpMessages();
        if (!webMusicPlaying()) {
            showClickToPlay();
            return 1;
        }
        playing = beginPlayback(&playback) != 0;
    }
    if (playing && playbackFrame(&playback)) return 1;
    // Escape or the end: the music stops and waits for the next click.
    playing = false;
    stopMusic();
    if (!startMusic(MUSIC_PATH)) {
        reportError("cannot play audio");
        return 0;
    }
    return 1;
}

}  // namespace

int main() {
    int64_t stillMicros = 0;
    int stillFps = 60;
    const bool still = webStillFrameWanted(&stillMicros, &stillFps) != 0;
    if (still) setAudioPositionSource(stillClock);
    if (!startDemo(CONTEXT_WINDOWED, WINDOW_FORMAT, still ? nullptr : &playback)) return 1;
    if (still) {
        drawStillFrame(stillMicros, stillFps);
        return 0;
    }
    webRunFrames(pageFrame);
    return 0;
}
