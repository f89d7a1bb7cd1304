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
