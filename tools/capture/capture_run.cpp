// The capture run. The music position is whatever the schedule says the current frame is, so
// the demo's timeline, fades and frame-to-frame motion see exactly the clock a player at that
// fixed rate would see, and every run of the same command draws the same pictures. Frames that
// are not kept (those before --from, and between --at times) are only advanced: the state moves
// on as if they were drawn, and nothing is drawn, so a late picture costs little more than an
// early one. Start-up
// failures come from the demo's own start-up with its own messages; files the tool cannot
// write, or an encoder that stops, end the run with a message and exit code 1. The music and
// the video are written as partial files and renamed only when complete; a signal removes them.
#include "capture_run.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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

int report(const char* what, const std::string& detail) {
    std::fprintf(stderr, "demo-capture: %s%s\n", what, detail.c_str());
    return 1;
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

std::string outputFolder(const CaptureOptions& options) {
    return options.outDir ? options.outDir : ".";
}

// Writes the kept frame to every output it goes to. 0 after reporting a failure.
int keepFrame(const CaptureOptions& options, const FrameSchedule& schedule,
              const PlannedFrame& frame) {
    // A run that only measures or only draws reads nothing back from the driver.
    if (frame.atFirst == frame.atEnd && !options.outDir && !options.videoFile) return 1;
    readFrame();
    std::string folder = outputFolder(options);
    for (int k = frame.atFirst; k < frame.atEnd; ++k) {
        std::string path = folder + "/at-" + options.at[schedule.atOrder[k]].text + ".png";
        if (!writePng(path.c_str(), framePixels.data(), frameWidth, frameHeight))
            return !report("cannot write ", path);
    }
    if (options.outDir && options.atCount == 0) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(frame.number));
        std::string path = folder + name;
        if (!writePng(path.c_str(), framePixels.data(), frameWidth, frameHeight))
            return !report("cannot write ", path);
    }
    if (options.videoFile && !writeVideoFrame(framePixels.data()))
        return !report("ffmpeg stopped while encoding ", options.videoFile);
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

// Draws every scheduled frame. 0 after reporting a failure.
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
    endProgress(&progress);
    if (options.coverage) endPassCoverage();
    return ok;
}

}  // namespace

int runCapture(const CaptureOptions& options) {
#if QD_FIXED_FUNCTION_LAYER
    if (options.coverage)
        return report("cannot count pixels: ", "OpenGL ES 2 has no occlusion queries");
#endif
    if (options.videoFile && !ffmpegAvailable())
        return report("cannot encode a video: ", "the ffmpeg program is not installed");
    if (options.outDir) {
        std::error_code error;
        std::filesystem::create_directories(options.outDir, error);
        if (!std::filesystem::is_directory(options.outDir))
            return report("cannot create the folder ", options.outDir);
    }

    removePartialFilesOnSignal();
    suppressMessageBoxes(1);
    setAudioPositionSource(drivenClock);
    auto loadStart = std::chrono::steady_clock::now();
    if (!startDemo(CONTEXT_HEADLESS, {options.width, options.height, options.samples})) return 1;
    double loadSeconds = secondsSince(loadStart);
    frameWidth = options.width;
    frameHeight = options.height;
    // A run that keeps no frame never reads one back.
    if (options.outDir || options.videoFile || options.atCount)
        framePixels.assign(static_cast<size_t>(frameWidth) * frameHeight * 3, 0);
    if (platformSamples() != options.samples)
        std::fprintf(stderr, "demo-capture: the driver draws with %d samples per pixel (%d asked)\n",
                     platformSamples(), options.samples);

    int32_t musicStart = 0, musicEnd = 0;
    int hasMusic = keptMusicRange(options, &musicStart, &musicEnd);
    if (options.outDir && hasMusic) {
        std::string path = std::string(options.outDir) + "/music.wav";
        char partial[PARTIAL_NAME_CAPACITY] = "";
        if (!createPartialFile(path.c_str(), partial, sizeof partial) ||
            !writeMusicWav(MUSIC_PATH, partial, musicStart, musicEnd) ||
            !finishPartialFile(partial, path.c_str())) {
            discardPartialFile(partial);
            return report("cannot write the music to ", path);
        }
    }
    char videoMusic[PARTIAL_NAME_CAPACITY] = "";
    char video[PARTIAL_NAME_CAPACITY] = "";
    if (options.videoFile) {
        if (!hasMusic) return report("no frame lies in the range of ", options.videoFile);
        std::string musicName = std::string(options.videoFile) + ".music.wav";
        if (!createPartialFile(musicName.c_str(), videoMusic, sizeof videoMusic) ||
            !writeMusicWav(MUSIC_PATH, videoMusic, musicStart, musicEnd)) {
            discardPartialFile(videoMusic);
            return report("cannot write the music to ", musicName);
        }
        if (!createPartialFile(options.videoFile, video, sizeof video)) {
            discardPartialFile(videoMusic);
            return report("cannot write ", options.videoFile);
        }
        if (!openVideoPipe(video, videoMusic, options.fps, frameWidth, frameHeight)) {
            discardPartialFile(videoMusic);
            discardPartialFile(video);
            return report("cannot start ffmpeg for ", options.videoFile);
        }
    }

    int ok = playSchedule(options);
    if (options.videoFile) {
        int encoded = closeVideoPipe();
        discardPartialFile(videoMusic);
        if (ok && !encoded) ok = !report("ffmpeg failed to encode ", options.videoFile);
        if (ok && !finishPartialFile(video, options.videoFile))
            ok = !report("cannot write ", options.videoFile);
        if (!ok) discardPartialFile(video);
    }
    if (ok && options.bench) printBench(loadSeconds);
    if (ok && options.coverage) printPassCoverage();
    // All asset memory lives until the process ends; freeing only the three tables, as the
    // windowed demo's shutdown does, would cut the Scenes' own buffers loose just before exit.
    // The tool releases what holds outside resources, the music decoder and the GL context.
    stopMusic();
    platformDestroyHeadlessContext();
    return ok ? 0 : 1;
}
