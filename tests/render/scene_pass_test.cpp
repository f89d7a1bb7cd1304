// The scene render pass on small Scenes built in memory, drawn into the headless context:
// what sceneBrightness darkens and what it leaves alone, the camera's field of view, fog, the
// frame hooks and the wobble, and that a hundred frames allocate nothing.
#include <cmath>
#include <memory>
#include <vector>

#include "allocation_counter.h"
#include "anim/frame_clock.h"
#include "render/scene_pass.h"
#include "render_fixture.h"
#include "scene_fixture.h"

namespace {

void doNothing(Sprite*, void*) {}

class ScenePass : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        savedFrameStep = frameStep;
        frameStep = 1.0f;
        fixture = std::make_unique<SceneFixture>();
        flatSlot(99, 255, 255, 255, 1.0f);       // wire texture
        flatSlot(1, 255, 255, 255);              // opaque white
        flatSlot(2, 100, 100, 100, 1.0f);        // translucent grey
        flatSlot(3, 255, 255, 255, 1.0f);        // sprite picture
        flareTexture = flatTexture(255, 255, 255);
    }
    void TearDown() override {
        frameStep = savedFrameStep;
        RenderTest::TearDown();
    }

    Scene* scene() { return &fixture->scene; }

    // Opaque top left, translucent top right, a sprite bottom left, a flare bottom right.
    void buildFourCorners() {
        fixture->addQuadObject(-9, 1, -1, 9, -10, 1);
        fixture->addQuadObject(1, 1, 9, 9, -10, 2);
        sprite = Sprite{};
        sprite.worldPosition = SceneFixture::worldFromEye(-5, -5, -10);
        sprite.colour = {0.5f, 0.5f, 0.5f};
        sprite.halfSize = 2.0f;
        SpriteSet& set = scene()->spriteSets[scene()->spriteSetCount++];
        set = SpriteSet{&sprite, 1, nullptr, doNothing, nullptr, &table[3], 1};
        flareElement = FlareElement{flareTexture, 0.1f, 0.5f, 0.5f, 0.5f};
        flareAnchor = {-5, 5, -10};  // mirrored to the bottom right
        FlareSet& flare = scene()->flareSets[scene()->flareSetCount++];
        flare = FlareSet{1, 0, &flareElement, &flareAnchor, 1.0f, 1.0f, 0.0f, 0.0f, 2};
    }

    std::unique_ptr<SceneFixture> fixture;
    Sprite sprite{};
    FlareElement flareElement{};
    Vec3 flareAnchor{};
    GLuint flareTexture = 0;
    float savedFrameStep = 1.0f;
};

TEST_F(ScenePass, FullBrightnessDrawsEveryPassOverThePicture) {
    GlTestContext::clear(0.4f);
    buildFourCorners();
    renderScene(scene(), 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 102));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.5), 255));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 202));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, -0.5), 230));
    EXPECT_TRUE(greyNear(pixelAt(0.5, -0.5), 230));
}

TEST_F(ScenePass, HalfBrightnessDarkensOpaqueMeshesAndEarlierPictureOnly) {
    GlTestContext::clear(0.4f);
    buildFourCorners();
    sceneBrightness = 0.5f;
    renderScene(scene(), 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 51));         // background
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.5), 128));       // opaque mesh
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 51 + 100));   // translucent mesh at full strength
    EXPECT_TRUE(greyNear(pixelAt(-0.5, -0.5), 51 + 128)); // sprite
    EXPECT_TRUE(greyNear(pixelAt(0.5, -0.5), 51 + 128));  // flare
}

TEST_F(ScenePass, ZeroBrightnessBlacksOutButLaterPassesStillDraw) {
    GlTestContext::clear(0.4f);
    buildFourCorners();
    // A translucent quad behind the opaque one shows only if the opaque one wrote no depth.
    fixture->addQuadObject(-16, 4, -4, 16, -20, 2);
    sceneBrightness = 0.0f;
    renderScene(scene(), 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.5), 100));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 100));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, -0.5), 128));
    EXPECT_TRUE(greyNear(pixelAt(0.5, -0.5), 128));
}

