// Per-frame CPU work of the demo's heaviest cases on the generated data set, one benchmark per
// piece: the scene update of the darm and aterie scenes with their sprites, the tube pushed by
// the path balls, the two-centre ripple, the surface warp, the fish morph. Time advances each
// iteration as it would at 60 frames per second, so keyframe searches and sprite motion do the
// work a running demo makes them do. NeuronalScenePass is the one that draws: the whole
// scene pass of scene 3 (net, wire lines, bursts, flares) until the driver has finished it,
// the heaviest fill of the demo.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "anim/frame_clock.h"
#include "anim/frame_hooks.h"
#include "anim/scene_update.h"
#include "app/asset_setup.h"
#include "generated_data.h"
#include "render/mesh_morph.h"
#include "render/render_globals.h"
#include "render/scene_pass.h"
#include "render/water_effects.h"

namespace {

constexpr float TICKS_PER_FRAME = 35.0f / 60.0f;
constexpr float FRAME_STEP_AT_60 = 0.25f;  // 16.7 ms of music x 0.015

constexpr int DARM_SCENE = 5;
constexpr int ATERIE_SCENE = 2;
constexpr int KOPULI_SCENE = 6;
constexpr int FISH_SCENE = 10;
constexpr int NEURONAL_SCENE = 1;

Scene* sceneOrSkip(benchmark::State& state, int index) {
    const char* whyNot = "";
    if (!loadGeneratedData(&whyNot)) {
        state.SkipWithError(whyNot);
        return nullptr;
    }
    return loadedScene(index);
}

const FrameHook* findHook(const Scene* scene, FrameHookFunction function) {
    for (int i = 0; i < scene->frameHookCount; ++i)
        if (scene->frameHooks[i].function == function) return &scene->frameHooks[i];
    return nullptr;
}

int sceneSprites(const Scene* scene) {
    int count = 0;
    for (int i = 0; i < scene->spriteSetCount; ++i) count += scene->spriteSets[i].spriteCount;
    return count;
}

void updateOverScene(benchmark::State& state, int index, float lengthTicks) {
    Scene* scene = sceneOrSkip(state, index);
    if (!scene) return;
    float t = 0;
    frameStep = FRAME_STEP_AT_60;
    for (auto _ : state) {
        updateScene(scene, t);
        benchmark::ClobberMemory();
        t += TICKS_PER_FRAME;
        if (t > lengthTicks) t = 0;
    }
    state.counters["sprites"] = sceneSprites(scene);
    state.counters["objects"] = scene->objectCount;
}

void UpdateDarmScene(benchmark::State& state) { updateOverScene(state, DARM_SCENE, 917); }
void UpdateAterieScene(benchmark::State& state) { updateOverScene(state, ATERIE_SCENE, 1365); }

void DarmTubePushFromSprites(benchmark::State& state) {
    Scene* scene = sceneOrSkip(state, DARM_SCENE);
    if (!scene) return;
    const FrameHook* hook = findHook(scene, pushFromSprites);
    if (!hook) {
        state.SkipWithError("the darm scene has no sprite push hook");
        return;
    }
    frameStep = FRAME_STEP_AT_60;
    updateScene(scene, 100);
    for (auto _ : state) {
        hook->function(hook->object, hook->userValue);
        benchmark::ClobberMemory();
    }
    state.counters["vertices"] = hook->object->vertexCount;
}

void KopuliRippleTwoCentres(benchmark::State& state) {
    Scene* scene = sceneOrSkip(state, KOPULI_SCENE);
    if (!scene) return;
    const FrameHook* hook = findHook(scene, rippleTwoCentres);
    if (!hook) {
        state.SkipWithError("the kopuli scene has no ripple hook");
        return;
    }
    sceneTime = 0;
    updateScene(scene, 0);
    for (auto _ : state) {
        hook->function(hook->object, hook->userValue);
        benchmark::ClobberMemory();
        sceneTime += TICKS_PER_FRAME;
    }
    state.counters["vertices"] = hook->object->vertexCount;
}

void WarpGeneratedSurface(benchmark::State& state) {
    const char* whyNot = "";
    if (!loadGeneratedData(&whyNot)) {
        state.SkipWithError(whyNot);
        return;
    }
    float t = 0;
    bool columns = state.range(0) != 0;
    for (auto _ : state) {
        if (columns)
            warpSurfaceColumns(surfacePicture, colourTable, offsetTable, t);
        else
            warpSurfaceRows(surfacePicture, colourTable, offsetTable, t);
        benchmark::ClobberMemory();
        t += TICKS_PER_FRAME * 0.5f;
    }
}

void FishMorph(benchmark::State& state) {
    Scene* scene = sceneOrSkip(state, FISH_SCENE);
    if (!scene) return;
    if (scene->objectCount < 2) {
        state.SkipWithError("the fish scene has no morph target");
        return;
    }
    SceneObject* target = &scene->objects[1];
    float u = 0;
    for (auto _ : state) {
        morphObject(target, u * 0.2f, 0.5f, 0.0f);
        benchmark::ClobberMemory();
        u += TICKS_PER_FRAME;
        if (u * 0.2f > 1000) u = 0;
    }
    state.counters["vertices"] = target->vertexCount;
}

void NeuronalScenePass(benchmark::State& state) {
    Scene* scene = sceneOrSkip(state, NEURONAL_SCENE);
    if (!scene) return;
    // As scene 3 draws it: wobbling, far reach, the net's loop time running through (0, 250].
    ScenePassSettings settings = START_PASS_SETTINGS;
    settings.wobbleEnabled = 1;
    settings.farCullZ = -30000.0f;
    frameStep = FRAME_STEP_AT_60;
    float u = 0;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderScene(scene, u, settings);
        glFinish();
        u += TICKS_PER_FRAME * 0.5f;
        if (u > 250) u -= 250;
    }
}

}  // namespace

BENCHMARK(NeuronalScenePass)->Unit(benchmark::kMillisecond);
BENCHMARK(UpdateDarmScene)->Unit(benchmark::kMicrosecond);
BENCHMARK(UpdateAterieScene)->Unit(benchmark::kMicrosecond);
BENCHMARK(DarmTubePushFromSprites)->Unit(benchmark::kMicrosecond);
BENCHMARK(KopuliRippleTwoCentres)->Unit(benchmark::kMicrosecond);
BENCHMARK(WarpGeneratedSurface)->Arg(0)->Arg(1)->ArgName("columns")->Unit(benchmark::kMicrosecond);
BENCHMARK(FishMorph)->Unit(benchmark::kMicrosecond);
