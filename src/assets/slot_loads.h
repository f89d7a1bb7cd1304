// Which picture the set-up loads into which TextureSlot, table by table in load order. These
// tables are the one list of the demo's pictures: the set-up loads them, and the data generator
// and the tests' data sets take the list of files to write from them.
#pragma once

#include <cstdint>
#include <span>

enum SlotLoader { LOAD_PLAIN, LOAD_ENV_MAPPED, LOAD_WITH_OVERLAY };

// One picture load: the initialiser, its translucency, and for LOAD_WITH_OVERLAY the overlay
// picture and its planar scale.
struct SlotLoad {
    int32_t slot;
    const char* path;
    float translucency;
    SlotLoader loader = LOAD_PLAIN;
    const char* overlayPath = nullptr;
    float planarScale = 0.0f;
};

// ---- The tables, named for the set-up step that loads them ----

extern const std::span<const SlotLoad> TITLE_SLOTS;
extern const std::span<const SlotLoad> LIGHT_SLOTS;
extern const std::span<const SlotLoad> NEURONAL_SLOTS;
// The aterie's map and blood, loaded before its frame hook is added; then its pictures.
extern const std::span<const SlotLoad> ATERIE_MAP_SLOTS;
extern const std::span<const SlotLoad> ATERIE_PICTURE_SLOTS;
extern const std::span<const SlotLoad> FISH_SLOTS;
extern const std::span<const SlotLoad> DARM_SLOTS;
extern const std::span<const SlotLoad> KOPULI_SLOTS;
extern const std::span<const SlotLoad> MIRROR_SLOTS;
// The pictures several scenes share, loaded after the nine steps.
extern const std::span<const SlotLoad> SHARED_SLOTS;

// Every table above, in the order loadAllAssets loads them.
constexpr int SLOT_LOAD_TABLES = 10;
extern const std::span<const SlotLoad> SLOT_LOADS_IN_ORDER[SLOT_LOAD_TABLES];

// ---- The picture files ----

// Every picture file the tables read (overlays included), each once, in the order first read.
// Returns how many were written, or -1 when there are more than `capacity`.
int listSlotPictures(const char** out, int capacity);
