// The fixed set-up that fills every table before the music starts. Nine steps run in order,
// each loading the scene file, pictures, Layers, sprite sets, hooks, bakers and flares of one
// stretch of the demo; then the shared pictures, the two BMP pictures and the water tables.
// Every picture load paints one log line, so the order of the tables below is also the order
// the viewer sees. Objects and lights that later code reaches by fixed index are checked here,
// right after their file is read, so a file that lacks one fails the load with a message
// instead of being dereferenced later in the frame.
#include "assets/asset_setup.h"

#include <cstdio>
#include <cstdlib>
#include <span>

#include "anim/frame_clock.h"
#include "anim/frame_hooks.h"
#include "anim/layers.h"
#include "anim/lighting_bakers.h"
#include "anim/sprite_sets.h"
#include "assets/asset_tables.h"
#include "assets/flare_file.h"
#include "assets/scene.h"
#include "assets/scene_file.h"
#include "assets/texture_table.h"
#include "render/mesh_morph.h"
#include "render/water_effects.h"
#include "shell/error_report.h"

Picture* surfacePicture = nullptr;
Picture* surfaceColourPicture = nullptr;
Picture* waterPicture = nullptr;
uint16_t* offsetTable = nullptr;
int32_t* colourTable = nullptr;
Vec3* aterieFirstPath = nullptr;
Vec3* aterieSecondPath = nullptr;
Vec3* darmPath = nullptr;

