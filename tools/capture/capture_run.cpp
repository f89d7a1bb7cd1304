// The capture run. The music position is whatever the schedule says the current frame is, so
// the demo's timeline, fades and frame-to-frame motion see exactly the clock a player at that
// fixed rate would see, and every run of the same command draws the same pictures. Frames that
// are not kept (those before --from, and between --at times) are only advanced: the state moves
// on as if they were drawn, and nothing is drawn, so a late picture costs little more than an
// early one.
//
// Every place the run writes is made ready before the demo starts: the folders, the lock of a
// range's folder, the partial files of the music and the video, a trial file where pictures go.
// A place that cannot be written ends the run there, before anything is loaded or drawn. The
// music is decoded before the first frame too, and a run whose music ends before its last frame
// is refused. Start-up failures come from the demo's own start-up with its own messages; a file
// that cannot be written, or an encoder that stops, ends the run with exit code 1 and a message
// that names the user's file and the system's reason, printed last, after the progress and
// after ffmpeg has said its own. The music and the video are written as partial files and
// renamed only when complete, the music of a range after its last frame, so a folder of frames
// without music.wav is a capture that did not finish; a signal removes the partial files.
#include "capture_run.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "capture_folder.h"
#include "frame_schedule.h"
#include "frame_timings.h"
#include "partial_files.h"
#include "pass_coverage.h"
#include "platform/opengl.h"
#include "platform/platform.h"
#include "png_writer.h"
#include "progress_report.h"
#include "app/startup.h"
#include "shell/music.h"
#include "timeline/main_loop.h"
#include "video_pipe.h"
#include "wav_writer.h"

namespace {

int32_t drivenPosition = 0;
// The frame read back, first row at the top; sized for the run's frames before they start.
std::vector<uint8_t> framePixels;
int frameWidth = 0;
int frameHeight = 0;

int32_t drivenClock() { return drivenPosition; }

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What ended the run early: said as the run's last line, once everything else is closed.
std::string failure;

int fail(const std::string& text) {
    if (failure.empty()) failure = text;
    return 0;
}

// A file of the user's that cannot be written, and the system's reason.
int failWriting(const std::string& path, int reason) {
    return fail("cannot write " + path + ": " + std::strerror(reason ? reason : EIO));
}

// The files of a run that stay partial until the run is done; an empty name for none.
struct PartialOutputs {
    std::string rangeMusicPath;  // DIR/music.wav of a range
    char rangeMusic[PARTIAL_NAME_CAPACITY];
    char videoMusic[PARTIAL_NAME_CAPACITY];
    char video[PARTIAL_NAME_CAPACITY];
};

void discardOutputs(PartialOutputs* outputs) {
    for (char* name : {outputs->rangeMusic, outputs->videoMusic, outputs->video}) {
        discardPartialFile(name);
        name[0] = '\0';
    }
}

// The frame just drawn, first row at the top (GL reads from the bottom), turned over in place.
void readFrame() {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frameWidth, frameHeight, GL_RGB, GL_UNSIGNED_BYTE, framePixels.data());
    const size_t row = static_cast<size_t>(frameWidth) * 3;
    for (int y = 0; y < frameHeight / 2; ++y)
        std::swap_ranges(framePixels.begin() + y * row, framePixels.begin() + (y + 1) * row,
                         framePixels.begin() + (frameHeight - 1 - y) * row);
}

// Where the picture of the requested time `k` (in the order given) goes.
std::string picturePath(const CaptureOptions& options, int k) {
    const std::string name = std::string("at-") + options.at[k].text + ".png";
    return options.outDir ? std::string(options.outDir) + "/" + name : name;
}

// Creates `folder` and the folders above it where needed. 0 after noting why it cannot be.
int makeFolder(const std::string& folder) {
    std::error_code error, ignored;
    std::filesystem::create_directories(folder, error);
    if (std::filesystem::is_directory(folder, ignored)) return 1;
    if (std::filesystem::exists(folder, ignored))
        return fail("cannot write into " + folder + ": not a folder");
    return fail("cannot create the folder " + folder + ": " + error.message());
}

// Makes the folder of a range ready: locked against a second capture, and holding no frames or
// music of an earlier one (removed when the user asks). 0 after noting why it cannot be.
int prepareRangeFolder(const CaptureOptions& options, const std::string& folder) {
    if (!lockCaptureFolder(folder))
        return fail("another capture is writing into " + folder +
                    ": wait until it ends, or give another --out folder");
    const std::vector<std::string> earlier = captureFilesIn(folder);
    if (!earlier.empty() && !options.overwrite) {
        const std::string more =
            earlier.size() > 1 ? " and " + std::to_string(earlier.size() - 1) + " more" : "";
        return fail(folder + " holds an earlier capture (" + earlier.front() + more +
                    "): add --overwrite to replace it, or give another --out folder");
    }
    for (const std::string& name : earlier) {
        const std::string path = folder + "/" + name;
        if (unlink(path.c_str()) != 0 && errno != ENOENT)
            return fail("cannot remove " + path + ": " + std::strerror(errno));
    }
    return 1;
}

