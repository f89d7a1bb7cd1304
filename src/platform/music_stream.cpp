// The music stream: libmpg123 decodes the MP3 piece by piece to 44100 Hz 16-bit stereo while
// SDL2 plays it. The position the demo reads is the byte position of what is being heard: the
// stream position at the start of the last buffer the device took, plus the time since then,
// never beyond that buffer's end, so it moves smoothly between device callbacks and never goes
// back except where the stream starts again. Without a sound device the stream plays silently
// and the position follows a monotonic clock at 176 400 bytes per second; a device that goes
// away while playing (unplugged, or stopped by the system) hands over to that clock at the
// position last heard, so the demo runs on in silence instead of freezing on one frame.
#include <SDL2/SDL.h>
#include <mpg123.h>

#include <chrono>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {

constexpr int64_t BYTES_PER_SECOND = 176400;

mpg123_handle* decoder = nullptr;
bool decoderLibraryReady = false;
SDL_AudioDeviceID device = 0;
bool audioSubsystemReady = false;
bool looping = false;
bool playing = false;
bool streamEnded = false;

// Written by the audio thread under the device lock.
int64_t streamBytesDecoded = 0;    // bytes of the current pass through the stream handed out
int64_t loopLength = 0;            // bytes in one pass, known once the end has been reached
int64_t callbackStartPosition = 0; // stream position at the start of the last buffer
int64_t callbackBytes = 0;         // size of the last buffer
std::chrono::steady_clock::time_point callbackTime;

// Read by the main thread only.
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

void audioCallback(void*, Uint8* out, int length) {
    callbackStartPosition = streamBytesDecoded;
    callbackTime = std::chrono::steady_clock::now();
    callbackBytes = length;
    fillFromDecoder(out, length);
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
    decoder = openMusicDecoder(path);
    if (!decoder) return 0;
    if (!device && !positionSource) {
        // Playing silently: the clock has to know where the stream ends to loop with it.
        mpg123_scan(decoder);
        off_t samples = mpg123_length(decoder);
        if (samples > 0) loopLength = static_cast<int64_t>(samples) * 4;
        mpg123_seek(decoder, 0, SEEK_SET);
    }
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
    if (!device) return static_cast<int32_t>(silentPosition());
    // A removed or failed device reports itself stopped (an open one is playing or paused).
    if (SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED) {
        continueOnSilentClock();
        return static_cast<int32_t>(silentPosition());
    }

    SDL_LockAudioDevice(device);
    int64_t start = callbackStartPosition;
    int64_t length = callbackBytes;
    auto time = callbackTime;
    int64_t passLength = loopLength;
    SDL_UnlockAudioDevice(device);
    if (length == 0) return 0;  // the device has not asked for anything yet

    int64_t position = heardPosition(start, length, time, passLength);
    // Between callbacks the estimate may run a little ahead of the next buffer's start; hold
    // the reported value instead of going back, unless the stream started again.
    bool wrapped = position + BYTES_PER_SECOND < lastReported;
    if (position < lastReported && !wrapped) position = lastReported;
    lastReported = position;
    return static_cast<int32_t>(position);
}

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
