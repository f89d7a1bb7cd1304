// Saving and restoring the demo's state. The regions are listed once from the loaded Scenes; a
// saved state is one block of the regions that differ from the state it shares with (compared
// byte for byte while saving), plus pointers into that block or into the shared state.
#include "timeline/demo_state.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "assets/scene.h"
#include "platform/platform.h"

namespace {

// Calls `take` with every region of the Scenes block that frames change.
template <typename Take>
void forEachRegion(Take take) {
    if (!scenes) return;
    for (int n = 0; n < SCENE_COUNT; ++n) {
        Scene& scene = scenes[n];
        if (scene.objects && scene.objectCount > 0) {
            take(scene.objects, sizeof(SceneObject) * scene.objectCount);
            for (int32_t i = 0; i < scene.objectCount; ++i) {
                const SceneObject& object = scene.objects[i];
                if (object.normalScale && object.vertexCount > 0)
                    take(object.normalScale, sizeof(float) * object.vertexCount);
            }
        }
        if (scene.lights && scene.lightCount > 0)
            take(scene.lights, sizeof(SceneLight) * scene.lightCount);
        const int32_t sets = std::clamp(scene.spriteSetCount, 0, MAX_SPRITE_SETS);
        if (sets > 0) take(scene.spriteSets, sizeof(SpriteSet) * sets);
        for (int32_t k = 0; k < sets; ++k) {
            const SpriteSet& set = scene.spriteSets[k];
            if (set.sprites && set.spriteCapacity > 0)
                take(set.sprites, sizeof(Sprite) * set.spriteCapacity);
        }
        const int32_t flares = std::clamp(scene.flareSetCount, 0, MAX_FLARE_SETS);
        if (flares > 0) take(scene.flareSets, sizeof(FlareSet) * flares);
    }
}

void saveSmallState(const TimelineState& timeline, SavedDemoState* out) {
    out->timeline = timeline;
    out->randState = runtimeRandState();
    for (int k = 0; k < TEXTURE_SLOTS; ++k)
        out->wireBrightness[k] = textureTable ? textureTable[k].wireBrightness : 0.0f;
}

}  // namespace

int listDemoState(DemoStateLayout* layout) {
    *layout = DemoStateLayout{};
    int32_t count = 0;
    forEachRegion([&](void*, size_t) { ++count; });
    layout->regions = static_cast<StateRegion*>(std::calloc(count > 0 ? count : 1, sizeof(StateRegion)));
    if (!layout->regions) return 0;
    forEachRegion([&](void* address, size_t bytes) {
        layout->regions[layout->regionCount++] = {static_cast<uint8_t*>(address), bytes};
        layout->bytes += bytes;
    });
    return 1;
}

void releaseDemoStateLayout(DemoStateLayout* layout) {
    std::free(layout->regions);
    *layout = DemoStateLayout{};
}

namespace {

// Copies the demo's state into `out`, whose own bytes have room for every region that differs
// from `shared` (all of them without one); the regions equal to `shared`'s point at its bytes.
void copyState(const DemoStateLayout& layout, const TimelineState& timeline,
               const SavedDemoState* shared, SavedDemoState* out) {
    uint8_t* next = out->ownBytes;
    for (int32_t i = 0; i < layout.regionCount; ++i) {
        const StateRegion& region = layout.regions[i];
        if (shared && std::memcmp(shared->regions[i], region.address, region.bytes) == 0) {
            out->regions[i] = shared->regions[i];
            continue;
        }
        std::memcpy(next, region.address, region.bytes);
        out->regions[i] = next;
        next += region.bytes;
    }
    saveSmallState(timeline, out);
}

}  // namespace

int saveDemoState(const DemoStateLayout& layout, const TimelineState& timeline,
                  const SavedDemoState* shared, SavedDemoState* out) {
    *out = SavedDemoState{};
    out->regions = static_cast<const uint8_t**>(
        std::calloc(layout.regionCount > 0 ? layout.regionCount : 1, sizeof(uint8_t*)));
    if (!out->regions) return 0;
    // What differs from the shared state, and so needs bytes of its own.
    size_t own = 0;
    for (int32_t i = 0; i < layout.regionCount; ++i) {
        const StateRegion& region = layout.regions[i];
        if (!shared || std::memcmp(shared->regions[i], region.address, region.bytes) != 0)
            own += region.bytes;
    }
    out->ownBytes = static_cast<uint8_t*>(std::malloc(own > 0 ? own : 1));
    if (!out->ownBytes) {
        releaseSavedDemoState(out);
        return 0;
    }
    out->ownByteCount = own;
    copyState(layout, timeline, shared, out);
    return 1;
}

int resaveDemoState(const DemoStateLayout& layout, const TimelineState& timeline,
                    SavedDemoState* out) {
    if (!out->regions || out->ownByteCount != layout.bytes) {
        releaseSavedDemoState(out);
        return saveDemoState(layout, timeline, nullptr, out);
    }
    copyState(layout, timeline, nullptr, out);
    return 1;
}

void restoreDemoState(const DemoStateLayout& layout, const SavedDemoState& saved,
                      TimelineState* timeline) {
    for (int32_t i = 0; i < layout.regionCount; ++i) {
        const StateRegion& region = layout.regions[i];
        std::memcpy(region.address, saved.regions[i], region.bytes);
    }
    *timeline = saved.timeline;
    runtimeSeedRand(saved.randState);
    if (textureTable)
        for (int k = 0; k < TEXTURE_SLOTS; ++k)
            textureTable[k].wireBrightness = saved.wireBrightness[k];
}

void releaseSavedDemoState(SavedDemoState* saved) {
    std::free(saved->regions);
    std::free(saved->ownBytes);
    *saved = SavedDemoState{};
}
