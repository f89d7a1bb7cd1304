// Mesh drawing modes and sprite sets, drawn into the headless context under a 90-degree
// projection so that a quad at depth -d spanning [-d, d] fills the frame. Checks which faces
// each mode keeps against the near and far depths, how the modes colour and blend, and what
// the sprite pass steps and draws. Line segments are counted in GL feedback mode.
#include <algorithm>
#include <vector>

#include "render/mesh_drawing.h"
#include "render/overlays.h"
#include "render_fixture.h"

namespace {

class MeshDrawing : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        loadEyeProjection();
        flatSlot(99, 255, 255, 255, 1.0f);  // wire texture
    }

    // A Scene holding the given objects, nothing else.
    Scene* sceneOf(std::initializer_list<SceneObject*> list) {
        objects.clear();
        for (SceneObject* o : list) objects.push_back(*o);
        scene = Scene{};
        scene.objects = objects.data();
        scene.objectCount = static_cast<int32_t>(objects.size());
        return &scene;
    }

    std::vector<SceneObject> objects;
    Scene scene{};
};

// Runs `draw` in feedback mode and counts the line segments and polygons it sends.
struct Primitives {
    int lines = 0;
    int polygons = 0;
};
template <typename F>
Primitives countPrimitives(F draw) {
    static std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint size = glRenderMode(GL_RENDER);
    Primitives p;
    for (GLint i = 0; i < size;) {
        const GLint token = static_cast<GLint>(buffer[i]);
        if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            ++p.lines;
            i += 1 + 2 * 3;
        } else if (token == GL_POLYGON_TOKEN) {
            ++p.polygons;
            i += 2 + 3 * static_cast<GLint>(buffer[i + 1]);
        } else if (token == GL_POINT_TOKEN) {
            i += 1 + 3;
        } else {
            i += 2;  // pass-through and bitmap tokens
        }
    }
    return p;
}

TEST_F(MeshDrawing, TexturedObjectIsTexelTimesCornerColour) {
    flatSlot(3, 255, 128, 255);
    MeshFixture mesh;
    mesh.addQuad(-10, -10, 10, 10, -10);
    for (Face& face : mesh.faces)
        for (Corner& c : face.corners) c.red = 1.0f, c.green = 1.0f, c.blue = 0.5f;
    drawOpaqueObjects(sceneOf({mesh.build(3)}));
    EXPECT_TRUE(colourNear(pixelAt(0.2, 0.3), 255, 128, 128));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(depthWrites, GL_TRUE);
}

TEST_F(MeshDrawing, FacesBehindTheNearDepthAreDroppedWhole) {
    flatSlot(3, 200, 200, 200);
    // Every corner at or behind -0.1: nothing in any mode.
    MeshFixture behind;
    behind.vertices = {{-1, -1, -0.1f}, {1, -1, 0.5f}, {0, 1, -0.05f}};
    behind.addFace(0, 1, 2);
    SceneObject* object = behind.build(3);
    drawOpaqueObjects(sceneOf({object}));
    table[3].translucency = 1.0f;
    table[3].wireBrightness = 1.0f;
    const Primitives p = countPrimitives([&] {
        drawTranslucentObjects(&scene);
        drawWireOverlays(&scene);
    });
    EXPECT_EQ(p.polygons, 0);
    EXPECT_EQ(p.lines, 0);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.1), 0));

    // One corner at -0.2 and the others behind the eye: sent whole, GL clips what shows.
    table[3].translucency = 0.0f;
    MeshFixture partly;
    partly.vertices = {{0, 0, -0.2f}, {-1, -1, 1}, {1, -1, 1}};
    partly.addFace(0, 1, 2);
    drawOpaqueObjects(sceneOf({partly.build(3)}));
    EXPECT_TRUE(greyNear(pixelAt(0.0, -0.5), 200));
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.5), 0));
}