// Makes every place the run writes ready before anything is drawn. 0 after noting why one
// cannot be.
int prepareOutputs(const CaptureOptions& options, PartialOutputs* outputs) {
    if (options.outDir && !makeFolder(options.outDir)) return 0;
    if (options.atCount) {
        // A picture's partial file, made and removed again: the folder takes new files.
        const std::string path = picturePath(options, 0);
        char trial[PARTIAL_NAME_CAPACITY] = "";
        if (!createPartialFile(path.c_str(), trial, sizeof trial)) return failWriting(path, errno);
        discardPartialFile(trial);
    } else if (options.outDir) {
        if (!prepareRangeFolder(options, options.outDir)) return 0;
        outputs->rangeMusicPath = std::string(options.outDir) + "/music.wav";
        if (!createPartialFile(outputs->rangeMusicPath.c_str(), outputs->rangeMusic,
                               sizeof outputs->rangeMusic))
            return failWriting(outputs->rangeMusicPath, errno);
    }
    if (options.videoFile) {
        // The video's music goes to ffmpeg from a file beside the video, which is part of
        // making the video: a failure there is the video's.
        const std::string musicName = std::string(options.videoFile) + ".music.wav";
        if (!createPartialFile(options.videoFile, outputs->video, sizeof outputs->video) ||
            !createPartialFile(musicName.c_str(), outputs->videoMusic, sizeof outputs->videoMusic))
            return failWriting(options.videoFile, errno);
    }
    return 1;
}

// Writes the music of the kept frames into the partial file `partial` of the user's `path`.
// 0 after noting why it cannot be, or that the music ends before the last frame.
int writeRangeMusic(const CaptureOptions& options, const char* partial, const std::string& path) {
    int32_t start = 0, end = 0, lastFrame = 0;
    keptMusicRange(options, &start, &end, &lastFrame);
    const MusicWavResult music = writeMusicWav(MUSIC_PATH, partial, start, end);
    if (!music.written && music.writeError) return failWriting(path, music.writeError);
    if (!music.written)
        return fail(std::string("the music ") + MUSIC_PATH + " cannot be decoded as far as " +
                    path + " needs");
    if (music.endedEarly && music.musicBytes < lastFrame) {
        char text[160];
        std::snprintf(text, sizeof text, "the music ends at %.1f s, before the last frame at %.1f s",
                      positionMs(static_cast<int32_t>(music.musicBytes)) / 1000,
                      positionMs(lastFrame) / 1000);
        return fail(text);
    }
    return 1;
}

// Writes the kept frame to every output it goes to. 0 after noting a failure.
int keepFrame(const CaptureOptions& options, const FrameSchedule& schedule,
              const PlannedFrame& frame) {
    // A run that only measures or only draws reads nothing back from the driver.
    if (frame.atFirst == frame.atEnd && !options.outDir && !options.videoFile) return 1;
    readFrame();
    for (int k = frame.atFirst; k < frame.atEnd; ++k) {
        const std::string path = picturePath(options, schedule.atOrder[k]);
        if (!writePng(path.c_str(), framePixels.data(), frameWidth, frameHeight))
            return failWriting(path, errno);
    }
    if (options.outDir && options.atCount == 0) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(frame.number));
        const std::string path = options.outDir + std::string(name);
        if (!writePng(path.c_str(), framePixels.data(), frameWidth, frameHeight))
            return failWriting(path, errno);
    }
    if (options.videoFile && !writeVideoFrame(framePixels.data()))
        return fail(std::string("ffmpeg stopped while encoding ") + options.videoFile);
    return 1;
}

void printBench(double loadSeconds) {
    long peak = peakMemoryKb();
    std::printf("load %.1f ms, peak memory %.1f MB\n", loadSeconds * 1000,
                peak < 0 ? -1.0 : peak / 1024.0);
    for (int scene = 0; scene < TIMED_SCENES; ++scene) {
        TimingSummary summary;
        if (!summariseScene(scene, &summary)) continue;
        char line[256];
        formatSceneTiming(scene, summary, line, sizeof line);
        std::printf("%s\n", line);
    }
    std::fflush(stdout);
}

