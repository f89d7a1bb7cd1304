// MP3 encoding through libmp3lame: constant 128 kbit/s joint stereo at 44 100 Hz, no ID3 tag,
// so the bytes depend only on the samples. The encoder is fed in blocks and flushed at the end.
// The first frame is the encoder's information frame: it tells a decoder how many samples of
// encoder delay lead the music and how many of padding end it, so the decoded music starts
// on its first sample instead of some 25 ms late.
#include <lame/lame.h>

#include <algorithm>

#include "music.h"

std::vector<uint8_t> encodeMp3(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    lame_global_flags* lame = lame_init();
    if (!lame) return out;
    lame_set_in_samplerate(lame, MUSIC_RATE);
    lame_set_out_samplerate(lame, MUSIC_RATE);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_brate(lame, 128);
    lame_set_VBR(lame, vbr_off);
    lame_set_quality(lame, 7);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return out;
    }
    constexpr int BLOCK = 8192;  // frames per call
    std::vector<unsigned char> buffer(size_t(1.25 * BLOCK + 7200));
    size_t frames = samples.size() / 2;
    for (size_t at = 0; at < frames; at += BLOCK) {
        int count = int(std::min<size_t>(BLOCK, frames - at));
        int n = lame_encode_buffer_interleaved(lame, const_cast<short*>(&samples[at * 2]), count, buffer.data(),
                                               int(buffer.size()));
        if (n < 0) {
            lame_close(lame);
            return {};
        }
        out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    }
    int n = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
    if (n > 0) out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    // The encoder left room for the information frame at the start; fill it in now that the
    // totals are known.
    size_t tagSize = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
    lame_close(lame);
    if (tagSize == 0 || tagSize > buffer.size() || tagSize > out.size()) return {};
    std::copy(buffer.begin(), buffer.begin() + long(tagSize), out.begin());
    return out;
}
