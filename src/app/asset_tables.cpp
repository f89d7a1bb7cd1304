// The three big tables of the demo, the TextureTable, the LayerTable and the Scenes block, are
// allocated once, zero-filled, before any asset is loaded, and freed only at shutdown. Zero
// filling gives every slot that fails to load a defined state: no texture, opaque, no flags.
#include "app/asset_tables.h"

#include <cstdlib>

#include "anim/layers.h"
#include "assets/scene.h"
#include "assets/texture_table.h"

int allocateTables() {
    textureTable = static_cast<TextureSlot*>(std::calloc(TEXTURE_SLOTS, sizeof(TextureSlot)));
    layerTable = static_cast<Layer*>(std::calloc(LAYER_COUNT, sizeof(Layer)));
    scenes = static_cast<Scene*>(std::calloc(SCENE_COUNT, sizeof(Scene)));
    if (textureTable && layerTable && scenes) return 1;
    releaseTables();
    return 0;
}

void releaseTables() {
    std::free(textureTable);
    textureTable = nullptr;
    std::free(layerTable);
    layerTable = nullptr;
    std::free(scenes);
    scenes = nullptr;
}
