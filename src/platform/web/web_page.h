// What only the web page has: the browser's frame loop, the music that waits for the viewer's
// click, and the still frame the page's address can ask for. The page's entry point uses it;
// the rest of the demo never asks where it runs.
#pragma once

#include <cstdint>

// Calls `frame` once per display refresh from the browser's own loop, from now on until it
// returns 0. Returns at once: the browser runs the loop.
void webRunFrames(int (*frame)());
// The still frame the address asks for with "#at=MS" (milliseconds of music, fractions
// allowed) and, optionally, "&fps=N" (the rate of the frames drawn up to it, 60 when not
// given, as for demo-capture). 1 with the time in microseconds and the rate; 0 for none. Either
// pointer may be null.
int webStillFrameWanted(int64_t* micros, int* fps);
// Tells the page (and a test watching it) that the still frame is drawn: the title ends with
// " [still]".
void webStillFrameDrawn();
// 1 while the music plays: from the click after startMusic until stopMusic.
int webMusicPlaying();
// 1 when the music file could not be decoded; it cannot play.
int webMusicFailed();

// ---- Between the files of the web platform ----

// 1 while the browser's frame loop is running a frame.
int webInFrameLoop();
