// The music stream: libmpg123 decodes the MP3 piece by piece to 44100 Hz 16-bit stereo while
// SDL2 plays it. The position the demo reads is the byte position of what is being heard: the
// stream position at the start of the last buffer the device took, plus the time since then,
// never beyond that buffer's end, so it moves smoothly between device callbacks and never goes
// back except where the stream starts again or is sought. Without a sound device the stream
// plays silently and the position follows a monotonic clock at 176 400 bytes per second; a
// device that goes away while playing (unplugged, or stopped by the system) hands over to that
// clock at the position last heard, so the demo runs on in silence instead of freezing.
// A seek, a pause and the play after it take effect in the next buffer the device asks for.
// The sound before them fades out while the sound after them fades in over FADE_FRAMES
// samples (a few milliseconds), so the jump makes no click; paused, the device plays silence
// and the position stands.
#include <SDL2/SDL.h>
#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {

constexpr int64_t BYTES_PER_SECOND = 176400;
constexpr int FADE_FRAMES = 256;  // 5.8 ms of cross-fade at a seek, a pause or a play

mpg123_handle* decoder = nullptr;
bool decoderLibraryReady = false;
SDL_AudioDeviceID device = 0;
bool audioSubsystemReady = false;
bool looping = false;
bool playing = false;
bool streamEnded = false;

// Asked for by the main thread under the device lock, carried out by the audio thread.
int64_t pendingSeek = -1;   // the byte position to go on from, or -1
bool pauseWanted = false;  // silence from the next buffer on
bool audible = false;      // what the last buffer ended with: the stream (true) or silence

// Written by the audio thread under the device lock.
int64_t streamBytesDecoded = 0;    // bytes of the current pass through the stream handed out
int64_t loopLength = 0;            // bytes in one pass, known once the end has been reached
int64_t callbackStartPosition = 0; // stream position at the start of the last buffer
int64_t callbackBytes = 0;         // size of the last buffer
std::chrono::steady_clock::time_point callbackTime;

// Read by the main thread only.
bool paused = false;
int64_t pausedPosition = 0;  // where the position stands while paused
int64_t lastReported = 0;
std::chrono::steady_clock::time_point silentStart;
AudioPositionSource positionSource = nullptr;

int64_t nanosecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() -
                                                                start)
        .count();
}

// Fills `out` from the decoder, starting the stream again at its end when it loops.
void fillFromDecoder(Uint8* out, int length) {
    int filled = 0;
    while (filled < length) {
        if (streamEnded) break;
        size_t done = 0;
        int result = mpg123_read(decoder, out + filled, length - filled, &done);
        filled += static_cast<int>(done);
        streamBytesDecoded += static_cast<int64_t>(done);
        if (result == MPG123_DONE || (result != MPG123_OK && result != MPG123_NEW_FORMAT && done == 0)) {
            if (loopLength == 0) loopLength = streamBytesDecoded;
            if (!looping || mpg123_seek(decoder, 0, SEEK_SET) < 0) {
                streamEnded = true;
                break;
            }
            streamBytesDecoded = 0;
        }
    }
    if (filled < length) std::memset(out + filled, 0, length - filled);
}

// Moves the decoder to a byte position; a position it cannot reach ends the stream.
void seekDecoder(int64_t position) {
    streamEnded = mpg123_seek(decoder, static_cast<off_t>(position / 4), SEEK_SET) < 0;
    streamBytesDecoded = position;
}

