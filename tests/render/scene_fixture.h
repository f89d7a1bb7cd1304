// A small Scene built in memory the way the scene reader would leave it, for the scene pass
// tests and the benchmark: one camera at the origin looking along world +y (roll 0), so that a
// world point (x, y, z) lands at eye (x, 1.34 z, -y), objects given by eye-space quads, sprite
// sets and flare sets. Tracks hold one key each; hide tracks none, so nothing is ever hidden.
#pragma once

#include <deque>
#include <vector>

#include "assets/scene.h"

struct SceneFixture {
    struct ObjectArrays {
        std::vector<Vec3> vertices, eyeVertices, normals;
        std::vector<float> normalScale;
        std::vector<Face> faces;
        VectorKey position{}, scale{};
        RotationKey rotation{};
    };

    SceneFixture() {
        cameraPosition.value = {0, 0, 0};
        cameraTarget.value = {0, 1, 0};
        cameraRoll.value = 0.0f;
        cameraFov.value = 0.785398f;  // 90 degrees vertical
        camera.positionTrack = track(&cameraPosition);
        camera.targetTrack = track(&cameraTarget);
        camera.rollTrack = track(&cameraRoll);
        camera.fovTrack = track(&cameraFov);
        scene.camera = &camera;
        objects.reserve(MAX_OBJECTS);
        lights.reserve(MAX_LIGHTS);
    }

    static constexpr size_t MAX_OBJECTS = 64;
    static constexpr size_t MAX_LIGHTS = 16;

    template <typename Key>
    static KeyTrack track(Key* key) {
        return KeyTrack{1, 0, 0, key};
    }

    // The world point whose eye-space position is (x, y, z) under this camera.
    static Vec3 worldFromEye(float x, float y, float z) { return Vec3{x, -z, y / 1.34f}; }

    // Adds an object of `quads` quads at eye depth z filling [x1, x2] x [y1, y2] side by side.
    SceneObject* addQuadObject(float x1, float y1, float x2, float y2, float z, int32_t slot,
                               int quads = 1) {
        if (objects.size() == MAX_OBJECTS) return nullptr;
        ObjectArrays& a = arrays.emplace_back();
        const float width = (x2 - x1) / static_cast<float>(quads);
        for (int q = 0; q < quads; ++q) {
            const float left = x1 + width * static_cast<float>(q);
            const int32_t base = static_cast<int32_t>(a.vertices.size());
            a.vertices.push_back(worldFromEye(left, y1, z));
            a.vertices.push_back(worldFromEye(left + width, y1, z));
            a.vertices.push_back(worldFromEye(left + width, y2, z));
            a.vertices.push_back(worldFromEye(left, y2, z));
            addFace(a, base, base + 1, base + 2);
            addFace(a, base, base + 2, base + 3);
        }
        const size_t n = a.vertices.size();
        a.eyeVertices.assign(n, Vec3{});
        a.normals.assign(n, Vec3{});
        a.normalScale.assign(n, 0.0f);
        a.position.value = {0, 0, 0};
        a.scale.value = {1, 1, 1};
        a.rotation.value = {1, 0, 0, 0};

        SceneObject& o = objects.emplace_back();
        o = SceneObject{};
        o.vertexCount = static_cast<int32_t>(n);
        o.faceCount = static_cast<int32_t>(a.faces.size());
        o.textureSlot = slot;
        o.vertices = a.vertices.data();
        o.eyeVertices = a.eyeVertices.data();
        o.normals = a.normals.data();
        o.normalScale = a.normalScale.data();
        o.faces = a.faces.data();
        o.positionTrack = track(&a.position);
        o.rotationTrack = track(&a.rotation);
        o.scaleTrack = track(&a.scale);
        scene.objects = objects.data();
        scene.objectCount = static_cast<int32_t>(objects.size());
        return &o;
    }

    static void addFace(ObjectArrays& a, int32_t i0, int32_t i1, int32_t i2) {
        Face face{};
        const int32_t index[3] = {i0, i1, i2};
        for (int k = 0; k < 3; ++k) {
            face.corners[k].vertex = index[k];
            face.corners[k].red = face.corners[k].green = face.corners[k].blue = 1.0f;
        }
        a.faces.push_back(face);
    }

    // Adds a light standing still at the world point whose eye position is (x, y, z).
    SceneLight* addLight(float x, float y, float z) {
        if (lights.size() == MAX_LIGHTS) return nullptr;
        VectorKey& key = lightKeys.emplace_back();
        key = VectorKey{};
        key.value = worldFromEye(x, y, z);
        SceneLight& light = lights.emplace_back();
        light = SceneLight{};
        light.positionTrack = track(&key);
        scene.lights = lights.data();
        scene.lightCount = static_cast<int32_t>(lights.size());
        return &light;
    }

    SceneCamera camera{};
    ScalarKey cameraRoll{}, cameraFov{};
    VectorKey cameraPosition{}, cameraTarget{};
    std::deque<ObjectArrays> arrays;
    std::vector<SceneObject> objects;  // reserved once, so pointers into it stay valid
    std::deque<VectorKey> lightKeys;
    std::vector<SceneLight> lights;
    Scene scene{};
};