TEST_F(MeshDrawing, FacesAtFarDepthLeaveOnlyTheOpaqueModes) {
    flatSlot(3, 100, 100, 100);
    MeshFixture far;
    far.addQuad(-1000, -1000, 1000, 1000, -1800);
    SceneObject* object = far.build(3);
    drawOpaqueObjects(sceneOf({object}));
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));
    table[3].flags = SLOT_SCROLL_OVERLAY;
    table[3].overlayGlName = flatTexture(255, 255, 255);
    drawOpaqueObjects(&scene);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 0));

    // The translucent mode makes no range test.
    table[3].flags = 0;
    table[3].translucency = 1.0f;
    drawTranslucentObjects(&scene);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 100));

    // Neither does the wire overlay: four segments for each of the two faces.
    table[3].wireBrightness = 0.5f;
    EXPECT_EQ(countPrimitives([&] { drawWireOverlays(&scene); }).lines, 8);

    // Moving the far depth past the quad lets the opaque mode draw it.
    GlTestContext::clear(0.0f);
    table[3].translucency = 0.0f;
    farCullZ = -1900.0f;
    drawOpaqueObjects(&scene);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 100));
}

TEST_F(MeshDrawing, OneCornerNearerThanFarDepthKeepsTheFace) {
    flatSlot(3, 100, 100, 100);
    MeshFixture mesh;
    mesh.vertices = {{-2000, -2000, -2000}, {2000, -2000, -2000}, {0, 1000, -1000}};
    mesh.addFace(0, 1, 2);
    drawOpaqueObjects(sceneOf({mesh.build(3)}));
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 100));
}

TEST_F(MeshDrawing, TwoPassAddsOverlayOnlyWhereEveryCornerHasRed) {
    TextureSlot* slot = flatSlot(4, 64, 64, 64);
    slot->flags = SLOT_SCROLL_OVERLAY;
    slot->overlayGlName = flatTexture(128, 128, 128);
    MeshFixture mesh;
    mesh.addQuad(-10, -10, 0, 10, -10);  // left half: all corners red 1
    mesh.addQuad(0, -10, 10, 10, -10);   // right half: one corner of red 0 in each face
    mesh.faces[2].corners[1].red = 0.0f;
    mesh.faces[3].corners[2].red = 0.0f;
    drawOpaqueObjects(sceneOf({mesh.build(4)}));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, -0.5), 64 + 128));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.5), 64 + 128));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.5), 64));
    EXPECT_TRUE(greyNear(pixelAt(0.5, -0.5), 64));

    GLint depthFunc = 0;
    GLboolean depthWrites = GL_TRUE;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthFunc, GL_LESS);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(depthWrites, GL_FALSE);
}

TEST_F(MeshDrawing, TwoPassSecondTextureIsTintedByCornerColours) {
    TextureSlot* slot = flatSlot(4, 0, 0, 0);
    slot->flags = SLOT_SCROLL_OVERLAY;
    slot->overlayGlName = flatTexture(200, 200, 200);
    MeshFixture mesh;
    mesh.addQuad(-10, -10, 10, 10, -10);
    for (Face& face : mesh.faces)
        for (Corner& c : face.corners) c.red = 1.0f, c.green = 0.5f, c.blue = 0.0f;
    drawOpaqueObjects(sceneOf({mesh.build(4)}));
    EXPECT_TRUE(colourNear(pixelAt(0.3, 0.3), 200, 100, 0));
}