void audioCallback(void*, Uint8* out, int length) {
    callbackTime = std::chrono::steady_clock::now();
    callbackBytes = length;
    const bool hear = !pauseWanted;
    if (pendingSeek < 0 && hear == audible) {
        // Playing on, or silent on.
        if (hear) {
            callbackStartPosition = streamBytesDecoded;
            fillFromDecoder(out, length);
        } else {
            std::memset(out, 0, length);
        }
        return;
    }
    // A jump: the last moment of what was heard fades out under the start of what follows.
    int16_t tail[FADE_FRAMES * 2] = {};
    if (audible) fillFromDecoder(reinterpret_cast<Uint8*>(tail), sizeof tail);
    if (pendingSeek >= 0) seekDecoder(pendingSeek);
    pendingSeek = -1;
    callbackStartPosition = streamBytesDecoded;
    if (hear)
        fillFromDecoder(out, length);
    else
        std::memset(out, 0, length);
    auto* samples = reinterpret_cast<int16_t*>(out);
    const int frames = std::min(FADE_FRAMES, length / 4);
    for (int i = 0; i < frames; ++i) {
        const double in = static_cast<double>(i + 1) / (frames + 1);
        for (int c = 0; c < 2; ++c) {
            const double mixed = tail[2 * i + c] * (1.0 - in) + samples[2 * i + c] * in;
            samples[2 * i + c] = static_cast<int16_t>(std::lround(mixed));
        }
    }
    audible = hear;
}

// Position of the silent clock, looping over the stream's length when that is known.
int64_t silentPosition() {
    int64_t bytes = nanosecondsSince(silentStart) * BYTES_PER_SECOND / 1000000000;
    if (looping && loopLength > 0) bytes %= loopLength;
    return bytes;
}

// What is being heard: the start of the last buffer the device took plus the time since, never
// beyond that buffer's end, in whole sample frames of the current pass.
int64_t heardPosition(int64_t start, int64_t length,
                      std::chrono::steady_clock::time_point time, int64_t passLength) {
    int64_t elapsed = nanosecondsSince(time) * BYTES_PER_SECOND / 1000000000;
    if (elapsed > length) elapsed = length;
    int64_t position = start + elapsed;
    if (passLength > 0 && position >= passLength) position -= passLength;
    return position & ~int64_t{3};
}

// The device is gone: closes what is left of it (which also stops its thread, so the stream
// state can be read without the lock) and lets the silent clock go on from the position last
// reported. Looping needs the stream's length, which the decoder finds by scanning the file.
void continueOnSilentClock() {
    SDL_CloseAudioDevice(device);
    device = 0;
    int64_t position = lastReported;
    if (callbackBytes > 0) {
        const int64_t heard =
            heardPosition(callbackStartPosition, callbackBytes, callbackTime, loopLength);
        if (heard > position) position = heard;
    }
    if (looping && loopLength == 0 && decoder) {
        mpg123_scan(decoder);
        const off_t samples = mpg123_length(decoder);
        if (samples > 0) loopLength = static_cast<int64_t>(samples) * 4;
    }
    if (loopLength > 0 && position >= loopLength) position %= loopLength;
    silentStart = std::chrono::steady_clock::now() -
                  std::chrono::nanoseconds(position * 1000000000 / BYTES_PER_SECOND);
    lastReported = position;
}

}  // namespace

int audioBackendPresent() {
    if (!decoderLibraryReady) decoderLibraryReady = mpg123_init() == MPG123_OK;
    return decoderLibraryReady ? 1 : 0;
}

int audioInit(int rate) {
    if (!audioBackendPresent()) return 0;
    // A driven clock needs no device: nothing is heard, the position comes from the driver.
    if (positionSource) return 1;
    if (!audioSubsystemReady) audioSubsystemReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!audioSubsystemReady) return 1;  // no audio at all: the stream will play silently
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = audioCallback;
    SDL_AudioSpec obtained{};
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    return 1;
}

int audioOpenStream(const char* path) {
    if (!audioBackendPresent()) return 0;
    if (!path) return 0;
    // A new stream starts with nothing played and its length unknown: nothing of an earlier
    // stream (its length, its last buffer) may leak into this one's clock.
    streamBytesDecoded = 0;
    loopLength = 0;
    callbackStartPosition = 0;
    callbackBytes = 0;
    streamEnded = false;
    lastReported = 0;
    pendingSeek = -1;
    pauseWanted = false;
    audible = true;
    paused = false;
    decoder = openMusicDecoder(path);
    if (!decoder) return 0;
    // The whole file is indexed once (reading its frame headers), so that a seek finds its
    // frame at once instead of reading up to it inside the audio thread; and the silent clock
    // has to know where the stream ends to loop with it.
    mpg123_scan(decoder);
    if (!device && !positionSource) {
        off_t samples = mpg123_length(decoder);
        if (samples > 0) loopLength = static_cast<int64_t>(samples) * 4;
    }
    mpg123_seek(decoder, 0, SEEK_SET);
    return 1;
}

