// Playback controls. The music stays the one clock: a seek moves the demo's state with the
// seeker and the music with it, and a paused demo reads its position from the frame it stands
// on. The paused frame is drawn again every frame from the state saved before it, so it holds
// exactly, and resizing or going fullscreen still redraw it. Keys pressed in one pump are
// gathered into one move, so a held arrow key never queues up seeks.
#include "timeline/playback.h"

#include <algorithm>
#include <cstdio>

#include "math/math3d.h"
#include "platform/platform.h"
#include "render/position_bar.h"
#include "shell/gl_window.h"
#include "shell/music.h"
#include "timeline/scene_schedule.h"

namespace {

constexpr int KEY_ESCAPE = 27;

// The music position where the frame shown stands.
int32_t shownPosition(const Playback* playback) {
    if (playback->paused) return playback->pausedPosition;
    return static_cast<int32_t>(playback->timeline.previousPosition);
}

double msOfPosition(int32_t position) { return position * MS_PER_BYTE; }

// The first sample of scene n: a time exactly on a scene's start still belongs to the scene
// before it.
int32_t sceneStartPosition(int n) {
    return timePosition(static_cast<int64_t>(SCENE_START_MS[n]) * 1000) + BYTES_PER_SAMPLE_FRAME;
}

void showBar(Playback* playback) { playback->barUntil = platformMilliseconds() + BAR_SHOW_MS; }

// Brings everything to just before the frame at `position`, the music included.
void seekToPosition(Playback* playback, int32_t position) {
    const int32_t end = timePosition(static_cast<int64_t>(PLAYBACK_END_MS) * 1000);
    position = std::clamp(position, 0, end);
    if (playback->canSeek) seekTimeline(&playback->seeker, &playback->timeline, position);
    audioSeek(position);
    if (playback->paused) {
        playback->pausedPosition = position;
        resaveDemoState(playback->seeker.layout, playback->timeline, &playback->pausedState);
    }
    showBar(playback);
}

// The scene of a music time, kept within the nine.
int sceneOfMs(double ms) { return std::clamp(sceneIndexForMs(ms), 0, SCENE_COUNT_PLAYED - 1); }

// The keys of the last pump, gathered into at most one pause, one seek and one step.
void applyControlKeys(Playback* playback) {
    if (keyPresses[KEY_SPACE] % 2 == 1) togglePause(playback);
    const int right = keyPresses[KEY_RIGHT] + keyRepeats[KEY_RIGHT];
    const int left = keyPresses[KEY_LEFT] + keyRepeats[KEY_LEFT];
    if (right != left) seekPlaybackBy(playback, (right - left) * SEEK_STEP_MS);
    const int down = keyPresses[KEY_PAGE_DOWN] + keyRepeats[KEY_PAGE_DOWN];
    const int up = keyPresses[KEY_PAGE_UP] + keyRepeats[KEY_PAGE_UP];
    for (int k = 0; k < down; ++k) seekSceneStart(playback, 1);
    for (int k = 0; k < up; ++k) seekSceneStart(playback, -1);
    if (keyPresses[KEY_HOME] > 0) seekPlayback(playback, 0.0);
    const int steps = keyPresses[KEY_FULL_STOP] + keyRepeats[KEY_FULL_STOP];
    if (steps > 0) stepPlayback(playback, steps);
}

// After a frame is shown: the picture size for the next one follows its interval, and the
// frame log gets its line (music ms, frame ms, the picture's width, height and samples).
void followFrame(Playback* playback, int32_t position, const FramePicture& drawn) {
    const uint64_t now = platformMilliseconds();
    const double interval =
        playback->lastFrameAt ? static_cast<double>(now - playback->lastFrameAt) : 0.0;
    // The window's own picture rectangle, which the frame has been shown in.
    const int windowPicture = pictureRect.height;
    if (playback->fixedPictureHeight > 0) {
        playback->pictureHeight = playback->fixedPictureHeight;
    } else if (playback->lastFrameAt && !playback->paused) {  // a paused frame keeps its look
        playback->pictureHeight = followFrameTime(&playback->sizer, interval, now, windowPicture);
        playback->pictureSampleHalvings = sampleHalvingsAt(playback->sizer.rung, windowPicture);
    }
    playback->lastFrameAt = now;
    if (!platformFrameLogWanted()) return;
    const int drawnWidth = static_cast<int>((static_cast<int64_t>(drawn.height) * 4 + 1) / 3);
    char line[96];
    std::snprintf(line, sizeof line, "%.1f %.1f %d %d %d", msOfPosition(position), interval,
                  drawnWidth, drawn.height, drawn.samples);
    platformLogFrame(line);
}

}  // namespace

