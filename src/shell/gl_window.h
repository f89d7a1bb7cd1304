// The window and its OpenGL context: creation (with the display-mode switch of the fullscreen
// build), the GL start state, the 4:3 picture rectangle, the extension check, key states and
// the message pump.
#pragma once

#include "platform/platform.h"

// Where the 4:3 picture lies in the window, in pixels from the bottom left corner.
struct PictureRect {
    int x, y, width, height;
};

// Key states by virtual-key code, 1 while down; changed only while pumpMessages dispatches. A
// key released in the pump that pressed it stays down until the next pump.
extern int keyDown[256];
// How often each key went down in the last pump: pressed anew, and repeated by the keyboard
// while held.
extern int keyPresses[256];
extern int keyRepeats[256];
// Largest texture side the driver accepts, read by checkMultitexture.
extern int maxTextureSize;
// The picture rectangle of the current window size; everything is drawn inside it.
extern PictureRect pictureRect;

// Opens the window and makes its GL context current; 1 on success (a context that could not be
// made is reported, and the window still counts), 0 for "no window" or a refused display mode.
// `samples` above 1 asks for multisampling, which the window goes without where the display
// has none.
int createGlWindow(int width, int height, int fullscreen, int samples);
// Handles one window event the way the window procedure does.
void windowProc(const PlatformEvent& event);
// Index of the mode of the requested size with the most bits per pixel (the first one on a
// tie), or -1. Looks at most at 4999 modes.
int chooseDisplayMode(const DisplayMode* modes, int count, int width, int height);
void initGlState(int width, int height);
// The largest 4:3 rectangle centred in a window of this size (a height of 0 counts as 1).
PictureRect pictureRectFor(int width, int height);
// Viewport, scissor rectangle and line width for the picture rectangle of a window of this
// size, and the start projection.
void resizeViewport(int width, int height);
// Clears colour and depth: the picture rectangle to the current clear colour, the bars beside
// or above and below it to black.
void clearFrame();
// The picture a frame is drawn into: its height and its samples per pixel.
struct FramePicture {
    int height;
    int samples;
};
// Draws the coming frame into a 4:3 picture `height` rows high (0, or more than the window's
// picture rectangle, for the rectangle's own), with the window's samples per pixel halved
// `sampleHalvings` times, which presentFramePicture then shows in the rectangle, scaled up
// when smaller. Where the driver has no such pictures, the frame is drawn into the window
// itself. While the frame is drawn, pictureRect is the picture's own rectangle. Returns the
// picture drawn into.
FramePicture beginFramePicture(int height, int sampleHalvings);
// Shows the frame's picture in the window (nothing when it was drawn there itself); drawing
// goes to the window at its own resolution again.
void presentFramePicture();
// 1 when `name` stands as a whole word in the current context's extension string.
int hasGlExtension(const char* name);
// 1 when `name` (not empty, no blank) stands as a whole word in the blank-separated list.
int extensionListHas(const char* extensions, const char* name);
// Reads maxTextureSize; 0 when GL_ARB_multitexture is missing or no GL context is current.
int checkMultitexture();
// Dispatches every waiting event without blocking.
void pumpMessages();
