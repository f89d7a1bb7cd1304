// The four values the scene compositions set each frame to steer the drawing: how far the
// meshes and sprites reach, how bright the opaque meshes are, whether the scene pass warps its
// geometry, and whether translucent meshes ignore the fog; and the near depth, set once when the
// GL context is made. They live here, with the drawing code that reads them, so the timeline
// only writes them and no frame function needs extra arguments.
#include "render/render_globals.h"

float nearCullZ = -0.1f;
float farCullZ = -1800.0f;
float sceneBrightness = 1.0f;
int wobbleEnabled = 0;
int translucentFogOff = 0;
int fogOn = 0;
int fogTintsBlack = 0;
