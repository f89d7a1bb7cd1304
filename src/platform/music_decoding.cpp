// Decodes the whole music file at once, for tools that need the samples rather than a playing
// stream (the capture tool writes them beside its frames). The decoder is set up exactly like
// the playing stream's: 44100 Hz, 16-bit, stereo forced, so the bytes handed out are the bytes
// whose positions the timeline counts.
#include <mpg123.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {

constexpr size_t DECODE_CHUNK = 65536;

// The decoder reads the file through the stdio stream openDataFile gives, so the music is held
// to the same rule as every data file: a regular file, never a FIFO to wait on.
mpg123_ssize_t readStream(void* stream, void* buffer, size_t count) {
    const size_t done = std::fread(buffer, 1, count, static_cast<FILE*>(stream));
    return done == 0 && std::ferror(static_cast<FILE*>(stream)) ? -1
                                                               : static_cast<mpg123_ssize_t>(done);
}

off_t seekStream(void* stream, off_t offset, int whence) {
    if (fseeko(static_cast<FILE*>(stream), offset, whence) != 0) return -1;
    return ftello(static_cast<FILE*>(stream));
}

void closeStream(void* stream) { std::fclose(static_cast<FILE*>(stream)); }

}  // namespace

mpg123_handle* openMusicDecoder(const char* path) {
    int error = 0;
    mpg123_handle* decoder = mpg123_new(nullptr, &error);
    if (!decoder) return nullptr;
    // Gapless: the encoder's delay and padding, where the file's information frame records
    // them, are left out, so byte position 0 is the music's first sample.
    mpg123_param(decoder, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(decoder);
    mpg123_format(decoder, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    FILE* stream = openDataFile(path);
    if (!stream) {
        if (errno == ENOENT) explainFailure("%s cannot be found", path);
        mpg123_delete(decoder);
        return nullptr;
    }
    if (mpg123_replace_reader_handle(decoder, readStream, seekStream, closeStream) != MPG123_OK) {
        std::fclose(stream);
        mpg123_delete(decoder);
        return nullptr;
    }
    // From here on the decoder owns the stream and closes it when it is closed itself.
    if (mpg123_open_handle(decoder, stream) != MPG123_OK) {
        explainFailure("%s cannot be decoded", path);
        mpg123_delete(decoder);
        return nullptr;
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK || rate != 44100 ||
        channels != 2 || encoding != MPG123_ENC_SIGNED_16) {
        mpg123_frameinfo frame{};
        if (mpg123_info(decoder, &frame) == MPG123_OK && frame.rate != 44100)
            explainFailure("%s plays at %ld Hz; the demo's clock counts 44100 Hz", path, frame.rate);
        else
            explainFailure("%s is not an MP3 that decodes to 44100 Hz 16-bit stereo", path);
        mpg123_close(decoder);
        mpg123_delete(decoder);
        return nullptr;
    }
    return decoder;
}

int decodeMusicFile(const char* path, MusicSink sink, void* user) {
    if (!path || !sink) return 0;
    if (!audioBackendPresent()) return 0;
    mpg123_handle* decoder = openMusicDecoder(path);
    if (!decoder) return 0;

    static unsigned char chunk[DECODE_CHUNK];
    int result = 1;
    for (;;) {
        size_t done = 0;
        int status = mpg123_read(decoder, chunk, DECODE_CHUNK, &done);
        if (done > 0 && !sink(chunk, done, user)) break;
        if (status == MPG123_DONE) break;
        if (status == MPG123_OK || status == MPG123_NEW_FORMAT) continue;
        result = 0;  // a broken stream: what came before it was handed out
        break;
    }
    mpg123_close(decoder);
    mpg123_delete(decoder);
    return result;
}
