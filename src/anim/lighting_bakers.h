// Load-time vertex lighting: bring a Scene to time 0 and store a fixed colour in every face
// corner from the normals and the Scene's lights. Nothing recomputes these colours later.
#pragma once

#include "assets/scene.h"

// Shade from the normal alone (for the scrolling-overlay meshes).
void bakeSkyShade(Scene* scene);
// Lights within 150 units, squared falloff.
void bakeNearLights(Scene* scene);
// Lights within 1000 units, reaching a little behind surfaces.
void bakeWarmLights(Scene* scene);
