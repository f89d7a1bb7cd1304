// Scene files: a round trip through the scene writer into the in-memory Scene, the details the
// renderer relies on (texture base, parent links, light colour scales, fresh track cursors), the
// lookup by texture slot, and the rejection, with one message naming the file and the problem,
// of files that end early or hold counts, indices or key times that cannot be used.
#include "assets/scene_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "asset_fixtures.h"
#include "scene_writer.h"

using namespace assetFixtures;

namespace {

ObjectDesc triangleObject(uint8_t texture) {
    ObjectDesc object;
    object.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    object.texture = texture;
    FaceDesc face;
    face.corners[0] = {0, 0.0f, 0.0f};
    face.corners[1] = {1, 1.0f, 0.0f};
    face.corners[2] = {2, 0.0f, 1.0f};
    object.faces = {face};
    setRestTracks(&object);
    return object;
}

SceneDesc sampleScene() {
    SceneDesc desc = minimalScene();
    desc.camera.position = {vectorKey(0, {0, 0, 10}), vectorKey(50, {0, 5, 10})};
    ObjectDesc first = triangleObject(3);
    first.hide = {toggleKey(10), toggleKey(20)};
    ObjectDesc second = triangleObject(7);
    second.kind = 1;
    second.parent = 0;
    second.rotation = {rotationKey(0, Quat{1, 0, 0, 0}), rotationKey(35, Quat{0, 0, 0, 1})};
    ObjectDesc third = triangleObject(3);
    third.parent = 200;  // not linked: the parent byte is not used
    desc.objects = {first, second, third};
    LightDesc light;
    light.colour[0] = 128;
    light.colour[1] = 64;
    light.colour[2] = 255;
    light.position = {vectorKey(0, {1, 2, 3})};
    desc.lights = {light};
    SpotLightDesc spot;
    spot.colour[0] = 10;
    spot.colour[1] = 20;
    spot.colour[2] = 30;
    spot.position = {vectorKey(0, {0, 0, 0})};
    spot.firstScalar = {scalarKey(0, 1)};
    spot.secondScalar = {scalarKey(0, 2)};
    spot.target = {vectorKey(0, {0, 0, -1})};
    desc.spotLights = {spot};
    return desc;
}

std::vector<uint8_t> bytesOf(const SceneDesc& desc) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(writeSceneBytes(desc, &bytes, &error)) << error;
    return bytes;
}

// Reads bytes that must be refused and returns the one message shown.
std::string refusal(const std::vector<uint8_t>& bytes, int32_t textureBase = 0) {
    MessageLog log;
    Scene scene{};
    const int ok = readSceneBytes(bytes.data(), bytes.size(), &scene, textureBase, "data\\bad.dat");
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(scene.objects, nullptr);
    EXPECT_EQ(scene.camera, nullptr);
    EXPECT_EQ(scene.objectCount, 0);
    if (ok) releaseScene(&scene);
    EXPECT_EQ(log.all().size(), 1u);
    return log.all().empty() ? std::string() : log.all()[0];
}

}  // namespace

