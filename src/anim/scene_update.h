// The per-frame update that brings a whole Scene to a time: camera basis, object transforms
// into eye space (with parent links), normals and generated texture coordinates, lights and
// sprites. After it everything the drawing needs is in eye space and the modelview stays identity.
#pragma once

#include "assets/scene.h"

// Brings the scene to time t (ticks), in a fixed order: camera, objects, lights, sprites.
void updateScene(Scene* scene, float t);
// What updateScene leaves that outlives the frame, and only that: the camera, the hide toggles
// of objects and lights, the lights' positions, and the first step of the frame of every
// sprite that does not ride a path (those take both their steps later, at once; see
// stepPathSetTwice). Eye-space vertices, normals and texture coordinates, which each frame
// makes anew for its own drawing, are not made; nor are the sprites' eye positions.
void advanceSceneState(Scene* scene, float t);
// 1 when every vertex that a face of the object names has its normal length cached, leaving
// out the faces that can never give a normal: in a mesh as loaded (not reshaped), a face with
// two corners on the same point has no area in any frame, so a vertex only such faces name
// keeps a zero normal for ever.
int normalLengthsCached(const SceneObject* object);
// Evaluates the object's own position, rotation and scale tracks into rotationScale and
// translation and marks it evaluated.
void evalLocal(SceneObject* object, float t);
// Brings one object into eye space at time t: its own tracks (unless already evaluated this
// update), its parent link, then its eye-space vertices. updateScene does this for every shown
// object; the bakers use it for objects hidden at time 0.
void placeObject(Scene* scene, SceneObject* object, float t);
// World point -> eye space with the camera's current basis.
void eyeTransform(const SceneCamera* camera, const Vec3* world, Vec3* outEye);
// Vertex normals from the eye-space faces, scaled by the cached reciprocal lengths.
void computeNormals(SceneObject* object);
// Main texture coordinates of every corner from its vertex normal (sphere mapping).
void sphereMapCoords(SceneObject* object);
