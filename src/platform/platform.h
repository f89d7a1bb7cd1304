// The platform seam. Everything the demo needs from the machine it runs on goes through the
// functions below: a window with an OpenGL context (or a headless context for tests and the
// capture tool), display modes, key and window events, message boxes, the music stream that
// serves as the clock, data files, JPEG decoding and the runtime's 15-bit random numbers.
// Only the files of this folder include SDL, EGL, libmpg123 or libjpeg headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// ---- Display modes ----

struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
    int refreshRate;
};

// Number of modes the default display offers, or -1 when there is no display to ask.
int platformDisplayModeCount();
// Mode number `index` of the default display; 1 on success, 0 when there is no such mode.
int platformDisplayMode(int index, DisplayMode* out);
// How switching the display went.
enum DisplayModeChange {
    DISPLAY_MODE_CHANGED,
    DISPLAY_MODE_REFUSED,  // the display does not take this mode
    DISPLAY_MODE_FAILED,   // it would, but the switch failed; the display keeps its mode
};
// Switches the window's display to `mode`.
DisplayModeChange platformSetDisplayMode(const DisplayMode& mode);

// ---- Window and GL context ----

// Why a GL context could not be made for the window.
enum GlContextResult {
    GL_CONTEXT_READY,
    GL_CONTEXT_NO_PIXEL_FORMAT,
    GL_CONTEXT_PIXEL_FORMAT_REFUSED,
    GL_CONTEXT_NOT_CREATED,
    GL_CONTEXT_NOT_ACTIVATED,
};

// 1 when a display server can be reached (a window could be opened).
int platformHasDisplay();
// Opens the one window of the program, `fullscreen` 1 for a borderless always-on-top window
// meant to cover a switched display, 0 for an ordinary window the user may resize and
// maximise. `samples` above 1 asks for that many samples per pixel; where the display offers
// no such format the window opens without multisampling. 1 on success.
int platformOpenWindow(const char* title, int width, int height, int fullscreen, int samples);
// Makes a compatibility-profile context (16 colour bits, 16 depth bits at least) for the window
// and makes it current. On any failure no context of the window's is left.
GlContextResult platformCreateGlContext();
// 1 while a GL context is current (the window's or the headless one).
int platformHasGlContext();
// Size in pixels of what the context draws into: the window's drawable, or the offscreen
// framebuffer of the headless context.
void platformClientSize(int* width, int* height);
// Samples per pixel of what the context draws into (1 without multisampling).
int platformSamples();
// Covers the whole desktop with the window, borderless and without changing the display mode
// (1), or gives it back its former place and size (0). 1 on success.
int platformSetDesktopFullscreen(int on);
void platformShowWindow();
void platformShowCursor(int visible);
void platformSwapBuffers();
// Restores the display mode, shows the cursor, releases the GL context and closes the window.
// Safe to call more than once, and registered to run at every process exit.
void platformCloseWindow();

// ---- Pictures drawn smaller than the window ----

// What a scaled picture is drawn into: its size in pixels and its samples per pixel.
struct ScaledSurface {
    int width, height, samples;
};
// Points drawing at a surface for a picture of width x height pixels, and writes the
// surface's size and samples: natively an offscreen picture of just that size, with the
// window's samples per pixel halved `sampleHalvings` times (made, or made again at a new size
// or sample count, as needed); on a page, which has no say over its samples, the canvas
// itself, its drawing buffer made smaller in the window's shape, which the browser scales up to
// the page. 1 when drawing goes there; 0 when it stays on the window at the window's own size
// (no framebuffer objects; or, on a page, a picture as large as the canvas holds).
int platformBeginScaledPicture(int width, int height, int sampleHalvings, ScaledSurface* surface);
// Shows the surface in the window: natively the picture is resolved, the whole window cleared
// to black and the picture drawn into the window's rectangle (x, y, width, height from the
// bottom left) with linear filtering; a page leaves it to the browser. Drawing goes to the
// window again.
void platformEndScaledPicture(int x, int y, int width, int height);

// ---- The frame log ----

// Whether each frame shown is to be logged: QUELLDRIFT_FRAME_LOG=FILE in the environment of a
// program with a window, "framelog=1" in the page's address.
int platformFrameLogWanted();
// One line of the log, written to the file (or the page's console) as it comes.
void platformLogFrame(const char* line);

