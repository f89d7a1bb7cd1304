// Scene writer: emits the .dat records in their fixed order (camera, objects, lights, targeted
// lights), little-endian, counts of records and keys as single bytes, vertex and face counts as
// 32-bit integers. Keys are written byte for byte as the demo's key records hold them.
#include "scene_writer.h"

#include <cstdio>
#include <cstring>

namespace {

void putBytes(std::vector<uint8_t>* out, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

void putU8(std::vector<uint8_t>* out, uint8_t value) { out->push_back(value); }

void putI32(std::vector<uint8_t>* out, int32_t value) {
    uint32_t u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(u >> (8 * i)));
}

void putF32(std::vector<uint8_t>* out, float value) {
    uint32_t u;
    std::memcpy(&u, &value, 4);
    putI32(out, static_cast<int32_t>(u));
}

// Writes a count byte and the keys; the key records hold only 32-bit fields, so their bytes on
// a little-endian machine are the file's bytes.
template <typename Key>
bool putTrack(std::vector<uint8_t>* out, const std::vector<Key>& keys, const char* what,
              std::string* error) {
    if (keys.size() > 255) {
        if (error) *error = std::string(what) + ": more than 255 keys";
        return false;
    }
    putU8(out, static_cast<uint8_t>(keys.size()));
    if (!keys.empty()) putBytes(out, keys.data(), keys.size() * sizeof(Key));
    return true;
}

bool putCount(std::vector<uint8_t>* out, size_t count, const char* what, std::string* error) {
    if (count > 255) {
        if (error) *error = std::string("more than 255 ") + what;
        return false;
    }
    putU8(out, static_cast<uint8_t>(count));
    return true;
}

}  // namespace

VectorKey vectorKey(int32_t time, Vec3 value, Vec3 inTangent, Vec3 outTangent) {
    return VectorKey{inTangent, time, value, outTangent};
}

ScalarKey scalarKey(int32_t time, float value, float inTangent, float outTangent) {
    return ScalarKey{inTangent, time, value, outTangent};
}

RotationKey rotationKey(int32_t time, Quat value) { return RotationKey{value, time, value, value}; }

RotationKey rotationKey(int32_t time, Quat value, Quat inControl, Quat outControl) {
    return RotationKey{inControl, time, value, outControl};
}

ToggleKey toggleKey(int32_t time) { return ToggleKey{time}; }

SceneDesc minimalScene() {
    SceneDesc scene;
    scene.camera.position = {vectorKey(0, {0, 0, 10})};
    scene.camera.roll = {scalarKey(0, 0)};
    scene.camera.fov = {scalarKey(0, 0.5f)};
    scene.camera.target = {vectorKey(0, {0, 0, 0})};
    return scene;
}

void setRestTracks(ObjectDesc* object) {
    object->position = {vectorKey(0, {0, 0, 0})};
    object->rotation = {rotationKey(0, Quat{1, 0, 0, 0})};
    object->scale = {vectorKey(0, {1, 1, 1})};
    object->hide.clear();
}

bool writeSceneBytes(const SceneDesc& scene, std::vector<uint8_t>* out, std::string* error) {
    const CameraDesc& camera = scene.camera;
    putU8(out, camera.kind);
    putU8(out, camera.parent);
    if (!putTrack(out, camera.position, "camera position", error) ||
        !putTrack(out, camera.roll, "camera roll", error) ||
        !putTrack(out, camera.fov, "camera field of view", error) ||
        !putTrack(out, camera.target, "camera target", error) ||
        !putTrack(out, camera.hide, "camera hide", error))
        return false;

    if (!putCount(out, scene.objects.size(), "objects", error)) return false;
    for (const ObjectDesc& object : scene.objects) {
        putU8(out, object.kind);
        putU8(out, object.parent);
        putBytes(out, object.tag, 4);
        putI32(out, static_cast<int32_t>(object.vertices.size()));
        for (const Vec3& v : object.vertices) {
            putF32(out, v.x);
            putF32(out, v.y);
            putF32(out, v.z);
        }
        putI32(out, static_cast<int32_t>(object.faces.size()));
        putU8(out, object.texture);
        for (const FaceDesc& face : object.faces) {
            for (const CornerDesc& corner : face.corners) {
                putI32(out, corner.vertex);
                putF32(out, corner.u);
                putF32(out, corner.v);
            }
        }
        if (!putTrack(out, object.position, "object position", error) ||
            !putTrack(out, object.rotation, "object rotation", error) ||
            !putTrack(out, object.scale, "object scale", error) ||
            !putTrack(out, object.hide, "object hide", error))
            return false;
    }

    if (!putCount(out, scene.lights.size(), "lights", error)) return false;
    for (const LightDesc& light : scene.lights) {
        putU8(out, light.kind);
        putU8(out, light.parent);
        putBytes(out, light.colour, 3);
        if (!putTrack(out, light.position, "light position", error) ||
            !putTrack(out, light.hide, "light hide", error))
            return false;
    }

    if (!putCount(out, scene.spotLights.size(), "spot lights", error)) return false;
    for (const SpotLightDesc& spot : scene.spotLights) {
        putU8(out, spot.kind);
        putU8(out, spot.parent);
        putBytes(out, spot.colour, 3);
        if (!putTrack(out, spot.position, "spot light position", error) ||
            !putTrack(out, spot.firstScalar, "spot light first scalar", error) ||
            !putTrack(out, spot.secondScalar, "spot light second scalar", error) ||
            !putTrack(out, spot.target, "spot light target", error) ||
            !putTrack(out, spot.hide, "spot light hide", error))
            return false;
    }
    return true;
}

bool writeSceneFile(const SceneDesc& scene, const std::string& path, std::string* error) {
    std::vector<uint8_t> bytes;
    if (!writeSceneBytes(scene, &bytes, error)) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error) *error = "cannot create " + path;
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = (std::fclose(file) == 0) && written;
    if (!written && error) *error = "cannot write " + path;
    return written;
}
