// The fixed set-up that fills every table before the music starts. Nine steps run in order,
// each loading the scene file, pictures, Layers, sprite sets, hooks, bakers and flares of one
// stretch of the demo; then the shared pictures, the two BMP pictures and the water tables.
// Every picture load paints one log line, so the order of the tables below is also the order
// the viewer sees. Objects and lights that later code reaches by fixed index are checked here,
// right after their file is read, so a file that lacks one fails the load with a message
// instead of being dereferenced later in the frame.
#include "app/asset_setup.h"

#include <cstdio>
#include <cstdlib>
#include <span>

#include "anim/frame_clock.h"
#include "anim/frame_hooks.h"
#include "anim/layers.h"
#include "anim/lighting_bakers.h"
#include "anim/sprite_sets.h"
#include "app/asset_tables.h"
#include "assets/demo_numbers.h"
#include "assets/flare_file.h"
#include "assets/scene.h"
#include "assets/scene_file.h"
#include "assets/slot_loads.h"
#include "assets/texture_table.h"
#include "render/mesh_morph.h"
#include "render/water_effects.h"
#include "shell/error_report.h"

Vec3* aterieFirstPath = nullptr;
Vec3* aterieSecondPath = nullptr;
Vec3* darmPath = nullptr;

namespace {

constexpr const char* FLARE_FILE = "data\\flare.cfg";
constexpr int32_t PATH_SAMPLES = 3000;

// ---- Layer tables ----

struct LayerPlacement {
    int32_t layer;
    float x1, y1, x2, y2;
    int32_t columns, rows;
    int32_t slot;
    Deformer deformer;
    float u1 = 0.0f, v1 = 0.0f, u2 = 1.0f, v2 = 1.0f;
};

constexpr LayerPlacement TITLE_LAYERS[] = {
    {TITLE_LOGO_LAYER, -0.8f, -0.55f, 0.8f, 0.55f, 10, 10, TITLE_LOGO_SLOT, deformWobble},
    {TITLE_LOGO_MASK_LAYER, -0.8f, -0.55f, 0.8f, 0.55f, 10, 10, TITLE_LOGO_MASK_SLOT,
     deformWobble},
    {TITLE_BACKGROUND_LAYER, -1.1f, -1.1f, 1.1f, 1.1f, 10, 10, TITLE_BACKGROUND_SLOT,
     deformWobble},
    {TITLE_CREDITS_LAYER, -0.41f, 0.25f, 1.15f, 0.52f, 10, 10, TITLE_CREDITS_SLOT, deformDrift},
    {TITLE_GROUP_LAYER, -1.03f, 0.05f, -0.25f, 0.61f, 10, 10, TITLE_GROUP_SLOT, deformDrift},
    {TITLE_PRESENTS_LAYER, -0.1f, -0.59f, 1.5f, -0.3f, 10, 10, TITLE_PRESENTS_SLOT, deformDrift},
    {TITLE_DEEPER_LAYER, -0.68f, -0.52f, 0.22f, -0.38f, 10, 10, TITLE_DEEPER_SLOT, deformDrift},
    {TITLE_WIDE_BACKGROUND_LAYER, -1.5f, -1.5f, 1.5f, 1.5f, 10, 10, TITLE_BACKGROUND_SLOT,
     deformWobble},
};

// The ripple Layer repeats its picture twice in each direction.
constexpr LayerPlacement LIGHT_LAYERS[] = {
    {INNER_WORLD_LAYER, -1, -1, 1, 1, 2, 2, INNER_WORLD_SLOT, deformStill},
    {INNER_WORLD_MASK_LAYER, -1, -1, 1, 1, 2, 2, INNER_WORLD_MASK_SLOT, deformStill},
    {INNER_WORLD_FRAME_LAYER, -1, -1, 1, 1, 2, 2, INNER_WORLD_FRAME_SLOT, deformStill},
    {LIGHT_RIPPLE_LAYER, -4, -4, 4, 4, 30, 30, LIGHT_RIPPLE_SLOT, deformRipple, 0, 0, 2, 2},
};

constexpr LayerPlacement NEURONAL_LAYERS[] = {
    {HELMET_LAYER, -1.1f, -1, 0.2f, 1, 2, 2, HELMET_SLOT, deformStill},
    {HELMET_MASK_LAYER, -1.1f, -1, 0.2f, 1, 2, 2, HELMET_MASK_SLOT, deformStill},
    {GREETINGS_LAYER, 0, -1.2f, 1, 1.2f, 10, 10, GREETINGS_SLOT, deformWobble},
};

constexpr LayerPlacement ATERIE_LAYERS[] = {
    {EMBRYO_LAYER, -1.1f, -1.1f, 1.1f, 1.1f, 20, 20, EMBRYO_SLOT, deformWobble},
    {FISH_PICTURE_LAYER, -1, -1, 1, 1, 20, 20, FISH_PICTURE_SLOT, deformStill},
    {JESUS_LAYER, -1.1f, -1.1f, 1.1f, 1.1f, 20, 20, JESUS_SLOT, deformStill},
    {EMBRYO_MASK_LAYER, -1.1f, -1.1f, 1.1f, 1.1f, 20, 20, EMBRYO_MASK_SLOT, deformWobble},
    {LIGHT_TEXT_LAYER, -1, -1, 0.8f, 0, 20, 20, LIGHT_TEXT_SLOT, deformStill},
    {LIGHT_TEXT_WIDE_LAYER, -1.6f, -1.5f, 1.4f, 0.3f, 20, 20, LIGHT_TEXT_SLOT, deformStill},
    {FLY_OUT_TEXT_LAYER, -0.5f, 0.1f, 1, 1, 20, 20, FLY_OUT_TEXT_SLOT, deformStill},
    {FLY_OUT_TEXT_WIDE_LAYER, -1, -0.5f, 1.5f, 1.5f, 20, 20, FLY_OUT_TEXT_SLOT, deformStill},
};

constexpr const char* MORPH_FILES[MORPH_SCENES] = {
    "data\\morph1.dat", "data\\morph2.dat", "data\\morph3.dat",
    "data\\morph4.dat", "data\\morph5.dat",
};

// The two shutters show one picture, the upper one turned by half a turn.
constexpr LayerPlacement DARM_LAYERS[] = {
    {DARM_BLACK_LAYER, -0.3f, -1, 1.7f, 1, 2, 2, DARM_BLACK_SLOT, deformStill},
    {MONKS_MASK_LAYER, 0.35f, -1, 1.1f, 1, 2, 2, MONKS_MASK_SLOT, deformStill},
    {MONKS_LAYER, 0.35f, -1, 1.1f, 1, 2, 2, MONKS_SLOT, deformStill},
    {MONKS_BLACK_LAYER, 0.35f, -1, 1.1f, 1, 2, 2, MONKS_BLACK_SLOT, deformStill},
    {CHECK_OUR_GIFT_LAYER, -1.1f, -1, 1.1f, -0.5f, 2, 2, CHECK_OUR_GIFT_SLOT, deformStill},
    {WE_BRING_YOU_DEMO_LAYER, -1.1f, -0.9f, 1.1f, -0.4f, 2, 2, WE_BRING_YOU_DEMO_SLOT,
     deformStill},
    {DRIFT_WELLING_LAYER, -1, -4, -0.7f, 4, 2, 2, DRIFT_WELLING_SLOT, deformStill},
    {LOWER_SHUTTER_LAYER, -1, -1, 1, 1, 2, 2, SHUTTER_SLOT, deformStill, 0, 0, 1, 0.99f},
    {UPPER_SHUTTER_LAYER, -1, -1, 1, 1, 2, 2, SHUTTER_SLOT, deformStill, 1, 0.99f, 0, 0},
    {BIRD_MASK_LAYER, -0.3f, -1, 1.5f, 1, 2, 2, BIRD_MASK_SLOT, deformStill},
    {BIRD_LAYER, -0.3f, -1, 1.5f, 1, 2, 2, BIRD_SLOT, deformStill},
    {SCREAM_TEXT_LAYER, -1, -1, 1, -0.7f, 2, 2, SCREAM_TEXT_SLOT, deformStill},
    {SCREAM_TEXT_WIDE_LAYER, -2, -1.5f, 2, -0.6f, 2, 2, SCREAM_TEXT_SLOT, deformStill},
    {FIRE_SPITTER_MASK_LAYER, -0.3f, -1, 1, 1, 2, 2, FIRE_SPITTER_MASK_SLOT, deformStill},
    {FIRE_SPITTER_LAYER, -0.3f, -1, 1, 1, 2, 2, FIRE_SPITTER_SLOT, deformStill},
    {WE_WANT_TEXT_LAYER, -1, -1, 1, -0.7f, 2, 2, WE_WANT_TEXT_SLOT, deformStill},
    {WE_WANT_TEXT_WIDE_LAYER, -2, -1.5f, 2, -0.6f, 2, 2, WE_WANT_TEXT_SLOT, deformStill},
    {WE_WANT_TEXT_WIDEST_LAYER, -2.3f, -1.8f, 2.3f, -0.4f, 2, 2, WE_WANT_TEXT_SLOT, deformStill},
    {INSIDE_TEXT_LAYER, -1, 0.5f, 1, 1, 2, 2, INSIDE_TEXT_SLOT, deformStill},
    {OUTSIDE_TEXT_LAYER, 0.5f, -2, 1, 2, 2, 2, OUTSIDE_TEXT_SLOT, deformStill},
    {INSIDE_TEXT_WIDE_LAYER, -1.1f, 0.4f, 1.1f, 1.1f, 2, 2, INSIDE_TEXT_SLOT, deformStill},
    {BRAKKWELL_TEXT_LAYER, -0.9f, -0.9f, 0.9f, -0.1f, 2, 2, BRAKKWELL_TEXT_SLOT, deformStill},
    {BRAKKWELL_TEXT_WIDE_LAYER, -2, -1.5f, 2, 0.5f, 2, 2, BRAKKWELL_TEXT_SLOT, deformStill},
};

// The darm Scene's sprite sets, all following its one path, in the order they are added (the
// five balls come second).
struct PathSpriteSet {
    int32_t count;
    SpriteSpawn spawn;
    SpriteUpdate update;
    int32_t slot;
};

constexpr PathSpriteSet DARM_SPRITE_SETS[] = {
    {300, spawnPathSwarm, updatePathSwarm, DARM_FLARE2_SLOT},
    {5, spawnPathBall, updatePathBall, DARM_BALL_SLOT},
    {300, spawnPathSwarm, updatePathSwarm, DARM_FLARE3_SLOT},
    {300, spawnPathSwarm, updatePathSwarm, DARM_FLARE4_SLOT},
    {1500, spawnPathSwarm, updatePathSwarm, DARM_FLARE5_SLOT},
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
    for (int i = 0; i < MORPH_SCENES; ++i) {
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
    Scene* scene = &scenes[LIGHT_SCENE];
    if (!loadScene(file, scene, LIGHT_TEXTURE_BASE)) return 0;
    if (!requireLights(scene, file, 1)) return 0;
    loadSlots(LIGHT_SLOTS);
    addSpriteSet(scene, &scene->lights[0].worldPosition, 1500, spawnDrifter, updateDrifter,
                 LIGHT_DRIFTER_SLOT);
    if (!createLayers(LIGHT_LAYERS)) return 0;
    bakeNearLights(scene);
    loadFlareSet(scene, FLARE_FILE, &scene->lights[0].eyePosition);
    return 1;
}

int setUpNeuronalScene() {
    constexpr const char* file = "data\\neuronal.dat";
    Scene* scene = &scenes[NEURONAL_SCENE];
    if (!loadScene(file, scene, NEURONAL_TEXTURE_BASE)) return 0;
    if (!requireLights(scene, file, 2)) return 0;
    loadSlots(NEURONAL_SLOTS);
    addSpriteSet(scene, &scene->lights[0].worldPosition, 100, spawnBurst, updateBurst,
                 NET_BURST_SLOT);
    addSpriteSet(scene, &scene->lights[1].worldPosition, 100, spawnBurst, updateBurst,
                 NET_BURST_SLOT);
    loadFlareSet(scene, FLARE_FILE, &scene->lights[0].eyePosition);
    loadFlareSet(scene, FLARE_FILE, &scene->lights[1].eyePosition);
    scene->fogDensity = 0.00005f;
    return createLayers(NEURONAL_LAYERS);
}

int setUpAterieScene() {
    constexpr const char* file = "data\\aterie.dat";
    Scene* scene = &scenes[ATERIE_SCENE];
    if (!loadScene(file, scene, ATERIE_TEXTURE_BASE)) return 0;
    if (!requireObjects(scene, file, 1) || !requireLights(scene, file, 9)) return 0;
    // Baked before this Scene's slots are filled: the zero-filled table reads as plain slots.
    bakeWarmLights(scene);
    loadSlots(ATERIE_MAP_SLOTS);
    addFrameHook(scene, &scene->objects[0], &sceneTime, swayObject);
    loadSlots(ATERIE_PICTURE_SLOTS);
    if (!createLayers(ATERIE_LAYERS)) return 0;
    setFog(scene, 0.001f, 0, 0, 0, 0);
    samplePath(&aterieFirstPath, &scene->lights[7].positionTrack, PATH_SAMPLES);
    addSpriteSet(scene, aterieFirstPath, 3000, spawnPathCloud, updatePathCloud, ATERIE_BLOOD_SLOT);
    samplePath(&aterieSecondPath, &scene->lights[8].positionTrack, PATH_SAMPLES);
    addSpriteSet(scene, aterieSecondPath, 3000, spawnPathCloud, updatePathCloud,
                 ATERIE_BLOOD_SLOT);
    return 1;
}

int setUpNothing() { return 1; }

int setUpFishScene() {
    constexpr const char* file = "data\\fisch2.dat";
    Scene* scene = &scenes[FISH_SCENE];
    if (!loadScene(file, scene, FISH_TEXTURE_BASE)) return 0;
    if (!requireObjects(scene, file, 2)) return 0;
    setFog(scene, 0.005f, 0.1f, 0.1f, 0.2f, 0.5f);
    for (int i = 0; i < MORPH_SCENES; ++i) {
        Scene* keys = &scenes[FIRST_MORPH_SCENE + i];
        if (!loadScene(MORPH_FILES[i], keys, FISH_TEXTURE_BASE)) return 0;
        if (!requireObjects(keys, MORPH_FILES[i], MORPH_KEYS)) return 0;
    }
    if (!checkMorphKeys(scene->objects[1].vertexCount, file)) return 0;
    loadSlots(FISH_SLOTS);
    bakeSkyShade(scene);
    return 1;
}

int setUpDarmScene() {
    constexpr const char* file = "data\\darm.dat";
    Scene* scene = &scenes[DARM_SCENE];
    if (!loadScene(file, scene, DARM_TEXTURE_BASE)) return 0;
    if (!requireLights(scene, file, 1)) return 0;
    SceneObject* tube = requireObjectBySlot(scene, file, DARM_TUBE_SLOT);
    if (tube == nullptr) return 0;
    setFog(scene, 0, 0, 0, 0, 0);
    loadSlots(DARM_SLOTS);
    samplePath(&darmPath, &scene->lights[0].positionTrack, PATH_SAMPLES);
    for (const PathSpriteSet& set : DARM_SPRITE_SETS) {
        addSpriteSet(scene, darmPath, set.count, set.spawn, set.update, set.slot);
    }
    if (!createLayers(DARM_LAYERS)) return 0;
    // The tube is pushed away from the five path balls.
    addFrameHook(scene, tube, &scene->spriteSets[DARM_BALLS_SPRITE_SET], pushFromSprites);
    return 1;
}

int setUpKopuliScene() {
    constexpr const char* file = "data\\kopuli.dat";
    Scene* scene = &scenes[KOPULI_SCENE];
    if (!loadScene(file, scene, KOPULI_TEXTURE_BASE)) return 0;
    SceneObject* rippled = requireObjectBySlot(scene, file, KOPULI_RIPPLED_SLOT);
    if (rippled == nullptr) return 0;
    loadSlots(KOPULI_SLOTS);
    addFrameHook(scene, rippled, &sceneTime, rippleTwoCentres);
    return 1;
}

int setUpMirrorScene() {
    constexpr const char* file = "data\\mirror.dat";
    Scene* scene = &scenes[MIRROR_SCENE];
    if (!loadScene(file, scene, MIRROR_TEXTURE_BASE)) return 0;
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
