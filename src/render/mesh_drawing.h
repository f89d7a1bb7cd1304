// The drawing passes over a Scene's meshes after the update has put every vertex into eye
// space: opaque (plain or two-pass), translucent, wire overlays, and the sprite sets.
#pragma once

#include "assets/scene.h"

void drawOpaqueObjects(Scene* scene);
void drawTranslucentObjects(Scene* scene);
void drawWireOverlays(Scene* scene);
// Steps every sprite once more, transforms it and draws the ones in range.
void drawSpriteSets(Scene* scene, const SceneCamera* camera);

void drawTexturedObject(const SceneObject* object);
void drawTwoPassObject(const SceneObject* object);
void drawTranslucentObject(const SceneObject* object);
void drawWireOverlay(const SceneObject* object);
// out = a + (b - a) f, per axis.
void lerpPoint(Vec3* out, const Vec3* a, const Vec3* b, float f);