void audioStart() {}

void audioPlay(int loop) {
    if (!decoder) return;
    looping = loop != 0;
    playing = true;
    lastReported = 0;
    silentStart = std::chrono::steady_clock::now();
    if (device) SDL_PauseAudioDevice(device, 0);
}

int32_t audioPosition() {
    if (positionSource) return positionSource();
    if (!playing) return 0;
    if (paused) return static_cast<int32_t>(pausedPosition);
    if (!device) return static_cast<int32_t>(silentPosition());
    // A removed or failed device reports itself stopped (an open one is playing or paused).
    if (SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED) {
        continueOnSilentClock();
        return static_cast<int32_t>(silentPosition());
    }

    SDL_LockAudioDevice(device);
    const int64_t seekTarget = pendingSeek;
    int64_t start = callbackStartPosition;
    int64_t length = callbackBytes;
    auto time = callbackTime;
    int64_t passLength = loopLength;
    SDL_UnlockAudioDevice(device);
    // A seek the device has not taken yet: the clock stands at its target until it does.
    if (seekTarget >= 0) return static_cast<int32_t>(lastReported = seekTarget);
    if (length == 0) return 0;  // the device has not asked for anything yet

    int64_t position = heardPosition(start, length, time, passLength);
    // Between callbacks the estimate may run a little ahead of the next buffer's start; hold
    // the reported value instead of going back, unless the stream started again.
    bool wrapped = position + BYTES_PER_SECOND < lastReported;
    if (position < lastReported && !wrapped) position = lastReported;
    lastReported = position;
    return static_cast<int32_t>(position);
}

void audioSeek(int32_t position) {
    if (!decoder || positionSource) return;
    const int64_t target = std::max<int64_t>(position, 0) & ~int64_t{3};
    lastReported = target;
    if (paused) pausedPosition = target;
    if (device && SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_STOPPED) {
        SDL_LockAudioDevice(device);
        pendingSeek = target;
        SDL_UnlockAudioDevice(device);
        return;
    }
    // The silent clock: it runs from the target on.
    silentStart = std::chrono::steady_clock::now() -
                  std::chrono::nanoseconds(target * 1000000000 / BYTES_PER_SECOND);
}

void audioSetPaused(int pause) {
    if (!decoder || positionSource || (pause != 0) == paused) return;
    if (pause) {
        pausedPosition = audioPosition();
        paused = true;
    } else {
        // Plays on from where it stood: a seek back to the pause's position, so the fade-out
        // at the pause has not moved the stream on.
        paused = false;
        audioSeek(static_cast<int32_t>(pausedPosition));
    }
    if (device) {
        SDL_LockAudioDevice(device);
        pauseWanted = paused;
        SDL_UnlockAudioDevice(device);
    }
}

int audioPaused() { return paused ? 1 : 0; }

void setAudioPositionSource(AudioPositionSource source) { positionSource = source; }

void simulateAudioDeviceLoss() {
    // Closing the device under the stream's feet leaves it in the state a removed one is in:
    // no more callbacks, and its status answers stopped.
    if (device) SDL_CloseAudioDevice(device);
}

int audioPlaysSilently() { return playing && !device && !positionSource ? 1 : 0; }

void audioFree() {
    if (device) {
        SDL_CloseAudioDevice(device);
        device = 0;
    }
    if (decoder) {
        mpg123_close(decoder);
        mpg123_delete(decoder);
        decoder = nullptr;
    }
    playing = false;
    if (audioSubsystemReady) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioSubsystemReady = false;
    }
}

void stopAudioAtExit() {
    if (device) SDL_PauseAudioDevice(device, 1);
}
