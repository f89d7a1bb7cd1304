// The per-frame update: camera basis, object matrices, parent links, eye-space vertices,
// normals and generated texture coordinates, lights and sprites.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/scene_update.h"
#include "scene_builder.h"

using scene_builder::AnimTest;
using scene_builder::TestScene;

namespace {

constexpr float EPS = 1e-5f;

void expectVec(const Vec3& v, float x, float y, float z, float eps = EPS) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

// The unit right triangle in the x-y plane.
const std::vector<Vec3> TRIANGLE = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

int updateCalls = 0;
void countingUpdate(Sprite* sprite, void*) {
    ++updateCalls;
    sprite->worldPosition = {0, 10, 5};
}

}  // namespace

using SceneUpdate = AnimTest;

TEST_F(SceneUpdate, CameraLookingAlongYHasStretchedUpAndMapsPointsIntoEyeSpace) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    Scene* scene = ts.finish();
    updateScene(scene, 0);
    expectVec(ts.camera.right, 1, 0, 0);
    expectVec(ts.camera.up, 0, 0, -1.34f);
    expectVec(ts.camera.forward, 0, 1, 0);
    const Vec3 world{0, 10, 5};
    Vec3 eye;
    eyeTransform(&ts.camera, &world, &eye);
    expectVec(eye, 0, 6.7f, -10);
}

TEST_F(SceneUpdate, CameraLookingStraightAlongZGetsRightVectorX) {
    TestScene ts;
    ts.setCamera({0, 0, 10}, {0, 0, 0});
    updateScene(ts.finish(), 0);
    expectVec(ts.camera.right, 1, 0, 0);
    expectVec(ts.camera.up, 0, -1.34f, 0);
    expectVec(ts.camera.forward, 0, 0, -1);
    // And a camera whose target is its own position still has a finite basis.
    TestScene same;
    same.setCamera({3, 3, 3}, {3, 3, 3});
    updateScene(same.finish(), 0);
    for (const Vec3& v : {same.camera.right, same.camera.up, same.camera.forward})
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
}

TEST_F(SceneUpdate, RollTurnsRightTowardsUpAboutTheViewingAxis) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0}, static_cast<float>(M_PI / 2));
    updateScene(ts.finish(), 0);
    // R' = c R + s U = U = (0, 0, -1); U' = -s R + c U = (-1, 0, 0), then stretched.
    expectVec(ts.camera.right, 0, 0, -1);
    expectVec(ts.camera.up, -1.34f, 0, 0);
    expectVec(ts.camera.forward, 0, 1, 0);
}

TEST_F(SceneUpdate, ObjectMatrixFromQuaternionScaleAndPosition) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    const double a = 0.7;
    ts.addObject(TRIANGLE, {}, {1, 2, 3});
    ts.addObject(TRIANGLE, {}, {0, 0, 0},
                 {static_cast<float>(std::cos(a / 2)), 0, 0, static_cast<float>(std::sin(a / 2))});
    ts.addObject(TRIANGLE, {}, {0, 0, 0}, {1, 0, 0, 0}, {2, 3, 4});
    Scene* scene = ts.finish();
    updateScene(scene, 0);

    const float* m = scene->objects[0].rotationScale.m;
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(m[i], identity[i]) << i;
    expectVec(scene->objects[0].translation, 1, 2, 3);
    EXPECT_EQ(scene->objects[0].evaluated, 1);

    const float* r = scene->objects[1].rotationScale.m;
    EXPECT_NEAR(r[0], std::cos(a), EPS);
    EXPECT_NEAR(r[1], std::sin(a), EPS);
    EXPECT_NEAR(r[2], 0, EPS);
    EXPECT_NEAR(r[3], -std::sin(a), EPS);
    EXPECT_NEAR(r[4], std::cos(a), EPS);
    EXPECT_NEAR(r[8], 1, EPS);

    // Scale multiplies each column by its own component.
    const float* s = scene->objects[2].rotationScale.m;
    const float diagonal[9] = {2, 0, 0, 0, 3, 0, 0, 0, 4};
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(s[i], diagonal[i]) << i;
}

