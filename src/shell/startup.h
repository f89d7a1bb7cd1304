// The program's fixed start-up and shutdown sequence.
#pragma once

// How the one GL context of the program is made.
enum ContextKind {
    CONTEXT_WINDOWED,    // an ordinary 640 x 480 window
    CONTEXT_FULLSCREEN,  // a window over a display switched to 640 x 480
    CONTEXT_HEADLESS,    // no window: an offscreen 640 x 480 framebuffer
};

// Data folder, context, multitexture check, loading screen, every asset, the music. 1 when the timeline can
// run; 0 after the failing step's message.
int startDemo(ContextKind kind);
// Releases the tables and the audio output.
void shutDownDemo();
// The whole program: start-up, timeline, shutdown. Returns 1 after a reported start-up failure;
// a normal run ends the process with exit code 0 when the window closes.
int runDemo(int fullscreen);
