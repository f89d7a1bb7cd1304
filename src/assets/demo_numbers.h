// The fixed numbers of the demo's tables: which Scene holds which scene file, which TextureSlot
// each picture is loaded into, and which Layer shows what. The set-up fills these entries; the
// compositions, the drawing code, the morph, the data generator and the tests reach them by
// these names and by no other copy of the numbers. Entries not named here stay empty.
#pragma once

#include <cstdint>

// ---- Scenes (entries of the Scenes block) ----

constexpr int32_t LIGHT_SCENE = 0;     // "data\light.dat"
constexpr int32_t NEURONAL_SCENE = 1;  // "data\neuronal.dat"
constexpr int32_t ATERIE_SCENE = 2;    // "data\aterie.dat"
constexpr int32_t DARM_SCENE = 5;      // "data\darm.dat"
constexpr int32_t KOPULI_SCENE = 6;    // "data\kopuli.dat"
constexpr int32_t FISH_SCENE = 10;     // "data\fisch2.dat"
constexpr int32_t MIRROR_SCENE = 20;   // "data\mirror.dat"
// The five morph key sets, "data\morph1.dat" to "data\morph5.dat", in Scenes 11 to 15: the ring
// of keys the morphed mesh follows, then the sets its two weights pull towards (the first of
// each pair for a negative weight). They are never drawn.
constexpr int32_t FIRST_MORPH_SCENE = 11;
constexpr int32_t MORPH_SCENES = 5;
constexpr int32_t MORPH_RING_SCENE = FIRST_MORPH_SCENE;
constexpr int32_t MORPH_FIRST_PULL_SCENES[2] = {12, 13};
constexpr int32_t MORPH_SECOND_PULL_SCENES[2] = {14, 15};

// The darm Scene's sprite set of the five path balls, which push its tube away.
constexpr int32_t DARM_BALLS_SPRITE_SET = 1;

// ---- Texture bases: a scene file's texture number n names slot base + n ----

constexpr int32_t LIGHT_TEXTURE_BASE = 10;
constexpr int32_t NEURONAL_TEXTURE_BASE = 25;
constexpr int32_t ATERIE_TEXTURE_BASE = 31;
constexpr int32_t DARM_TEXTURE_BASE = 40;
constexpr int32_t KOPULI_TEXTURE_BASE = 70;
constexpr int32_t FISH_TEXTURE_BASE = 60;  // also of the five morph key sets
constexpr int32_t MIRROR_TEXTURE_BASE = 80;

// ---- TextureSlots ----

