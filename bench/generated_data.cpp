// Loading the generated data set for the benchmarks: the build's own (or the one QD_DATA_DIR
// names). The loaded tables are remembered by address and put back into the globals on every
// later call: another benchmark may allocate tables of its own, which leaves these alive.
#include "generated_data.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "anim/layers.h"
#include "app/asset_setup.h"
#include "assets/texture_table.h"
#include "platform/platform.h"
#include "render/render_globals.h"
#include "shell/bitmap_font.h"
#include "shell/gl_window.h"

namespace {

int prepared = 0;
TextureSlot* keptTextures = nullptr;
Layer* keptLayers = nullptr;
Scene* keptScenes = nullptr;

}  // namespace

int prepareGeneratedData(const char** whyNot) {
    if (prepared) return 1;
    const char* folder = std::getenv("QD_DATA_DIR");
    if (folder == nullptr) folder = QD_DATA_SET_DIR;
    if (chdir(folder) != 0 || !std::filesystem::is_directory("data")) {
        *whyNot = "no data set: build the data-set target, or set QD_DATA_DIR to a folder holding data/";
        return 0;
    }
    prepared = 1;
    return 1;
}

int loadGeneratedData(const char** whyNot) {
    if (keptScenes) {
        // Code that reads the tables by their globals (the morph, the compositions) must see
        // this set, even after another benchmark allocated tables of its own.
        textureTable = keptTextures;
        layerTable = keptLayers;
        scenes = keptScenes;
        return 1;
    }
    if (!prepareGeneratedData(whyNot)) return 0;
    suppressMessageBoxes(1);
    if (!platformCreateHeadlessContext(640, 480, 1)) {
        *whyNot = "no headless GL context";
        return 0;
    }
    nearCullZ = -0.1f;
    initGlState(640, 480);
    showLoadingScreen();
    if (!loadAllAssets()) {
        *whyNot = "loadAllAssets failed on the generated data set";
        return 0;
    }
    keptTextures = textureTable;
    keptLayers = layerTable;
    keptScenes = scenes;
    return 1;
}

Scene* loadedScene(int index) { return keptScenes ? &keptScenes[index] : nullptr; }
