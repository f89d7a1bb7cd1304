// What the platform files tell each other and nobody else.
#pragma once

#include <mpg123.h>

#include <string>

// "data\\x.jpg" as the file system names it: "data/x.jpg".
std::string nativeDataPath(const char* path);
// A decoder on the music file that hands out 44100 Hz 16-bit stereo, whatever the file holds
// (mono is doubled); null when the file cannot be opened or decoded to that format.
mpg123_handle* openMusicDecoder(const char* path);

// Finishes the frame of the headless context (there is no second buffer to show).
void swapHeadlessBuffers();
// Size and samples per pixel of the headless context's framebuffer.
void headlessFramebufferSize(int* width, int* height);
int headlessFramebufferSamples();
// Stops the audio thread before the process ends.
void stopAudioAtExit();
