// Seeking on the generated data set, as the window does it: making seeking ready under the
// loading screen (every checkpoint of the demo), and a seek into each scene followed by its
// frame, drawn and finished. Each seek goes to the latest moment of its scene before the next
// checkpoint, where the most frames have to be advanced, from a moment in another scene.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "generated_data.h"
#include "platform/platform.h"
#include "timeline/playback.h"
#include "timeline/scene_schedule.h"

namespace {

int32_t drivenPosition = 0;
int32_t readDrivenPosition() { return drivenPosition; }

Playback* preparedPlayback(benchmark::State& state) {
    static Playback playback;
    static bool prepared = false;
    const char* whyNot = "";
    if (!loadGeneratedData(&whyNot)) {
        state.SkipWithError(whyNot);
        return nullptr;
    }
    if (!prepared) {
        if (!preparePlayback(&playback)) {
            state.SkipWithError("no memory to make seeking ready");
            return nullptr;
        }
        prepared = true;
    }
    return &playback;
}

void PreparePlayback(benchmark::State& state) {
    const char* whyNot = "";
    if (!loadGeneratedData(&whyNot)) return state.SkipWithError(whyNot);
    for (auto _ : state) {
        Playback playback;
        if (!preparePlayback(&playback)) return state.SkipWithError("no memory to make seeking ready");
        state.PauseTiming();
        size_t bytes = 0;
        for (int c = 0; c < playback.seeker.checkpointCount; ++c)
            bytes += playback.seeker.checkpoints[c].ownByteCount;
        state.counters["checkpoints"] = playback.seeker.checkpointCount;
        state.counters["MB"] = static_cast<double>(bytes) / (1 << 20);
        endPlayback(&playback);
        state.ResumeTiming();
    }
}

void SeekIntoScene(benchmark::State& state) {
    Playback* playback = preparedPlayback(state);
    if (!playback) return;
    const int scene = static_cast<int>(state.range(0));
    // The scene's last moment before the checkpoint that follows its start, or before its end.
    const double start = SCENE_START_MS[scene], end = SCENE_START_MS[scene + 1];
    const double checkpointMs = CHECKPOINT_SECONDS * 1000.0;
    const double next = (static_cast<int>(start / checkpointMs) + 1) * checkpointMs;
    const double target = std::min(next, end) - 20.0;
    const double elsewhere = scene < 4 ? 220000.0 : 5000.0;
    setAudioPositionSource(readDrivenPosition);
    double seekMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        seekPlayback(playback, elsewhere);
        state.ResumeTiming();
        const auto began = std::chrono::steady_clock::now();
        seekPlayback(playback, target);
        seekMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                      .count();
        drivenPosition = timePosition(static_cast<int64_t>(target * 1000));
        runTimelineFrame(&playback->timeline, drivenPosition, FRAME_DRAWN);
        glFinish();
    }
    setAudioPositionSource(nullptr);
    state.counters["target_s"] = target / 1000.0;
    // The seek alone, without drawing its frame.
    state.counters["seek_ms"] = seekMs / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(PreparePlayback)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SeekIntoScene)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->Iterations(5);
