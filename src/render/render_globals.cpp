// The near depth, set once when the GL context is made, and the scene pass's note of its fog.
#include "render/render_globals.h"

float nearCullZ = -0.1f;
int fogOn = 0;
int fogTintsBlack = 0;
