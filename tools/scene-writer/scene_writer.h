// Scene writer: turns a plain description of a scene (camera tracks, meshes with their vertices,
// faces and texture numbers, lights and targeted lights) into the binary .dat format that the
// demo reads. The data generator builds its scene files with it, and the tests use it to make
// round-trip fixtures. Key records are the demo's own, so what is written is what gets read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/keyframe_tracks.h"

struct CornerDesc {
    int32_t vertex = 0;
    float u = 0, v = 0;
};

struct FaceDesc {
    CornerDesc corners[3];
};

struct CameraDesc {
    uint8_t kind = 0, parent = 0;
    std::vector<VectorKey> position;
    std::vector<ScalarKey> roll;
    std::vector<ScalarKey> fov;
    std::vector<VectorKey> target;
    std::vector<ToggleKey> hide;
};

struct ObjectDesc {
    uint8_t kind = 0;  // 1 = linked below `parent`
    uint8_t parent = 0;
    uint8_t tag[4] = {0, 0, 0, 0};
    std::vector<Vec3> vertices;
    uint8_t texture = 0;  // texture number; the reader adds the scene's texture base
    std::vector<FaceDesc> faces;
    std::vector<VectorKey> position;
    std::vector<RotationKey> rotation;
    std::vector<VectorKey> scale;
    std::vector<ToggleKey> hide;
};

struct LightDesc {
    uint8_t kind = 0, parent = 0;
    uint8_t colour[3] = {255, 255, 255};  // red, green, blue
    std::vector<VectorKey> position;
    std::vector<ToggleKey> hide;
};

struct SpotLightDesc {
    uint8_t kind = 0, parent = 0;
    uint8_t colour[3] = {255, 255, 255};
    std::vector<VectorKey> position;
    std::vector<ScalarKey> firstScalar;
    std::vector<ScalarKey> secondScalar;
    std::vector<VectorKey> target;
    std::vector<ToggleKey> hide;
};

struct SceneDesc {
    CameraDesc camera;
    std::vector<ObjectDesc> objects;
    std::vector<LightDesc> lights;
    std::vector<SpotLightDesc> spotLights;
};

// ---- Keys ----

// A vector key at `time` with both tangents given (zero tangents ease in and out).
VectorKey vectorKey(int32_t time, Vec3 value, Vec3 inTangent = {0, 0, 0},
                    Vec3 outTangent = {0, 0, 0});
ScalarKey scalarKey(int32_t time, float value, float inTangent = 0, float outTangent = 0);
// A rotation key whose control quaternions equal its value (no overshoot between keys).
RotationKey rotationKey(int32_t time, Quat value);
RotationKey rotationKey(int32_t time, Quat value, Quat inControl, Quat outControl);
ToggleKey toggleKey(int32_t time);

// A description with one key per track at time 0: camera at (0, 0, 10) looking at the origin
// with a field of view of 0.5; objects and lights added by the caller get none of these.
SceneDesc minimalScene();
// One key per track at time 0 for an object: no translation, identity rotation, unit scale,
// no hide keys.
void setRestTracks(ObjectDesc* object);

// ---- Writing ----

// Appends the .dat bytes of the scene. False (with `error` set) when a count does not fit the
// format: more than 255 objects, lights, spot lights or keys in a track.
bool writeSceneBytes(const SceneDesc& scene, std::vector<uint8_t>* out, std::string* error);
// Writes the .dat bytes to a file at `path` (a plain file-system path). False on any failure.
bool writeSceneFile(const SceneDesc& scene, const std::string& path, std::string* error);
