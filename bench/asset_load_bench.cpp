// The whole asset load of the generated data set, as start-up runs it: every picture decoded
// and uploaded with its loading line drawn, every scene file read and baked, every sprite set
// warmed up. Each load gets fresh tables; the loaded set of the other benchmarks is kept aside.
#include <benchmark/benchmark.h>

#include "anim/layers.h"
#include "app/asset_setup.h"
#include "app/asset_tables.h"
#include "assets/scene.h"
#include "assets/texture_table.h"
#include "generated_data.h"

namespace {

void LoadAllAssets(benchmark::State& state) {
    const char* whyNot = "";
    if (!loadGeneratedData(&whyNot)) {  // context, font, and the set the others use
        state.SkipWithError(whyNot);
        return;
    }
    TextureSlot* keptTextures = textureTable;
    Layer* keptLayers = layerTable;
    Scene* keptScenes = scenes;
    for (auto _ : state) {
        textureTable = nullptr;
        layerTable = nullptr;
        scenes = nullptr;
        int loaded = loadAllAssets();
        state.PauseTiming();
        releaseTables();
        state.ResumeTiming();
        if (!loaded) {
            state.SkipWithError("loadAllAssets failed");
            break;
        }
    }
    textureTable = keptTextures;
    layerTable = keptLayers;
    scenes = keptScenes;
}

}  // namespace

// Every load leaves its pictures, sprites and GL textures behind (they live until exit), so a
// few iterations suffice.
BENCHMARK(LoadAllAssets)->Iterations(3)->Unit(benchmark::kMillisecond);
