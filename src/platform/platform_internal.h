// What the platform files tell each other and nobody else.
#pragma once

#include <string>

#include "platform/platform.h"

// libmpg123's decoder, named without its header.
struct mpg123_handle_struct;

// "data\\x.jpg" as the file system names it: "data/x.jpg".
std::string nativeDataPath(const char* path);
// A decoder on the music file that hands out 44100 Hz 16-bit stereo, whatever the file holds
// (mono is doubled); null when the file cannot be opened or decoded to that format.
mpg123_handle_struct* openMusicDecoder(const char* path);

// The events platformPostEvent placed, oldest first: 1 when one was taken into `out`.
int takePostedEvent(PlatformEvent* out);
// Shows a modal error box and returns when it is closed.
void showModalBox(const char* caption, const char* text);

// Finishes the frame of the headless context (there is no second buffer to show).
void swapHeadlessBuffers();
// Size and samples per pixel of the headless context's framebuffer.
void headlessFramebufferSize(int* width, int* height);
int headlessFramebufferSamples();
// Stops the audio thread before the process ends.
void stopAudioAtExit();