TEST(SceneFile, RoundTripKeepsMeshesLightsAndTracks) {
    const std::string path = scratchPath("round-trip.dat");
    std::string error;
    ASSERT_TRUE(writeSceneFile(sampleScene(), path, &error)) << error;
    Scene scene{};
    scene.spriteSetCount = 4;
    scene.frameHookCount = 2;
    scene.flareSetCount = 1;
    scene.fogDensity = 0.5f;
    scene.fogColour[3] = 1.0f;
    MessageLog log;
    ASSERT_EQ(loadScene(path.c_str(), &scene, 60), 1);
    EXPECT_TRUE(log.all().empty());
    EXPECT_EQ(scene.spriteSetCount, 0);
    EXPECT_EQ(scene.frameHookCount, 0);
    EXPECT_EQ(scene.flareSetCount, 0);
    EXPECT_EQ(scene.fogDensity, 0.0f);
    EXPECT_EQ(scene.fogColour[3], 0.0f);

    ASSERT_NE(scene.camera, nullptr);
    EXPECT_EQ(scene.camera->positionTrack.keyCount, 2);
    const auto* cameraKeys = static_cast<const VectorKey*>(scene.camera->positionTrack.keys);
    EXPECT_EQ(cameraKeys[1].time, 50);
    EXPECT_EQ(cameraKeys[1].value.y, 5.0f);
    EXPECT_EQ(static_cast<const ScalarKey*>(scene.camera->fovTrack.keys)[0].value, 0.5f);
    EXPECT_EQ(scene.camera->hideTrack.keyCount, 0);

    ASSERT_EQ(scene.objectCount, 3);
    const SceneObject& first = scene.objects[0];
    EXPECT_EQ(first.textureSlot, 63);
    EXPECT_EQ(first.vertexCount, 3);
    EXPECT_EQ(first.faceCount, 1);
    EXPECT_EQ(first.vertices[1].x, 1.0f);
    EXPECT_EQ(first.normalScale[2], 0.0f);
    const Corner& corner = first.faces[0].corners[2];
    EXPECT_EQ(corner.vertex, 2);
    EXPECT_EQ(corner.v, 1.0f);
    EXPECT_EQ(corner.red, 1.0f);
    EXPECT_EQ(corner.green, 1.0f);
    EXPECT_EQ(corner.blue, 1.0f);
    EXPECT_EQ(first.hideTrack.keyCount, 2);
    EXPECT_EQ(first.hideTrack.toggleState, 0);
    EXPECT_EQ(first.hideTrack.cursor, 0);
    EXPECT_EQ(scene.objects[1].kind, 1);
    EXPECT_EQ(scene.objects[1].parent, 0);
    EXPECT_EQ(scene.objects[1].textureSlot, 67);
    EXPECT_EQ(static_cast<const RotationKey*>(scene.objects[1].rotationTrack.keys)[1].value.z,
              1.0f);
    EXPECT_EQ(scene.objects[2].parent, 200);

    ASSERT_EQ(scene.lightCount, 1);
    EXPECT_EQ(scene.lights[0].red, 0.5f);
    EXPECT_EQ(scene.lights[0].green, 0.25f);
    EXPECT_EQ(scene.lights[0].blue, 255.0f / 256.0f);
    ASSERT_EQ(scene.spotLightCount, 1);
    EXPECT_EQ(scene.spotLights[0].colour[0], 10.0f);
    EXPECT_EQ(scene.spotLights[0].colour[2], 30.0f);
    EXPECT_EQ(static_cast<const ScalarKey*>(scene.spotLights[0].secondScalarTrack.keys)[0].value,
              2.0f);
    releaseScene(&scene);
}

TEST(SceneFile, RotationKeyBytesAreWxyzAndTheIdentityIsOneThenZeros) {
    SceneDesc desc = minimalScene();
    desc.objects = {triangleObject(0)};
    const std::vector<uint8_t> bytes = bytesOf(desc);
    // The object's rotation key sits after its position track; find its value by layout.
    const uint8_t identity[16] = {0x00, 0x00, 0x80, 0x3F};
    size_t found = 0;
    for (size_t i = 0; i + 16 <= bytes.size(); ++i)
        if (std::memcmp(bytes.data() + i, identity, 16) == 0) ++found;
    EXPECT_GE(found, 3u);  // in control, value, out control
    Scene scene{};
    ASSERT_EQ(readSceneBytes(bytes.data(), bytes.size(), &scene, 0, "rotation.dat"), 1);
    const Quat q = static_cast<const RotationKey*>(scene.objects[0].rotationTrack.keys)[0].value;
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_EQ(q.x, 0.0f);
    EXPECT_EQ(q.y, 0.0f);
    EXPECT_EQ(q.z, 0.0f);
    releaseScene(&scene);
}

TEST(SceneFile, NoObjectsStillReadsLightsAfterTheCount) {
    SceneDesc desc = minimalScene();
    LightDesc light;
    light.position = {vectorKey(0, {4, 5, 6})};
    desc.lights = {light, light};
    const std::vector<uint8_t> bytes = bytesOf(desc);
    Scene scene{};
    ASSERT_EQ(readSceneBytes(bytes.data(), bytes.size(), &scene, 0, "empty.dat"), 1);
    EXPECT_EQ(scene.objectCount, 0);
    EXPECT_EQ(scene.lightCount, 2);
    EXPECT_EQ(static_cast<const VectorKey*>(scene.lights[1].positionTrack.keys)[0].value.z, 6.0f);
    EXPECT_EQ(scene.spotLightCount, 0);
    releaseScene(&scene);
}

