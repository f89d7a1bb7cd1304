// The picture tables of the set-up. A picture named in several rows is decoded and uploaded once
// per row: every slot gets a GL texture of its own. Translucency 0 is opaque, 1 translucent.
#include "assets/slot_loads.h"

#include <cstring>

#include "assets/demo_numbers.h"

namespace {

constexpr SlotLoad TITLE[] = {
    {TITLE_LOGO_SLOT, "data\\logo-quelldriftlogo.jpg", 1},
    {TITLE_LOGO_MASK_SLOT, "data\\logo-opacity.jpg", 1},
    {TITLE_BACKGROUND_SLOT, "data\\logo-background.jpg", 1},
    {TITLE_CREDITS_SLOT, "data\\logo-credits.jpg", 1},
    {TITLE_GROUP_SLOT, "data\\logo-brakkwell.jpg", 1},
    {TITLE_PRESENTS_SLOT, "data\\logo-quelldrift.jpg", 1},
    {TITLE_DEEPER_SLOT, "data\\logo-wearegetting.jpg", 1},
    {TITLE_BLACK_SLOT, "data\\black.jpg", 1},
};

constexpr SlotLoad LIGHT[] = {
    {LIGHT_ROCK_SLOT, "data\\felsen.jpg", 0},
    {LIGHT_ENVMAP_SLOT, "data\\envmap2.jpg", 0},
    {LIGHT_BLACK_SLOT, "data\\black.jpg", 0},
    {LIGHT_DRIFTER_SLOT, "data\\atom1.jpg", 1},
    {LIGHT_FLARE_SLOT, "data\\flare2.jpg", 1},
    {LIGHT_LENS1_SLOT, "data\\lens1.jpg", 1},
    {LIGHT_LENS2_SLOT, "data\\lens2.jpg", 1},
    {LIGHT_LENS3_SLOT, "data\\lens3.jpg", 1},
    {LIGHT_LENS4_SLOT, "data\\lens4.jpg", 1},
    {INNER_WORLD_SLOT, "data\\innenwelt-background.jpg", 1},
    {INNER_WORLD_MASK_SLOT, "data\\innenwelt-opacity.jpg", 1},
    {INNER_WORLD_FRAME_SLOT, "data\\innenwelt-vordergrund.jpg", 1},
    {LIGHT_SECOND_BLACK_SLOT, "data\\black.jpg", 1},
    {LIGHT_RIPPLE_SLOT, "data\\envmap.jpg", 1},
};

constexpr SlotLoad NEURONAL[] = {
    {NET_MAP_SLOT, "data\\netz-map.jpg", 1},
    {NET_BACKGROUND_SLOT, "data\\netz-back.jpg", 1},
    {NET_BURST_SLOT, "data\\netz-flare.jpg", 1},
    {HELMET_SLOT, "data\\helmchen.jpg", 1},
    {HELMET_MASK_SLOT, "data\\helm-op.jpg", 1},
    {GREETINGS_SLOT, "data\\text-greetings.jpg", 1},
};

constexpr SlotLoad ATERIE_MAP[] = {
    {ATERIE_MAP_SLOT, "data\\aterie-map.jpg", 0},
    {ATERIE_BLOOD_SLOT, "data\\blut2.jpg", 1},
};

constexpr SlotLoad ATERIE_PICTURE[] = {
    {EMBRYO_SLOT, "data\\embryo-f.jpg", 1},
    {FISH_PICTURE_SLOT, "data\\fishpic.jpg", 1},
    {JESUS_SLOT, "data\\jesus.jpg", 1},
    {EMBRYO_MASK_SLOT, "data\\embryo-o.jpg", 1},
    {LIGHT_TEXT_SLOT, "data\\text-light.jpg", 1},
    {FLY_OUT_TEXT_SLOT, "data\\text-flyout.jpg", 1},
};

constexpr SlotLoad FISH[] = {
    {SEA_FLOOR_SLOT, "data\\meergrund.jpg", 0, LOAD_WITH_OVERLAY, "data\\water.jpg", 0.03f},
    {FISH_SKIN_SLOT, "data\\ballfish.jpg", 0, LOAD_WITH_OVERLAY, "data\\water.jpg", 0.7f},
    {SEAWEED_SLOT, "data\\grass.jpg", 1},
    {FISH_WATER_SLOT, "data\\waterfx.jpg", 0},
};

constexpr SlotLoad DARM[] = {
    {DARM_TUBE_SLOT, "data\\envmap.jpg", 1, LOAD_ENV_MAPPED},
    {DARM_ENVMAP_SLOT, "data\\envmap2.jpg", 1},
    {DARM_FLARE5_SLOT, "data\\flare5.jpg", 1},
    {DARM_BALL_SLOT, "data\\netz-flare.jpg", 1},
    {DARM_FLARE2_SLOT, "data\\flare2.jpg", 1},
    {DARM_FLARE3_SLOT, "data\\flare3.jpg", 1},
    {DARM_FLARE4_SLOT, "data\\flare4.jpg", 1},
    {DARM_BLACK_SLOT, "data\\black.jpg", 1},
    {MONKS_MASK_SLOT, "data\\monks-op.jpg", 1},
    {MONKS_SLOT, "data\\monks.jpg", 1},
    {CHECK_OUR_GIFT_SLOT, "data\\text-checkourgift.jpg", 1},
    {WE_BRING_YOU_DEMO_SLOT, "data\\text-webringyoudemo.jpg", 1},
    {DRIFT_WELLING_SLOT, "data\\text-driftwelling.jpg", 1},
    {MONKS_BLACK_SLOT, "data\\black.jpg", 1},
    {SHUTTER_SLOT, "data\\fader.jpg", 1},
    {BIRD_MASK_SLOT, "data\\vogel-op.jpg", 1},
    {BIRD_SLOT, "data\\vogel.jpg", 1},
    {SCREAM_TEXT_SLOT, "data\\text-scream.jpg", 1},
    {FIRE_SPITTER_MASK_SLOT, "data\\feuer-opacity.jpg", 1},
    {FIRE_SPITTER_SLOT, "data\\feuer-spucker.jpg", 1},
    {WE_WANT_TEXT_SLOT, "data\\text-wewant.jpg", 1},
    {INSIDE_TEXT_SLOT, "data\\text-inside.jpg", 1},
    {OUTSIDE_TEXT_SLOT, "data\\text-outside.jpg", 1},
    {BRAKKWELL_TEXT_SLOT, "data\\text-brakkwell.jpg", 1},
};

constexpr SlotLoad KOPULI[] = {
    {KOPULI_ENVMAP_SLOT, "data\\envmap5.jpg", 0, LOAD_ENV_MAPPED},
    {KOPULI_RIPPLED_SLOT, "data\\envmap4.jpg", 0},
};

constexpr SlotLoad MIRROR[] = {
    {MIRROR_FISH_SLOT, "data\\ballfish.jpg", 0},
    {MIRROR_WATER_SLOT, "data\\surface.jpg", 1},
    {MIRROR_COPY_SLOT, "data\\ballfish.jpg", 0},
};

constexpr SlotLoad SHARED[] = {
    {WHITE_SLOT, "data\\white.jpg", 1},
    {TILE_MASK_SLOT, "data\\black.jpg", 1},
    {WIRE_SLOT, "data\\blue.jpg", 1},
};

// Adds the path unless it is already listed; 0 when it is new and the list is full.
int addPicture(const char* path, const char** out, int capacity, int* count) {
    for (int i = 0; i < *count; ++i) {
        if (std::strcmp(out[i], path) == 0) return 1;
    }
    if (*count == capacity) return 0;
    out[(*count)++] = path;
    return 1;
}

}  // namespace

