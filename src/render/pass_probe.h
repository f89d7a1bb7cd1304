// A seam for measuring where a frame's drawing goes. Every drawing operation announces itself
// here before it draws; a tool that wants to count pixels or time per pass installs a probe,
// and without one the announcement costs a single test of a null pointer.
#pragma once

#include <cstdint>

// What is about to draw. The id says which one: object, set or Layer index.
enum DrawPassKind : int32_t {
    PASS_NONE,         // the frame ends, or drawing nobody announced
    PASS_OPAQUE,       // an opaque or two-pass object (object index)
    PASS_SPRITES,      // a sprite set (set index)
    PASS_FLARES,       // a flare set (set index)
    PASS_TRANSLUCENT,  // a translucent object (object index)
    PASS_WIRE,         // a wire overlay (object index)
    PASS_LAYER,        // a Layer (LayerTable index)
    PASS_FADE_BLACK,   // a fade to black
    PASS_FADE_WHITE,   // a fade to white
    PASS_TILE_MASK,    // the tile mask
    DRAW_PASS_KINDS
};

// The installed probe, or null. Tools set it; the demo never does.
extern void (*drawPassProbe)(DrawPassKind kind, int32_t id);

// Tells the probe, if any, what draws next.
inline void announceDrawPass(DrawPassKind kind, int32_t id) {
    if (drawPassProbe) drawPassProbe(kind, id);
}
