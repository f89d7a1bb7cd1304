// Loading the generated data set for the benchmarks. The folder is made once and removed when
// the process ends. The loaded tables are remembered by address and put back into the globals on
// every later call: another benchmark may allocate tables of its own, which leaves these alive.
#include "generated_data.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "anim/layers.h"
#include "assets/asset_setup.h"
#include "assets/texture_table.h"
#include "platform/platform.h"
#include "render/render_globals.h"
#include "shell/bitmap_font.h"
#include "shell/gl_window.h"

namespace {

std::string temporaryFolder;
int prepared = 0;
TextureSlot* keptTextures = nullptr;
Layer* keptLayers = nullptr;
Scene* keptScenes = nullptr;

void removeTemporaryFolder() {
    if (!temporaryFolder.empty()) std::filesystem::remove_all(temporaryFolder);
}

}  // namespace

int prepareGeneratedData(const char** whyNot) {
    if (prepared) return 1;
    if (const char* given = std::getenv("QD_DATA_DIR")) {
        if (chdir(given) != 0 || !std::filesystem::is_directory("data")) {
            *whyNot = "QD_DATA_DIR does not name a folder holding data/";
            return 0;
        }
        prepared = 1;
        return 1;
    }
#ifdef QD_MAKE_DATA_PROGRAM
    char pattern[] = "/tmp/quelldrift-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        *whyNot = "cannot make a temporary folder for the data set";
        return 0;
    }
    temporaryFolder = pattern;
    std::atexit(removeTemporaryFolder);
    std::string command = std::string("'") + QD_MAKE_DATA_PROGRAM + "' '" + temporaryFolder +
                          "/data' >/dev/null";
    if (std::system(command.c_str()) != 0 || chdir(temporaryFolder.c_str()) != 0) {
        *whyNot = "make-data failed to write the data set";
        return 0;
    }
    prepared = 1;
    return 1;
#else
    *whyNot = "make-data is not built: set QD_DATA_DIR to a folder holding data/";
    return 0;
#endif
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
    if (!platformCreateHeadlessContext(640, 480)) {
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