namespace {

constexpr const char* FLARE_FILE = "data\\flare.cfg";
constexpr int32_t PATH_SAMPLES = 3000;

// ---- Slot and Layer tables ----

enum SlotLoader { LOAD_PLAIN, LOAD_ENV_MAPPED, LOAD_WITH_OVERLAY };

struct SlotLoad {
    int32_t slot;
    const char* path;
    float translucency;
    SlotLoader loader = LOAD_PLAIN;
    const char* overlayPath = nullptr;
    float planarScale = 0.0f;
};

struct LayerPlacement {
    int32_t layer;
    float x1, y1, x2, y2;
    int32_t columns, rows;
    int32_t slot;
    Deformer deformer;
    float u1 = 0.0f, v1 = 0.0f, u2 = 1.0f, v2 = 1.0f;
};

constexpr SlotLoad TITLE_SLOTS[] = {
    {0, "data\\logo-quelldriftlogo.jpg", 1}, {1, "data\\logo-opacity.jpg", 1},
    {2, "data\\logo-background.jpg", 1},     {3, "data\\logo-credits.jpg", 1},
    {4, "data\\logo-brakkwell.jpg", 1},      {5, "data\\logo-quelldrift.jpg", 1},
    {6, "data\\logo-wearegetting.jpg", 1},   {7, "data\\black.jpg", 1},
};

constexpr LayerPlacement TITLE_LAYERS[] = {
    {0, -0.8f, -0.55f, 0.8f, 0.55f, 10, 10, 0, deformWobble},
    {1, -0.8f, -0.55f, 0.8f, 0.55f, 10, 10, 1, deformWobble},
    {2, -1.1f, -1.1f, 1.1f, 1.1f, 10, 10, 2, deformWobble},
    {3, -0.41f, 0.25f, 1.15f, 0.52f, 10, 10, 3, deformDrift},
    {4, -1.03f, 0.05f, -0.25f, 0.61f, 10, 10, 4, deformDrift},
    {5, -0.1f, -0.59f, 1.5f, -0.3f, 10, 10, 5, deformDrift},
    {6, -0.68f, -0.52f, 0.22f, -0.38f, 10, 10, 6, deformDrift},
    {7, -1.5f, -1.5f, 1.5f, 1.5f, 10, 10, 2, deformWobble},
};

constexpr SlotLoad LIGHT_SLOTS[] = {
    {10, "data\\felsen.jpg", 0},
    {11, "data\\envmap2.jpg", 0},
    {12, "data\\black.jpg", 0},
    {13, "data\\atom1.jpg", 1},
    {14, "data\\flare2.jpg", 1},
    {15, "data\\lens1.jpg", 1},
    {16, "data\\lens2.jpg", 1},
    {17, "data\\lens3.jpg", 1},
    {18, "data\\lens4.jpg", 1},
    {19, "data\\innenwelt-background.jpg", 1},
    {20, "data\\innenwelt-opacity.jpg", 1},
    {21, "data\\innenwelt-vordergrund.jpg", 1},
    {22, "data\\black.jpg", 1},
    {23, "data\\envmap.jpg", 1},
};

// Layer 13 repeats its picture twice in each direction.
constexpr LayerPlacement LIGHT_LAYERS[] = {
    {10, -1, -1, 1, 1, 2, 2, 19, deformStill},
    {11, -1, -1, 1, 1, 2, 2, 20, deformStill},
    {12, -1, -1, 1, 1, 2, 2, 21, deformStill},
    {13, -4, -4, 4, 4, 30, 30, 23, deformRipple, 0, 0, 2, 2},
};

constexpr SlotLoad NEURONAL_SLOTS[] = {
    {25, "data\\netz-map.jpg", 1},  {26, "data\\netz-back.jpg", 1},
    {27, "data\\netz-flare.jpg", 1}, {28, "data\\helmchen.jpg", 1},
    {29, "data\\helm-op.jpg", 1},   {30, "data\\text-greetings.jpg", 1},
};

constexpr LayerPlacement NEURONAL_LAYERS[] = {
    {30, -1.1f, -1, 0.2f, 1, 2, 2, 28, deformStill},
    {31, -1.1f, -1, 0.2f, 1, 2, 2, 29, deformStill},
    {32, 0, -1.2f, 1, 1.2f, 10, 10, 30, deformWobble},
};

constexpr SlotLoad ATERIE_MAP_SLOTS[] = {
    {31, "data\\aterie-map.jpg", 0},
    {32, "data\\blut2.jpg", 1},
};

constexpr SlotLoad ATERIE_PICTURE_SLOTS[] = {
    {33, "data\\embryo-f.jpg", 1},   {34, "data\\fishpic.jpg", 1},
    {35, "data\\jesus.jpg", 1},      {36, "data\\embryo-o.jpg", 1},
    {37, "data\\text-light.jpg", 1}, {38, "data\\text-flyout.jpg", 1},
};

constexpr LayerPlacement ATERIE_LAYERS[] = {
    {33, -1.1f, -1.1f, 1.1f, 1.1f, 20, 20, 33, deformWobble},
    {34, -1, -1, 1, 1, 20, 20, 34, deformStill},
    {35, -1.1f, -1.1f, 1.1f, 1.1f, 20, 20, 35, deformStill},
    {36, -1.1f, -1.1f, 1.1f, 1.1f, 20, 20, 36, deformWobble},
    {37, -1, -1, 0.8f, 0, 20, 20, 37, deformStill},
    {38, -1.6f, -1.5f, 1.4f, 0.3f, 20, 20, 37, deformStill},
    {39, -0.5f, 0.1f, 1, 1, 20, 20, 38, deformStill},
    {50, -1, -0.5f, 1.5f, 1.5f, 20, 20, 38, deformStill},
};

constexpr SlotLoad FISH_SLOTS[] = {
    {60, "data\\meergrund.jpg", 0, LOAD_WITH_OVERLAY, "data\\water.jpg", 0.03f},
    {61, "data\\ballfish.jpg", 0, LOAD_WITH_OVERLAY, "data\\water.jpg", 0.7f},
    {62, "data\\grass.jpg", 1},
    {63, "data\\waterfx.jpg", 0},
};

constexpr const char* MORPH_FILES[] = {
    "data\\morph1.dat", "data\\morph2.dat", "data\\morph3.dat",
    "data\\morph4.dat", "data\\morph5.dat",
};
constexpr int32_t FIRST_MORPH_SCENE = 11;

constexpr SlotLoad DARM_SLOTS[] = {
    {40, "data\\envmap.jpg", 1, LOAD_ENV_MAPPED},
    {41, "data\\envmap2.jpg", 1},
    {42, "data\\flare5.jpg", 1},
    {43, "data\\netz-flare.jpg", 1},
    {44, "data\\flare2.jpg", 1},
    {45, "data\\flare3.jpg", 1},
    {46, "data\\flare4.jpg", 1},
    {47, "data\\black.jpg", 1},
    {48, "data\\monks-op.jpg", 1},
    {49, "data\\monks.jpg", 1},
    {50, "data\\text-checkourgift.jpg", 1},
    {51, "data\\text-webringyoudemo.jpg", 1},
    {52, "data\\text-driftwelling.jpg", 1},
    {53, "data\\black.jpg", 1},
    {54, "data\\fader.jpg", 1},
    {55, "data\\vogel-op.jpg", 1},
    {56, "data\\vogel.jpg", 1},
    {57, "data\\text-scream.jpg", 1},
    {58, "data\\feuer-opacity.jpg", 1},
    {59, "data\\feuer-spucker.jpg", 1},
    {90, "data\\text-wewant.jpg", 1},
    {91, "data\\text-inside.jpg", 1},
    {92, "data\\text-outside.jpg", 1},
    {93, "data\\text-brakkwell.jpg", 1},
};

// Layers 27 and 28 are the two shutters: the same picture, the second turned by half a turn.
constexpr LayerPlacement DARM_LAYERS[] = {
    {20, -0.3f, -1, 1.7f, 1, 2, 2, 47, deformStill},
    {21, 0.35f, -1, 1.1f, 1, 2, 2, 48, deformStill},
    {22, 0.35f, -1, 1.1f, 1, 2, 2, 49, deformStill},
    {23, 0.35f, -1, 1.1f, 1, 2, 2, 53, deformStill},
    {24, -1.1f, -1, 1.1f, -0.5f, 2, 2, 50, deformStill},
    {25, -1.1f, -0.9f, 1.1f, -0.4f, 2, 2, 51, deformStill},
    {26, -1, -4, -0.7f, 4, 2, 2, 52, deformStill},
    {27, -1, -1, 1, 1, 2, 2, 54, deformStill, 0, 0, 1, 0.99f},
    {28, -1, -1, 1, 1, 2, 2, 54, deformStill, 1, 0.99f, 0, 0},
    {40, -0.3f, -1, 1.5f, 1, 2, 2, 55, deformStill},
    {41, -0.3f, -1, 1.5f, 1, 2, 2, 56, deformStill},
    {42, -1, -1, 1, -0.7f, 2, 2, 57, deformStill},
    {43, -2, -1.5f, 2, -0.6f, 2, 2, 57, deformStill},
    {44, -0.3f, -1, 1, 1, 2, 2, 58, deformStill},
    {45, -0.3f, -1, 1, 1, 2, 2, 59, deformStill},
    {46, -1, -1, 1, -0.7f, 2, 2, 90, deformStill},
    {47, -2, -1.5f, 2, -0.6f, 2, 2, 90, deformStill},
    {48, -2.3f, -1.8f, 2.3f, -0.4f, 2, 2, 90, deformStill},
    {51, -1, 0.5f, 1, 1, 2, 2, 91, deformStill},
    {52, 0.5f, -2, 1, 2, 2, 2, 92, deformStill},
    {53, -1.1f, 0.4f, 1.1f, 1.1f, 2, 2, 91, deformStill},
    {54, -0.9f, -0.9f, 0.9f, -0.1f, 2, 2, 93, deformStill},
    {55, -2, -1.5f, 2, 0.5f, 2, 2, 93, deformStill},
};

// The darm Scene's sprite sets, all following its one path, in the order they are added.
struct PathSpriteSet {
    int32_t count;
    SpriteSpawn spawn;
    SpriteUpdate update;
    int32_t slot;
};

constexpr PathSpriteSet DARM_SPRITE_SETS[] = {
    {300, spawnPathSwarm, updatePathSwarm, 44}, {5, spawnPathBall, updatePathBall, 43},
    {300, spawnPathSwarm, updatePathSwarm, 45}, {300, spawnPathSwarm, updatePathSwarm, 46},
    {1500, spawnPathSwarm, updatePathSwarm, 42},
};

constexpr SlotLoad KOPULI_SLOTS[] = {
    {70, "data\\envmap5.jpg", 0, LOAD_ENV_MAPPED},
    {71, "data\\envmap4.jpg", 0},
};

constexpr SlotLoad MIRROR_SLOTS[] = {
    {80, "data\\ballfish.jpg", 0},
    {81, "data\\surface.jpg", 1},
    {82, "data\\ballfish.jpg", 0},
};

constexpr SlotLoad SHARED_SLOTS[] = {
    {97, "data\\white.jpg", 1},
    {98, "data\\black.jpg", 1},
    {99, "data\\blue.jpg", 1},
};

constexpr float MIRROR_SHADE = 0.65f;

// ---- Helpers ----

void loadSlots(std::span<const SlotLoad> loads) {
    for (const SlotLoad& load : loads) {
        TextureSlot* slot = &textureTable[load.slot];
        switch (load.loader) {
            case LOAD_PLAIN:
                initSlot(slot, load.path, load.translucency);
                break;
            case LOAD_ENV_MAPPED:
                initSlotEnvMapped(slot, load.path, load.translucency);
                break;
            case LOAD_WITH_OVERLAY:
                initSlotWithOverlay(slot, load.path, load.overlayPath, load.translucency,
                                    load.planarScale);
                break;
        }
    }
}

int createLayers(std::span<const LayerPlacement> placements) {
    for (const LayerPlacement& entry : placements) {
        if (!createLayer(&layerTable[entry.layer], entry.x1, entry.y1, entry.x2, entry.y2, -1.0f,
                         entry.u1, entry.v1, entry.u2, entry.v2, entry.columns, entry.rows, entry.slot,
                         entry.deformer)) {
            char message[64];
            std::snprintf(message, sizeof message, "cannot create layer %d", entry.layer);
            reportError(message);
            return 0;
        }
    }
    return 1;
}

// One box naming the scene file and what it lacks; always 0, for returning from a step.
int reportMissing(const char* file, const char* what) {
    char message[256];
    std::snprintf(message, sizeof message, "%s: %s", file, what);
    reportError(message);
    return 0;
}

int requireObjects(const Scene* scene, const char* file, int32_t count) {
    if (scene->objectCount >= count) return 1;
    char what[64];
    std::snprintf(what, sizeof what, "object %d missing", count - 1);
    return reportMissing(file, what);
}

int requireLights(const Scene* scene, const char* file, int32_t count) {
    if (scene->lightCount >= count) return 1;
    char what[64];
    std::snprintf(what, sizeof what, "light %d missing", count - 1);
    return reportMissing(file, what);
}

// The object wearing a slot's texture, or null after a box naming the file.
SceneObject* requireObjectBySlot(Scene* scene, const char* file, int32_t slot) {
    SceneObject* object = findObjectBySlot(scene, slot);
    if (object == nullptr) {
        char what[64];
        std::snprintf(what, sizeof what, "no object with texture %d", slot);
        reportMissing(file, what);
    }
    return object;
}

// Every key mesh (objects 0 to 9 of the morph Scenes) must hold at least as many vertices as
// the object that is morphed from them.
int checkMorphKeys(int32_t targetVertices, const char* targetFile) {
    for (int i = 0; i < 5; ++i) {
        const Scene* keys = &scenes[FIRST_MORPH_SCENE + i];
        for (int key = 0; key < MORPH_KEYS; ++key) {
            if (keys->objects[key].vertexCount < targetVertices) {
                char what[160];
                std::snprintf(what, sizeof what,
                              "key object %d has %d vertices, fewer than the %d of the morphed "
                              "object of %s",
                              key, keys->objects[key].vertexCount, targetVertices, targetFile);
                return reportMissing(MORPH_FILES[i], what);
            }
        }
    }
    return 1;
}

void setFog(Scene* scene, float density, float red, float green, float blue, float alpha) {
    scene->fogDensity = density;
    scene->fogColour[0] = red;
    scene->fogColour[1] = green;
    scene->fogColour[2] = blue;
    scene->fogColour[3] = alpha;
}

// Darkens the mirror copy's corner colours and reverses the winding of its triangles, which
// the mirroring in z turns inside out.
void prepareMirrorCopy(SceneObject* copy) {
    for (int32_t f = 0; f < copy->faceCount; ++f) {
        Face* face = &copy->faces[f];
        for (Corner& corner : face->corners) {
            corner.red *= MIRROR_SHADE;
            corner.green *= MIRROR_SHADE;
            corner.blue *= MIRROR_SHADE;
        }
        const Corner second = face->corners[1];
        face->corners[1] = face->corners[2];
        face->corners[2] = second;
    }
}

// Loads a BMP picture of the water effect; it must be 128 x 128 because the warp and its
// tables cover exactly that many pixels.
int loadWaterPicture(const char* path, Picture** out) {
    Picture* picture = loadBmpPicture(path, out);
    if (picture == nullptr) return 0;
    if (picture->width != WATER_SIDE || picture->height != WATER_SIDE) {
        char message[160];
        std::snprintf(message, sizeof message, "%s is %d x %d, not %d x %d", path, picture->width,
                      picture->height, WATER_SIDE, WATER_SIDE);
        reportError(message);
        return 0;
    }
    return 1;
}

}  // namespace

