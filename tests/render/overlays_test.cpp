// Render states and full-screen overlays, checked by drawing in the headless context and
// reading the pixels back: how Layers blend and where they land, the fades, the tile mask, and
// the state each operation leaves for the next.
#include <limits>
#include <vector>

#include "anim/layers.h"
#include "render/overlays.h"
#include "render_fixture.h"

namespace {

int deformerCalls = 0;
float lastDeformTime = 0.0f;

// Copies the base position and counts the calls.
void copyBase(LayerVertex* v, float time) {
    ++deformerCalls;
    lastDeformTime = time;
    v->x = v->baseX;
    v->y = v->baseY;
    v->z = v->baseZ;
}

// A columns x rows grid from (x1, y1) to (x2, y2) at depth -1, built here.
struct LayerFixture {
    std::vector<LayerVertex> vertices;
    Layer layer{};

    LayerFixture(float x1, float y1, float x2, float y2, int columns, int rows, int slot) {
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; ++j) {
                LayerVertex v{};
                const float fx = columns > 1 ? static_cast<float>(j) / (columns - 1) : 0.0f;
                const float fy = rows > 1 ? static_cast<float>(i) / (rows - 1) : 0.0f;
                v.baseX = x1 + (x2 - x1) * fx;
                v.baseY = y1 + (y2 - y1) * fy;
                v.baseZ = -1.0f;
                v.x = v.y = v.z = 123.0f;  // marks a vertex the deformer never touched
                v.u = fx;
                v.v = fy;
                vertices.push_back(v);
            }
        layer.columns = columns;
        layer.rows = rows;
        layer.vertexCount = columns * rows;
        layer.vertices = vertices.data();
        layer.textureSlot = slot;
        layer.deformer = copyBase;
    }
};

class Overlays : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        deformerCalls = 0;
        flatSlot(98, 0, 0, 0, 1.0f);  // tile texture
        flatSlot(5, 128, 128, 128);   // Layer picture
    }
};

TEST_F(Overlays, AdditiveLayerAddsTextureTimesBrightness) {
    GlTestContext::clear(0.25f);
    LayerFixture f(-1, -1, 1, 1, 3, 3, 5);
    drawLayerScaled(&f.layer, 0.5f, 1, 1, 1, 7.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.3, -0.6), 64 + 64));
    EXPECT_TRUE(greyNear(pixelAt(-0.9, 0.9), 64 + 64));
    EXPECT_EQ(deformerCalls, 9);
    EXPECT_FLOAT_EQ(lastDeformTime, 7.0f);
}

TEST_F(Overlays, MultiplyingLayerMultipliesPicture) {
    GlTestContext::clear(0.5f);
    LayerFixture f(-1, -1, 1, 1, 2, 2, 5);
    drawLayerShiftedMultiply(&f.layer, 1.0f, 0, 0, 0, 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 64));

    // A tiny brightness turns the covered area almost black.
    GlTestContext::clear(1.0f);
    drawLayerScaledMultiply(&f.layer, 0.001f, 1, 1, 1, 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 0, 1));
}

TEST_F(Overlays, ScaledAndShiftedLayersPlaceDrawnPositions) {
    // A Layer over the left half, shifted right by 1, covers only the right half.
    LayerFixture f(-1, -1, 0, 1, 2, 2, 5);
    drawLayerShifted(&f.layer, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.0), 0));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.0), 128));

    // The same Layer scaled by -1 in x lands on the right half too, scaled by 0.5 in y only
    // on the middle band.
    GlTestContext::clear(0.0f);
    drawLayerScaled(&f.layer, 1.0f, -1.0f, 0.5f, 1.0f, 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.0), 128));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.8), 0));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.0), 0));
}

TEST_F(Overlays, ZeroOrInvalidBrightnessDrawsNothingAndLeavesVerticesAlone) {
    GlTestContext::clear(0.25f);
    LayerFixture f(-1, -1, 1, 1, 3, 3, 5);
    drawLayerScaled(&f.layer, 0.0f, 1, 1, 1, 0.0f);
    drawLayerShifted(&f.layer, 0.0f, 0, 0, 0, 0.0f);
    drawLayerScaledMultiply(&f.layer, 0.0f, 1, 1, 1, 0.0f);
    drawLayerShiftedMultiply(&f.layer, std::numeric_limits<float>::quiet_NaN(), 0, 0, 0, 0.0f);
    EXPECT_EQ(deformerCalls, 0);
    EXPECT_FLOAT_EQ(f.vertices[4].x, 123.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 64));
}

TEST_F(Overlays, DegenerateLayersDeformButDrawNoQuad) {
    LayerFixture row(-1, -1, 1, 1, 4, 1, 5);
    drawLayerScaled(&row.layer, 1.0f, 1, 1, 1, 0.0f);
    LayerFixture column(-1, -1, 1, 1, 1, 3, 5);
    drawLayerScaled(&column.layer, 1.0f, 1, 1, 1, 0.0f);
    EXPECT_EQ(deformerCalls, 7);
    EXPECT_FLOAT_EQ(row.vertices[3].x, 1.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));
}

