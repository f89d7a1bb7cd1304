// The scene render pass: update, hooks, wobble, camera projection and fog, then the drawing
// passes in a fixed order, as the composition's settings steer them.
#pragma once

#include "assets/scene.h"
#include "render/scene_pass_settings.h"

// Brings the scene to time t (ticks) and draws it over whatever the frame holds.
void renderScene(Scene* scene, float t, const ScenePassSettings& settings);
// Brings the scene to time t exactly as renderScene would, leaving every value that outlives
// the frame as renderScene leaves it, and draws nothing.
void advanceScene(Scene* scene, float t, const ScenePassSettings& settings);
// Whether an object of the scene may yet have its normals measured for the first time (an
// environment-mapped one, or one a hook measures, whose normal lengths are not all cached):
// until none may, a frame that is only advanced must still shape the scene's meshes as a drawn
// one would, since the lengths measured then stay.
int sceneNormalsPending(const Scene* scene);
void runFrameHooks(Scene* scene);
// Warps eye-space vertices and light world positions.
void wobbleScene(Scene* scene, float t);
// Warps the light world positions alone, as wobbleScene does.
void wobbleLights(Scene* scene, float t);
