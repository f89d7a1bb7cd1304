// The capture tool's own logic, without running the demo: reading the command line, where each
// frame lands in the music, which frames a run draws and keeps, the WAV and PNG files it
// writes, and the timing and progress figures it prints.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "capture_options.h"
#include "frame_schedule.h"
#include "frame_timings.h"
#include "png_writer.h"
#include "progress_report.h"
#include "scratch_folder.h"
#include "tools/tool_programs.h"
#include "wav_writer.h"

namespace {

struct Parsed {
    int ok;
    CaptureOptions options;
    std::string error;
};

Parsed parse(std::vector<const char*> args) {
    args.insert(args.begin(), "demo-capture");
    Parsed result{};
    char error[256] = "";
    result.ok = parseCaptureOptions(static_cast<int>(args.size()), args.data(), &result.options,
                                    error, sizeof error);
    result.error = error;
    return result;
}

CaptureOptions optionsFor(std::vector<const char*> args) {
    Parsed parsed = parse(std::move(args));
    EXPECT_TRUE(parsed.ok) << parsed.error;
    return parsed.options;
}

std::vector<PlannedFrame> plan(const CaptureOptions& options) {
    FrameSchedule schedule;
    beginSchedule(&schedule, options);
    std::vector<PlannedFrame> frames;
    PlannedFrame frame;
    while (nextScheduledFrame(&schedule, &frame)) frames.push_back(frame);
    return frames;
}

std::string tempFolder() { return makeScratchFolder("capture-test").string(); }

std::vector<uint8_t> readFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes;
}

}  // namespace

// ---- Command line ----

TEST(CaptureOptions, DefaultsCoverTheWholeDemoAtSixtyFramesWritingNothing) {
    CaptureOptions options = optionsFor({});
    EXPECT_EQ(options.fps, 60);
    EXPECT_EQ(options.fromMicros, 0);
    EXPECT_EQ(options.toMicros, 228000 * 1000LL);
    EXPECT_EQ(options.atCount, 0);
    EXPECT_EQ(options.outDir, nullptr);
    EXPECT_EQ(options.videoFile, nullptr);
    EXPECT_EQ(options.bench, 0);
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 480);
    EXPECT_EQ(options.samples, 1);
}

TEST(CaptureOptions, ReadsEveryOptionAndKeepsAtTimesAsGiven) {
    CaptureOptions a = optionsFor({"--fps", "30", "--from", "1500", "--to", "2000.25", "--out",
                                   "frames", "--video", "x.mp4"});
    EXPECT_EQ(a.fps, 30);
    EXPECT_EQ(a.fromMicros, 1500000);
    EXPECT_EQ(a.toMicros, 2000250);
    EXPECT_STREQ(a.outDir, "frames");
    EXPECT_STREQ(a.videoFile, "x.mp4");

    CaptureOptions b = optionsFor({"--at", "13200,500,0.5", "--out", "pics"});
    ASSERT_EQ(b.atCount, 3);
    EXPECT_STREQ(b.at[0].text, "13200");
    EXPECT_EQ(b.at[0].micros, 13200000);
    EXPECT_STREQ(b.at[1].text, "500");
    EXPECT_STREQ(b.at[2].text, "0.5");
    EXPECT_EQ(b.at[2].micros, 500);

    CaptureOptions c = optionsFor({"--size", "3840x2160", "--msaa", "4", "--bench"});
    EXPECT_EQ(c.width, 3840);
    EXPECT_EQ(c.height, 2160);
    EXPECT_EQ(c.samples, 4);
    EXPECT_EQ(optionsFor({"--size", "321x240", "--msaa", "0"}).samples, 1);

    EXPECT_EQ(optionsFor({"--bench", "--fps", "5"}).bench, 1);
    EXPECT_EQ(optionsFor({"--coverage", "--to", "9000"}).coverage, 1);
    EXPECT_EQ(optionsFor({"--help"}).help, 1);
}

