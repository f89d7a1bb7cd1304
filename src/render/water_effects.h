// The moving water surfaces: a 128 x 128 surface picture re-warped on the CPU every frame by the
// brightness slope of a water picture, and a rippled mirror copy of a mesh.
#pragma once

#include <cstdint>

#include "assets/scene.h"

constexpr int WATER_SIDE = 128;
constexpr int WATER_TEXELS = WATER_SIDE * WATER_SIDE;

// The pictures and tables the warp works on, filled once by the set-up (null until then): the
// surface picture rewritten every frame, a second copy of it that the colour table is built
// from, the water picture that the offset table is built from, and the two tables.
extern Picture* surfacePicture;
extern Picture* surfaceColourPicture;
extern Picture* waterPicture;
extern uint16_t* offsetTable;
extern int32_t* colourTable;

int surfaceLuminance(int b0, int b1, int b2);
// The tables hold WATER_TEXELS entries. A picture of fewer than WATER_TEXELS pixels is refused
// with a message and leaves the table all zeros (a zero offset table makes the warp copy the
// colour table as it is).
void buildOffsetTable(const Picture* water, uint16_t* offsets);
void buildColourTable(const Picture* surface, int32_t* colours);
// Both warps leave an output picture of fewer than WATER_TEXELS pixels untouched.
void warpSurfaceRows(Picture* out, const int32_t* colours, const uint16_t* offsets, float t);
void warpSurfaceColumns(Picture* out, const int32_t* colours, const uint16_t* offsets, float t);
// Replaces the slot's texture image by the picture, in colour whatever the slot held before
// (only the texels, when the last upload was of the same size).
void uploadPicture(TextureSlot* slot, const Picture* picture);
// target vertices <- source vertices mirrored in z, with a small ripple in x and y.
void rippleMirror(SceneObject* target, const SceneObject* source, float t);
