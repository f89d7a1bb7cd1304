// The drawing passes over a Scene's meshes after the update has put every vertex into eye
// space: opaque (plain or two-pass), translucent, wire overlays, and the sprite sets.
#pragma once

#include "assets/scene.h"
#include "render/scene_pass_settings.h"

// ---- Passes ----

// Opaque objects, plain or two-pass; faces wholly beyond the settings' far depth are left out.
void drawOpaqueObjects(Scene* scene, const ScenePassSettings& settings);
// Translucent objects, without fog when the settings say so.
void drawTranslucentObjects(Scene* scene, const ScenePassSettings& settings);
void drawWireOverlays(Scene* scene);
// Steps every sprite once more, transforms it and draws the ones between the near depth and
// the settings' far depth.
void drawSpriteSets(Scene* scene, const SceneCamera* camera, const ScenePassSettings& settings);
// The step drawSpriteSets gives every sprite, with nothing drawn.
void stepSpriteSets(Scene* scene);

// ---- Modes ----

void drawTexturedObject(const SceneObject* object, float farCullZ);
void drawTwoPassObject(const SceneObject* object, float farCullZ);
void drawTranslucentObject(const SceneObject* object, int translucentFogOff);
// The object's edges and mid-edge lines in the wire picture, at its slot's wireBrightness.
void drawWireOverlay(const SceneObject* object);
// out = a + (b - a) f, per axis.
void lerpPoint(Vec3* out, const Vec3* a, const Vec3* b, float f);
