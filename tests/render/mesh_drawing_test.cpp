// Mesh modes and sprite sets drawn under a 90-degree projection, where a quad at depth -d
// spanning [-d, d] fills the frame: which faces each mode keeps against the near and far
// depths, how each mode colours and blends, and what the sprite pass steps and draws.
// Primitives are counted in GL feedback mode.
#include <algorithm>
#include <memory>
#include <vector>

#include "assets/demo_numbers.h"
#include "render/mesh_drawing.h"
#include "render_fixture.h"
#include "scene_fixture.h"

namespace {

// Lines and polygons that `draw` sends, counted in feedback mode.
template <typename F>
std::pair<int, int> linesAndPolygons(F draw) {
    static std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint size = glRenderMode(GL_RENDER);
    int lines = 0, polygons = 0;
    for (GLint i = 0; i < size;) {
        const GLint token = static_cast<GLint>(buffer[i]);
        if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) ++lines, i += 7;
        else if (token == GL_POLYGON_TOKEN) ++polygons, i += 2 + 3 * static_cast<GLint>(buffer[i + 1]);
        else i += token == GL_POINT_TOKEN ? 4 : 2;
    }
    return {lines, polygons};
}

class MeshDrawing : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        eyeProjection();
        greySlot(99, 255, 1.0f);  // wire texture
    }
    void drawAllPasses() {
        drawOpaqueObjects(scene(), settings);
        drawTranslucentObjects(scene(), settings);
        drawWireOverlays(scene());
    }
    Scene* scene() { return &f->scene; }
    std::unique_ptr<SceneFixture> f = std::make_unique<SceneFixture>();
};

TEST_F(MeshDrawing, OpaqueFacesAreTexelTimesCornerColourWithinNearAndFar) {
    table[3].glName = flatTexture(255, 128, 255);
    SceneObject* quad = f->addQuads(-10, -10, 10, 10, -10, 3);
    for (int k = 0; k < 2; ++k)
        for (Corner& c : quad->faces[k].corners) c.blue = 0.5f;
    drawOpaqueObjects(scene(), settings);
    EXPECT_TRUE(colourNear(pixelAt(0.2, 0.3), 255, 128, 128));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // At or beyond the far depth: left out, until the far depth moves past it.
    GlTestContext::clear(0.0f);
    quad->textureSlot = 4;
    greySlot(4, 100);
    for (int i = 0; i < 6; ++i) quad->eyeVertices[i] = {quad->eyeVertices[i].x * 100, quad->eyeVertices[i].y * 100, -1800};
    drawOpaqueObjects(scene(), settings);
    table[4].flags = SLOT_SCROLL_OVERLAY;
    drawOpaqueObjects(scene(), settings);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));
    settings.farCullZ = -1801.0f;
    table[4].flags = 0;
    drawOpaqueObjects(scene(), settings);
    EXPECT_TRUE(colourNear(pixelAt(0.0, 0.0), 100, 100, 50));
}

TEST_F(MeshDrawing, FaceTestsUseEveryCorner) {
    greySlot(3, 200);
    // One corner at -0.2, the others behind the eye: sent whole, GL clips what shows.
    f->addTriangles({{0, 0, -0.2f}, {-1, -1, 1}, {1, -1, 1}}, 3);
    // Every corner at or behind -0.1: never sent.
    f->addTriangles({{-1, 1, -0.1f}, {1, 1, 0.5f}, {0, 2, -0.05f}}, 3);
    // Only one corner nearer than the far depth: kept.
    f->addTriangles({{-2000, 0, -2000}, {0, -2000, -2000}, {0, 1000, -1000}}, 3);
    drawOpaqueObjects(scene(), settings);
    EXPECT_TRUE(greyNear(pixelAt(0.05, -0.5), 200));
    EXPECT_TRUE(greyNear(pixelAt(-0.3, 0.3), 200));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 0));

    table[3].translucency = 1.0f;
    table[3].wireBrightness = 1.0f;
    f->objects[0].hideTrack.toggleState = 1;
    f->objects[2].hideTrack.toggleState = 1;
    EXPECT_EQ(linesAndPolygons([&] { drawAllPasses(); }), std::make_pair(0, 0));
}

