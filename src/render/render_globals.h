// Values the scene compositions set each frame for the drawing code, and the near depth that
// the start-up sets once.
#pragma once

// Eye-space depth in front of which nothing is drawn (-0.1).
extern float nearCullZ;
// Eye-space depth beyond which sprites and opaque triangles are skipped (start -1800).
extern float farCullZ;
// Level of the opaque meshes and of the darkening inside the scene pass (start 1).
extern float sceneBrightness;
// Not 0: the scene pass warps eye-space vertices and lights (start 0).
extern int wobbleEnabled;
// Not 0: translucent meshes are drawn without fog (start 0).
extern int translucentFogOff;

// Kept by the scene pass as it switches fog: not 0 while fog is on, and while that fog's
// colour is not black. A fragment that adds black adds nothing unless the fog tints it.
extern int fogOn;
extern int fogTintsBlack;
