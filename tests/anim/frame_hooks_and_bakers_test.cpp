// Frame hooks that deform a mesh in eye space, and the load-time lighting bakers.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/frame_hooks.h"
#include "anim/lighting_bakers.h"
#include "scene_builder.h"

using scene_builder::AnimTest;
using scene_builder::TestScene;

namespace {

// An object whose eye-space vertices are the given points (no faces).
SceneObject& eyeSpaceObject(TestScene& ts, std::vector<Vec3> points) {
    SceneObject& o = ts.addObject(points);
    for (size_t k = 0; k < points.size(); ++k) o.eyeVertices[k] = points[k];
    return o;
}

// A set of sprites at the given eye positions.
struct SpriteFixture {
    std::vector<Sprite> sprites;
    SpriteSet set{};
    explicit SpriteFixture(std::vector<Vec3> eyes) {
        for (const Vec3& e : eyes) {
            Sprite s{};
            s.eyePosition = e;
            sprites.push_back(s);
        }
        set.sprites = sprites.data();
        set.spriteCount = set.spriteCapacity = static_cast<int32_t>(sprites.size());
    }
};

void noHook(SceneObject*, void*) {}

}  // namespace

using FrameHooks = AnimTest;

TEST_F(FrameHooks, SpritesPushNearVerticesStraightAwayUpTo120Units) {
    TestScene ts;
    SceneObject& o = eyeSpaceObject(ts, {{0, 0, 0}, {200, 0, 120}, {200, 0, 0}, {200, 0, 1}});
    // Sprite 0 is half a unit from vertex 0; sprite 1 sits exactly on vertex 1, 120 units from
    // vertex 2 and 119 from vertex 3.
    SpriteFixture balls({{0.5f, 0, 0}, {200, 0, 120}});
    pushFromSprites(&o, &balls.set);
    EXPECT_FLOAT_EQ(o.eyeVertices[0].x, -29.75f);
    EXPECT_EQ(o.eyeVertices[0].y, 0);
    EXPECT_EQ(o.eyeVertices[1].x, 200);
    EXPECT_EQ(o.eyeVertices[1].z, 120);
    EXPECT_EQ(o.eyeVertices[2].x, 200);
    EXPECT_EQ(o.eyeVertices[2].z, 0);
    EXPECT_FLOAT_EQ(o.eyeVertices[3].z, 0.5f);
}

TEST_F(FrameHooks, EachSpritePushesTheVertexWhereThePreviousOneLeftIt) {
    TestScene ts;
    SceneObject& o = eyeSpaceObject(ts, {{0, 0, 0}});
    // The first push (60 - 0.5 r at distance 10: 55 units) moves the vertex to x = -55;
    // the second sprite at x = -60 is then 5 units away and pushes it back by 57.5.
    SpriteFixture balls({{10, 0, 0}, {-60, 0, 0}, {-50, 0, 0}});
    balls.set.spriteCount = 2;  // the third sprite is not in use
    pushFromSprites(&o, &balls.set);
    EXPECT_FLOAT_EQ(o.eyeVertices[0].x, 2.5f);
}

TEST_F(FrameHooks, RippleLeavesFarVerticesAndRefreshesTheEnvironmentCoordinates) {
    TestScene ts;
    SceneObject& o = ts.addObject({{600, 600, 3}, {601, 600, 3}, {600, 601, 3}, {-100, -100, 0}},
                                  {0, 1, 2});
    for (int k = 0; k < 4; ++k) o.eyeVertices[k] = o.vertices[k];
    o.faces[0].corners[0].u = 0.9f;
    float time = 0;
    rippleTwoCentres(&o, &time);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(o.eyeVertices[k].z, 3);
    // The flat far face faces -z; its sphere coordinates follow.
    EXPECT_FLOAT_EQ(o.faces[0].corners[0].u, 0.5f);
    EXPECT_FLOAT_EQ(o.faces[0].corners[0].v, 0.5f);
    // At the second centre, with T = 0: the second wave gives -10 cos 0; the first, 200 sqrt 2
    // away, fades to 1 - 0.4 sqrt 2 and runs at wavelength factor 0.09.
    const double l = 200 * std::sqrt(2.0);
    const double expected = 10 * (1 - 0.002 * l) * std::sin(l * static_cast<double>(0.09f)) - 10;
    EXPECT_NEAR(o.eyeVertices[3].z, expected, 1e-4);
}

