// Lens flares: chains of additive squares along the line from the screen centre through a light.
#pragma once

#include "assets/scene.h"

// Fades every FlareSet of the scene by frameStep and draws its chain.
void drawFlares(Scene* scene);
// Fades every FlareSet of the scene by frameStep, as drawFlares does, with nothing drawn.
void fadeFlareSets(Scene* scene);