// ---- The nine steps ----

int setUpTitle() {
    loadSlots(TITLE_SLOTS);
    return createLayers(TITLE_LAYERS);
}

int setUpLightScene() {
    constexpr const char* file = "data\\light.dat";
    Scene* scene = &scenes[0];
    if (!loadScene(file, scene, 10)) return 0;
    if (!requireLights(scene, file, 1)) return 0;
    loadSlots(LIGHT_SLOTS);
    addSpriteSet(scene, &scene->lights[0].worldPosition, 1500, spawnDrifter, updateDrifter, 13);
    if (!createLayers(LIGHT_LAYERS)) return 0;
    bakeNearLights(scene);
    loadFlareSet(scene, FLARE_FILE, &scene->lights[0].eyePosition);
    return 1;
}

int setUpNeuronalScene() {
    constexpr const char* file = "data\\neuronal.dat";
    Scene* scene = &scenes[1];
    if (!loadScene(file, scene, 25)) return 0;
    if (!requireLights(scene, file, 2)) return 0;
    loadSlots(NEURONAL_SLOTS);
    addSpriteSet(scene, &scene->lights[0].worldPosition, 100, spawnBurst, updateBurst, 27);
    addSpriteSet(scene, &scene->lights[1].worldPosition, 100, spawnBurst, updateBurst, 27);
    loadFlareSet(scene, FLARE_FILE, &scene->lights[0].eyePosition);
    loadFlareSet(scene, FLARE_FILE, &scene->lights[1].eyePosition);
    scene->fogDensity = 0.00005f;
    return createLayers(NEURONAL_LAYERS);
}

