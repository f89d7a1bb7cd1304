// Sprite sets: groups of camera-facing squares sharing a texture, a spawn and an update
// function. Sprites move by frameStep (music time), never by scene time. Three kinds follow a
// closed path sampled once at load time from a keyframe track.
#pragma once

#include "assets/scene.h"

// Appends a set of `count` sprites to the scene and warms every sprite up with one spawn and 100
// updates. 1 on success, 0 (after a message) when the scene holds MAX_SPRITE_SETS sets already.
int addSpriteSet(Scene* scene, void* userValue, int32_t count, SpriteSpawn spawn,
                 SpriteUpdate update, int32_t slotIndex);
// Samples the track at times 0 .. n-1 into n + 1 points, the last repeating the first, and
// stores the new path in *outPath.
void samplePath(Vec3** outPath, KeyTrack* positionTrack, int32_t n);
// Linear interpolation between path points floor(s) and floor(s) + 1.
void pathPoint(const Vec3* path, float s, Vec3* out);

// Uniform in [0, x) and in [-x, x), from the runtime's 15-bit generator.
float rnd(float x);
float rndSigned(float x);

// ---- Steps with nothing read in between ----

// 1 for the kinds that ride a path: they read nothing but the path and their own sprite, and
// draw no random numbers, so their steps may run apart from the rest of a frame.
int followsPath(SpriteUpdate update);
// Two steps of each of the first `count` sprites of a set of a path kind, as two calls of its
// update in a row make them; the sprite is placed on the path once, after the second.
void stepPathSetTwice(SpriteSet* set, int32_t count);

// ---- The five kinds ----

void spawnDrifter(Sprite* sprite);
void updateDrifter(Sprite* sprite, void* userValue);
void spawnBurst(Sprite* sprite);
void updateBurst(Sprite* sprite, void* origin);
void spawnPathCloud(Sprite* sprite);
void updatePathCloud(Sprite* sprite, void* path);
void spawnPathSwarm(Sprite* sprite);
void updatePathSwarm(Sprite* sprite, void* path);
void spawnPathBall(Sprite* sprite);
void updatePathBall(Sprite* sprite, void* path);