TEST_F(MeshDrawing, TranslucentObjectAddsTextureIgnoringCornerColours) {
    GlTestContext::clear(0.25f);
    flatSlot(6, 100, 100, 100, 0.3f);
    MeshFixture mesh;
    mesh.addQuad(-10, -10, 10, 10, -10);
    for (Face& face : mesh.faces)
        for (Corner& c : face.corners) c.red = c.green = c.blue = 0.0f;
    SceneObject* object = mesh.build(6);
    drawOpaqueObjects(sceneOf({object}));
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 64));
    drawTranslucentObjects(&scene);
    EXPECT_TRUE(greyNear(pixelAt(0.0, 0.0), 164));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(MeshDrawing, TranslucentModeSwitchesFogOffOnlyWhenAsked) {
    flatSlot(6, 100, 100, 100, 1.0f);
    MeshFixture mesh;
    mesh.addQuad(-10, -10, 10, 10, -10);
    Scene* s = sceneOf({mesh.build(6)});
    glEnable(GL_FOG);
    drawTranslucentObjects(s);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    translucentFogOff = 1;
    drawTranslucentObjects(s);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(MeshDrawing, HiddenObjectIsSkippedByEveryPass) {
    TextureSlot* slot = flatSlot(3, 100, 100, 100);
    slot->wireBrightness = 1.0f;
    MeshFixture mesh;
    mesh.addQuad(-10, -10, 10, 10, -10);
    SceneObject* object = mesh.build(3);
    object->hideTrack.toggleState = 1;
    Scene* s = sceneOf({object});
    const Primitives p = countPrimitives([&] {
        drawOpaqueObjects(s);
        slot->translucency = 1.0f;
        drawTranslucentObjects(s);
        drawWireOverlays(s);
    });
    EXPECT_EQ(p.polygons, 0);
    EXPECT_EQ(p.lines, 0);
}

TEST_F(MeshDrawing, WireOverlayDrawsFourSegmentsPerFaceOrLeavesStateAlone) {
    TextureSlot* slot = flatSlot(3, 100, 100, 100);
    MeshFixture mesh;
    mesh.addQuad(-5, -5, 5, 5, -10);
    SceneObject* object = mesh.build(3);

    // Brightness 0: no drawing and no state change.
    const GLuint bound = flatTexture(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, bound);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    EXPECT_EQ(countPrimitives([&] { drawWireOverlay(object); }).lines, 0);
    GLint binding = 0;
    GLboolean depthWrites = GL_TRUE;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(static_cast<GLuint>(binding), bound);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(depthWrites, GL_FALSE);

    slot->wireBrightness = 0.5f;
    EXPECT_EQ(countPrimitives([&] { drawWireOverlay(object); }).lines, 8);
    // The left edge x = -5 (p2-p0 of the second face) in the wire colour, 0.5 of the texel.
    drawWireOverlay(object);
    int brightest = 0;
    for (int x = 157; x <= 163; ++x) brightest = std::max(brightest, GlTestContext::readPixel(x, 200).r);
    EXPECT_NEAR(brightest, 128, 4);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(depthWrites, GL_TRUE);
}

TEST_F(MeshDrawing, CornerIndexOutsideTheObjectDropsItsFace) {
    flatSlot(3, 100, 100, 100);
    MeshFixture mesh;
    mesh.addQuad(-10, -10, 0, 10, -10);
    mesh.addQuad(0, -10, 10, 10, -10);
    mesh.faces[2].corners[1].vertex = 4000;
    mesh.faces[3].corners[0].vertex = -1;
    drawOpaqueObjects(sceneOf({mesh.build(3)}));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.0), 100));
    EXPECT_TRUE(greyNear(pixelAt(0.5, 0.3), 0));
    EXPECT_TRUE(greyNear(pixelAt(0.5, -0.3), 0));

    // An object whose slot lies outside the table is drawn by no pass.
    GlTestContext::clear(0.0f);
    objects[0].textureSlot = TEXTURE_SLOTS + 5;
    const Primitives p = countPrimitives([&] {
        drawOpaqueObjects(&scene);
        drawTranslucentObjects(&scene);
        drawWireOverlays(&scene);
    });
    EXPECT_EQ(p.polygons + p.lines, 0);
}

TEST_F(MeshDrawing, LerpPointIsLinearPerAxis) {
    const Vec3 a{1, -2, 4}, b{3, 2, -4};
    Vec3 out{};
    lerpPoint(&out, &a, &b, 0.5f);
    EXPECT_FLOAT_EQ(out.x, 2.0f);
    EXPECT_FLOAT_EQ(out.y, 0.0f);
    EXPECT_FLOAT_EQ(out.z, 0.0f);
    lerpPoint(&out, &a, &b, 0.25f);
    EXPECT_FLOAT_EQ(out.x, 1.5f);
    EXPECT_FLOAT_EQ(out.y, -1.0f);
    EXPECT_FLOAT_EQ(out.z, 2.0f);
}

