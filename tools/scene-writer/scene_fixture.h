// A Scene built in memory the way the scene reader leaves it, for the drawing tests and the
// benchmarks. The camera sits at the origin looking along world +y with roll 0, so a world point
// (x, y, z) lands at eye (x, 1.34 z, -y). Objects are given in eye space; their eyeVertices are
// filled at once too, so the drawing passes can run with or without the update.
#pragma once

#include <deque>
#include <vector>

#include "assets/scene.h"

struct SceneFixture {
    static constexpr size_t MAX_OBJECTS = 64;

    struct Arrays {
        std::vector<Vec3> vertices, eyeVertices, normals;
        std::vector<float> normalScale;
        std::vector<Face> faces;
        VectorKey position{{}, 0, {0, 0, 0}, {}}, scale{{}, 0, {1, 1, 1}, {}};
        RotationKey rotation{{}, 0, {1, 0, 0, 0}, {}};
    };

    SceneFixture() {
        camera.positionTrack = KeyTrack{1, 0, 0, &cameraPosition};
        camera.targetTrack = KeyTrack{1, 0, 0, &cameraTarget};
        camera.rollTrack = KeyTrack{1, 0, 0, &cameraRoll};
        camera.fovTrack = KeyTrack{1, 0, 0, &cameraFov};
        scene.camera = &camera;
        objects.reserve(MAX_OBJECTS);  // pointers into it stay valid
    }

    static Vec3 worldFromEye(const Vec3& e) { return Vec3{e.x, -e.z, e.y / 1.34f}; }

    // An object of eye-space triangles (three corners each), all corner colours 1.
    SceneObject* addTriangles(const std::vector<Vec3>& corners, int32_t slot) {
        if (objects.size() == MAX_OBJECTS) return nullptr;
        Arrays& a = arrays.emplace_back();
        a.eyeVertices = corners;
        for (const Vec3& e : corners) a.vertices.push_back(worldFromEye(e));
        a.normals.assign(corners.size(), Vec3{});
        a.normalScale.assign(corners.size(), 0.0f);
        for (size_t i = 0; i + 2 < corners.size(); i += 3) {
            Face face{};
            for (int k = 0; k < 3; ++k)
                face.corners[k] = Corner{static_cast<int32_t>(i) + k, 0, 0, 0, 0, 1, 1, 1};
            a.faces.push_back(face);
        }
        SceneObject& o = objects.emplace_back();
        o = SceneObject{};
        o.vertexCount = static_cast<int32_t>(corners.size());
        o.faceCount = static_cast<int32_t>(a.faces.size());
        o.textureSlot = slot;
        o.vertices = a.vertices.data();
        o.eyeVertices = a.eyeVertices.data();
        o.normals = a.normals.data();
        o.normalScale = a.normalScale.data();
        o.faces = a.faces.data();
        o.positionTrack = KeyTrack{1, 0, 0, &a.position};
        o.rotationTrack = KeyTrack{1, 0, 0, &a.rotation};
        o.scaleTrack = KeyTrack{1, 0, 0, &a.scale};
        scene.objects = objects.data();
        scene.objectCount = static_cast<int32_t>(objects.size());
        return &o;
    }

    // `quads` quads side by side filling [x1, x2] x [y1, y2] at eye depth z, facing the eye.
    SceneObject* addQuads(float x1, float y1, float x2, float y2, float z, int32_t slot,
                          int quads = 1) {
        std::vector<Vec3> corners;
        const float width = (x2 - x1) / static_cast<float>(quads);
        for (int q = 0; q < quads; ++q) {
            const float l = x1 + width * static_cast<float>(q), r = l + width;
            corners.insert(corners.end(), {{l, y1, z}, {r, y1, z}, {r, y2, z}});
            corners.insert(corners.end(), {{l, y1, z}, {r, y2, z}, {l, y2, z}});
        }
        return addTriangles(corners, slot);
    }

    SceneCamera camera{};
    VectorKey cameraPosition{{}, 0, {0, 0, 0}, {}}, cameraTarget{{}, 0, {0, 1, 0}, {}};
    ScalarKey cameraRoll{0, 0, 0, 0}, cameraFov{0, 0, 0.785398f, 0};  // 90 degrees vertical
    std::deque<Arrays> arrays;
    std::vector<SceneObject> objects;
    Scene scene{};
};
