// The scene render pass on Scenes built in memory and drawn in the headless context: what
// sceneBrightness darkens and what it leaves alone, the camera's field of view, fog, the
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

void stay(Sprite*, void*) {}

std::vector<int> hookOrder;
void recordHook(SceneObject*, void* argument) { hookOrder.push_back(*static_cast<int*>(argument)); }
void pushOffScreen(SceneObject* object, void* argument) {
    recordHook(object, argument);
    for (int32_t i = 0; i < object->vertexCount; ++i) object->eyeVertices[i].x += 100.0f;
}

class ScenePass : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        savedFrameStep = frameStep;
        frameStep = 1.0f;
        greySlot(99, 255, 1.0f);  // wire texture
        greySlot(1, 255);         // opaque white
        greySlot(2, 100, 1.0f);   // translucent grey
        greySlot(3, 255, 1.0f);   // sprites and flares
    }
    void TearDown() override {
        frameStep = savedFrameStep;
        hookOrder.clear();
        RenderTest::TearDown();
    }
    Scene* scene() { return &f->scene; }

    // Opaque top left, translucent top right, a half-grey sprite bottom left and a half-grey
    // flare bottom right, all at depth -10.
    void buildFourCorners() {
        f->addQuads(-9, 1, -1, 9, -10, 1);
        f->addQuads(1, 1, 9, 9, -10, 2);
        sprite = Sprite{{}, {}, SceneFixture::worldFromEye({-5, -5, -10}), {}, {0.5f, 0.5f, 0.5f}, 0, 2, 0, 0};
        scene()->spriteSets[scene()->spriteSetCount++] = SpriteSet{&sprite, 1, nullptr, stay, nullptr, &table[3], 1};
        flareElement = FlareElement{table[3].glName, 0.1f, 0.5f, 0.5f, 0.5f};
        scene()->flareSets[scene()->flareSetCount++] = FlareSet{1, 0, &flareElement, &flareAnchor, 1, 1, 0, 0, 2};
    }

    std::unique_ptr<SceneFixture> f = std::make_unique<SceneFixture>();
    Sprite sprite{};
    FlareElement flareElement{};
    Vec3 flareAnchor{-5, 5, -10};  // mirrored to the bottom right
    float savedFrameStep = 1.0f;
};

TEST_F(ScenePass, BrightnessDarkensOpaqueMeshesAndEarlierPictureOnly) {
    struct Case {
        float brightness;
        int background, opaque, translucent, sprite, flare;
    };
    // At 0 the opaque mesh is left out, so the translucent quad behind it shows there.
    const Case cases[] = {{1.0f, 102, 255, 202, 230, 230}, {0.5f, 51, 128, 151, 179, 179},
                          {0.0f, 0, 100, 100, 128, 128}};
    for (const Case& c : cases) {
        f = std::make_unique<SceneFixture>();
        buildFourCorners();
        f->addQuads(-16, 4, -4, 16, -20, 2);  // translucent, behind the opaque quad
        GlTestContext::clear(0.4f);
        settings.sceneBrightness = c.brightness;
        renderScene(scene(), 0.0f, settings);
        SCOPED_TRACE(c.brightness);
        EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), c.background));
        EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.5), c.opaque));
        EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), c.translucent));
        EXPECT_TRUE(greyNear(pixelAt(-0.5, -0.5), c.sprite));
        EXPECT_TRUE(greyNear(pixelAt(0.5, -0.5), c.flare));
    }
}

TEST_F(ScenePass, CameraFovIsHalfTheVerticalFieldOfView) {
    f->addQuads(-5, -5, 5, 5, -10, 1);
    renderScene(scene(), 0.0f, settings);  // pi/4: 90 degrees, the quad spans [-0.5, 0.5]
    EXPECT_TRUE(greyNear(pixelAt(0.45, 0.0), 255));
    EXPECT_TRUE(greyNear(pixelAt(0.55, 0.0), 0));
    EXPECT_TRUE(greyNear(pixelAt(0.0, -0.45), 255));
    EXPECT_TRUE(greyNear(pixelAt(0.0, -0.55), 0));
    GlTestContext::clear(0.0f);
    f->cameraFov.value = 0.5f;  // about 57.3 degrees: the quad reaches 0.915
    renderScene(scene(), 0.0f, settings);
    EXPECT_TRUE(greyNear(pixelAt(0.85, 0.0), 255));
    EXPECT_TRUE(greyNear(pixelAt(0.95, 0.0), 0));
}

TEST_F(ScenePass, FogFollowsTheSceneAndIsOffAfterwards) {
    f->addQuads(-5, -5, 5, 5, -10, 1);
    glEnable(GL_FOG);
    renderScene(scene(), 0.0f, settings);  // density 0: no fog although it was on
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 255));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    scene()->fogDensity = 0.1f;
    scene()->fogColour[0] = scene()->fogColour[3] = 1.0f;
    GlTestContext::clear(0.0f);
    renderScene(scene(), 0.0f, settings);
    // Exponential fog at distance 10: exp(-1) of the white mesh, the rest fog red.
    const int kept = static_cast<int>(std::lround(255.0 * std::exp(-1.0)));
    EXPECT_TRUE(colourNear(pixelAt(0.0, 0.0), 255, kept, kept, 5));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_EQ(glInteger<GLenum>(GL_FOG_MODE), GLenum(GL_EXP));
}

