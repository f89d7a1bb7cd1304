// Playing the demo like a video: pause, seek and step, with a position bar along the bottom of
// the picture that shows while paused and for a moment after every control. Every seek shows
// what a viewer who had played through at SEEK_FPS would see at that moment, and the music goes
// on from there. A viewer who presses nothing sees the demo as it always played. The picture is
// drawn at a size that follows the frame time (shell/picture_size.h), and scaled up to the
// window; the bar is drawn over it at the window's own resolution.
#pragma once

#include <cstdint>

#include "shell/picture_size.h"
#include "timeline/demo_state.h"
#include "timeline/main_loop.h"
#include "timeline/seeking.h"

// The keys, by virtual-key code.
constexpr int KEY_SPACE = 32;
constexpr int KEY_PAGE_UP = 33;
constexpr int KEY_PAGE_DOWN = 34;
constexpr int KEY_HOME = 36;
constexpr int KEY_LEFT = 37;
constexpr int KEY_RIGHT = 39;
constexpr int KEY_FULL_STOP = 190;

// The music time of the demo's last frame: seeks go no further.
constexpr double PLAYBACK_END_MS = 228000.0;
// Left and Right move by this much.
constexpr double SEEK_STEP_MS = 5000.0;
// Page Up within this much of a scene's start goes to the scene before.
constexpr double SCENE_BACK_GRACE_MS = 2000.0;
// How long the position bar stays after a control.
constexpr uint64_t BAR_SHOW_MS = 2000;

struct Playback {
    TimelineState timeline;
    Seeker seeker;
    int canSeek;                 // the seeker could save the state before the first frame
    int paused;
    int32_t pausedPosition;      // the music position the paused frame shows
    SavedDemoState pausedState;  // the state before that frame, put back for every redraw
    uint64_t barUntil;           // wall-clock milliseconds until which the bar shows
    int showsBar;                // 0 where the page shows controls of its own
    PictureSizer sizer;          // the picture's size, following the frame time
    int pictureHeight;           // the height the next frame is drawn at (0: the window's)
    int pictureSampleHalvings;   // how many times the next frame halves the window's samples
    int fixedPictureHeight;      // not 0: every frame at this height, whatever its time
    uint64_t lastFrameAt;        // wall-clock milliseconds of the last frame shown, or 0
};

// Makes seeking ready once the demo is loaded, before the music starts: the state before the
// first frame, and a checkpoint every CHECKPOINT_SECONDS of the whole demo, made by advancing
// it once at SEEK_FPS; the state then goes back to the start. 1 when seeking is ready; 0 when
// there was no memory for it (the demo then plays without pause and seeks).
int preparePlayback(Playback* playback);
// Starts a run from the music's start, before its first frame. 0 when Escape is already down.
int beginPlayback(Playback* playback);
// One frame: pump, the control keys, the frame at the music position (or the paused frame
// again), the bar when it shows, swap. 0 once the demo is over (past its end, or Escape held).
int playbackFrame(Playback* playback);
// A run of frames in the window, until the demo is over.
void runPlayback(Playback* playback);
// Releases what preparePlayback kept.
void endPlayback(Playback* playback);

// ---- Controls ----

// Pauses: the music stops, its clock stands, and the frame is drawn again as it is. Or plays on.
void togglePause(Playback* playback);
// To music time `ms` (held within 0 and the end).
void seekPlayback(Playback* playback, double ms);
// By `ms` from where the demo stands.
void seekPlaybackBy(Playback* playback, double ms);
// To the start of the next scene (1), or of this one (-1; of the one before within the first
// SCENE_BACK_GRACE_MS of a scene).
void seekSceneStart(Playback* playback, int direction);
// While paused, one frame of SEEK_FPS forward.
void stepPlayback(Playback* playback, int frames);
// Where the demo stands, in music milliseconds, and its scene there.
double playbackMs(const Playback* playback);
int playbackScene(const Playback* playback);
// Whether the position bar shows now.
int positionBarShows(const Playback* playback);