TEST_F(ScenePass, CameraFovIsHalfTheVerticalFieldOfView) {
    fixture->addQuadObject(-5, -5, 5, 5, -10, 1);
    renderScene(scene(), 0.0f);  // fov pi/4: 90 degrees, the quad spans [-0.5, 0.5]
    EXPECT_TRUE(greyNear(pixelAt(0.45, 0.0), 255));
    EXPECT_TRUE(greyNear(pixelAt(0.55, 0.0), 0));
    EXPECT_TRUE(greyNear(pixelAt(0.0, -0.45), 255));
    EXPECT_TRUE(greyNear(pixelAt(0.0, -0.55), 0));

    GlTestContext::clear(0.0f);
    fixture->cameraFov.value = 0.5f;  // about 57.3 degrees: the quad reaches 0.915
    renderScene(scene(), 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.85, 0.0), 255));
    EXPECT_TRUE(greyNear(pixelAt(0.95, 0.0), 0));
}

TEST_F(ScenePass, FogFollowsTheSceneAndIsOffAfterwards) {
    fixture->addQuadObject(-5, -5, 5, 5, -10, 1);
    glEnable(GL_FOG);
    renderScene(scene(), 0.0f);  // density 0: no fog although it was on
    EXPECT_TRUE(colourNear(pixelAt(0.0, 0.0), 255, 255, 255));
    EXPECT_FALSE(glIsEnabled(GL_FOG));

    GlTestContext::clear(0.0f);
    scene()->fogDensity = 0.1f;
    scene()->fogColour[0] = 1.0f;
    scene()->fogColour[3] = 1.0f;
    renderScene(scene(), 0.0f);
    // Exponential fog at distance 10: exp(-1) of the white mesh, the rest fog red.
    const int kept = static_cast<int>(std::lround(255.0 * std::exp(-1.0)));
    EXPECT_TRUE(colourNear(pixelAt(0.0, 0.0), 255, kept, kept, 5));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    GLint fogMode = 0;
    glGetIntegerv(GL_FOG_MODE, &fogMode);
    EXPECT_EQ(fogMode, GL_EXP);
}

struct HookLog {
    std::vector<int> order;
    Vec3 firstVertexSeen{};
};
HookLog* hookLog = nullptr;

void logFirstHook(SceneObject* object, void* argument) {
    hookLog->order.push_back(*static_cast<int*>(argument));
    hookLog->firstVertexSeen = object->eyeVertices[0];
}
void pushOffScreen(SceneObject* object, void* argument) {
    hookLog->order.push_back(*static_cast<int*>(argument));
    for (int32_t i = 0; i < object->vertexCount; ++i) object->eyeVertices[i].x += 100.0f;
}

TEST_F(ScenePass, FrameHooksRunInOrderAfterUpdateAndBeforeDrawing) {
    HookLog log;
    hookLog = &log;
    SceneObject* object = fixture->addQuadObject(-5, -5, 5, 5, -10, 1);
    int first = 1, second = 2;
    scene()->frameHooks[0] = FrameHook{object, &first, logFirstHook};
    scene()->frameHooks[1] = FrameHook{object, &second, pushOffScreen};
    scene()->frameHookCount = 2;
    renderScene(scene(), 0.0f);
    ASSERT_EQ(log.order.size(), 2u);
    EXPECT_EQ(log.order[0], 1);
    EXPECT_EQ(log.order[1], 2);
    // The first hook saw the updated eye-space vertex (-5, -5, -10).
    EXPECT_NEAR(log.firstVertexSeen.x, -5.0f, 1e-4);
    EXPECT_NEAR(log.firstVertexSeen.y, -5.0f, 1e-4);
    EXPECT_NEAR(log.firstVertexSeen.z, -10.0f, 1e-4);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));

    // A count above the capacity runs only the hooks that exist; an empty entry is skipped.
    log.order.clear();
    scene()->frameHooks[1].function = nullptr;
    scene()->frameHookCount = MAX_FRAME_HOOKS + 50;
    runFrameHooks(scene());
    EXPECT_EQ(log.order, std::vector<int>{1});
    hookLog = nullptr;
}

TEST_F(ScenePass, WithoutWobbleEyeVerticesStayAsUpdated) {
    SceneObject* object = fixture->addQuadObject(-5, -4, 5, 6, -10, 1);
    renderScene(scene(), 3.0f);
    EXPECT_NEAR(object->eyeVertices[2].x, 5.0f, 1e-4);
    EXPECT_NEAR(object->eyeVertices[2].y, 6.0f, 1e-4);
    EXPECT_NEAR(object->eyeVertices[2].z, -10.0f, 1e-4);
}

