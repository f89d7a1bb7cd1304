// The scene render pass: update, hooks, wobble, camera projection and fog, then the drawing
// passes in a fixed order.
#pragma once

#include "assets/scene.h"

void renderScene(Scene* scene, float t);
void runFrameHooks(Scene* scene);
// Warps eye-space vertices and light world positions.
void wobbleScene(Scene* scene, float t);