// Draws every scheduled frame. 0 after noting a failure.
int playSchedule(const CaptureOptions& options) {
    FrameSchedule schedule;
    beginSchedule(&schedule, options);
    int64_t total = 0;
    countScheduledFrames(options, &total, nullptr);
    ProgressReport progress;
    beginProgress(&progress, total, isatty(STDERR_FILENO));
    resetFrameTimings();

    int ok = 1;
    if (options.coverage) beginPassCoverage(frameWidth, frameHeight);
    TimelineState timeline = START_TIMELINE;
    if (beginTimeline(&timeline)) {
        PlannedFrame frame;
        while (ok && nextScheduledFrame(&schedule, &frame)) {
            drivenPosition = frame.position;
            if (!frame.write) {
                // A frame before the first one kept only brings the demo's state forward.
                const int sceneIndex = runTimelineFrame(&timeline, frame.position, FRAME_ADVANCED);
                if (sceneIndex >= TIMED_SCENES) break;
                stepProgress(&progress, sceneIndex, positionMs(frame.position));
                continue;
            }
            auto start = std::chrono::steady_clock::now();
            timelineFrame(&timeline);
            const int sceneIndex = timeline.sceneIndex;
            if (options.bench) {
                double ours = secondsSince(start);
                auto driverStart = std::chrono::steady_clock::now();
                glFinish();
                recordFrameTiming(sceneIndex, ours * 1000, secondsSince(driverStart) * 1000);
            }
            if (options.coverage) endCoverageFrame(sceneIndex);
            // The schedule ends at the last frame of scene 8; a frame past it is never kept.
            if (sceneIndex >= TIMED_SCENES) break;
            ok = keepFrame(options, schedule, frame);
            stepProgress(&progress, sceneIndex, positionMs(frame.position));
        }
    }
    endProgress(&progress, ok);
    if (options.coverage) endPassCoverage();
    return ok;
}

// Removes what is still partial and says what ended the run, as its last line. Exit code 1.
int endWithFailure(PartialOutputs* outputs) {
    discardOutputs(outputs);
    std::fprintf(stderr, "demo-capture: %s\n", failure.c_str());
    return 1;
}

// Once the demo has started and before the first frame: the music of a range and of a video
// decoded into their partial files, and ffmpeg started. 0 after noting a failure.
int startMusicAndEncoder(const CaptureOptions& options, PartialOutputs* outputs) {
    if (outputs->rangeMusic[0] &&
        !writeRangeMusic(options, outputs->rangeMusic, outputs->rangeMusicPath))
        return 0;
    if (!options.videoFile) return 1;
    if (!writeRangeMusic(options, outputs->videoMusic, options.videoFile)) return 0;
    if (!openVideoPipe(outputs->video, outputs->videoMusic, options.fps, frameWidth, frameHeight))
        return fail(std::string("cannot start ffmpeg for ") + options.videoFile);
    return 1;
}

// After the frames, of a run that went `ok` so far: ffmpeg finished and the video put in place,
// then the music of a range, which marks a capture that finished. The run's result.
int finishOutputs(const CaptureOptions& options, PartialOutputs* outputs, int ok) {
    if (options.videoFile) {
        const int encoded = closeVideoPipe();
        if (ok && !encoded)
            ok = fail(std::string("ffmpeg failed to encode ") + options.videoFile +
                      " (its own message is above)");
        if (ok && !finishPartialFile(outputs->video, options.videoFile))
            ok = failWriting(options.videoFile, errno);
        if (ok) outputs->video[0] = '\0';
    }
    if (ok && outputs->rangeMusic[0]) {
        if (!finishPartialFile(outputs->rangeMusic, outputs->rangeMusicPath.c_str()))
            ok = failWriting(outputs->rangeMusicPath, errno);
        outputs->rangeMusic[0] = '\0';
    }
    return ok;
}

}  // namespace

int runCapture(const CaptureOptions& options) {
#if QD_FIXED_FUNCTION_LAYER
    if (options.coverage) {
        std::fprintf(stderr, "demo-capture: cannot count pixels: OpenGL ES 2 has no occlusion queries\n");
        return 1;
    }
#endif
    if (options.videoFile && !ffmpegAvailable()) {
        std::fprintf(stderr, "demo-capture: cannot encode a video: the ffmpeg program is not installed\n");
        return 1;
    }
    removePartialFilesOnSignal();
    static PartialOutputs outputs;
    if (!prepareOutputs(options, &outputs)) return endWithFailure(&outputs);

    suppressMessageBoxes(1);
    setAudioPositionSource(drivenClock);
    auto loadStart = std::chrono::steady_clock::now();
    if (!startDemo(CONTEXT_HEADLESS, {options.width, options.height, options.samples})) {
        // The demo's own start-up has said why, last.
        discardOutputs(&outputs);
        return 1;
    }
    double loadSeconds = secondsSince(loadStart);
    frameWidth = options.width;
    frameHeight = options.height;
    // A run that keeps no frame never reads one back.
    if (options.outDir || options.videoFile || options.atCount)
        framePixels.assign(static_cast<size_t>(frameWidth) * frameHeight * 3, 0);
    if (platformSamples() != options.samples)
        std::fprintf(stderr, "demo-capture: the driver draws with %d samples per pixel (%d asked)\n",
                     platformSamples(), options.samples);

    int ok = startMusicAndEncoder(options, &outputs) && playSchedule(options);
    ok = finishOutputs(options, &outputs, ok);
    discardOutputs(&outputs);
    if (ok && options.bench) printBench(loadSeconds);
    if (ok && options.coverage) printPassCoverage();
    // All asset memory lives until the process ends; freeing only the three tables, as the
    // windowed demo's shutdown does, would cut the Scenes' own buffers loose just before exit.
    // The tool releases what holds outside resources, the music decoder and the GL context.
    stopMusic();
    platformDestroyHeadlessContext();
    return ok ? 0 : endWithFailure(&outputs);
}