TEST_F(FrameHooks, SwayMovesTheOriginUpAndUsesOnlyOldCoordinates) {
    TestScene ts;
    SceneObject& o = eyeSpaceObject(ts, {{0, 0, 0}, {0, 100, 0}});
    float time = 0;
    swayObject(&o, &time);
    EXPECT_EQ(o.eyeVertices[0].x, 0);
    EXPECT_EQ(o.eyeVertices[0].y, 50);
    EXPECT_EQ(o.eyeVertices[0].z, 0);
    EXPECT_NEAR(o.eyeVertices[1].x, 50 * std::sin(0.5), 1e-4);
    EXPECT_NEAR(o.eyeVertices[1].y, 150, 1e-4);
    EXPECT_NEAR(o.eyeVertices[1].z, 50 * std::sin(0.5), 1e-4);
}

TEST_F(FrameHooks, HooksAreAppendedUpTo256AndThenRefusedWithAMessage) {
    TestScene ts;
    SceneObject& o = eyeSpaceObject(ts, {{0, 0, 0}});
    Scene* scene = ts.finish();
    float time = 0;
    ASSERT_EQ(addFrameHook(scene, &o, &time, swayObject), 1);
    EXPECT_EQ(scene->frameHooks[0].object, &o);
    EXPECT_EQ(scene->frameHooks[0].userValue, &time);
    EXPECT_EQ(scene->frameHooks[0].function, &swayObject);
    for (int i = 1; i < MAX_FRAME_HOOKS; ++i)
        ASSERT_EQ(addFrameHook(scene, &o, nullptr, noHook), 1);
    EXPECT_TRUE(scene_builder::collectedMessages().empty());
    EXPECT_EQ(addFrameHook(scene, &o, nullptr, noHook), 0);
    EXPECT_EQ(scene->frameHookCount, MAX_FRAME_HOOKS);
    EXPECT_EQ(scene_builder::collectedMessages().size(), 1u);
}

// ---- Bakers ----

namespace {

// Camera at the origin looking along +y: world (x, y, z) is eye (x, 1.34 z, -y). The triangle
// lies in the world plane y = 10; its eye normal points away from the camera (eye -z), towards
// world +y.
void faceAwayTriangle(TestScene& ts) {
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    ts.addObject({{0, 10, 0}, {1, 10, 0}, {0, 10, 1}}, {0, 1, 2});
}

void expectCorner(const Corner& c, float r, float g, float b, float eps = 1e-5f) {
    EXPECT_NEAR(c.red, r, eps);
    EXPECT_NEAR(c.green, g, eps);
    EXPECT_NEAR(c.blue, b, eps);
}

}  // namespace

using Bakers = AnimTest;

TEST_F(Bakers, NearLightsReachExactly150UnitsAndReadColoursByName) {
    TestScene ts;
    faceAwayTriangle(ts);
    ts.addLight({0, 160, 0}, 0.25f, 0.5f, 0.0f);
    Scene* scene = ts.finish();
    bakeNearLights(scene);
    expectCorner(scene->objects[0].faces[0].corners[0], 0.2f + 3.2f * 0.0625f, 1.0f, 0.2f);

    TestScene far;
    faceAwayTriangle(far);
    far.addLight({0, 160.01f, 0}, 0.25f, 0.5f, 0.0f);
    Scene* farScene = far.finish();
    bakeNearLights(farScene);
    expectCorner(farScene->objects[0].faces[0].corners[0], 0.2f, 0.2f, 0.2f);
}

TEST_F(Bakers, WithoutLightsTheStartingGreyIsStored) {
    TestScene near;
    faceAwayTriangle(near);
    bakeNearLights(near.finish());
    for (const Corner& c : near.objects[0].faces[0].corners) expectCorner(c, 0.2f, 0.2f, 0.2f);
    TestScene warm;
    faceAwayTriangle(warm);
    bakeWarmLights(warm.finish());
    for (const Corner& c : warm.objects[0].faces[0].corners) expectCorner(c, 0.3f, 0.3f, 0.3f);
}