TEST_F(Overlays, LayerWithBadSlotOrShortVertexArrayStaysInBounds) {
    // A slot index outside the table draws nothing.
    LayerFixture f(-1, -1, 1, 1, 2, 2, TEXTURE_SLOTS);
    drawLayerScaled(&f.layer, 1.0f, 1, 1, 1, 0.0f);
    f.layer.textureSlot = -1;
    drawLayerScaled(&f.layer, 1.0f, 1, 1, 1, 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));
    EXPECT_EQ(deformerCalls, 0);

    // A grid larger than its vertex array deforms what exists and sends no quad past it.
    LayerFixture g(-1, -1, 1, 1, 2, 2, 5);
    g.layer.columns = 50;
    g.layer.rows = 50;
    drawLayerScaled(&g.layer, 1.0f, 1, 1, 1, 0.0f);
    EXPECT_EQ(deformerCalls, 4);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));
}

TEST_F(Overlays, LayerLeavesBlendingOffDepthWritesOnAndProjectionMode) {
    LayerFixture f(-1, -1, 1, 1, 2, 2, 5);
    drawLayerScaledMultiply(&f.layer, 0.5f, 1, 1, 1, 0.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_EQ(envMode, GL_MODULATE);
}

TEST_F(Overlays, FadeToBlackScalesWholePicture) {
    GlTestContext::clear(0.8f);
    fadeToBlack(0.5f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 102));
    EXPECT_TRUE(greyNear(pixelAt(-0.99, -0.99), 102));
    EXPECT_TRUE(greyNear(pixelAt(0.99, 0.99), 102));

    fadeToBlack(1.0f);
    fadeToBlack(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 102));

    fadeToBlack(-0.5f);
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 0, 0));
}

TEST_F(Overlays, FadeToWhiteAddsAndSaturates) {
    GlTestContext::clear(0.25f);
    fadeToWhite(0.0f);
    fadeToWhite(-1.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 64));
    fadeToWhite(0.25f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 128));
    fadeToWhite(3.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.7, -0.7), 255, 0));
}

TEST_F(Overlays, FadesRestoreTexturingAndDepthTestAndLeaveModelviewMode) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const GLuint bound = flatTexture(1, 2, 3);
    glBindTexture(GL_TEXTURE_2D, bound);
    fadeToWhite(0.5f);
    GLint mode = 0, binding = 0, depthFunc = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(static_cast<GLuint>(binding), bound);
    EXPECT_EQ(depthFunc, GL_LESS);
    EXPECT_FLOAT_EQ(projection[0], 1.0f);  // the caller's projection is back
    EXPECT_FLOAT_EQ(projection[14], 0.0f);
}

// Centre of tile k of the 4 x 2 mask in device coordinates.
double tileX(int k) { return -0.75 + 0.5 * (k % 4); }
double tileY(int k) { return k < 4 ? -0.5 : 0.5; }

TEST_F(Overlays, TileMaskBlocksLaterLayersOutsideUncoveredTiles) {
    GlTestContext::clear(0.25f);
    drawTileMask(3);
    // The mask itself leaves the colours alone.
    for (int k = 0; k < 8; ++k) EXPECT_TRUE(greyNear(pixelAt(tileX(k), tileY(k)), 64)) << k;
    LayerFixture f(-1, -1, 1, 1, 2, 2, 5);
    drawLayerScaled(&f.layer, 1.0f, 1, 1, 1, 0.0f);
    for (int k = 0; k < 8; ++k)
        EXPECT_TRUE(greyNear(pixelAt(tileX(k), tileY(k)), k < 3 ? 64 + 128 : 64)) << "tile " << k;
}

TEST_F(Overlays, TileMaskClampsItsCount) {
    const int counts[] = {-4, 0, 8, 12};
    const bool covered[] = {true, true, false, false};
    LayerFixture f(-1, -1, 1, 1, 2, 2, 5);
    for (int i = 0; i < 4; ++i) {
        GlTestContext::clear(0.0f);
        drawTileMask(counts[i]);
        drawLayerScaled(&f.layer, 1.0f, 1, 1, 1, 0.0f);
        for (int k = 0; k < 8; ++k)
            EXPECT_TRUE(greyNear(pixelAt(tileX(k), tileY(k)), covered[i] ? 0 : 128))
                << "n = " << counts[i] << ", tile " << k;
    }
}

TEST_F(Overlays, FullMaskStillLetsFadesActEverywhere) {
    GlTestContext::clear(0.5f);
    drawTileMask(0);
    GLint mode = 0, depthFunc = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_EQ(depthFunc, GL_LESS);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    fadeToBlack(0.5f);
    EXPECT_TRUE(greyNear(pixelAt(-0.6, 0.4), 64));
    fadeToWhite(0.25f);
    EXPECT_TRUE(greyNear(pixelAt(0.6, -0.4), 128));
}

TEST_F(Overlays, SlotStateSelectsOpaqueOrTranslucentDrawing) {
    TextureSlot* clear = flatSlot(7, 9, 9, 9);
    TextureSlot* glass = flatSlot(8, 9, 9, 9, 0.25f);
    GLint binding = 0, source = 0, destination = 0;
    GLboolean depthWrites = GL_TRUE;
    GLfloat colour[4];

    applySlotState(glass);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(static_cast<GLuint>(binding), glass->glName);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_SRC_ALPHA);
    EXPECT_EQ(depthWrites, GL_FALSE);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FLOAT_EQ(colour[3], 0.25f);

    applySlotState(clear);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(static_cast<GLuint>(binding), clear->glName);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FLOAT_EQ(colour[3], 1.0f);
}

}  // namespace