TEST_F(MeshDrawing, FarFacesStayInTranslucentAndWireModes) {
    greySlot(3, 100, 1.0f)->wireBrightness = 0.5f;
    f->addQuads(-1000, -1000, 1000, 1000, -1800, 3);
    drawTranslucentObjects(scene(), settings);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 100));
    EXPECT_EQ(linesAndPolygons([&] { drawWireOverlays(scene()); }).first, 8);  // 4 per face
}

TEST_F(MeshDrawing, TwoPassAddsTintedOverlayOnlyWhereEveryCornerHasRed) {
    TextureSlot* slot = greySlot(4, 64);
    slot->flags = SLOT_SCROLL_OVERLAY;
    slot->overlayGlName = flatTexture(128, 128, 128);
    SceneObject* o = f->addQuads(-10, -10, 10, 10, -10, 4, 2);
    for (Corner& c : o->faces[0].corners) c.green = 0.5f;  // left, lower face
    o->faces[2].corners[1].red = 0.0f;  // right, lower face
    o->faces[3].corners[2].red = 0.0f;  // right, upper face
    drawOpaqueObjects(scene(), settings);
    EXPECT_TRUE(colourNear(pixelAt(-0.3, -0.7), 192, 128, 192));
    EXPECT_TRUE(greyNear(pixelAt(-0.7, 0.7), 192));
    EXPECT_TRUE(greyNear(pixelAt(0.7, -0.7), 64));
    EXPECT_TRUE(greyNear(pixelAt(0.3, 0.7), 64));
    EXPECT_EQ(glInteger<GLenum>(GL_DEPTH_FUNC), GLenum(GL_LESS));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glInteger<bool>(GL_DEPTH_WRITEMASK));
}

// Corners map their texture coordinates u across and v up; the second pass of a two-pass object
// takes the second pair (here the first turned by half a turn) on its overlay picture.
TEST_F(MeshDrawing, CornersMapTheirCoordinatesAndTheSecondPassItsSecondPair) {
    TextureSlot* slot = &table[4];
    slot->glName = slot->overlayGlName = patternTexture();
    SceneObject* o = f->addQuads(-10, -10, 10, 10, -10, 4);
    for (int k = 0; k < 2; ++k) {
        for (Corner& c : o->faces[k].corners) {
            const Vec3& e = o->eyeVertices[c.vertex];
            c.u = (e.x + 10) / 20, c.v = (e.y + 10) / 20, c.u2 = 1 - c.u, c.v2 = 1 - c.v;
        }
    }
    drawOpaqueObjects(scene(), settings);
    EXPECT_TRUE(colourNear(pixelAt(0.5, -0.5), 0, 100, 0));
    EXPECT_TRUE(colourNear(pixelAt(-0.5, 0.5), 0, 0, 100));
    GlTestContext::clear(0.0f);
    slot->flags = SLOT_SCROLL_OVERLAY;
    drawOpaqueObjects(scene(), settings);
    EXPECT_TRUE(colourNear(pixelAt(0.5, -0.5), 0, 100, 100));
    EXPECT_TRUE(colourNear(pixelAt(-0.5, -0.5), 200, 100, 100));
}

