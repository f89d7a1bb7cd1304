// How much of a frame is made. A frame that is only advanced moves on everything that lives
// from one frame to the next (sprites, flare fades, hide toggles, light positions, the levels
// and settings the scenes keep) exactly as a drawn frame would, and sends nothing to GL. A seek
// runs such frames at a fixed rate of music time up to the moment it jumps to, so the frame
// drawn there is the one a viewer who had played through at that rate would see.
#pragma once

enum FrameWork {
    FRAME_DRAWN,     // everything: the state moves on and the picture is drawn
    FRAME_ADVANCED,  // only what outlives the frame moves on; nothing is drawn
};