TEST(SceneFile, FindObjectBySlotGivesTheFirstWearerOrNull) {
    const std::vector<uint8_t> bytes = bytesOf(sampleScene());
    Scene scene{};
    ASSERT_EQ(readSceneBytes(bytes.data(), bytes.size(), &scene, 60, "find.dat"), 1);
    EXPECT_EQ(findObjectBySlot(&scene, 63), &scene.objects[0]);
    EXPECT_EQ(findObjectBySlot(&scene, 67), &scene.objects[1]);
    EXPECT_EQ(findObjectBySlot(&scene, 3), nullptr);
    releaseScene(&scene);
}

TEST(SceneFile, MissingFileGivesOneMeshFileMessage) {
    MessageLog log;
    Scene scene{};
    EXPECT_EQ(loadScene("data\\no-such-scene.dat", &scene, 0), 0);
    EXPECT_EQ(log.all(), std::vector<std::string>{"Error|mesh-file not found"});
}

TEST(SceneFile, FileCutAnywhereIsRefusedWithoutReadingPastItsEnd) {
    const std::vector<uint8_t> bytes = bytesOf(sampleScene());
    for (size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + length);
        const std::string message = refusal(cut);
        EXPECT_TRUE(message.starts_with("Error|data\\bad.dat: file ends "))
            << length << ": " << message;
    }
    EXPECT_EQ(refusal({}), "Error|data\\bad.dat: file ends inside the camera");
    // Bytes after the last record are not read.
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0xFF);
    Scene scene{};
    EXPECT_EQ(readSceneBytes(longer.data(), longer.size(), &scene, 0, "longer.dat"), 1);
    releaseScene(&scene);
}

TEST(SceneFile, IndicesOutsideTheirListsAreRefused) {
    SceneDesc corner = sampleScene();
    corner.objects[1].faces[0].corners[1].vertex = 3;
    EXPECT_EQ(refusal(bytesOf(corner)),
              "Error|data\\bad.dat: face 0 of object 1 names vertex 3, outside its 3 vertices");
    corner.objects[1].faces[0].corners[1].vertex = -1;
    EXPECT_NE(refusal(bytesOf(corner)).find("names vertex -1"), std::string::npos);

    SceneDesc parent = sampleScene();
    parent.objects[1].parent = 3;
    EXPECT_EQ(refusal(bytesOf(parent)),
              "Error|data\\bad.dat: object 1 hangs below object 3, outside the 3 objects");

    EXPECT_EQ(refusal(bytesOf(sampleScene()), 1022),
              "Error|data\\bad.dat: object 0 uses texture slot 1025, outside the 1024 slots");

    // A vertex count that is negative, and one far beyond what the file holds.
    std::vector<uint8_t> bytes = bytesOf(sampleScene());
    SceneDesc cameraOnly = sampleScene();
    cameraOnly.objects.clear();
    cameraOnly.lights.clear();
    cameraOnly.spotLights.clear();
    const size_t vertexCountAt =
        bytesOf(cameraOnly).size() - 3 + 1 + 6;  // count byte, kind, parent, tag
    ASSERT_EQ(bytes[vertexCountAt], 3);
    std::vector<uint8_t> negative = bytes;
    negative[vertexCountAt + 3] = 0x80;
    EXPECT_EQ(refusal(negative), "Error|data\\bad.dat: object 0 has a negative vertex count");
    std::vector<uint8_t> huge = bytes;
    huge[vertexCountAt + 3] = 0x7F;
    EXPECT_EQ(refusal(huge), "Error|data\\bad.dat: file ends inside object 0");
}

TEST(SceneFile, KeyframeTracksNeedKeysInIncreasingTime) {
    SceneDesc noRoll = sampleScene();
    noRoll.camera.roll.clear();
    EXPECT_EQ(refusal(bytesOf(noRoll)),
              "Error|data\\bad.dat: the roll track of the camera has no keys");
    SceneDesc noRotation = sampleScene();
    noRotation.objects[2].rotation.clear();
    EXPECT_EQ(refusal(bytesOf(noRotation)),
              "Error|data\\bad.dat: the rotation track of object 2 has no keys");
    SceneDesc noLightPosition = sampleScene();
    noLightPosition.lights[0].position.clear();
    EXPECT_EQ(refusal(bytesOf(noLightPosition)),
              "Error|data\\bad.dat: the position track of light 0 has no keys");

    SceneDesc sameTime = sampleScene();
    sameTime.objects[0].position = {vectorKey(5, {0, 0, 0}), vectorKey(9, {1, 0, 0}),
                                    vectorKey(9, {2, 0, 0})};
    EXPECT_EQ(refusal(bytesOf(sameTime)),
              "Error|data\\bad.dat: the key times of the position track of object 0 do not "
              "increase at key 2");
    SceneDesc backwards = sampleScene();
    backwards.spotLights[0].firstScalar = {scalarKey(10, 0), scalarKey(3, 1)};
    EXPECT_NE(
        refusal(bytesOf(backwards)).find("first scalar track of spot light 0 do not increase"),
        std::string::npos);

    // Toggle tracks may be empty or repeat a time: they only count keys passed.
    SceneDesc toggles = sampleScene();
    toggles.objects[0].hide = {toggleKey(4), toggleKey(4)};
    const std::vector<uint8_t> bytes = bytesOf(toggles);
    Scene scene{};
    EXPECT_EQ(readSceneBytes(bytes.data(), bytes.size(), &scene, 0, "toggles.dat"), 1);
    releaseScene(&scene);
}