const std::span<const SlotLoad> TITLE_SLOTS = TITLE;
const std::span<const SlotLoad> LIGHT_SLOTS = LIGHT;
const std::span<const SlotLoad> NEURONAL_SLOTS = NEURONAL;
const std::span<const SlotLoad> ATERIE_MAP_SLOTS = ATERIE_MAP;
const std::span<const SlotLoad> ATERIE_PICTURE_SLOTS = ATERIE_PICTURE;
const std::span<const SlotLoad> FISH_SLOTS = FISH;
const std::span<const SlotLoad> DARM_SLOTS = DARM;
const std::span<const SlotLoad> KOPULI_SLOTS = KOPULI;
const std::span<const SlotLoad> MIRROR_SLOTS = MIRROR;
const std::span<const SlotLoad> SHARED_SLOTS = SHARED;

// The steps run title, light, neuronal, aterie, (nothing), fish, darm, kopuli, mirror.
const std::span<const SlotLoad> SLOT_LOADS_IN_ORDER[SLOT_LOAD_TABLES] = {
    TITLE, LIGHT, NEURONAL, ATERIE_MAP, ATERIE_PICTURE, FISH, DARM, KOPULI, MIRROR, SHARED,
};

int listSlotPictures(const char** out, int capacity) {
    int count = 0;
    for (std::span<const SlotLoad> table : SLOT_LOADS_IN_ORDER) {
        for (const SlotLoad& load : table) {
            if (!addPicture(load.path, out, capacity, &count)) return -1;
            if (load.overlayPath != nullptr && !addPicture(load.overlayPath, out, capacity, &count))
                return -1;
        }
    }
    return count;
}