TEST_F(SceneUpdate, EyeVerticesEqualEyeTransformOfWorldPositions) {
    TestScene ts;
    ts.setCamera({1, -2, 3}, {4, 5, -1}, 0.3f);
    const double a = 1.1;
    ts.addObject({{1, 2, 3}, {-4, 0.5f, 2}}, {}, {5, 6, 7},
                 {static_cast<float>(std::cos(a / 2)), static_cast<float>(std::sin(a / 2)), 0, 0},
                 {2, 1, 0.5f});
    Scene* scene = ts.finish();
    updateScene(scene, 0);
    const SceneObject& o = scene->objects[0];
    for (int k = 0; k < 2; ++k) {
        const Vec3& p = o.vertices[k];
        const float* m = o.rotationScale.m;
        const Vec3 world{m[0] * p.x + m[1] * p.y + m[2] * p.z + o.translation.x,
                         m[3] * p.x + m[4] * p.y + m[5] * p.z + o.translation.y,
                         m[6] * p.x + m[7] * p.y + m[8] * p.z + o.translation.z};
        Vec3 eye;
        eyeTransform(&ts.camera, &world, &eye);
        expectVec(o.eyeVertices[k], eye.x, eye.y, eye.z, 1e-4f);
    }
}

TEST_F(SceneUpdate, ParentLinksResolveOncePerObjectInArrayOrder) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    const float h = static_cast<float>(std::sqrt(0.5));
    // 0: child of 1, which comes later: gets 1's own tracks only.
    SceneObject& early = ts.addObject(TRIANGLE, {}, {1, 0, 0});
    early.kind = 1;
    early.parent = 1;
    // 1: child of 2, turned a quarter about z.
    SceneObject& middle = ts.addObject(TRIANGLE, {}, {10, 0, 0}, {h, 0, 0, h});
    middle.kind = 1;
    middle.parent = 2;
    // 2: free, the root of the chain.
    ts.addObject(TRIANGLE, {}, {100, 0, 0});
    // 3: child of 1, after it: gets the whole chain.
    SceneObject& late = ts.addObject(TRIANGLE, {}, {1, 0, 0});
    late.kind = 1;
    late.parent = 1;
    // 4: parent index set but not linked.
    SceneObject& free = ts.addObject(TRIANGLE, {}, {1, 0, 0});
    free.kind = 0;
    free.parent = 1;
    Scene* scene = ts.finish();
    updateScene(scene, 0);

    // The quarter turn's rows are (0, 1, 0), (-1, 0, 0): it takes (1, 0, 0) to (0, -1, 0).
    expectVec(scene->objects[0].translation, 10, -1, 0);
    expectVec(scene->objects[1].translation, 110, 0, 0);
    expectVec(scene->objects[3].translation, 110, -1, 0);
    expectVec(scene->objects[4].translation, 1, 0, 0);
    EXPECT_NEAR(scene->objects[3].rotationScale.m[1], 1, EPS);
    EXPECT_NEAR(scene->objects[3].rotationScale.m[3], -1, EPS);
}

TEST_F(SceneUpdate, HiddenParentIsEvaluatedForItsChildButNotTransformed) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    SceneObject& parent = ts.addObject(TRIANGLE, {}, {0, 10, 0});
    parent.hideTrack = ts.toggles({0});
    SceneObject& child = ts.addObject(TRIANGLE, {}, {0, 0, 5});
    child.kind = 1;
    child.parent = 0;
    Scene* scene = ts.finish();
    updateScene(scene, 0);
    EXPECT_EQ(scene->objects[0].hideTrack.toggleState, 1);
    expectVec(scene->objects[0].eyeVertices[0], -7, -7, -7);  // untouched
    expectVec(scene->objects[1].translation, 0, 10, 5);
    expectVec(scene->objects[1].eyeVertices[0], 0, 6.7f, -10);
}

TEST_F(SceneUpdate, ParentIndexOutsideTheObjectListLinksToNothing) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    SceneObject& child = ts.addObject(TRIANGLE, {}, {1, 2, 3});
    child.kind = 1;
    child.parent = 200;
    Scene* scene = ts.finish();
    updateScene(scene, 0);
    expectVec(scene->objects[0].translation, 1, 2, 3);
}

