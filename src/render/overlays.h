// The fixed-function GL vocabulary the drawing is built from, and the full-screen overlays the
// compositions put over the 3D picture: Layers drawn additively or multiplying, the fades to
// black and to white, and the tile mask that hides later drawing in parts of the screen.
#pragma once

#include <cstdint>

#include "anim/layers.h"
#include "assets/texture_table.h"

// ---- Render states ----

void bindTexture(uint32_t glName);
// Binds the slot's texture and sets the opaque or the translucent drawing state.
void applySlotState(const TextureSlot* slot);
// Blending off, depth writes on, culling on, colour white.
void resetDrawState();
// Switches fog off and notes it for the drawing that skips black (render_globals.h).
void disableFog();
// Identity modelview; projection of 90 degrees, aspect 1, so z = -1 maps [-1, 1] onto the screen.
void overlayProjection();

// ---- Tile mask ----

// One black quad that writes the nearest depth.
void drawMaskTile(float x1, float y1, float x2, float y2, float z);
// Covers the tiles of the 4 x 2 mask that are not yet uncovered (n of 8 are).
void drawTileMask(int n);

// ---- Layers ----

// Additive, drawn position multiplied per axis.
void drawLayerScaled(Layer* layer, float brightness, float sx, float sy, float sz, float time);
// Additive, drawn position offset per axis.
void drawLayerShifted(Layer* layer, float brightness, float dx, float dy, float dz, float time);
// Multiplying, drawn position multiplied per axis.
void drawLayerScaledMultiply(Layer* layer, float brightness, float sx, float sy, float sz,
                             float time);
// Multiplying, drawn position offset per axis.
void drawLayerShiftedMultiply(Layer* layer, float brightness, float dx, float dy, float dz,
                              float time);

// ---- Fades ----

// Multiplies the whole picture by x (nothing for x >= 1).
void fadeToBlack(float x);
// Adds x to every channel of the whole picture (nothing for x <= 0).
void fadeToWhite(float x);
