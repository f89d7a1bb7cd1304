// Backdrops: the pictures that fill the whole screen behind or around everything else in their
// scene (the title's water, the inner world seen through its frame, the sea around the fish).
// Each is painted to stay lively under the motion its Layer is given: fine features that a
// wobbling grid visibly bends, or detail right out to the edges for a slow push-in.
#pragma once

#include "canvas.h"

// Deep water lit by slanted shafts from the surface, with drifting motes; brightest at the top.
Canvas titleWater(int size);
// A tunnel of cells seen end-on, dark at its far end so what lies behind shines through.
Canvas innerWorld(int size);
// The organic rim around the inner world, with thorns that grow inwards from it.
Coverage innerFrameShape(int size);
// The sea the fish picture's fish swims in: light from above, bubbles and ripples to the edges.
Canvas fishSea(int size);