TEST(CaptureOptions, RefusesMalformedValuesWithAMessageNamingTheOption) {
    struct Case {
        std::vector<const char*> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--fps"}, "--fps needs a value"},
        {{"--fps", "0"}, "--fps"},
        {{"--fps", "-5"}, "--fps"},
        {{"--fps", "29.97"}, "--fps"},
        {{"--fps", "1001"}, "--fps"},
        {{"--fps", "99999999999999999999"}, "--fps"},
        {{"--fps", ""}, "--fps"},
        {{"--at", "100,,200"}, "empty time"},
        {{"--at", "100,"}, "empty time"},
        {{"--at", "abc"}, "\"abc\" is not a time"},
        {{"--at", "-5"}, "is not a time"},
        {{"--at", "1.2345"}, "is not a time"},
        {{"--at", "../../x"}, "is not a time"},
        {{"--at", "228001"}, "past the end"},
        {{"--from", "1e3"}, "--from"},
        {{"--to", "300000"}, "past the end"},
        {{"--from", "2000", "--to", "1000"}, "--from is after --to"},
        {{"--fast"}, "unknown option \"--fast\""},
        {{"30"}, "unknown option"},
        {{"--out"}, "--out needs a value"},
        {{"--out", ""}, "--out needs a folder"},
        {{"--fps", "30", "--fps", "60"}, "given twice"},
        {{"--bench", "--out", "d"}, "--bench writes nothing"},
        {{"--bench", "--at", "100"}, "--bench writes nothing"},
        {{"--coverage", "--video", "a.mp4"}, "--coverage writes nothing"},
        {{"--coverage", "--bench"}, "run them apart"},
        {{"--at", "100", "--to", "500"}, "leave out --from and --to"},
        {{"--at", "100", "--video", "a.mp4"}, "leave out --video"},
        {{"--size", "1920"}, "is not a size"},
        {{"--size", "1920x"}, "is not a size"},
        {{"--size", "1920x1080x2"}, "is not a size"},
        {{"--size", "-640x480"}, "is not a size"},
        {{"--size", "99999999999x480"}, "is not a size"},
        {{"--size", "319x240"}, "outside 320x240 to 3840x2160"},
        {{"--size", "3840x2161"}, "outside"},
        {{"--size", "640x480", "--size", "640x480"}, "given twice"},
        {{"--size", "641x480", "--video", "a.mp4"}, "even width and height"},
        {{"--msaa", "3"}, "--msaa: \"3\" is not a sample count"},
        {{"--msaa", "32"}, "is not a sample count"},
        {{"--msaa", "-4"}, "is not a sample count"},
        {{"--msaa", ""}, "is not a sample count"},
    };
    for (const Case& c : cases) {
        Parsed parsed = parse(c.args);
        std::string shown;
        for (const char* a : c.args) shown += std::string(a) + " ";
        EXPECT_FALSE(parsed.ok) << shown;
        EXPECT_NE(parsed.error.find(c.message), std::string::npos)
            << shown << "gave: " << parsed.error;
    }
}

TEST(CaptureOptions, AtListIsBoundedByItsCapacity) {
    std::string list;
    for (int i = 0; i < MAX_AT_TIMES; ++i) list += std::to_string(i * 10) + ",";
    list.pop_back();
    EXPECT_EQ(optionsFor({"--at", list.c_str()}).atCount, MAX_AT_TIMES);
    std::string tooMany = list + ",9999";
    Parsed parsed = parse({"--at", tooMany.c_str()});
    EXPECT_FALSE(parsed.ok);
    EXPECT_NE(parsed.error.find("more than"), std::string::npos);
}

// ---- Frame positions and schedule ----

TEST(FramePosition, IsFourTimesTheRoundedSampleOfTheFrame) {
    EXPECT_EQ(framePosition(0, 60), 0);
    EXPECT_EQ(framePosition(1, 60), 735 * 4);
    EXPECT_EQ(framePosition(1, 30), 1470 * 4);
    EXPECT_EQ(framePosition(6840, 30), 10054800 * 4);  // 228 s exactly
    EXPECT_EQ(framePosition(1, 11), 4009 * 4);         // 4009.09 rounds down
    EXPECT_EQ(framePosition(2, 11), 8018 * 4);         // 8018.18
    EXPECT_EQ(framePosition(1, 8), 5513 * 4);          // 5512.5 rounds up
    EXPECT_EQ(framePosition(3, 7), 18900 * 4);
    // Every frame lands on a whole sample frame of 16-bit stereo.
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(framePosition(i, 23) % 4, 0);
}