// ---- Sprite sets ----

int spriteUpdates = 0;
void countUpdate(Sprite* sprite, void* userValue) {
    ++spriteUpdates;
    *static_cast<int*>(userValue) += 1;
}

class SpriteDrawing : public MeshDrawing {
protected:
    void SetUp() override {
        MeshDrawing::SetUp();
        spriteUpdates = 0;
        // Camera whose eye transform is the identity.
        camera.right = {1, 0, 0};
        camera.up = {0, -1, 0};
        camera.forward = {0, 0, -1};
        scene = Scene{};
    }

    SpriteSet* addSet(std::vector<Sprite>& sprites, TextureSlot* slot) {
        SpriteSet* set = &scene.spriteSets[scene.spriteSetCount++];
        set->sprites = sprites.data();
        set->spriteCount = static_cast<int32_t>(sprites.size());
        set->spriteCapacity = static_cast<int32_t>(sprites.size());
        set->update = countUpdate;
        set->userValue = &userCount;
        set->slot = slot;
        return set;
    }

    static Sprite spriteAt(float x, float y, float z, float halfSize) {
        Sprite s{};
        s.worldPosition = {x, y, z};
        s.colour = {1.0f, 0.5f, 0.25f};
        s.halfSize = halfSize;
        return s;
    }

    SceneCamera camera{};
    int userCount = 0;
};

TEST_F(SpriteDrawing, SpritesInRangeAreColouredQuadsFacingTheEye) {
    TextureSlot* slot = flatSlot(20, 255, 255, 255, 1.0f);
    std::vector<Sprite> sprites = {spriteAt(-5, 0, -10, 2), spriteAt(50, 5, -100, 10)};
    addSet(sprites, slot);
    drawSpriteSets(&scene, &camera);
    EXPECT_TRUE(colourNear(pixelAt(-0.5, 0.0), 255, 128, 64));
    EXPECT_TRUE(colourNear(pixelAt(0.5, 0.05), 255, 128, 64));
    EXPECT_TRUE(greyNear(pixelAt(-0.5, 0.5), 0));
    EXPECT_FLOAT_EQ(sprites[1].eyePosition.z, -100.0f);
    EXPECT_EQ(userCount, 2);
}

TEST_F(SpriteDrawing, SpritesAtNearOrFarDepthAreSteppedButNotDrawn) {
    TextureSlot* slot = flatSlot(20, 255, 255, 255, 1.0f);
    std::vector<Sprite> sprites = {spriteAt(0, 0, -0.1f, 0.05f), spriteAt(0, 0, -1800, 1000),
                                   spriteAt(0, 0, 5, 10)};
    addSet(sprites, slot);
    const Primitives p = countPrimitives([&] { drawSpriteSets(&scene, &camera); });
    EXPECT_EQ(p.polygons, 0);
    EXPECT_EQ(spriteUpdates, 3);
    farCullZ = -1900.0f;
    EXPECT_GE(countPrimitives([&] { drawSpriteSets(&scene, &camera); }).polygons, 1);
}

TEST_F(SpriteDrawing, SpriteCountNeverStepsPastTheAllocatedSprites) {
    TextureSlot* slot = flatSlot(20, 255, 255, 255, 1.0f);
    std::vector<Sprite> sprites = {spriteAt(0, 0, -10, 1), spriteAt(0, 0, -10, 1)};
    SpriteSet* set = addSet(sprites, slot);
    set->spriteCount = 1;
    drawSpriteSets(&scene, &camera);
    EXPECT_EQ(spriteUpdates, 1);
    set->spriteCount = 1000;
    drawSpriteSets(&scene, &camera);
    EXPECT_EQ(spriteUpdates, 3);
}

}  // namespace