int setUpAterieScene() {
    constexpr const char* file = "data\\aterie.dat";
    Scene* scene = &scenes[2];
    if (!loadScene(file, scene, 31)) return 0;
    if (!requireObjects(scene, file, 1) || !requireLights(scene, file, 9)) return 0;
    // Baked before this Scene's slots are filled: the zero-filled table reads as plain slots.
    bakeWarmLights(scene);
    loadSlots(ATERIE_MAP_SLOTS);
    addFrameHook(scene, &scene->objects[0], &sceneTime, swayObject);
    loadSlots(ATERIE_PICTURE_SLOTS);
    if (!createLayers(ATERIE_LAYERS)) return 0;
    setFog(scene, 0.001f, 0, 0, 0, 0);
    samplePath(&aterieFirstPath, &scene->lights[7].positionTrack, PATH_SAMPLES);
    addSpriteSet(scene, aterieFirstPath, 3000, spawnPathCloud, updatePathCloud, 32);
    samplePath(&aterieSecondPath, &scene->lights[8].positionTrack, PATH_SAMPLES);
    addSpriteSet(scene, aterieSecondPath, 3000, spawnPathCloud, updatePathCloud, 32);
    return 1;
}

int setUpNothing() { return 1; }

int setUpFishScene() {
    constexpr const char* file = "data\\fisch2.dat";
    Scene* scene = &scenes[10];
    if (!loadScene(file, scene, 60)) return 0;
    if (!requireObjects(scene, file, 2)) return 0;
    setFog(scene, 0.005f, 0.1f, 0.1f, 0.2f, 0.5f);
    for (int i = 0; i < 5; ++i) {
        Scene* keys = &scenes[FIRST_MORPH_SCENE + i];
        if (!loadScene(MORPH_FILES[i], keys, 60)) return 0;
        if (!requireObjects(keys, MORPH_FILES[i], MORPH_KEYS)) return 0;
    }
    if (!checkMorphKeys(scene->objects[1].vertexCount, file)) return 0;
    loadSlots(FISH_SLOTS);
    bakeSkyShade(scene);
    return 1;
}

