// Reader for the lens-flare description file: one [Flare] section with the chain's settings and
// one [Lens k] section per element with its picture, size and colour.
#pragma once

#include "assets/scene.h"

// Reads the file and appends one FlareSet anchored at `anchor` to the scene, loading every
// element's picture as a texture of its own. Shows "cannot load flaredata" and adds nothing
// when the file cannot be read as a flare description.
void loadFlareSet(Scene* scene, const char* path, Vec3* anchor);