// A GL context without a window: EGL surfaceless rendering into a width x height offscreen
// framebuffer with colour and depth, current on return. `samples` above 1 asks for a
// multisampled framebuffer (as many samples as the driver offers, up to that); a buffer swap
// then resolves it into a plain one, which glReadPixels reads. Without multisampling a swap
// only flushes. 1 on success. Used by the tests and the capture tool.
int platformCreateHeadlessContext(int width, int height, int samples);
void platformDestroyHeadlessContext();
int platformIsHeadless();

// ---- A display for tests ----

// Stands in for the display server while set: the window opens or not, its GL context comes out
// as told (a ready one is the headless context already current), the display offers `modes` and
// answers a switch with `modeChange`. The platform writes the last three fields, so a test sees
// what was left behind.
struct SimulatedDisplay {
    int opensWindow;
    GlContextResult context;
    const DisplayMode* modes;
    int modeCount;
    DisplayModeChange modeChange;
    int windowOpen = 0;    // 1 from opening to closing the window
    int modeSwitched = 0;  // 1 while the display runs in the switched mode
    int cursorHidden = 0;
};
// Null goes back to the real display.
void simulateDisplay(SimulatedDisplay* display);

// ---- Events ----

enum PlatformEventKind {
    PLATFORM_KEY_DOWN,
    PLATFORM_KEY_UP,
    PLATFORM_RESIZED,
    PLATFORM_CLOSE_REQUESTED,
};

struct PlatformEvent {
    PlatformEventKind kind;
    int key;            // virtual-key code (Escape = 27, 'A' to 'Z', '0' to '9', space = 32, ...)
    int width, height;  // new client size for PLATFORM_RESIZED
    int repeat = 0;     // 1 for a key-down the keyboard repeats while the key is held
};

// Takes the next waiting event without blocking; 1 when one was written to `out`.
int platformPollEvent(PlatformEvent* out);
// Places an event in the queue, as if the window system had sent it (tests use it).
void platformPostEvent(const PlatformEvent& event);

// ---- Message boxes ----

// Shows a modal box with an error icon where a display exists, and always writes the caption
// and text to stderr. Without a display nothing blocks.
void showErrorBox(const char* caption, const char* text);
// Every box is also handed to the sink, in order; null removes it. Tests collect messages here.
using MessageSink = void (*)(const char* caption, const char* text);
void setMessageSink(MessageSink sink);
// Boxes are not shown on the screen while suppressed (stderr and the sink still get them).
void suppressMessageBoxes(int suppress);

// ---- Music ----

// 1 when the audio back end this system was built for is present and usable.
int audioBackendPresent();
// Opens the default output device at `rate` Hz. Returns 1 even without a sound device, in which
// case the stream plays silently against a monotonic clock.
int audioInit(int rate);
// Opens an MP3 file as a stream decoded to 44100 Hz 16-bit stereo; 1 on success.
int audioOpenStream(const char* path);
// Starts the output.
void audioStart();
// Starts the stream from its beginning; `loop` 1 makes it start again at its end.
void audioPlay(int loop);
// Byte position of what is being heard (176 400 bytes per second), smooth between device
// callbacks and never going back except where the stream loops.
int32_t audioPosition();
// Goes on from music byte position `position` (to the sample): the position reads it at
// once, and what is heard follows within one buffer of the device, cross-faded without a click.
// While paused, the stream stays paused at the new position.
void audioSeek(int32_t position);
// Pauses (1) or plays on (0): paused, the output falls silent after a short fade and the
// position stands; playing on goes on from where it stood.
void audioSetPaused(int paused);
int audioPaused();
// Stops and releases the output and the stream.
void audioFree();
// Replaces the position source: while set, audioPosition answers `source()` (a driven clock
// for the capture tool and the tests); null goes back to the stream.
using AudioPositionSource = int32_t (*)();
void setAudioPositionSource(AudioPositionSource source);
// Makes the open sound device go away the way an unplugged one does (tests use it); the next
// position query notices and the stream goes on silently from where it was.
void simulateAudioDeviceLoss();
// 1 while the stream plays on the silent clock (no device, or the device went away).
int audioPlaysSilently();
// Decodes an MP3 file (named like a data file) to 44100 Hz 16-bit stereo, handing the bytes to
// `sink` in order as they come, until the file ends or the sink answers 0 (it needs no more:
// a long file is never decoded past what is wanted). 1 when the file was decoded to its end or
// to where the sink stopped, 0 when it cannot be opened, has another rate, or breaks off with
// an error before that.
using MusicSink = int (*)(const uint8_t* bytes, size_t count, void* user);
int decodeMusicFile(const char* path, MusicSink sink, void* user);