int setUpDarmScene() {
    constexpr const char* file = "data\\darm.dat";
    Scene* scene = &scenes[5];
    if (!loadScene(file, scene, 40)) return 0;
    if (!requireLights(scene, file, 1)) return 0;
    SceneObject* tube = requireObjectBySlot(scene, file, 40);
    if (tube == nullptr) return 0;
    setFog(scene, 0, 0, 0, 0, 0);
    loadSlots(DARM_SLOTS);
    samplePath(&darmPath, &scene->lights[0].positionTrack, PATH_SAMPLES);
    for (const PathSpriteSet& set : DARM_SPRITE_SETS) {
        addSpriteSet(scene, darmPath, set.count, set.spawn, set.update, set.slot);
    }
    if (!createLayers(DARM_LAYERS)) return 0;
    // The tube is pushed away from the five path balls, the Scene's second sprite set.
    addFrameHook(scene, tube, &scene->spriteSets[1], pushFromSprites);
    return 1;
}

int setUpKopuliScene() {
    constexpr const char* file = "data\\kopuli.dat";
    Scene* scene = &scenes[6];
    if (!loadScene(file, scene, 70)) return 0;
    SceneObject* rippled = requireObjectBySlot(scene, file, 71);
    if (rippled == nullptr) return 0;
    loadSlots(KOPULI_SLOTS);
    addFrameHook(scene, rippled, &sceneTime, rippleTwoCentres);
    return 1;
}

