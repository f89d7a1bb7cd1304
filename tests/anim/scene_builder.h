// Small Scenes built in memory for the animation tests: one-key tracks (constant values), a
// camera from a position and a target, triangle-mesh objects, point lights, and a zeroed
// TextureTable of our own. Everything the Scene points at is owned here and freed with it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "assets/scene.h"
#include "assets/texture_table.h"
#include "math/keyframe_tracks.h"
#include "platform/platform.h"

namespace scene_builder {

// Collects the messages of failed operations while a test runs.
inline std::vector<std::string>& collectedMessages() {
    static std::vector<std::string> messages;
    return messages;
}
inline void collectMessage(const char*, const char* text) { collectedMessages().push_back(text); }

struct TestScene {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    SceneCamera camera{};
    std::deque<std::vector<unsigned char>> keyStore;
    std::deque<std::vector<Vec3>> vec3Store;
    std::deque<std::vector<float>> floatStore;
    std::deque<std::vector<Face>> faceStore;
    std::vector<SceneObject> objects;
    std::vector<SceneLight> lights;

    TestScene() {
        std::memset(static_cast<void*>(scene.get()), 0, sizeof(Scene));
        scene->camera = &camera;
        objects.reserve(64);
        lights.reserve(64);
    }

    template <typename Key>
    KeyTrack track(const std::vector<Key>& keys) {
        keyStore.emplace_back(sizeof(Key) * keys.size());
        std::memcpy(keyStore.back().data(), keys.data(), keyStore.back().size());
        return KeyTrack{static_cast<int32_t>(keys.size()), 0, 0, keyStore.back().data()};
    }
    KeyTrack constant(Vec3 value) { return track(std::vector<VectorKey>{{{}, 0, value, {}}}); }
    KeyTrack constant(float value) { return track(std::vector<ScalarKey>{{0, 0, value, 0}}); }
    KeyTrack constant(Quat value) {
        return track(std::vector<RotationKey>{{value, 0, value, value}});
    }
    // A hide track that flips at each of the given times (an empty list never flips).
    KeyTrack toggles(std::vector<int32_t> times) {
        if (times.empty()) times.push_back(1000000000);
        std::vector<ToggleKey> keys;
        for (int32_t t : times) keys.push_back({t});
        return track(keys);
    }

    void setCamera(Vec3 position, Vec3 target, float roll = 0.0f) {
        camera.positionTrack = constant(position);
        camera.targetTrack = constant(target);
        camera.rollTrack = constant(roll);
        camera.fovTrack = constant(0.5f);
        camera.hideTrack = toggles({});
    }

    // Adds a mesh; `corners` holds three vertex indices per face. Call finish() after the last.
    SceneObject& addObject(std::vector<Vec3> vertices, std::vector<int32_t> corners = {},
                           Vec3 position = {0, 0, 0}, Quat rotation = {1, 0, 0, 0},
                           Vec3 scale = {1, 1, 1}) {
        SceneObject object{};
        const size_t n = vertices.size();
        vec3Store.push_back(std::move(vertices));
        object.vertices = vec3Store.back().data();
        vec3Store.emplace_back(n, Vec3{-7, -7, -7});
        object.eyeVertices = vec3Store.back().data();
        vec3Store.emplace_back(n, Vec3{0, 0, 0});
        object.normals = vec3Store.back().data();
        floatStore.emplace_back(n, 0.0f);
        object.normalScale = floatStore.back().data();
        object.vertexCount = static_cast<int32_t>(n);
        faceStore.emplace_back();
        for (size_t i = 0; i + 2 < corners.size(); i += 3) {
            Face face{};
            for (int k = 0; k < 3; ++k) {
                face.corners[k].vertex = corners[i + k];
                face.corners[k].red = face.corners[k].green = face.corners[k].blue = 1.0f;
            }
            faceStore.back().push_back(face);
        }
        object.faces = faceStore.back().data();
        object.faceCount = static_cast<int32_t>(faceStore.back().size());
        object.positionTrack = constant(position);
        object.rotationTrack = constant(rotation);
        object.scaleTrack = constant(scale);
        object.hideTrack = toggles({});
        objects.push_back(object);
        return objects.back();
    }

    SceneLight& addLight(Vec3 position, float red, float green, float blue) {
        SceneLight light{};
        light.red = red;
        light.green = green;
        light.blue = blue;
        light.positionTrack = constant(position);
        light.hideTrack = toggles({});
        lights.push_back(light);
        return lights.back();
    }

    // Points the Scene at the object and light arrays (which must not grow afterwards).
    Scene* finish() {
        scene->objects = objects.data();
        scene->objectCount = static_cast<int32_t>(objects.size());
        scene->lights = lights.data();
        scene->lightCount = static_cast<int32_t>(lights.size());
        return scene.get();
    }

    ~TestScene() {
        for (int32_t i = 0; i < scene->spriteSetCount; ++i) std::free(scene->spriteSets[i].sprites);
    }
};

// Gives each test a zeroed TextureTable of its own, a seeded generator and a message sink.
class AnimTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedTable = textureTable;
        table.assign(TEXTURE_SLOTS, TextureSlot{});
        textureTable = table.data();
        runtimeSeedRand(1);
        collectedMessages().clear();
        setMessageSink(collectMessage);
    }
    void TearDown() override {
        setMessageSink(nullptr);
        textureTable = savedTable;
    }
    std::vector<TextureSlot> table;
    TextureSlot* savedTable = nullptr;
};

}  // namespace scene_builder