TEST(FramePosition, MusicTimesLandOnTheRoundedSample) {
    EXPECT_EQ(timePosition(0), 0);
    EXPECT_EQ(timePosition(1000 * 1000), 44100 * 4);
    EXPECT_EQ(timePosition(13200 * 1000), 2328480);  // the first boundary of the scene table
    EXPECT_EQ(timePosition(5 * 1000), 221 * 4);      // 220.5 rounds up
    EXPECT_EQ(timePosition(500), 22 * 4);            // 0.5 ms is 22.05 samples
    EXPECT_NEAR(positionMs(timePosition(228000 * 1000)), 228000.0, 1e-6);
}

TEST(FrameSchedule, WholeDemoDrawsEveryFrameUpToTheEndOfSceneEight) {
    std::vector<PlannedFrame> frames = plan(optionsFor({"--fps", "30"}));
    ASSERT_EQ(frames.size(), 6841u);
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].position, framePosition(static_cast<int64_t>(i), 30));
        EXPECT_EQ(frames[i].write, 1);
        EXPECT_EQ(frames[i].number, static_cast<int64_t>(i));
    }
    EXPECT_EQ(frames.back().position, timePosition(228000 * 1000));

    int64_t drawn = 0, kept = 0;
    countScheduledFrames(optionsFor({}), &drawn, &kept);
    EXPECT_EQ(drawn, 13681);
    EXPECT_EQ(kept, 13681);
}