// The title.
constexpr int32_t TITLE_LOGO_SLOT = 0;
constexpr int32_t TITLE_LOGO_MASK_SLOT = 1;
constexpr int32_t TITLE_BACKGROUND_SLOT = 2;
constexpr int32_t TITLE_CREDITS_SLOT = 3;
constexpr int32_t TITLE_GROUP_SLOT = 4;
constexpr int32_t TITLE_PRESENTS_SLOT = 5;
constexpr int32_t TITLE_DEEPER_SLOT = 6;
constexpr int32_t TITLE_BLACK_SLOT = 7;
// The light scene and the inner world it zooms into.
constexpr int32_t LIGHT_ROCK_SLOT = LIGHT_TEXTURE_BASE + 0;
constexpr int32_t LIGHT_ENVMAP_SLOT = LIGHT_TEXTURE_BASE + 1;
constexpr int32_t LIGHT_BLACK_SLOT = LIGHT_TEXTURE_BASE + 2;
constexpr int32_t LIGHT_DRIFTER_SLOT = 13;
constexpr int32_t LIGHT_FLARE_SLOT = 14;
constexpr int32_t LIGHT_LENS1_SLOT = 15;
constexpr int32_t LIGHT_LENS2_SLOT = 16;
constexpr int32_t LIGHT_LENS3_SLOT = 17;
constexpr int32_t LIGHT_LENS4_SLOT = 18;
constexpr int32_t INNER_WORLD_SLOT = 19;
constexpr int32_t INNER_WORLD_MASK_SLOT = 20;
constexpr int32_t INNER_WORLD_FRAME_SLOT = 21;
constexpr int32_t LIGHT_SECOND_BLACK_SLOT = 22;
constexpr int32_t LIGHT_RIPPLE_SLOT = 23;
// The neural net.
constexpr int32_t NET_MAP_SLOT = NEURONAL_TEXTURE_BASE + 0;
constexpr int32_t NET_BACKGROUND_SLOT = NEURONAL_TEXTURE_BASE + 1;
constexpr int32_t NET_BURST_SLOT = NEURONAL_TEXTURE_BASE + 2;
constexpr int32_t HELMET_SLOT = 28;
constexpr int32_t HELMET_MASK_SLOT = 29;
constexpr int32_t GREETINGS_SLOT = 30;
// The aterie.
constexpr int32_t ATERIE_MAP_SLOT = ATERIE_TEXTURE_BASE + 0;
constexpr int32_t ATERIE_BLOOD_SLOT = ATERIE_TEXTURE_BASE + 1;
constexpr int32_t EMBRYO_SLOT = 33;
constexpr int32_t FISH_PICTURE_SLOT = 34;
constexpr int32_t JESUS_SLOT = 35;
constexpr int32_t EMBRYO_MASK_SLOT = 36;
constexpr int32_t LIGHT_TEXT_SLOT = 37;
constexpr int32_t FLY_OUT_TEXT_SLOT = 38;
// The darm and the pictures and texts of the later scenes.
constexpr int32_t DARM_TUBE_SLOT = DARM_TEXTURE_BASE + 0;
constexpr int32_t DARM_ENVMAP_SLOT = DARM_TEXTURE_BASE + 1;
constexpr int32_t DARM_FLARE5_SLOT = 42;
constexpr int32_t DARM_BALL_SLOT = 43;
constexpr int32_t DARM_FLARE2_SLOT = 44;
constexpr int32_t DARM_FLARE3_SLOT = 45;
constexpr int32_t DARM_FLARE4_SLOT = 46;
constexpr int32_t DARM_BLACK_SLOT = 47;
constexpr int32_t MONKS_MASK_SLOT = 48;
constexpr int32_t MONKS_SLOT = 49;
constexpr int32_t CHECK_OUR_GIFT_SLOT = 50;
constexpr int32_t WE_BRING_YOU_DEMO_SLOT = 51;
constexpr int32_t DRIFT_WELLING_SLOT = 52;
constexpr int32_t MONKS_BLACK_SLOT = 53;
constexpr int32_t SHUTTER_SLOT = 54;
constexpr int32_t BIRD_MASK_SLOT = 55;
constexpr int32_t BIRD_SLOT = 56;
constexpr int32_t SCREAM_TEXT_SLOT = 57;
constexpr int32_t FIRE_SPITTER_MASK_SLOT = 58;
constexpr int32_t FIRE_SPITTER_SLOT = 59;
constexpr int32_t WE_WANT_TEXT_SLOT = 90;
constexpr int32_t INSIDE_TEXT_SLOT = 91;
constexpr int32_t OUTSIDE_TEXT_SLOT = 92;
constexpr int32_t BRAKKWELL_TEXT_SLOT = 93;
// The fish under water; its water texture is re-warped every frame.
constexpr int32_t SEA_FLOOR_SLOT = FISH_TEXTURE_BASE + 0;
constexpr int32_t FISH_SKIN_SLOT = FISH_TEXTURE_BASE + 1;
constexpr int32_t SEAWEED_SLOT = FISH_TEXTURE_BASE + 2;
constexpr int32_t FISH_WATER_SLOT = FISH_TEXTURE_BASE + 3;
// The kopuli; the object wearing the second texture is rippled.
constexpr int32_t KOPULI_ENVMAP_SLOT = KOPULI_TEXTURE_BASE + 0;
constexpr int32_t KOPULI_RIPPLED_SLOT = KOPULI_TEXTURE_BASE + 1;
// The mirror; its water texture is re-warped every frame.
constexpr int32_t MIRROR_FISH_SLOT = MIRROR_TEXTURE_BASE + 0;
constexpr int32_t MIRROR_WATER_SLOT = MIRROR_TEXTURE_BASE + 1;
constexpr int32_t MIRROR_COPY_SLOT = MIRROR_TEXTURE_BASE + 2;
// Shared: white, the black of the tile mask, the blue of the wire overlays.
constexpr int32_t WHITE_SLOT = 97;
constexpr int32_t TILE_MASK_SLOT = 98;
constexpr int32_t WIRE_SLOT = 99;

