// Reader for the binary .dat scene files: a camera, meshes, lights and targeted lights, each with
// its keyframe tracks, little-endian, no header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/scene.h"

// Loads the file into `scene`, adding textureBase to every mesh's texture number. 1 on success;
// 0 after one message box when the file is missing ("mesh-file not found") or malformed.
int loadScene(const char* path, Scene* scene, int32_t textureBase);
// First object, in file order, whose textureSlot is slotIndex; null when none is.
SceneObject* findObjectBySlot(Scene* scene, int32_t slotIndex);
// The same reader on the bytes of a whole file already in memory; `name` is the file name used
// in the message. On failure everything it allocated is freed again and the counts are 0.
int readSceneBytes(const uint8_t* bytes, size_t size, Scene* scene, int32_t textureBase,
                   const char* name);
// Frees every array a load put into the scene and sets its counts to 0 (tools and tests; the demo
// keeps its scenes until it exits).
void releaseScene(Scene* scene);