TEST(FrameSchedule, RangeDrawsTheFramesBeforeItButNumbersOnlyThoseItKeeps) {
    // 10 fps: frames every 100 ms. Keep 250..500: the frames at 300, 400 and 500 ms.
    std::vector<PlannedFrame> frames = plan(optionsFor({"--fps", "10", "--from", "250", "--to", "500"}));
    ASSERT_EQ(frames.size(), 6u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(frames[i].write, 0);
    for (int i = 3; i < 6; ++i) {
        EXPECT_EQ(frames[i].write, 1);
        EXPECT_EQ(frames[i].number, i - 3);
    }
    EXPECT_EQ(frames[3].position, timePosition(300 * 1000));

    int32_t start = 0, end = 0;
    ASSERT_TRUE(keptMusicRange(optionsFor({"--fps", "10", "--from", "250", "--to", "500"}), &start, &end));
    EXPECT_EQ(start, timePosition(300 * 1000));
    EXPECT_EQ(end, timePosition(600 * 1000));  // the last kept frame lasts until the next

    // A range between two frames keeps nothing and carries no music.
    EXPECT_FALSE(keptMusicRange(optionsFor({"--fps", "10", "--from", "110", "--to", "120"}), &start, &end));
}

TEST(FrameSchedule, AtTimesAreOwnFramesInTimeOrderAfterTheFixedFramesBeforeThem) {
    CaptureOptions options = optionsFor({"--fps", "10", "--at", "250,100,250.0,40"});
    std::vector<PlannedFrame> frames = plan(options);
    // Fixed frames at 0; the picture at 40; fixed 100 coincides with the picture at 100;
    // fixed 200; the pictures at 250 (two names) and nothing after.
    std::vector<int32_t> positions;
    for (const PlannedFrame& f : frames) positions.push_back(f.position);
    EXPECT_EQ(positions, (std::vector<int32_t>{0, timePosition(40000), timePosition(100000),
                                               timePosition(200000), timePosition(250000)}));
    EXPECT_EQ(frames[0].write, 0);
    EXPECT_EQ(frames[3].write, 0);

    FrameSchedule schedule;
    beginSchedule(&schedule, options);
    auto names = [&](const PlannedFrame& f) {
        std::vector<std::string> list;
        for (int k = f.atFirst; k < f.atEnd; ++k) list.push_back(options.at[schedule.atOrder[k]].text);
        return list;
    };
    EXPECT_EQ(names(frames[1]), std::vector<std::string>{"40"});
    EXPECT_EQ(names(frames[2]), std::vector<std::string>{"100"});
    EXPECT_EQ(names(frames[4]), (std::vector<std::string>{"250", "250.0"}));
    // Time never stands still: every frame is later than the one before.
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_GT(frames[i].position, frames[i - 1].position);
}

// ---- WAV ----

TEST(WavWriter, KeepsExactlyTheRangeAcrossChunksAndPadsWithSilence) {
    std::string folder = tempFolder();
    std::vector<uint8_t> stream(1000);
    for (size_t i = 0; i < stream.size(); ++i) stream[i] = static_cast<uint8_t>(i * 7 + 1);

    // The range starts and ends inside chunks of uneven size.
    std::string path = folder + "/inside.wav";
    WavRangeWriter writer;
    ASSERT_TRUE(openWavRange(&writer, path.c_str(), 100, 612));
    size_t chunks[] = {33, 70, 300, 1, 596};
    size_t at = 0;
    std::vector<int> wantsMore;
    for (size_t c : chunks) {
        wantsMore.push_back(appendWavBytes(stream.data() + at, c, &writer));
        at += c;
    }
    // The decoder is asked to stop once the stream has passed the range's end.
    EXPECT_EQ(wantsMore, (std::vector<int>{1, 1, 1, 1, 0}));
    ASSERT_TRUE(closeWavRange(&writer));
    std::vector<uint8_t> file = readFile(path);
    ASSERT_EQ(file.size(), WAV_HEADER_BYTES + 512u);
    EXPECT_TRUE(std::equal(file.begin() + WAV_HEADER_BYTES, file.end(), stream.begin() + 100));

    // A range reaching past the music's end is filled up with silence to its full length.
    std::string longer = folder + "/past-end.wav";
    ASSERT_TRUE(openWavRange(&writer, longer.c_str(), 900, 1200));
    appendWavBytes(stream.data(), stream.size(), &writer);
    ASSERT_TRUE(closeWavRange(&writer));
    file = readFile(longer);
    ASSERT_EQ(file.size(), WAV_HEADER_BYTES + 300u);
    EXPECT_TRUE(std::equal(file.begin() + WAV_HEADER_BYTES, file.begin() + WAV_HEADER_BYTES + 100,
                           stream.begin() + 900));
    for (size_t i = WAV_HEADER_BYTES + 100; i < file.size(); ++i) ASSERT_EQ(file[i], 0) << i;

    std::filesystem::remove_all(folder);
}

TEST(WavWriter, UndecodableMusicLeavesNoFileBehind) {
    std::string folder = tempFolder();
    std::string bogus = folder + "/bogus.mp3";
    FILE* file = std::fopen(bogus.c_str(), "wb");
    std::fputs("this is not an mp3 file at all", file);
    std::fclose(file);
    std::string wav = folder + "/music.wav";
    EXPECT_FALSE(writeMusicWav(bogus.c_str(), wav.c_str(), 0, 4000));
    EXPECT_FALSE(writeMusicWav((folder + "/missing.mp3").c_str(), wav.c_str(), 0, 4000));
    EXPECT_FALSE(std::filesystem::exists(wav));
    std::filesystem::remove_all(folder);
}

// ---- PNG ----

TEST(PngWriter, WritesRgbPixelsTopRowFirstAndTheSameBytesEveryTime) {
    std::string folder = tempFolder();
    const int w = 7, h = 5;  // odd sizes catch row-stride mistakes
    std::vector<uint8_t> rgb(w * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(y * w + x) * 3];
            p[0] = static_cast<uint8_t>(x * 30);
            p[1] = static_cast<uint8_t>(y * 50);
            p[2] = static_cast<uint8_t>(200 - x - y);
        }
    std::string a = folder + "/a.png", b = folder + "/b.png";
    ASSERT_TRUE(writePng(a.c_str(), rgb.data(), w, h));
    ASSERT_TRUE(writePng(b.c_str(), rgb.data(), w, h));
    PngPicture decoded = readPng(a);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.width, w);
    EXPECT_EQ(decoded.height, h);
    EXPECT_EQ(decoded.colour, 1);
    EXPECT_EQ(decoded.rgb, rgb);
    EXPECT_EQ(readFile(a), readFile(b));
    EXPECT_FALSE(std::filesystem::exists(a + ".partial"));
    std::filesystem::remove_all(folder);
}