// A file built byte by byte: every key field, the texture byte, the corners and the light
// colours land where the format puts them. (The scene writer shares the reader's key records,
// so a round trip through it cannot show a wrong field order.)
TEST(SceneFile, HandBuiltBytesLandInTheirFields) {
    std::vector<uint8_t> b;
    auto put = [&b](auto value) {
        const auto* p = reinterpret_cast<const uint8_t*>(&value);
        b.insert(b.end(), p, p + sizeof value);
    };
    // A track of one key: `fields` numbers counting up from `first`, the time at `timeAt`.
    auto track = [&](int fields, int timeAt, int first) {
        put(uint8_t{1});
        for (int i = 0; i < fields; ++i)
            i == timeAt ? put(int32_t{first + i}) : put(static_cast<float>(first + i));
    };
    put(uint16_t{0});  // camera kind and parent; position, roll, fov, target, no hide keys
    track(10, 3, 100), track(4, 1, 200), track(4, 1, 300), track(10, 3, 400), put(uint8_t{0});
    put(uint8_t{1}), put(uint16_t{0}), put(uint32_t{0}), put(int32_t{3});  // one object
    for (int i = 0; i < 9; ++i) put(10.0f + i);
    put(int32_t{1}), put(uint8_t{4});  // one face, then the texture number
    for (int k = 0; k < 3; ++k) put(int32_t{2 - k}), put(0.25f * k), put(0.5f + k);
    track(10, 3, 500), track(13, 4, 600), track(10, 3, 700), put(uint8_t{1}), put(int32_t{800});
    put(uint8_t{1}), put(uint16_t{0}), put(uint8_t{64}), put(uint8_t{128}), put(uint8_t{32});
    track(10, 3, 900), put(uint16_t{0});  // the light's hide track; no spot lights

    Scene scene{};
    ASSERT_EQ(readSceneBytes(b.data(), b.size(), &scene, 20, "hand.dat"), 1);
    using Fields = std::vector<float>;
    auto firstKey = [](const KeyTrack& t) { return *static_cast<const VectorKey*>(t.keys); };
    const VectorKey p = firstKey(scene.camera->positionTrack);
    EXPECT_EQ((Fields{p.inTangent.z, float(p.time), p.value.x, p.outTangent.z}),
              (Fields{102, 103, 104, 109}));
    const auto& roll = *static_cast<const ScalarKey*>(scene.camera->rollTrack.keys);
    EXPECT_EQ((Fields{roll.inTangent, float(roll.time), roll.value, roll.outTangent}),
              (Fields{200, 201, 202, 203}));
    const SceneObject& o = scene.objects[0];
    const auto& q = *static_cast<const RotationKey*>(o.rotationTrack.keys);
    EXPECT_EQ((Fields{q.inControl.w, q.inControl.z, float(q.time), q.value.w, q.outControl.w}),
              (Fields{600, 603, 604, 605, 609}));
    const Corner& c = o.faces[0].corners[1];
    EXPECT_EQ((Fields{float(o.textureSlot), o.vertices[1].x, o.vertices[2].z, float(c.vertex), c.u,
                      c.v, firstKey(o.scaleTrack).value.y}),
              (Fields{24, 13, 18, 1, 0.25f, 1.5f, 705}));
    EXPECT_EQ(static_cast<const ToggleKey*>(o.hideTrack.keys)->time, 800);
    const SceneLight& l = scene.lights[0];
    EXPECT_EQ((Fields{l.red, l.green, l.blue, firstKey(l.positionTrack).value.z}),
              (Fields{0.25f, 0.5f, 0.125f, 906}));
    releaseScene(&scene);
}
