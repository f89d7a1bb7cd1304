// The music clock on a short MP3 made by the test: the position moves forward with playback,
// never goes back except where the stream loops, and falls back to a silent clock when no sound
// device opens. A driven source replaces all of it.
#include <gtest/gtest.h>
#include <lame/lame.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "shell/music.h"

namespace {

// Writes `seconds` of a 440 Hz tone as a 44.1 kHz stereo MP3, named for this process: the tests
// run side by side.
std::string writeToneMp3(double seconds) {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("quelldrift-tone-" + std::to_string(getpid()) + "-" +
                         std::to_string(seconds) + ".mp3"))
                           .string();
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, 44100);
    lame_set_out_samplerate(lame, 44100);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 128);
    lame_init_params(lame);
    int frames = static_cast<int>(seconds * 44100);
    std::vector<short> left(frames), right(frames);
    for (int i = 0; i < frames; ++i)
        left[i] = right[i] = static_cast<short>(8000 * std::sin(i * 2 * M_PI * 440 / 44100));
    std::vector<unsigned char> mp3(frames * 5 / 4 + 7200 + 8192);
    int written = lame_encode_buffer(lame, left.data(), right.data(), frames, mp3.data(),
                                     static_cast<int>(mp3.size()));
    written += lame_encode_flush(lame, mp3.data() + written, static_cast<int>(mp3.size()) - written);
    lame_close(lame);
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(mp3.data(), 1, static_cast<size_t>(written), file);
    std::fclose(file);
    return path;
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

TEST(Music, MissingFileDoesNotPlay) {
    EXPECT_EQ(startMusic("data\\no-such-music.mp3"), 0);
    stopMusic();
}

TEST(Music, PositionMovesForwardWhilePlaying) {
    std::string path = writeToneMp3(3.0);
    ASSERT_EQ(startMusic(path.c_str()), 1);
    int32_t previous = 0;
    for (int i = 0; i < 20; ++i) {
        sleepMs(15);
        int32_t position = musicPosition();
        EXPECT_GE(position, previous);
        EXPECT_EQ(position % 4, 0);
        previous = position;
    }
    // About 0.3 s have passed: far less than a few seconds of stream, far more than nothing.
    EXPECT_GT(previous, 0);
    EXPECT_LT(previous, 3 * 176400);
    stopMusic();
    std::filesystem::remove(path);
}

TEST(Music, SilentClockRunsWithoutASoundDeviceAndLoops) {
    std::string path = writeToneMp3(0.4);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_EQ(startMusic(path.c_str()), 1);
    sleepMs(100);
    int32_t early = musicPosition();
    EXPECT_GT(early, 176400 / 20);   // more than 50 ms of music
    EXPECT_LT(early, 176400 / 2);    // less than half a second
    sleepMs(450);
    int32_t later = musicPosition();
    // The stream is under half a second long, so the clock has started again from 0.
    EXPECT_LT(later, early + 176400 / 10);
    stopMusic();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::remove(path);
}

TEST(Music, DrivenSourceReplacesTheStream) {
    static int32_t driven = 123456;
    setAudioPositionSource([] { return driven; });
    EXPECT_EQ(musicPosition(), 123456);
    driven = 8;
    EXPECT_EQ(musicPosition(), 8);
    setAudioPositionSource(nullptr);
}

// The sound device goes away while the music plays: the clock goes on silently from the
// position last heard instead of stopping at the end of the device's last buffer.
TEST(MusicDeviceLoss, ClockGoesOnFromWhereTheMusicWas) {
    std::string path = writeToneMp3(3.0);
    ASSERT_EQ(startMusic(path.c_str()), 1);
    sleepMs(300);
    const int32_t before = musicPosition();
    ASSERT_GT(before, 0);
    ASSERT_EQ(audioPlaysSilently(), 0);
    simulateAudioDeviceLoss();
    const int32_t atLoss = musicPosition();
    EXPECT_EQ(audioPlaysSilently(), 1);
    EXPECT_GE(atLoss, before);
    EXPECT_LT(atLoss, before + 176400 / 5);  // no jump ahead, and no restart from 0
    sleepMs(300);
    const int32_t later = musicPosition();
    EXPECT_GT(later, atLoss + 176400 / 10);  // the clock moves: more than 100 ms later
    EXPECT_LT(later, atLoss + 176400);
    stopMusic();
    std::filesystem::remove(path);
}

