// Layers, fades and the tile mask drawn in the headless context and read back: how they blend,
// where they land, what they refuse to draw, and the state they leave for the next operation.
#include <limits>
#include <vector>

#include "anim/layers.h"
#include "render/overlays.h"
#include "render_fixture.h"

namespace {

int deformerCalls = 0;
void copyBase(LayerVertex* v, float) {
    ++deformerCalls;
    v->x = v->baseX, v->y = v->baseY, v->z = v->baseZ;
}

// A columns x rows grid from (x1, y1) to (x2, y2) at depth -1 on slot 5.
struct TestLayer {
    std::vector<LayerVertex> vertices;
    Layer layer{};
    TestLayer(float x1, float y1, float x2, float y2, int columns = 2, int rows = 2) {
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; ++j) {
                const float fx = columns > 1 ? float(j) / float(columns - 1) : 0.0f;
                const float fy = rows > 1 ? float(i) / float(rows - 1) : 0.0f;
                // 123 marks a drawn position the deformer never wrote.
                vertices.push_back({x1 + (x2 - x1) * fx, y1 + (y2 - y1) * fy, -1, 123, 123, 123,
                                    fx, fy, 0});
            }
        layer = Layer{columns, rows, columns * rows, vertices.data(), 5, copyBase};
    }
};

class Overlays : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        deformerCalls = 0;
        greySlot(98, 0, 1.0f);  // tile texture
        greySlot(5, 128);       // Layer picture
    }
};

TEST_F(Overlays, LayersAddOrMultiplyWherePlaced) {
    TestLayer full(-1, -1, 1, 1, 3, 3), left(-1, -1, 0, 1);
    GlTestContext::clear(0.25f);
    drawLayerScaled(&full.layer, 0.5f, 1, 1, 1, 7.0f);  // adds 128 x 0.5
    EXPECT_TRUE(greyNear(pixelAt(0.3, -0.6), 128));
    EXPECT_EQ(deformerCalls, 9);

    GlTestContext::clear(0.5f);
    drawLayerShiftedMultiply(&full.layer, 1.0f, 0, 0, 0, 0.0f);  // times 128/255
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 64));
    drawLayerScaledMultiply(&full.layer, 0.001f, 1, 1, 1, 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 0, 1));

    // The left-half Layer shifted by 1, or mirrored and squeezed, lands on the right.
    GlTestContext::clear(0.0f);
    drawLayerShifted(&left.layer, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.0), 0));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.0), 128));
    GlTestContext::clear(0.0f);
    drawLayerScaled(&left.layer, 1.0f, -1.0f, 0.5f, 1.0f, 0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.0), 128));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.8), 0));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.0), 0));
}

// The picture follows the deformed positions, not the rest ones, with u across and v up.
TEST_F(Overlays, LayerPictureFollowsTheDrawnPositionsUAcrossVUp) {
    table[5].glName = patternTexture();
    TestLayer full(-1, -1, 1, 1);
    full.layer.deformer = [](LayerVertex* v, float) {
        v->x = v->baseX + 0.5f, v->y = v->baseY, v->z = v->baseZ;
    };
    drawLayerShifted(&full.layer, 1, 0, 0, 0, 0);
    EXPECT_TRUE(greyNear(pixelAt(-0.75, -0.5), 0));
    EXPECT_TRUE(colourNear(pixelAt(-0.25, -0.5), 100, 0, 0));
    EXPECT_TRUE(colourNear(pixelAt(0.75, -0.5), 0, 100, 0));
    EXPECT_TRUE(colourNear(pixelAt(-0.25, 0.5), 0, 0, 100));
}

TEST_F(Overlays, LayersThatCannotDrawLeaveVerticesAndPictureAlone) {
    TestLayer f(-1, -1, 1, 1, 3, 3);
    drawLayerScaled(&f.layer, 0.0f, 1, 1, 1, 0.0f);
    drawLayerShiftedMultiply(&f.layer, std::numeric_limits<float>::quiet_NaN(), 0, 0, 0, 0.0f);
    f.layer.textureSlot = TEXTURE_SLOTS;  // outside the table
    drawLayerShifted(&f.layer, 1.0f, 0, 0, 0, 0.0f);
    f.layer.textureSlot = -1;
    drawLayerScaledMultiply(&f.layer, 1.0f, 1, 1, 1, 0.0f);
    EXPECT_EQ(deformerCalls, 0);
    EXPECT_FLOAT_EQ(f.vertices[4].x, 123.0f);

    // One row, or a grid larger than its vertex array: every vertex deformed, no quad sent.
    TestLayer row(-1, -1, 1, 1, 4, 1), grid(-1, -1, 1, 1);
    grid.layer.columns = grid.layer.rows = 50;
    drawLayerScaled(&row.layer, 1.0f, 1, 1, 1, 0.0f);
    drawLayerScaled(&grid.layer, 1.0f, 1, 1, 1, 0.0f);
    EXPECT_EQ(deformerCalls, 8);
    EXPECT_FLOAT_EQ(row.vertices[3].x, 1.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));
}

