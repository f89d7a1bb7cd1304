// Lens flares drawn into the headless context: where the chain lands for a given light, how
// the weight follows intensity and centre distance, how the intensity fades by frameStep, and a
// light in the eye plane.
#include <cmath>
#include <vector>

#include "anim/frame_clock.h"
#include "render/lens_flares.h"
#include "render_fixture.h"

namespace {

class LensFlares : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        savedFrameStep = frameStep;
        white = flatTexture(255, 255, 255);
        scene = Scene{};
    }
    void TearDown() override {
        frameStep = savedFrameStep;
        RenderTest::TearDown();
    }

    FlareSet* addSet(std::vector<FlareElement>& elements, Vec3* anchor) {
        FlareSet* set = &scene.flareSets[scene.flareSetCount++];
        *set = FlareSet{};
        set->elementCount = static_cast<int32_t>(elements.size());
        set->elements = elements.data();
        set->anchor = anchor;
        set->spacing = 1.0f;
        set->intensity = 1.0f;
        set->fadeDirection = 2;  // hold
        return set;
    }

    FlareElement element(float halfSize, float r, float g, float b) const {
        return FlareElement{white, halfSize, r, g, b};
    }

    Scene scene{};
    GLuint white = 0;
    float savedFrameStep = 1.0f;
};

TEST_F(LensFlares, CentredAnchorStacksElementsWeightedByIntensity) {
    Vec3 anchor{0, 0, -5};
    std::vector<FlareElement> elements(3, element(0.2f, 0.2f, 0.2f, 0.2f));
    FlareSet* set = addSet(elements, &anchor);
    set->intensity = 0.5f;
    set->falloff = 1.0f;
    drawFlares(&scene);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 77, 3));
    EXPECT_TRUE(greyNear(pixelAt(0.15, -0.15), 77, 3));
    EXPECT_TRUE(greyNear(pixelAt(0.3, 0.0), 0));
}

TEST_F(LensFlares, ChainRunsFromMirroredAnchorThroughCentre) {
    // Light right of and above the centre; its mirrored point is (-0.25, -0.25).
    Vec3 anchor{2.5f, 2.5f, -10.0f};
    std::vector<FlareElement> elements = {element(0.05f, 1, 0, 0), element(0.05f, 0, 1, 0),
                                          element(0.05f, 0, 0, 1)};
    FlareSet* set = addSet(elements, &anchor);
    set->elementsBeforeLight = 1;
    drawFlares(&scene);
    EXPECT_TRUE(colourNear(pixelAt(-0.5, -0.5), 255, 0, 0));
    EXPECT_TRUE(colourNear(pixelAt(-0.25, -0.25), 0, 255, 0));
    EXPECT_TRUE(colourNear(pixelAt(0.0, 0.0), 0, 0, 255));
    EXPECT_TRUE(greyNear(pixelAt(0.25, 0.25), 0));

    // Half the spacing halves the steps: the last element sits halfway to the centre.
    GlTestContext::clear(0.0f);
    set->spacing = 0.5f;
    drawFlares(&scene);
    EXPECT_TRUE(colourNear(pixelAt(-0.375, -0.375), 255, 0, 0));
    EXPECT_TRUE(colourNear(pixelAt(-0.125, -0.125), 0, 0, 255));
}

TEST_F(LensFlares, WeightFallsOffWithDistanceFromCentre) {
    Vec3 anchor{-2.0f, 0.0f, -10.0f};  // mirrored point (0.2, 0)
    std::vector<FlareElement> elements = {element(0.05f, 1, 1, 1)};
    FlareSet* set = addSet(elements, &anchor);
    set->falloff = 1.0f;  // h = 1 - 0.2 * 3
    drawFlares(&scene);
    EXPECT_TRUE(greyNear(pixelAt(0.2, 0.0), 102));

    // At 1/(3f) or further out the chain adds black.
    GlTestContext::clear(0.0f);
    anchor = Vec3{-5.0f, 0.0f, -10.0f};  // 0.5 from the centre, past 1/2.4
    set->falloff = 0.8f;
    drawFlares(&scene);
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.0), 0, 0));
}

TEST_F(LensFlares, IntensityFadesByFrameStepAndStaysClamped) {
    Vec3 anchor{0, 0, -5};
    std::vector<FlareElement> none;
    FlareSet* in = addSet(none, &anchor);
    FlareSet* out = addSet(none, &anchor);
    FlareSet* held = addSet(none, &anchor);
    in->intensity = 0.0f;
    in->fadeDirection = 1;
    in->fadeSpeed = 0.01f;
    out->intensity = 0.3f;
    out->fadeDirection = 0;
    out->fadeSpeed = 0.01f;
    held->intensity = 0.6f;
    held->fadeDirection = 2;
    held->fadeSpeed = 0.01f;

    frameStep = 2.5f;
    drawFlares(&scene);
    EXPECT_NEAR(in->intensity, 0.25f, 1e-6);
    EXPECT_NEAR(out->intensity, 0.05f, 1e-6);
    for (int i = 0; i < 3; ++i) drawFlares(&scene);
    EXPECT_NEAR(in->intensity, 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(out->intensity, 0.0f);
    frameStep = 7.0f;
    drawFlares(&scene);
    EXPECT_FLOAT_EQ(in->intensity, 1.0f);
    EXPECT_FLOAT_EQ(held->intensity, 0.6f);

    // A step back in music time fades the other way.
    frameStep = -1.0f;
    drawFlares(&scene);
    EXPECT_NEAR(in->intensity, 0.9f, 1e-6);
    EXPECT_NEAR(out->intensity, 0.1f, 1e-6);
}

TEST_F(LensFlares, LightInEyePlaneSkipsDrawingButStillFades) {
    Vec3 anchor{1.0f, 1.0f, 0.0f};
    std::vector<FlareElement> elements = {element(5.0f, 1, 1, 1)};
    FlareSet* set = addSet(elements, &anchor);
    set->intensity = 0.5f;
    set->fadeDirection = 1;
    set->fadeSpeed = 0.01f;
    frameStep = 1.0f;
    const GLuint before = flatTexture(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, before);
    drawFlares(&scene);
    GLint binding = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    EXPECT_EQ(static_cast<GLuint>(binding), before);  // no element was even bound
    EXPECT_NEAR(set->intensity, 0.6f, 1e-6);
    EXPECT_FALSE(std::isnan(set->intensity));
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0, 0));
    EXPECT_TRUE(greyNear(pixelAt(0.9, -0.9), 0, 0));
}

TEST_F(LensFlares, LeavesOverlayProjectionAndAdditiveState) {
    Vec3 anchor{0, 0, -5};
    std::vector<FlareElement> elements = {element(0.1f, 1, 1, 1)};
    addSet(elements, &anchor);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3, 4, 5);
    drawFlares(&scene);
    GLint mode = 0, source = 0, destination = 0;
    GLboolean depthWrites = GL_TRUE;
    GLfloat projection[16], modelview[16];
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_SRC_ALPHA);
    EXPECT_EQ(depthWrites, GL_FALSE);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_NEAR(projection[0], 1.0f, 1e-6);  // 90 degrees, aspect 1
    EXPECT_NEAR(projection[5], 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(modelview[12], 0.0f);
}

}  // namespace