// ---- Layers (entries of the LayerTable) ----

// The title: the logo cut out by its mask over two sizes of one background, and four texts.
constexpr int32_t TITLE_LOGO_LAYER = 0;
constexpr int32_t TITLE_LOGO_MASK_LAYER = 1;
constexpr int32_t TITLE_BACKGROUND_LAYER = 2;
constexpr int32_t TITLE_CREDITS_LAYER = 3;
constexpr int32_t TITLE_GROUP_LAYER = 4;
constexpr int32_t TITLE_PRESENTS_LAYER = 5;
constexpr int32_t TITLE_DEEPER_LAYER = 6;
constexpr int32_t TITLE_WIDE_BACKGROUND_LAYER = 7;
// The inner world at the end of the light scene, and the light scene's ripple.
constexpr int32_t INNER_WORLD_LAYER = 10;
constexpr int32_t INNER_WORLD_MASK_LAYER = 11;
constexpr int32_t INNER_WORLD_FRAME_LAYER = 12;
constexpr int32_t LIGHT_RIPPLE_LAYER = 13;
// The darm scenes: the monks, the texts and the two shutters (one picture, turned).
constexpr int32_t DARM_BLACK_LAYER = 20;
constexpr int32_t MONKS_MASK_LAYER = 21;
constexpr int32_t MONKS_LAYER = 22;
constexpr int32_t MONKS_BLACK_LAYER = 23;
constexpr int32_t CHECK_OUR_GIFT_LAYER = 24;
constexpr int32_t WE_BRING_YOU_DEMO_LAYER = 25;
constexpr int32_t DRIFT_WELLING_LAYER = 26;
constexpr int32_t LOWER_SHUTTER_LAYER = 27;
constexpr int32_t UPPER_SHUTTER_LAYER = 28;
// The neural net: the helmet cut out by its mask, and the greetings.
constexpr int32_t HELMET_LAYER = 30;
constexpr int32_t HELMET_MASK_LAYER = 31;
constexpr int32_t GREETINGS_LAYER = 32;
// The aterie: the embryo cut out by its mask, the fish and jesus pictures, two texts at two
// sizes each.
constexpr int32_t EMBRYO_LAYER = 33;
constexpr int32_t FISH_PICTURE_LAYER = 34;
constexpr int32_t JESUS_LAYER = 35;
constexpr int32_t EMBRYO_MASK_LAYER = 36;
constexpr int32_t LIGHT_TEXT_LAYER = 37;
constexpr int32_t LIGHT_TEXT_WIDE_LAYER = 38;
constexpr int32_t FLY_OUT_TEXT_LAYER = 39;
constexpr int32_t FLY_OUT_TEXT_WIDE_LAYER = 50;
// The later inserts: the bird and the fire-spitter cut out by their masks, and texts.
constexpr int32_t BIRD_MASK_LAYER = 40;
constexpr int32_t BIRD_LAYER = 41;
constexpr int32_t SCREAM_TEXT_LAYER = 42;
constexpr int32_t SCREAM_TEXT_WIDE_LAYER = 43;
constexpr int32_t FIRE_SPITTER_MASK_LAYER = 44;
constexpr int32_t FIRE_SPITTER_LAYER = 45;
constexpr int32_t WE_WANT_TEXT_LAYER = 46;
constexpr int32_t WE_WANT_TEXT_WIDE_LAYER = 47;
constexpr int32_t WE_WANT_TEXT_WIDEST_LAYER = 48;
constexpr int32_t INSIDE_TEXT_LAYER = 51;
constexpr int32_t OUTSIDE_TEXT_LAYER = 52;
constexpr int32_t INSIDE_TEXT_WIDE_LAYER = 53;
constexpr int32_t BRAKKWELL_TEXT_LAYER = 54;
constexpr int32_t BRAKKWELL_TEXT_WIDE_LAYER = 55;
