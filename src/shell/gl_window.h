// The window and its OpenGL context: creation (with the display-mode switch of the fullscreen
// build), the GL start state, the viewport, the extension check, key states and the message pump.
#pragma once

#include "platform/platform.h"

// Key states by virtual-key code, 1 while down; changed only while pumpMessages dispatches.
extern int keyDown[256];
// Largest texture side the driver accepts, read by checkMultitexture.
extern int maxTextureSize;

// Opens the window and makes its GL context current; 1 on success, 0 for "no window".
int createGlWindow(int width, int height, int fullscreen);
// Handles one window event the way the window procedure does.
void windowProc(const PlatformEvent& event);
// Index of the mode of the requested size with the most bits per pixel (the first one on a
// tie), or -1. Looks at most at 4999 modes.
int chooseDisplayMode(const DisplayMode* modes, int count, int width, int height);
void initGlState(int width, int height);
void resizeViewport(int width, int height);
// 1 when `name` stands as a whole word in the current context's extension string.
int hasGlExtension(const char* name);
// 1 when `name` (not empty, no blank) stands as a whole word in the blank-separated list.
int extensionListHas(const char* extensions, const char* name);
// Reads maxTextureSize; 0 when GL_ARB_multitexture is missing.
int checkMultitexture();
// Dispatches every waiting event without blocking.
void pumpMessages();