// ---- Files and pictures ----

// The file that make-data writes last into a data set: the line DATA_SET_MANIFEST_HEADER, then
// one line "SIZE NAME" for each other file of the set, by name. A folder that holds it is a data
// set that make-data finished writing; any other folder (an empty one, one of the user's that
// happens to be called data, a set whose writing was cut short) is not.
constexpr char DATA_SET_MANIFEST[] = "manifest.txt";
constexpr char DATA_SET_MANIFEST_HEADER[] = ".quellDrift data set 1";

// Chooses where "data\" paths lead: the data/ folder of the working directory when it is a data
// set, else the data set installed with the program (share/quelldrift/data beside its bin/),
// noting on stderr why a data/ that is there was passed over. 1 when one of them is a data set;
// 0 when neither is, with each place and why it was not taken in `looked`. Until it is called,
// "data\" paths lead to the working directory.
int findDataFolder(char* looked, size_t size);

// Largest data file read whole (a scene, a picture, a BMP, the flare description): every file
// of the demo is a small fraction of it, and a larger one is refused before it is read.
constexpr size_t MAX_DATA_FILE_BYTES = size_t{8} << 20;
// Longest side of a picture the decoders accept, in pixels.
constexpr int MAX_PICTURE_SIDE = 4096;
// Most scans a progressive JPEG may have. Each scan is a pass over the whole picture, so a
// file of thousands of tiny scans would take minutes; real encoders write about ten.
constexpr int MAX_JPEG_SCANS = 100;

// Opens a data file for reading, named the way the demo names it ("data\\x.jpg"): backslashes
// become slashes here and nowhere else. Only regular files are opened; a FIFO, a directory or a
// device is refused at once (a FIFO is never waited on), with the reason on stderr.
FILE* openDataFile(const char* path);
// How reading a whole data file went.
enum DataFileResult {
    DATA_FILE_READ,
    DATA_FILE_MISSING,     // it cannot be opened, or it is not a regular file
    DATA_FILE_UNREADABLE,  // opened, but too large, or reading it failed
};
// Reads a whole data file of at most MAX_DATA_FILE_BYTES into a new buffer (freed with free();
// one zero byte follows the end). On any result but DATA_FILE_READ *bytes is null and *size 0,
// and the reason, when it is more than a missing file, is on stderr.
DataFileResult readDataFile(const char* path, uint8_t** bytes, size_t* size);
// Decodes a JPEG file into width x height x 3 bytes, blue-green-red, first row at the top.
// Grey and YCbCr files, baseline and progressive, are accepted up to MAX_PICTURE_SIDE on a
// side, `maxPixels` pixels and MAX_JPEG_SCANS scans; anything else fails, with the reason on
// stderr (a picture past a limit before any of it is decoded). Never ends the process; on
// failure *pixels is null. 1 on success, 0 on failure.
int decodeJpeg(const char* path, int* width, int* height, unsigned char** pixels,
               int64_t maxPixels = INT64_MAX);
// The same decoder on a whole JPEG file already in memory; the reason for a failure goes to
// `problem` when it is not null.
int decodeJpegBytes(const unsigned char* bytes, size_t size, int* width, int* height,
                    unsigned char** pixels, char* problem = nullptr, size_t problemSize = 0);
// Writes why something failed to stderr as "<program>: <text>", beside the box that says what
// failed (a box alone cannot say why a picture is refused without changing its wording).
void explainFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- Runtime ----

// The runtime's 15-bit generator: 0 to 32767, the same sequence on every machine, seeded 1.
int runtimeRand();
void runtimeSeedRand(unsigned seed);
// The generator's state, which runtimeSeedRand puts back: the numbers after it come again.
unsigned runtimeRandState();
// Milliseconds of a monotonic clock, for what is timed in wall-clock time (how long a control
// overlay stays on the screen); the demo's own clock is the music.
uint64_t platformMilliseconds();
// Ends the process at once with `code`, after the window has been closed.
[[noreturn]] void platformExit(int code);
