// Decodes the whole music file at once, for tools that need the samples rather than a playing
// stream (the capture tool writes them beside its frames). The decoder is set up exactly like
// the playing stream's: 44100 Hz, 16-bit, stereo forced, so the bytes handed out are the bytes
// whose positions the timeline counts.
#include <mpg123.h>

#include <string>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {

constexpr size_t DECODE_CHUNK = 65536;

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
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_open(decoder, nativeDataPath(path).c_str()) != MPG123_OK ||
        mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK || rate != 44100 ||
        channels != 2 || encoding != MPG123_ENC_SIGNED_16) {
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
        if (done > 0) sink(chunk, done, user);
        if (status == MPG123_DONE) break;
        if (status == MPG123_OK || status == MPG123_NEW_FORMAT) continue;
        result = 0;  // a broken stream: what came before it was handed out
        break;
    }
    mpg123_close(decoder);
    mpg123_delete(decoder);
    return result;
}