TEST_F(MeshDrawing, TranslucentAddsTextureIgnoringCornerColoursAndMayDropFog) {
    GlTestContext::clear(0.25f);
    greySlot(6, 100, 0.3f);
    SceneObject* o = f->addQuads(-10, -10, 10, 10, -10, 6);
    for (int k = 0; k < 2; ++k)
        for (Corner& c : o->faces[k].corners) c.red = c.green = c.blue = 0.0f;
    glEnable(GL_FOG);
    glFogf(GL_FOG_DENSITY, 0.0f);
    drawOpaqueObjects(scene(), settings);
    drawTranslucentObjects(scene(), settings);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 164));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glInteger<bool>(GL_DEPTH_WRITEMASK));
    settings.translucentFogOff = 1;
    drawTranslucentObjects(scene(), settings);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(MeshDrawing, WireOverlayDrawsFourSegmentsPerFaceOrLeavesStateAlone) {
    TextureSlot* slot = greySlot(3, 100);
    SceneObject* o = f->addQuads(-5, -5, 5, 5, -10, 3);
    const GLuint bound = flatTexture(1, 1, 1);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    EXPECT_EQ(linesAndPolygons([&] { drawWireOverlay(o); }).first, 0);
    EXPECT_EQ(glInteger<GLuint>(GL_TEXTURE_BINDING_2D), bound);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glInteger<bool>(GL_DEPTH_WRITEMASK));

    slot->wireBrightness = 0.5f;
    drawWireOverlay(o);
    // The left edge x = -5 in half the wire texel.
    auto brightestOnLeftEdge = [] {
        Rgb brightest{0, 0, 0};
        for (int x = 157; x <= 163; ++x) {
            const Rgb c = GlTestContext::readPixel(x, 200);
            if (c.r + c.g + c.b > brightest.r + brightest.g + brightest.b) brightest = c;
        }
        return brightest;
    };
    EXPECT_TRUE(greyNear(brightestOnLeftEdge(), 128, 4));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glInteger<bool>(GL_DEPTH_WRITEMASK));

    // The lines take the wire picture's middle texel (grey in the pattern), whatever texture
    // coordinate and colour the drawing before them left current.
    table[WIRE_SLOT].glName = patternTexture();
    GlTestContext::clear(0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    slot->wireBrightness = 1.0f;
    drawWireOverlay(o);
    EXPECT_TRUE(greyNear(brightestOnLeftEdge(), 100, 4));
}

TEST_F(MeshDrawing, BadCornerIndexDropsItsFaceAndBadSlotItsObject) {
    greySlot(3, 100);
    SceneObject* o = f->addQuads(-10, -10, 10, 10, -10, 3, 2);
    o->faces[2].corners[1].vertex = 4000;
    o->faces[3].corners[0].vertex = -1;
    drawOpaqueObjects(scene(), settings);
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.0), 100));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.3), 0));
    EXPECT_TRUE(greyNear(pixelAt(0.5, -0.3), 0));
    o->textureSlot = TEXTURE_SLOTS + 5;
    EXPECT_EQ(linesAndPolygons([&] { drawAllPasses(); }), std::make_pair(0, 0));
}

// ---- Sprite sets ----

int spriteUpdates = 0;
void countUpdate(Sprite*, void* userValue) {
    ++spriteUpdates;
    ++*static_cast<int*>(userValue);
}

TEST_F(MeshDrawing, SpritesInRangeAreSteppedTransformedAndDrawn) {
    spriteUpdates = 0;
    SceneCamera camera{};  // eye transform = identity
    camera.right = {1, 0, 0}, camera.up = {0, -1, 0}, camera.forward = {0, 0, -1};
    std::vector<Sprite> sprites(5);
    const Vec3 at[5] = {{-5, 0, -10}, {50, 5, -100}, {0, 0, -0.1f}, {0, 0, -1800}, {0, 0, 5}};
    const float halfSize[5] = {2, 10, 0.05f, 1000, 10};
    for (int i = 0; i < 5; ++i) sprites[i] = Sprite{{}, {}, at[i], {}, {1, 0.5f, 0.25f}, 0, halfSize[i], 0, 0};
    int user = 0;
    scene()->spriteSets[0] = SpriteSet{sprites.data(), 5, nullptr, countUpdate, &user, greySlot(20, 255, 1.0f), 5};
    scene()->spriteSetCount = 1;
    EXPECT_EQ(linesAndPolygons([&] { drawSpriteSets(scene(), &camera, settings); }).second,
              4);  // 2 x 2
    drawSpriteSets(scene(), &camera, settings);
    EXPECT_TRUE(colourNear(pixelAt(-0.5, 0.0), 255, 128, 64));
    EXPECT_TRUE(colourNear(pixelAt(0.5, 0.05), 255, 128, 64));
    EXPECT_FLOAT_EQ(sprites[1].eyePosition.z, -100.0f);
    EXPECT_EQ(user, 10);

    // A count raised past the allocated sprites steps only those.
    scene()->spriteSets[0].spriteCount = 1000;
    drawSpriteSets(scene(), &camera, settings);
    EXPECT_EQ(spriteUpdates, 15);
}

}  // namespace
