// The music that goes with a captured range, as a plain PCM WAV file: 44100 Hz, 16-bit stereo,
// the bytes of the decoded stream from one frame position to another. Where the music ends
// before the range does, the rest is silence, so sound and pictures keep the same length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr int WAV_HEADER_BYTES = 44;

// A WAV file being filled with the bytes [start, end) of a stream that arrives in order.
struct WavRangeWriter {
    FILE* file;
    int64_t start;
    int64_t end;
    int64_t seen;    // stream bytes handed in so far
    int64_t stored;  // data bytes written so far
    int failed;
    int error;       // errno of the first write that failed
};

// How writing the music of a range went.
struct MusicWavResult {
    int written;         // 1 when the file holds the whole range
    int writeError;      // errno of the write that failed; 0 when the music could not be decoded
    int64_t musicBytes;  // bytes the decoded music holds, when it ends before the range does
    int endedEarly;      // 1 when the music ends before the range does (the rest is silence)
};

// The 44-byte header of a 44100 Hz 16-bit stereo PCM file holding `dataBytes` of samples.
void wavHeader(uint8_t out[WAV_HEADER_BYTES], uint32_t dataBytes);
// Creates `path` and writes its header. 1 on success; 0 with errno saying why.
int openWavRange(WavRangeWriter* writer, const char* path, int64_t startByte, int64_t endByte);
// Hands the next stream bytes in; keeps those inside the range (fits MusicSink). 0 once the
// stream has passed the range's end.
int appendWavBytes(const uint8_t* bytes, size_t count, void* writer);
// Fills the range up with silence and closes the file. 1 when every byte was written; 0 with
// the reason in writer->error.
int closeWavRange(WavRangeWriter* writer);
// Decodes the music file and writes the bytes [startByte, endByte) to `wavPath`, and says
// whether the music reached that far. When the music cannot be decoded or the file cannot be
// written, the file is removed.
MusicWavResult writeMusicWav(const char* musicPath, const char* wavPath, int32_t startByte,
                             int32_t endByte);
