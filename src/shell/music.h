// The music stream whose playing position is the demo's only clock.
#pragma once

#include <cstdint>

constexpr const char* MUSIC_PATH = "data\\5tfina.mp3";

// Opens the output, creates the stream and starts it looping; 1 when the music plays.
int startMusic(const char* path);
// Byte position of the stream (176 400 bytes per second).
int32_t musicPosition();
// Stops and releases the audio output.
void stopMusic();