TEST_F(ScenePass, FrameHooksRunInOrderBetweenUpdateAndDrawing) {
    SceneObject* object = f->addQuads(-5, -5, 5, 5, -10, 1);
    object->eyeVertices[0] = {0, 0, 0};  // stale: the update rewrites it before the hooks
    int first = 1, second = 2;
    scene()->frameHooks[0] = FrameHook{object, &first, recordHook};
    scene()->frameHooks[1] = FrameHook{object, &second, pushOffScreen};
    scene()->frameHookCount = 2;
    renderScene(scene(), 0.0f, settings);
    EXPECT_EQ(hookOrder, (std::vector<int>{1, 2}));
    EXPECT_NEAR(object->eyeVertices[0].x, 95.0f, 1e-3);
    EXPECT_NEAR(object->eyeVertices[0].z, -10.0f, 1e-3);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));

    // A count past the capacity runs the hooks that exist; an empty entry is skipped.
    hookOrder.clear();
    scene()->frameHooks[1].function = nullptr;
    scene()->frameHookCount = MAX_FRAME_HOOKS + 50;
    runFrameHooks(scene());
    EXPECT_EQ(hookOrder, std::vector<int>{1});
}

TEST_F(ScenePass, WobbleMovesVerticesFromTheirOldValuesAndLightsInWorldOnly) {
    SceneObject* object = f->addQuads(-5, -5, 5, 5, -10, 1);
    SceneLight light{};
    light.worldPosition = {0, 100, 0};
    light.eyePosition = {1, 2, 3};
    scene()->lights = &light;
    scene()->lightCount = 1;
    object->eyeVertices[0] = {0, 100, 0};
    object->eyeVertices[1] = {10, -20, 30};
    wobbleScene(scene(), 50.0f);
    const double b = static_cast<float>(50.0f * 0.02), k2 = 0.0008;
    EXPECT_NEAR(object->eyeVertices[0].x, 350 * std::sin(k2 * 100 + b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[0].y, 100 + 350 * std::cos(b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[0].z, 350 * std::sin(k2 * 100 + b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[1].x, 10 + 350 * std::sin(k2 * 10 + b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[1].y, -20 + 350 * std::cos(k2 * 40 + b), 1e-3);
    EXPECT_NEAR(object->eyeVertices[1].z, 30 + 350 * std::sin(k2 * -10 + b), 1e-3);
    EXPECT_NEAR(light.worldPosition.y, 100 + 350 * std::cos(b), 1e-3);
    EXPECT_FLOAT_EQ(light.eyePosition.x, 1.0f);

    // Through the pass: only with the flag on does the drawn mesh move.
    scene()->lightCount = 0;
    renderScene(scene(), 0.0f, settings);
    EXPECT_NEAR(object->eyeVertices[0].y, -5.0f, 1e-4);
    settings.wobbleEnabled = 1;
    renderScene(scene(), 0.0f, settings);
    EXPECT_NEAR(object->eyeVertices[0].y, -5 + 350 * std::cos(0.0008 * -15), 1e-2);
}

TEST_F(ScenePass, HundredFramesAllocateNothing) {
    buildFourCorners();
    table[1].wireBrightness = 0.5f;
    f->addQuads(-9, -9, 9, 9, -12, 1, 100);
    std::vector<Sprite> sprites(300);
    for (size_t i = 0; i < sprites.size(); ++i)
        sprites[i] = Sprite{{}, {}, SceneFixture::worldFromEye({float(i % 20) - 10, float(i / 20) - 7, -15}),
                            {}, {0.2f, 0.2f, 0.2f}, 0, 0.3f, 0, 0};
    scene()->spriteSets[scene()->spriteSetCount++] = SpriteSet{sprites.data(), 300, nullptr, stay, nullptr, &table[3], 300};
    int argument = 7;
    scene()->frameHooks[scene()->frameHookCount++] = FrameHook{&f->objects[0], &argument, recordHook};
    hookOrder.reserve(200);
    settings.wobbleEnabled = 1;
    settings.sceneBrightness = 0.7f;
    scene()->fogDensity = 0.001f;
    // Warm-up frames let the driver build and cache its state for this mix of passes.
    for (int frame = 0; frame < 5; ++frame) renderScene(scene(), float(frame), settings);
    glFinish();
    AllocationCounter::start();
    for (int frame = 0; frame < 100; ++frame) renderScene(scene(), 5.0f + float(frame), settings);
    glFinish();
    EXPECT_EQ(AllocationCounter::stop(), 0);
    EXPECT_EQ(hookOrder.size(), 105u);
}

}  // namespace