int setUpMirrorScene() {
    constexpr const char* file = "data\\mirror.dat";
    Scene* scene = &scenes[20];
    if (!loadScene(file, scene, 80)) return 0;
    if (!requireObjects(scene, file, 3)) return 0;
    // Object 0 is morphed from the key meshes and mirrored into object 2 every frame.
    if (scene->objects[2].vertexCount < scene->objects[0].vertexCount) {
        char what[128];
        std::snprintf(what, sizeof what, "mirror object 2 has %d vertices, fewer than the %d of "
                      "object 0", scene->objects[2].vertexCount, scene->objects[0].vertexCount);
        return reportMissing(file, what);
    }
    if (!checkMorphKeys(scene->objects[0].vertexCount, file)) return 0;
    setFog(scene, 0.01f, 0, 0, 0, 0);
    loadSlots(MIRROR_SLOTS);
    prepareMirrorCopy(&scene->objects[2]);
    return 1;
}

using SetUpStep = int (*)();

constexpr SetUpStep SET_UP_STEPS[] = {
    setUpTitle,     setUpLightScene, setUpNeuronalScene, setUpAterieScene, setUpNothing,
    setUpFishScene, setUpDarmScene,  setUpKopuliScene,   setUpMirrorScene,
};

int loadAllAssets() {
    if (!allocateTables()) {
        reportError("out of memory");
        return 0;
    }
    for (SetUpStep step : SET_UP_STEPS) {
        if (!step()) return 0;
    }
    loadSlots(SHARED_SLOTS);

    if (!loadWaterPicture("data\\surface.bmp", &surfacePicture)) return 0;
    if (!loadWaterPicture("data\\surface.bmp", &surfaceColourPicture)) return 0;
    if (!loadWaterPicture("data\\water.bmp", &waterPicture)) return 0;

    offsetTable = static_cast<uint16_t*>(std::malloc(WATER_TEXELS * sizeof(uint16_t)));
    colourTable = static_cast<int32_t*>(std::malloc(WATER_TEXELS * sizeof(int32_t)));
    if (offsetTable == nullptr || colourTable == nullptr) {
        reportError("out of memory");
        return 0;
    }
    buildOffsetTable(waterPicture, offsetTable);
    buildColourTable(surfaceColourPicture, colourTable);
    return 1;
}
