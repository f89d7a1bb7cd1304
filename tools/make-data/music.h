// The soundtrack: a small synthesiser that renders the demo's music into interleaved 16-bit
// stereo at 44 100 Hz, and the MP3 encoding of it. Each section starts exactly where a scene
// starts and runs its own beat grid from there: eight beats to a phrase, a phrase to each cut
// of the scene (115 ticks where the scene has no cuts).
#pragma once

#include <cstdint>
#include <vector>

constexpr int MUSIC_RATE = 44100;
// Eight beats last 115 ticks of 1/35 s: 146.09 beats per minute.
constexpr double BEAT_SECONDS = 115.0 / 35.0 / 8.0;
// Where the sections start, in seconds: the scenes' start times.
constexpr double SECTION_STARTS[] = {0.0, 13.2, 54.3, 82.2, 107.8, 134.0, 173.0, 199.7, 215.8};

// Renders `seconds` of music; returns interleaved left-right samples.
std::vector<int16_t> renderMusic(double seconds);
// Encodes interleaved stereo samples at MUSIC_RATE into MP3 bytes (128 kbit/s, constant rate),
// with the encoder's delay and padding recorded in the first frame so that a decoder gives
// back exactly the samples it was given. Returns an empty vector when the encoder fails.
std::vector<uint8_t> encodeMp3(const std::vector<int16_t>& samples);