TEST_F(Bakers, WarmLightsFadeFrom500To1000UnitsAndReachBehindTheSurface) {
    // Facing, 400 units: full strength.
    TestScene facing;
    faceAwayTriangle(facing);
    facing.addLight({0, 410, 0}, 0.25f, 0.5f, 0.0f);
    bakeWarmLights(facing.finish());
    expectCorner(facing.objects[0].faces[0].corners[0], 0.55f, 0.8f, 0.3f);

    // Facing, 750 units: half strength.
    TestScene fading;
    faceAwayTriangle(fading);
    fading.addLight({0, 760, 0}, 0.4f, 0.4f, 0.4f);
    bakeWarmLights(fading.finish());
    expectCorner(fading.objects[0].faces[0].corners[0], 0.5f, 0.5f, 0.5f);

    // Straight behind the surface (cosine -1): nothing; 1000 units or more: nothing.
    TestScene behind;
    faceAwayTriangle(behind);
    behind.addLight({0, -90, 0}, 1, 1, 1);
    behind.addLight({0, 1020, 0}, 1, 1, 1);
    bakeWarmLights(behind.finish());
    expectCorner(behind.objects[0].faces[0].corners[0], 0.3f, 0.3f, 0.3f);

    // Bright lights saturate at 1.
    TestScene bright;
    faceAwayTriangle(bright);
    bright.addLight({0, 20, 0}, 1, 1, 1);
    bakeWarmLights(bright.finish());
    expectCorner(bright.objects[0].faces[0].corners[0], 1, 1, 1);
}

TEST_F(Bakers, ALightOnTheVertexGivesAFiniteColour) {
    TestScene near;
    faceAwayTriangle(near);
    near.addLight({0, 10, 0}, 0.5f, 0.5f, 0.5f);
    bakeNearLights(near.finish());
    expectCorner(near.objects[0].faces[0].corners[0], 0.2f, 0.2f, 0.2f);
    TestScene warm;
    faceAwayTriangle(warm);
    warm.addLight({0, 10, 0}, 0.5f, 0.25f, 0.0f);
    bakeWarmLights(warm.finish());
    expectCorner(warm.objects[0].faces[0].corners[0], 0.7f, 0.5f, 0.3f);
}

TEST_F(Bakers, SkyShadeLightsDownwardNormalsOfScrollingMeshesOnly) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    // Eye (0, 0, -10), (0, 0, -11), (1, 0, -10): normal +y (black); the reverse winding: -y.
    SceneObject& up = ts.addObject({{0, 10, 0}, {0, 11, 0}, {1, 10, 0}}, {0, 1, 2});
    SceneObject& down = ts.addObject({{0, 10, 0}, {0, 11, 0}, {1, 10, 0}}, {0, 2, 1});
    SceneObject& plain = ts.addObject({{0, 10, 0}, {0, 11, 0}, {1, 10, 0}}, {0, 2, 1});
    up.textureSlot = down.textureSlot = 9;
    plain.textureSlot = 10;
    table[9].flags = SLOT_SCROLL_OVERLAY;
    ts.addLight({0, 0, 0}, 1, 1, 1);
    Scene* scene = ts.finish();
    bakeSkyShade(scene);
    for (const Corner& c : scene->objects[0].faces[0].corners) expectCorner(c, 0, 0, 0);
    for (const Corner& c : scene->objects[1].faces[0].corners) expectCorner(c, 0.9f, 0.9f, 0.9f);
    for (const Corner& c : scene->objects[2].faces[0].corners) expectCorner(c, 1, 1, 1);
}

TEST_F(Bakers, AnObjectHiddenAtTimeZeroIsLitFromItsTimeZeroPlace) {
    TestScene ts;
    faceAwayTriangle(ts);
    faceAwayTriangle(ts);
    ts.objects[1].hideTrack = ts.toggles({0});
    ts.addLight({0, 160, 0}, 0.25f, 0.5f, 0.0f);
    Scene* scene = ts.finish();
    bakeNearLights(scene);
    EXPECT_EQ(scene->objects[1].hideTrack.toggleState, 1);
    for (int k = 0; k < 3; ++k) {
        const Corner& shown = scene->objects[0].faces[0].corners[k];
        const Corner& hidden = scene->objects[1].faces[0].corners[k];
        expectCorner(hidden, shown.red, shown.green, shown.blue);
    }
}

// A face towards the camera, 10 units away, and a light hidden at time 0 behind it: the light
// lights the face from its time-0 place (not at all), not from the camera.
TEST_F(Bakers, ALightHiddenAtTimeZeroLightsFromItsTimeZeroPlace) {
    TestScene ts;
    ts.setCamera({0, 0, 0}, {0, 1, 0});
    ts.addObject({{0, 10, 0}, {1, 10, 0}, {0, 10, 1}}, {0, 2, 1});
    ts.addLight({0, 20, 0}, 1, 1, 1).hideTrack = ts.toggles({0});
    Scene* scene = ts.finish();
    bakeNearLights(scene);
    for (const Corner& c : scene->objects[0].faces[0].corners) expectCorner(c, 0.2f, 0.2f, 0.2f);
    EXPECT_EQ(scene->lights[0].eyePosition.z, 0);  // the light itself keeps no place
}
