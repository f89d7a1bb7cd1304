// Frame hooks: per-scene functions that deform one mesh in eye space every frame, after the
// scene update and before drawing.
#pragma once

#include "assets/scene.h"

// Appends a hook; 1 on success, 0 (after a message) when the scene holds MAX_FRAME_HOOKS hooks.
int addFrameHook(Scene* scene, SceneObject* object, void* userValue, FrameHookFunction function);

// Pushes vertices away from the sprites of a sprite set (the userValue).
void pushFromSprites(SceneObject* object, void* spriteSet);
// Two interfering circular ripples in z; userValue is the address of a time in ticks.
void rippleTwoCentres(SceneObject* object, void* time);
// Sways the whole mesh; userValue is the address of a time in ticks.
void swayObject(SceneObject* object, void* time);

// 1 for the hooks that measure their object's normals (and so may cache normal lengths).
int hookMeasuresNormals(FrameHookFunction function);