TEST_F(ScenePass, WobbleMovesVerticesFromTheirOldValuesAndLightsInWorldOnly) {
    SceneObject* object = fixture->addQuadObject(-5, -5, 5, 5, -10, 1);
    SceneLight* light = fixture->addLight(0, 0, -10);
    object->eyeVertices[0] = {0, 100, 0};
    object->eyeVertices[1] = {10, -20, 30};
    light->worldPosition = {0, 100, 0};
    light->eyePosition = {1, 2, 3};
    const float t = 50.0f;
    wobbleScene(scene(), t);
    const double b = static_cast<float>(t * 0.02);
    const double k2 = 0.0008;
    // Every new coordinate comes from the old three.
    EXPECT_NEAR(object->eyeVertices[0].x, 350 * std::sin(k2 * 100 + b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[0].y, 100 + 350 * std::cos(b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[0].z, 350 * std::sin(k2 * 100 + b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[1].x, 10 + 350 * std::sin(k2 * 10 + b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[1].y, -20 + 350 * std::cos(k2 * 40 + b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[1].z, 30 + 350 * std::sin(k2 * -10 + b), 1e-3);
    EXPECT_NEAR(light->worldPosition.y, 100 + 350 * std::cos(b), 1e-3);
    EXPECT_FLOAT_EQ(light->eyePosition.x, 1.0f);
    EXPECT_FLOAT_EQ(light->eyePosition.z, 3.0f);
}

TEST_F(ScenePass, WobbleFlagWarpsTheDrawnScene) {
    SceneObject* object = fixture->addQuadObject(-5, -5, 5, 5, -10, 1);
    wobbleEnabled = 1;
    renderScene(scene(), 0.0f);
    // (-5, -5, -10) moves by 350 cos(0.0008 (-15)) in y, far off the screen.
    EXPECT_NEAR(object->eyeVertices[0].y, -5 + 350 * std::cos(0.0008 * -15), 1e-2);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));
}

TEST_F(ScenePass, FlaresFadeOncePerRenderOfTheScene) {
    buildFourCorners();
    FlareSet& flare = scene()->flareSets[0];
    flare.intensity = 0.0f;
    flare.fadeDirection = 1;
    flare.fadeSpeed = 0.01f;
    frameStep = 1.0f;
    renderScene(scene(), 0.0f);
    renderScene(scene(), 0.0f);
    EXPECT_NEAR(flare.intensity, 0.2f, 1e-6);
}

TEST_F(ScenePass, HundredFramesAllocateNothing) {
    buildFourCorners();
    // A few hundred triangles, a few hundred sprites and a hook, through every pass.
    table[1].wireBrightness = 0.5f;
    fixture->addQuadObject(-9, -9, 9, 9, -12, 1, 100);
    std::vector<Sprite> sprites(300);
    for (size_t i = 0; i < sprites.size(); ++i) {
        sprites[i].worldPosition = SceneFixture::worldFromEye(static_cast<float>(i % 20) - 10,
                                                              static_cast<float>(i / 20) - 7, -15);
        sprites[i].colour = {0.2f, 0.2f, 0.2f};
        sprites[i].halfSize = 0.3f;
    }
    SpriteSet& set = scene()->spriteSets[scene()->spriteSetCount++];
    set = SpriteSet{sprites.data(), 300, nullptr, doNothing, nullptr, &table[3], 300};
    HookLog log;
    log.order.reserve(1000);
    hookLog = &log;
    int argument = 7;
    scene()->frameHooks[scene()->frameHookCount++] =
        FrameHook{&fixture->objects[0], &argument, logFirstHook};
    wobbleEnabled = 1;
    sceneBrightness = 0.7f;
    scene()->fogDensity = 0.001f;

    for (int frame = 0; frame < 5; ++frame) renderScene(scene(), static_cast<float>(frame));
    glFinish();
    log.order.clear();
    AllocationCounter::start();
    for (int frame = 0; frame < 100; ++frame) renderScene(scene(), 5.0f + static_cast<float>(frame));
    glFinish();
    const long allocations = AllocationCounter::stop();
    hookLog = nullptr;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(log.order.size(), 100u);
}

}  // namespace
