// What only the web page has: the browser's frame loop, the words and controls the page lays
// over the canvas (page.js), and the still frame the page's address can ask for. The page's
// entry point uses it; the rest of the demo never asks where it runs.
#pragma once

#include <cstdint>

// Calls `frame` once per display refresh from the browser's own loop, from now on until it
// returns 0. Returns at once: the browser runs the loop.
void webRunFrames(int (*frame)());
// The still frame the address asks for with "#at=MS" (milliseconds of music, fractions
// allowed) and, optionally, "&fps=N" (the rate of the frames drawn up to it, 1 to 1000, 60
// when not given, as for demo-capture). 1 with the time and the rate; 0 for none, also when a
// value was refused (the page then says why). The time is finite and not negative, but may lie
// far past the end of the demo. Either pointer may be null.
int webStillFrameWanted(double* ms, int* fps);
// Tells the page (and a test watching it) that the still frame is drawn: the title ends with
// " [still]", and the words over the canvas are gone.
void webStillFrameDrawn();
// 1 while the music plays: from the Play button after startMusic until stopMusic.
int webMusicPlaying();
// 1 when the music file could not be decoded; it cannot play.
int webMusicFailed();

// ---- The page's controls ----

// The schedule the position slider marks: the music times where the scenes start, and the
// end of the demo.
void webSetSchedule(const float* sceneStartsMs, int count, double endMs);
// The demo has loaded (or stopped) and waits for the viewer: the page shows its Play button, or
// starts the music at once when the viewer clicked or pressed a key while it loaded.
void webShowReady();
// Where the frame just drawn stands: its music time, and 1 while the clock stands paused.
void webShowPosition(double ms, int paused);
// The music time the address asks to play from ("#t=SECONDS"), in milliseconds; 0 for none.
// Taken once: after Escape or the end the demo plays from the start.
double webTakeStartMs();

enum WebCommandKind {
    WEB_COMMAND_PAUSE,  // pause, or go on when paused
    WEB_COMMAND_SEEK,   // go to the music time `ms`
};
struct WebCommand {
    WebCommandKind kind;
    double ms;
};
// The next command of the page's control bar, oldest first: 1 when one was taken into `out`.
// Taken inside a frame, so that what it does may draw.
int webTakeCommand(WebCommand* out);

// ---- Between the files of the web platform ----

// 1 while the browser's frame loop is running a frame.
int webInFrameLoop();
