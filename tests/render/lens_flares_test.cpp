// Lens flares drawn in the headless context: where a chain lands for a given light, how its
// weight follows intensity and distance from the centre, how the intensity fades by frameStep,
// and a light in the eye plane.
#include <cmath>
#include <vector>

#include "anim/frame_clock.h"
#include "render/lens_flares.h"
#include "render/overlays.h"
#include "render_fixture.h"

namespace {

class LensFlares : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        savedFrameStep = frameStep;
        white = flatTexture(255, 255, 255);
        scene = std::make_unique<Scene>();
    }
    void TearDown() override {
        frameStep = savedFrameStep;
        RenderTest::TearDown();
    }
    // A held chain of full intensity, spacing 1, no falloff.
    FlareSet* addSet(std::vector<FlareElement>& elements, Vec3* anchor) {
        FlareSet* set = &scene->flareSets[scene->flareSetCount++];
        *set = FlareSet{static_cast<int32_t>(elements.size()), 0, elements.data(), anchor, 1, 1, 0, 0, 2};
        return set;
    }
    FlareElement element(float halfSize, float r, float g, float b) const {
        return FlareElement{white, halfSize, r, g, b};
    }
    std::unique_ptr<Scene> scene;
    GLuint white = 0;
    float savedFrameStep = 1.0f;
};

TEST_F(LensFlares, ChainRunsFromTheMirroredLightThroughTheCentre) {
    Vec3 anchor{2.5f, 2.5f, -10.0f};  // mirrored point (-0.25, -0.25)
    std::vector<FlareElement> chain = {element(0.05f, 1, 0, 0), element(0.05f, 0, 1, 0),
                                       element(0.05f, 0, 0, 1)};
    FlareSet* set = addSet(chain, &anchor);
    set->elementsBeforeLight = 1;
    drawFlares(scene.get());
    EXPECT_TRUE(colourNear(pixelAt(-0.5, -0.5), 255, 0, 0));
    EXPECT_TRUE(colourNear(pixelAt(-0.25, -0.25), 0, 255, 0));
    EXPECT_TRUE(colourNear(pixelAt(0.0, 0.0), 0, 0, 255));
    EXPECT_TRUE(greyNear(pixelAt(0.25, 0.25), 0));
    GlTestContext::clear(0.0f);
    set->spacing = 0.5f;
    drawFlares(scene.get());
    EXPECT_TRUE(colourNear(pixelAt(-0.375, -0.375), 255, 0, 0));
    EXPECT_TRUE(colourNear(pixelAt(-0.125, -0.125), 0, 0, 255));

    // A light on the axis stacks every element at the centre with the intensity as weight.
    GlTestContext::clear(0.0f);
    anchor = {0, 0, -5};
    set->intensity = 0.5f;
    set->falloff = 1.0f;
    chain.assign(3, element(0.2f, 0.2f, 0.2f, 0.2f));
    set->elements = chain.data();
    drawFlares(scene.get());
    EXPECT_TRUE(greyNear(pixelAt(0.15, -0.15), 77));
    EXPECT_TRUE(greyNear(pixelAt(0.3, 0.0), 0));
}

// The elements keep the depth test: where a tile of the mask still stands, they do not show.
TEST_F(LensFlares, TileMaskHidesTheElements) {
    greySlot(98, 0, 1.0f);
    Vec3 anchor{0, 0, -10};
    std::vector<FlareElement> screen = {element(1.0f, 1, 1, 1)};
    addSet(screen, &anchor);
    drawTileMask(4);  // the top row stands
    drawFlares(scene.get());
    EXPECT_TRUE(greyNear(pixelAt(0.5, -0.5), 255));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 0));
}

TEST_F(LensFlares, WeightFallsOffWithDistanceFromCentre) {
    Vec3 anchor{-2.0f, 0.0f, -10.0f};  // mirrored point (0.2, 0)
    std::vector<FlareElement> one = {element(0.05f, 1, 1, 1)};
    FlareSet* set = addSet(one, &anchor);
    set->falloff = 1.0f;  // weight 1 - 0.2 x 3
    drawFlares(scene.get());
    EXPECT_TRUE(greyNear(pixelAt(0.2, 0.0), 102));
    GlTestContext::clear(0.0f);
    anchor = {-5.0f, 0.0f, -10.0f};  // 0.5 out, past 1 / (3 x 0.8)
    set->falloff = 0.8f;
    drawFlares(scene.get());
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.0), 0, 0));
}

TEST_F(LensFlares, IntensityFadesByFrameStepAndStaysClamped) {
    Vec3 anchor{0, 0, -5};
    std::vector<FlareElement> none;
    FlareSet* in = addSet(none, &anchor);
    FlareSet* out = addSet(none, &anchor);
    FlareSet* held = addSet(none, &anchor);
    *in = FlareSet{0, 0, nullptr, &anchor, 1, 0.0f, 0, 0.01f, 1};
    *out = FlareSet{0, 0, nullptr, &anchor, 1, 0.3f, 0, 0.01f, 0};
    held->intensity = 0.6f;
    held->fadeSpeed = 0.01f;
    frameStep = 2.5f;
    drawFlares(scene.get());
    EXPECT_NEAR(in->intensity, 0.25f, 1e-6);
    EXPECT_NEAR(out->intensity, 0.05f, 1e-6);
    for (int i = 0; i < 3; ++i) drawFlares(scene.get());
    frameStep = 7.0f;
    drawFlares(scene.get());
    EXPECT_FLOAT_EQ(in->intensity, 1.0f);
    EXPECT_FLOAT_EQ(out->intensity, 0.0f);
    EXPECT_FLOAT_EQ(held->intensity, 0.6f);
    frameStep = -1.0f;  // music stepping back fades the other way
    drawFlares(scene.get());
    EXPECT_NEAR(in->intensity, 0.9f, 1e-6);
}

TEST_F(LensFlares, LightInTheEyePlaneOnlyFades) {
    Vec3 anchor{1.0f, 1.0f, 0.0f};
    std::vector<FlareElement> big = {element(5.0f, 1, 1, 1)};
    FlareSet* set = addSet(big, &anchor);
    set->intensity = 0.5f;
    set->fadeDirection = 1;
    set->fadeSpeed = 0.01f;
    frameStep = 1.0f;
    const GLuint before = flatTexture(1, 1, 1);
    drawFlares(scene.get());
    EXPECT_NEAR(set->intensity, 0.6f, 1e-6);
    EXPECT_EQ(glInteger<GLuint>(GL_TEXTURE_BINDING_2D), before);  // no element even bound
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0, 0));
}

TEST_F(LensFlares, LeavesOverlayProjectionAndAdditiveState) {
    Vec3 anchor{0, 0, -5};
    std::vector<FlareElement> one = {element(0.1f, 1, 1, 1)};
    addSet(one, &anchor);
    glTranslatef(3, 4, 5);
    drawFlares(scene.get());
    GLfloat projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(glInteger<GLenum>(GL_MATRIX_MODE), GLenum(GL_PROJECTION));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glInteger<GLenum>(GL_BLEND_DST), GLenum(GL_SRC_ALPHA));
    EXPECT_FALSE(glInteger<bool>(GL_DEPTH_WRITEMASK));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_NEAR(projection[0], 1.0f, 1e-6);  // 90 degrees, aspect 1
    EXPECT_NEAR(projection[5], 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(modelview[12], 0.0f);
}

}  // namespace
