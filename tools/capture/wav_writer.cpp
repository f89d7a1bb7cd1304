// WAV writing for captured ranges. The decoder hands out the whole stream in chunks; only the
// part inside the range is stored, and the header's sizes are fixed up front because the
// length of the range is known before the first byte arrives.
#include "wav_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/platform.h"

namespace {

void putLittle32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

void putLittle16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

void noteFailure(WavRangeWriter* writer) {
    if (!writer->failed) writer->error = errno ? errno : EIO;
    writer->failed = 1;
}

void storeBytes(WavRangeWriter* writer, const uint8_t* bytes, size_t count) {
    if (writer->failed || count == 0) return;
    if (std::fwrite(bytes, 1, count, writer->file) != count) noteFailure(writer);
    writer->stored += static_cast<int64_t>(count);
}

}  // namespace

void wavHeader(uint8_t out[WAV_HEADER_BYTES], uint32_t dataBytes) {
    std::memcpy(out, "RIFF", 4);
    putLittle32(out + 4, 36 + dataBytes);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    putLittle32(out + 16, 16);      // size of the format chunk
    putLittle16(out + 20, 1);       // PCM
    putLittle16(out + 22, 2);       // channels
    putLittle32(out + 24, 44100);   // sample rate
    putLittle32(out + 28, 176400);  // bytes per second
    putLittle16(out + 32, 4);       // bytes per sample frame
    putLittle16(out + 34, 16);      // bits per sample
    std::memcpy(out + 36, "data", 4);
    putLittle32(out + 40, dataBytes);
}

int openWavRange(WavRangeWriter* writer, const char* path, int64_t startByte, int64_t endByte) {
    *writer = WavRangeWriter{};
    if (!path || startByte < 0 || endByte < startByte || endByte - startByte > 0xFFFFFF00LL) {
        errno = EINVAL;
        return 0;
    }
    writer->file = std::fopen(path, "wb");
    if (!writer->file) return 0;
    writer->start = startByte;
    writer->end = endByte;
    uint8_t header[WAV_HEADER_BYTES];
    wavHeader(header, static_cast<uint32_t>(endByte - startByte));
    if (std::fwrite(header, 1, sizeof header, writer->file) != sizeof header) noteFailure(writer);
    return 1;
}

int appendWavBytes(const uint8_t* bytes, size_t count, void* user) {
    auto* writer = static_cast<WavRangeWriter*>(user);
    int64_t chunkStart = writer->seen;
    int64_t chunkEnd = chunkStart + static_cast<int64_t>(count);
    writer->seen = chunkEnd;
    int64_t from = std::max(chunkStart, writer->start);
    int64_t to = std::min(chunkEnd, writer->end);
    if (from < to) storeBytes(writer, bytes + (from - chunkStart), static_cast<size_t>(to - from));
    return chunkEnd < writer->end;
}

int closeWavRange(WavRangeWriter* writer) {
    if (!writer->file) return 0;
    static const uint8_t silence[4096] = {};
    while (!writer->failed && writer->stored < writer->end - writer->start) {
        int64_t missing = writer->end - writer->start - writer->stored;
        storeBytes(writer, silence, static_cast<size_t>(std::min<int64_t>(missing, sizeof silence)));
    }
    // A full disk may show only when the last buffered bytes are written out.
    if (std::fclose(writer->file) != 0) noteFailure(writer);
    writer->file = nullptr;
    return !writer->failed;
}

MusicWavResult writeMusicWav(const char* musicPath, const char* wavPath, int32_t startByte,
                             int32_t endByte) {
    MusicWavResult result{};
    WavRangeWriter writer;
    if (!openWavRange(&writer, wavPath, startByte, endByte)) {
        result.writeError = errno ? errno : EIO;
        return result;
    }
    const int decoded = decodeMusicFile(musicPath, appendWavBytes, &writer);
    const int written = closeWavRange(&writer);
    result.endedEarly = decoded && writer.seen < endByte;
    result.musicBytes = writer.seen;
    result.written = decoded && written;
    if (!written) result.writeError = writer.error;
    if (!result.written) std::remove(wavPath);
    return result;
}
