// The program's fixed start-up and shutdown sequence.
#pragma once

// How the one GL context of the program is made.
enum ContextKind {
    CONTEXT_WINDOWED,    // an ordinary window, opened at 640 x 480, that may take any size
    CONTEXT_FULLSCREEN,  // a window over a display switched to 640 x 480
    CONTEXT_HEADLESS,    // no window: an offscreen framebuffer
};

// The size the window opens at (or of the offscreen framebuffer), and the samples per pixel
// asked for: 1 for none.
struct ContextFormat {
    int width;
    int height;
    int samples;
};
// The windows of both builds: 640 x 480, four samples where the display offers them.
constexpr ContextFormat WINDOW_FORMAT = {640, 480, 4};
// The headless default: 640 x 480 without multisampling.
constexpr ContextFormat HEADLESS_FORMAT = {640, 480, 1};

struct Playback;

// Data folder, context, multitexture check, loading screen, every asset, the music. 1 when the
// timeline can run; 0 after the failing step's message. With a playback, seeking is made ready
// after the assets and before the music starts (under the loading screen).
int startDemo(ContextKind kind, const ContextFormat& format, Playback* playback = nullptr);
// Releases the tables and the audio output.
void shutDownDemo();
// The whole program: start-up, timeline, shutdown. Returns 1 after a reported start-up failure;
// a normal run ends the process with exit code 0 when the window closes.
int runDemo(int fullscreen);