TEST_F(SceneUpdate, NormalsOfTheUnitFaceAndTheirCachedScale) {
    TestScene ts;
    // Vertex 3 belongs to no face: its normal is zero.
    SceneObject& o = ts.addObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}}, {0, 1, 2});
    for (int k = 0; k < 4; ++k) o.eyeVertices[k] = o.vertices[k];
    computeNormals(&o);
    for (int k = 0; k < 3; ++k) {
        expectVec(o.normals[k], 0, 0, -1);
        EXPECT_FLOAT_EQ(o.normalScale[k], 1);
    }
    expectVec(o.normals[3], 0, 0, 0);
    EXPECT_EQ(o.normalScale[3], 0);

    // Doubling the face makes the raw normal four times longer; the first scale is kept.
    for (int k = 0; k < 3; ++k)
        o.eyeVertices[k] = {2 * o.vertices[k].x, 2 * o.vertices[k].y, 2 * o.vertices[k].z};
    computeNormals(&o);
    expectVec(o.normals[0], 0, 0, -4);
    EXPECT_FLOAT_EQ(o.normalScale[0], 1);

    // A zero normal gets its scale the first time it has a length.
    o.faces[0].corners[2].vertex = 3;
    o.eyeVertices[3] = {0, 2, 0};
    computeNormals(&o);
    EXPECT_FLOAT_EQ(o.normalScale[3], 0.25f);
    expectVec(o.normals[3], 0, 0, -1);
}

TEST_F(SceneUpdate, FacesNamingMissingVerticesAreSkipped) {
    TestScene ts;
    SceneObject& o = ts.addObject(TRIANGLE, {0, 1, 2, 0, 1, 99, -1, 1, 2});
    for (int k = 0; k < 3; ++k) o.eyeVertices[k] = o.vertices[k];
    o.faces[2].corners[0].u = 0.25f;
    computeNormals(&o);
    sphereMapCoords(&o);
    for (int k = 0; k < 3; ++k) expectVec(o.normals[k], 0, 0, -1);
    EXPECT_FLOAT_EQ(o.faces[2].corners[0].u, 0.25f);  // the bad corner keeps its value
    EXPECT_FLOAT_EQ(o.faces[2].corners[1].u, 0.5f);
}

TEST_F(SceneUpdate, EnvMapSlotGetsSphereCoordsAndScrollSlotGetsPlanarSecondCoords) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    SceneObject& env = ts.addObject(TRIANGLE, {0, 1, 2}, {0, 10, 0});
    env.textureSlot = 5;
    SceneObject& scroll = ts.addObject({{2, 4, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2});
    scroll.textureSlot = 6;
    table[5].flags = SLOT_ENV_MAP;
    table[6].flags = SLOT_SCROLL_OVERLAY;
    table[6].planarScale = 0.5f;
    Scene* scene = ts.finish();
    updateScene(scene, 100);

    // World (x, y, 0) maps to eye (x, 0, -10 - y): the face's eye normal points down -y.
    const SceneObject& e = scene->objects[0];
    expectVec(e.normals[0], 0, -1, 0);
    EXPECT_FLOAT_EQ(e.faces[0].corners[0].u, 0.5f);
    EXPECT_FLOAT_EQ(e.faces[0].corners[0].v, 0.0f);

    const Corner& c = scene->objects[1].faces[0].corners[0];
    EXPECT_FLOAT_EQ(c.u2, 0.5f * 2 - 0.5f);
    EXPECT_FLOAT_EQ(c.v2, 0.5f * 4 - 0.5f);
    EXPECT_FLOAT_EQ(c.u, 0.0f);  // the main coordinates stay those of the file
}

TEST_F(SceneUpdate, LightsMoveUnlessHiddenAndSpritesStepOnceAndReachEyeSpace) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    ts.addLight({0, 10, 5}, 1, 1, 1);
    SceneLight& hidden = ts.addLight({1, 1, 1}, 1, 1, 1);
    hidden.hideTrack = ts.toggles({0});
    hidden.eyePosition = {9, 9, 9};
    Scene* scene = ts.finish();
    Sprite sprites[3]{};
    SpriteSet& set = scene->spriteSets[0];
    set.sprites = sprites;
    set.spriteCapacity = 3;
    set.spriteCount = 2;  // the third sprite is out of use
    set.update = countingUpdate;
    scene->spriteSetCount = 1;
    updateCalls = 0;
    updateScene(scene, 0);

    expectVec(scene->lights[0].worldPosition, 0, 10, 5);
    expectVec(scene->lights[0].eyePosition, 0, 6.7f, -10);
    expectVec(scene->lights[1].eyePosition, 9, 9, 9);
    EXPECT_EQ(updateCalls, 2);
    expectVec(sprites[1].eyePosition, 0, 6.7f, -10);
    expectVec(sprites[2].eyePosition, 0, 0, 0);
    scene->spriteSetCount = 0;  // the sprites belong to this test, not to the scene
}