TEST_F(Overlays, FadesScaleOrAddToTheWholePicture) {
    GlTestContext::clear(0.8f);
    fadeToBlack(0.5f);
    EXPECT_TRUE(greyNear(pixelAt(-0.99, -0.99), 102));
    EXPECT_TRUE(greyNear(pixelAt(0.99, 0.99), 102));
    fadeToBlack(1.0f);
    fadeToBlack(std::numeric_limits<float>::quiet_NaN());
    fadeToWhite(0.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 102));
    fadeToWhite(0.25f);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 166));
    fadeToWhite(3.0f);
    EXPECT_TRUE(greyNear(pixelAt(0.7, -0.7), 255, 0));
    fadeToBlack(-0.5f);
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 0, 0));
}

double tileX(int k) { return -0.75 + 0.5 * (k % 4); }
double tileY(int k) { return k < 4 ? -0.5 : 0.5; }

TEST_F(Overlays, TileMaskBlocksLaterLayersButNotFades) {
    TestLayer f(-1, -1, 1, 1);
    const int counts[] = {-4, 0, 3, 8, 12};
    const int uncovered[] = {0, 0, 3, 8, 8};
    for (int i = 0; i < 5; ++i) {
        GlTestContext::clear(0.25f);
        drawTileMask(counts[i]);
        EXPECT_TRUE(greyNear(pixelAt(tileX(7), tileY(7)), 64));  // the mask adds black
        drawLayerScaled(&f.layer, 1.0f, 1, 1, 1, 0.0f);
        for (int k = 0; k < 8; ++k)
            EXPECT_TRUE(greyNear(pixelAt(tileX(k), tileY(k)), k < uncovered[i] ? 192 : 64))
                << "n = " << counts[i] << ", tile " << k;
    }
    GlTestContext::clear(0.5f);
    drawTileMask(0);
    EXPECT_EQ(glInteger<GLenum>(GL_MATRIX_MODE), GLenum(GL_PROJECTION));
    EXPECT_EQ(glInteger<GLenum>(GL_DEPTH_FUNC), GLenum(GL_LESS));
    fadeToBlack(0.5f);
    EXPECT_TRUE(greyNear(pixelAt(-0.6, 0.4), 64));
}

TEST_F(Overlays, OperationsLeaveTheirDocumentedState) {
    TextureSlot* glass = greySlot(8, 9, 0.25f);
    applySlotState(glass);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(glInteger<GLuint>(GL_TEXTURE_BINDING_2D), glass->glName);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glInteger<GLenum>(GL_BLEND_SRC), GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(glInteger<GLenum>(GL_BLEND_DST), GLenum(GL_SRC_ALPHA));
    EXPECT_FALSE(glInteger<bool>(GL_DEPTH_WRITEMASK));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FLOAT_EQ(colour[3], 0.25f);

    TestLayer f(-1, -1, 1, 1);
    drawLayerScaledMultiply(&f.layer, 0.5f, 1, 1, 1, 0.0f);
    EXPECT_EQ(glInteger<GLenum>(GL_MATRIX_MODE), GLenum(GL_PROJECTION));
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(envMode, GL_MODULATE);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glInteger<bool>(GL_DEPTH_WRITEMASK));

    // A fade restores texturing, the depth test, the binding and the caller's projection.
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, glass->glName);
    fadeToWhite(0.5f);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_EQ(glInteger<GLenum>(GL_MATRIX_MODE), GLenum(GL_MODELVIEW));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInteger<GLuint>(GL_TEXTURE_BINDING_2D), glass->glName);
    EXPECT_FLOAT_EQ(projection[0], 1.0f);
    EXPECT_FLOAT_EQ(projection[14], 0.0f);
}

}  // namespace