int preparePlayback(Playback* playback) {
    *playback = Playback{};
    playback->timeline = START_TIMELINE;
    playback->showsBar = 1;
    if (!beginSeeker(&playback->seeker, playback->timeline)) return 0;
    playback->canSeek = 1;
    // Every checkpoint, from a seek to the end, then back to the start.
    const int32_t end = timePosition(static_cast<int64_t>(PLAYBACK_END_MS) * 1000);
    seekTimeline(&playback->seeker, &playback->timeline, end);
    seekTimeline(&playback->seeker, &playback->timeline, 0);
    return 1;
}

int beginPlayback(Playback* playback) {
    playback->paused = 0;
    return beginTimeline(&playback->timeline);
}

void endPlayback(Playback* playback) {
    releaseSavedDemoState(&playback->pausedState);
    if (playback->canSeek) releaseSeeker(&playback->seeker);
    playback->canSeek = 0;
}

int playbackFrame(Playback* playback) {
    if (playback->timeline.sceneIndex >= SCENE_COUNT_PLAYED) return 0;
    pumpMessages();
    applyControlKeys(playback);
    int32_t position;
    if (playback->paused) {
        restoreDemoState(playback->seeker.layout, playback->pausedState, &playback->timeline);
        position = playback->pausedPosition;
    } else {
        position = musicPosition();
    }
    const FramePicture drawn =
        playback->fixedPictureHeight > 0
            ? beginFramePicture(playback->fixedPictureHeight, 0)
            : beginFramePicture(playback->pictureHeight, playback->pictureSampleHalvings);
    const int scene = runTimelineFrame(&playback->timeline, position, FRAME_DRAWN);
    presentFramePicture();
    if (playback->showsBar && positionBarShows(playback)) {
        const PositionBar bar{msOfPosition(position), std::clamp(scene, 0, SCENE_COUNT_PLAYED - 1),
                              SCENE_START_MS, SCENE_COUNT_PLAYED, PLAYBACK_END_MS};
        drawPositionBar(bar);
    }
    platformSwapBuffers();
    followFrame(playback, position, drawn);
    if (keyDown[KEY_ESCAPE] == 1) return 0;
    return scene < SCENE_COUNT_PLAYED ? 1 : 0;
}

void runPlayback(Playback* playback) {
    if (!beginPlayback(playback)) return;
    while (playbackFrame(playback)) {
    }
}

void togglePause(Playback* playback) {
    showBar(playback);
    if (playback->paused) {
        playback->paused = 0;
        audioSetPaused(0);
        return;
    }
    // The frame last drawn stays: its position, and the state after it, drawn again as it is.
    if (!playback->canSeek) return;
    playback->pausedPosition = shownPosition(playback);
    if (!resaveDemoState(playback->seeker.layout, playback->timeline, &playback->pausedState))
        return;
    playback->paused = 1;
    audioSetPaused(1);
    audioSeek(playback->pausedPosition);
}

void seekPlayback(Playback* playback, double ms) {
    seekToPosition(playback, timePosition(static_cast<int64_t>(std::clamp(ms, 0.0, PLAYBACK_END_MS) * 1000.0)));
}

void seekPlaybackBy(Playback* playback, double ms) { seekPlayback(playback, playbackMs(playback) + ms); }

void seekSceneStart(Playback* playback, int direction) {
    const double ms = playbackMs(playback);
    const int scene = sceneOfMs(ms);
    if (direction > 0) {
        if (scene + 1 >= SCENE_COUNT_PLAYED)
            seekPlayback(playback, PLAYBACK_END_MS);
        else
            seekToPosition(playback, sceneStartPosition(scene + 1));
        return;
    }
    const bool early = ms - SCENE_START_MS[scene] < SCENE_BACK_GRACE_MS;
    const int to = early && scene > 0 ? scene - 1 : scene;
    seekToPosition(playback, to == 0 ? 0 : sceneStartPosition(to));
}

void stepPlayback(Playback* playback, int frames) {
    if (!playback->paused || frames <= 0) return;
    restoreDemoState(playback->seeker.layout, playback->pausedState, &playback->timeline);
    const int32_t end = timePosition(static_cast<int64_t>(PLAYBACK_END_MS) * 1000);
    const int32_t step = framePosition(1, SEEK_FPS);
    for (int k = 0; k < frames && playback->pausedPosition < end; ++k) {
        runTimelineFrame(&playback->timeline, playback->pausedPosition, FRAME_ADVANCED);
        playback->pausedPosition = std::min(playback->pausedPosition + step, end);
    }
    resaveDemoState(playback->seeker.layout, playback->timeline, &playback->pausedState);
    audioSeek(playback->pausedPosition);
    showBar(playback);
}

double playbackMs(const Playback* playback) { return msOfPosition(shownPosition(playback)); }

int playbackScene(const Playback* playback) { return sceneOfMs(playbackMs(playback)); }

int positionBarShows(const Playback* playback) {
    return playback->paused || platformMilliseconds() < playback->barUntil;
}