TEST(MusicDeviceLoss, SilentClockStillLoopsAtTheStreamEnd) {
    std::string path = writeToneMp3(0.5);
    ASSERT_EQ(startMusic(path.c_str()), 1);
    sleepMs(150);
    simulateAudioDeviceLoss();
    int32_t previous = musicPosition();
    int32_t highest = previous;
    int wraps = 0;
    for (int i = 0; i < 45; ++i) {
        sleepMs(20);
        const int32_t position = musicPosition();
        if (position < previous) ++wraps;
        if (position > highest) highest = position;
        previous = position;
    }
    // Over 0.9 s of a stream of about half a second the clock starts again at least once and
    // never runs past the stream's end.
    EXPECT_GE(wraps, 1);
    EXPECT_LT(highest, 176400 * 7 / 10);
    stopMusic();
    std::filesystem::remove(path);
}

TEST(MusicDeviceLoss, FreeingAfterTheLossIsSafeAndTheNextStartUsesADeviceAgain) {
    std::string path = writeToneMp3(1.0);
    ASSERT_EQ(startMusic(path.c_str()), 1);
    sleepMs(50);
    simulateAudioDeviceLoss();
    musicPosition();
    stopMusic();
    ASSERT_EQ(startMusic(path.c_str()), 1);
    EXPECT_EQ(audioPlaysSilently(), 0);
    stopMusic();
    std::filesystem::remove(path);
}

// Each stream loops over its own length: a longer stream opened after a short one does not
// start again where the short one ended.
TEST(Music, SecondStreamLoopsOverItsOwnLength) {
    std::string shortPath = writeToneMp3(0.4);
    std::string longPath = writeToneMp3(2.0);
    ASSERT_EQ(startMusic(shortPath.c_str()), 1);
    sleepMs(700);  // the short stream has reached its end and started again
    stopMusic();
    ASSERT_EQ(startMusic(longPath.c_str()), 1);
    sleepMs(700);
    EXPECT_GT(musicPosition(), 176400 / 2);  // past the short stream's end, not wrapped
    stopMusic();
    std::filesystem::remove(shortPath);
    std::filesystem::remove(longPath);
}

// A seek is read at once, forward or back, and the music goes on from there; paused, the clock
// stands, a seek moves it while it stands, and playing on goes on from where it stood. With a
// sound device and on the silent clock alike.
TEST(MusicSeek, PositionReadsTheTargetAtOnceAndGoesOnFromIt) {
    std::string path = writeToneMp3(3.0);
    for (const char* driver : {"dummy", "no-such-driver"}) {
        SCOPED_TRACE(driver);
        setenv("SDL_AUDIODRIVER", driver, 1);
        ASSERT_EQ(startMusic(path.c_str()), 1);
        sleepMs(100);
        audioSeek(2 * 176400);
        EXPECT_EQ(musicPosition(), 2 * 176400);
        sleepMs(200);
        int32_t position = musicPosition();
        EXPECT_GT(position, 2 * 176400 + 176400 / 10);
        EXPECT_LT(position, 2 * 176400 + 176400 / 2);
        audioSeek(176400 / 2);  // back
        EXPECT_EQ(musicPosition(), 176400 / 2);
        sleepMs(100);
        EXPECT_GE(musicPosition(), 176400 / 2);
        EXPECT_LT(musicPosition(), 176400);

        audioSetPaused(1);
        const int32_t stood = musicPosition();
        sleepMs(200);
        EXPECT_EQ(musicPosition(), stood);
        audioSeek(176400);
        EXPECT_EQ(musicPosition(), 176400);
        sleepMs(100);
        EXPECT_EQ(musicPosition(), 176400);
        audioSetPaused(0);
        sleepMs(150);
        position = musicPosition();
        EXPECT_GT(position, 176400);
        EXPECT_LT(position, 176400 + 176400 * 2 / 5);
        stopMusic();
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::remove(path);
}
