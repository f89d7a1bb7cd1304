// The near depth, which the start-up sets once, and what the drawing code keeps of GL's fog
// switch while a scene pass runs.
#pragma once

// Eye-space depth in front of which nothing is drawn (-0.1).
extern float nearCullZ;

// Kept by the scene pass as it switches fog: not 0 while fog is on, and while that fog's
// colour is not black. A fragment that adds black adds nothing unless the fog tints it, so the
// drawing that leaves out black reads these instead of asking GL.
extern int fogOn;
extern int fogTintsBlack;