TEST(PngWriter, UnwritablePathFailsWithoutLeavingAFile) {
    uint8_t rgb[12] = {};
    EXPECT_FALSE(writePng("/nonexistent-folder/x.png", rgb, 2, 2));
    EXPECT_FALSE(writePng(nullptr, rgb, 2, 2));
    std::string folder = tempFolder();
    std::string path = folder + "/x.png";
    EXPECT_FALSE(writePng(path.c_str(), rgb, 0, 2));
    EXPECT_FALSE(std::filesystem::exists(path));
    std::filesystem::remove_all(folder);
}

// ---- Timings and progress ----

TEST(FrameTimings, SummarisesEachSceneApartWithTheTrueMedian) {
    resetFrameTimings();
    // Scene 2: odd count, recorded out of order.
    for (double ms : {5.0, 1.0, 9.0, 3.0, 7.0}) ASSERT_TRUE(recordFrameTiming(2, ms, ms * 10));
    // Scene 4: even count: the median is the mean of the middle two.
    for (double ms : {4.0, 1.0, 2.0, 8.0}) ASSERT_TRUE(recordFrameTiming(4, ms, 0.5));
    TimingSummary s;
    ASSERT_TRUE(summariseScene(2, &s));
    EXPECT_EQ(s.frames, 5);
    EXPECT_DOUBLE_EQ(s.oursMin, 1);
    EXPECT_DOUBLE_EQ(s.oursMedian, 5);
    EXPECT_DOUBLE_EQ(s.oursMax, 9);
    EXPECT_DOUBLE_EQ(s.driverMedian, 50);
    EXPECT_DOUBLE_EQ(s.driverMax, 90);
    ASSERT_TRUE(summariseScene(4, &s));
    EXPECT_EQ(s.frames, 4);
    EXPECT_DOUBLE_EQ(s.oursMedian, 3);
    EXPECT_DOUBLE_EQ(s.driverMin, 0.5);
    char line[256];
    ASSERT_TRUE(formatSceneTiming(4, s, line, sizeof line));
    EXPECT_EQ(std::string(line).rfind("scene 4: 4 frames, ours min 1.000 median 3.000 max 8.000 ms", 0), 0u)
        << line;
    EXPECT_FALSE(summariseScene(3, &s));
    resetFrameTimings();
}

TEST(FrameTimings, RefusesScenesOutOfRangeAndFramesBeyondThePool) {
    resetFrameTimings();
    EXPECT_FALSE(recordFrameTiming(-1, 1, 1));
    EXPECT_FALSE(recordFrameTiming(TIMED_SCENES, 1, 1));
    for (int i = 0; i < MAX_TIMED_FRAMES; ++i) ASSERT_TRUE(recordFrameTiming(i % TIMED_SCENES, 1, 1));
    EXPECT_FALSE(recordFrameTiming(0, 1, 1));
    resetFrameTimings();
    EXPECT_TRUE(recordFrameTiming(0, 1, 1));
    resetFrameTimings();
}

TEST(FrameTimings, PeakMemoryIsTheHighWaterMarkOfTheProcess) {
    EXPECT_EQ(peakMemoryFromStatus("Name:\tx\nVmPeak:\t  9000 kB\nVmHWM:\t  1234 kB\nVmRSS:\t 99 kB\n"), 1234);
    EXPECT_EQ(peakMemoryFromStatus("Name:\tx\nVmRSS:\t 99 kB\n"), -1);
    EXPECT_EQ(peakMemoryFromStatus("VmHWM:\tnothing\n"), -1);
    long own = peakMemoryKb();
    EXPECT_GT(own, 1000);  // a running test binary holds more than a megabyte
}

TEST(ProgressReport, BarShowsFramesMusicAndTimeLeftAtThePaceSoFar) {
    EXPECT_EQ(secondsLeft(0, 100, 5), -1);
    EXPECT_DOUBLE_EQ(secondsLeft(25, 100, 10), 30);
    EXPECT_EQ(secondsLeft(100, 100, 10), 0);
    char line[160];
    ASSERT_TRUE(formatProgressBar(line, sizeof line, 50, 200, 41100, 20));
    EXPECT_STREQ(line, "[#######-----------------------] 50/200 frames, music 41.1 s, 1:00 left");
    ASSERT_TRUE(formatProgressBar(line, sizeof line, 0, 200, 0, 0));
    EXPECT_STREQ(line, "[------------------------------] 0/200 frames, music 0.0 s, -:-- left");
}
