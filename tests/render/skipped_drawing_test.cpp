// Drawing that cannot change the picture is left out: Layer cells and sprite pieces over black
// (or, multiplying, white) texels, flare elements of no weight. These tests draw each case with
// and without the skipping and compare whole frames, so a skip that changes one pixel fails;
// and they check the state the skipped drawing must still leave behind.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "anim/layers.h"
#include "assets/texture_ink.h"
#include "render/ink_strips.h"
#include "render/lens_flares.h"
#include "render/mesh_drawing.h"
#include "render/overlays.h"
#include "render/water_effects.h"
#include "render_fixture.h"

namespace {

// A size x size picture, black but for the texels `paint` lights.
struct TestPicture {
    std::vector<uint8_t> bytes;
    Picture picture{};
    template <typename Paint>
    TestPicture(int size, Paint paint) : bytes(static_cast<size_t>(size) * size * 3, 0) {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) paint(x, y, &bytes[(static_cast<size_t>(y) * size + x) * 3]);
        picture = {size, size, bytes.data()};
    }
};

std::vector<uint8_t> readFrame() {
    std::vector<uint8_t> pixels(640 * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

class SkippedDrawing : public RenderTest {
protected:
    void TearDown() override {
        disableFog();
        RenderTest::TearDown();
    }
    // Slot `index` showing the picture, with its summary when `summarised`.
    void pictureSlot(int index, const Picture& picture, bool summarised, float translucency) {
        GLuint name = 0;
        glGenTextures(1, &name);
        textures.push_back(name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, picture.width, picture.height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, picture.pixels);
        table[index] = TextureSlot{};
        table[index].glName = name;
        table[index].translucency = translucency;
        table[index].ink = summarised ? summariseTextureInk(&picture) : nullptr;
    }
    // The frame after `draw`, once with the picture's summary and once without.
    template <typename Draw>
    void drawBothWays(const Picture& picture, float translucency, Draw draw,
                      std::vector<uint8_t>* skipping, std::vector<uint8_t>* whole) {
        for (int summarised = 1; summarised >= 0; --summarised) {
            pictureSlot(5, picture, summarised, translucency);
            GlTestContext::clear(0.4f);
            draw();
            *(summarised ? skipping : whole) = readFrame();
        }
    }
};

TEST(TextureInk, RangesReadOnlyBlackOrWhiteTexelsWithFilterAndWrapAround) {
    // Black, one red texel at column 100 of row 20, a white block in columns 0-63 of rows
    // 64-127, and one blue texel at column 127 of row 40.
    TestPicture pic(128, [](int x, int y, uint8_t* p) {
        if (x == 100 && y == 20) p[0] = 255;
        if (x < 64 && y >= 64) p[0] = p[1] = p[2] = 255;
        if (x == 127 && y == 40) p[2] = 200;
    });
    const TextureInk* ink = summariseTextureInk(&pic.picture);
    ASSERT_NE(ink, nullptr);
    EXPECT_TRUE(textureRangeIs(ink, INK_DARK, 0.1f, 0.05f, 0.7f, 0.45f));
    // Past the last texel centre of the range the filter reads the next texel.
    EXPECT_FALSE(textureRangeIs(ink, INK_DARK, 0.5f, 0.1f, 99.5f / 128, 0.2f));
    EXPECT_TRUE(textureRangeIs(ink, INK_DARK, 0.5f, 0.1f, 99.4f / 128, 0.2f));
    // At v = 0 the filter wraps round to the white last rows.
    EXPECT_FALSE(textureRangeIs(ink, INK_DARK, 0.1f, 0.0f, 0.7f, 0.45f));
    // Coordinates in either order, and past 1 with the texture repeating.
    EXPECT_TRUE(textureRangeIs(ink, INK_DARK, 1.7f, 1.45f, 1.1f, 1.05f));
    // Near u = 0 the filter wraps round to the last column.
    EXPECT_FALSE(textureRangeIs(ink, INK_DARK, 0.0f, 38.0f / 128, 0.01f, 42.0f / 128));
    EXPECT_TRUE(textureRangeIs(ink, INK_CLEAR, 0.05f, 0.55f, 0.4f, 0.95f));
    EXPECT_FALSE(textureRangeIs(ink, INK_CLEAR, 0.05f, 0.55f, 0.4f, 0.999f));  // wraps to row 0
    EXPECT_FALSE(textureRangeIs(ink, INK_DARK, 0.0f, 0.0f, 3.0f, 0.1f));  // round more than once
    EXPECT_FALSE(textureRangeIs(nullptr, INK_DARK, 0.1f, 0.1f, 0.2f, 0.2f));
    TestPicture small(32, [](int, int, uint8_t*) {});
    EXPECT_EQ(summariseTextureInk(&small.picture), nullptr);
}

// Strip plans are kept per picture: pictures inked in different places get plans of their
// own, a picture finds its plan again, a mostly inked one is drawn whole, and once the pool is
// full a new picture is drawn whole while the planned ones keep their plans.
TEST(InkStrips, PlansAreKeptPerPictureInABoundedPool) {
    TestPicture inked(128, [](int, int, uint8_t* p) { p[1] = 90; });
    EXPECT_EQ(inkStripsOf(summariseTextureInk(&inked.picture)), nullptr);  // takes a plan too
    EXPECT_EQ(inkStripsOf(nullptr), nullptr);
    std::vector<const TextureInk*> inks;
    std::vector<const InkStrips*> plans;
    for (int k = 0; k < INK_STRIP_PLANS; ++k) {
        // Black but for one 16 x 16 block, a different one for every picture.
        TestPicture block(128, [k](int x, int y, uint8_t* p) {
            if (x / 16 == k % 8 && y / 16 == k / 8) p[0] = 200;
        });
        inks.push_back(summariseTextureInk(&block.picture));
        ASSERT_NE(inks.back(), nullptr);
        plans.push_back(inkStripsOf(inks.back()));
    }
    for (int k = 0; k + 1 < INK_STRIP_PLANS; ++k) {
        ASSERT_NE(plans[k], nullptr) << k;
        for (int j = 0; j < k; ++j) EXPECT_NE(plans[j], plans[k]) << j << " " << k;
    }
    EXPECT_EQ(plans.back(), nullptr);  // the pool is full
    EXPECT_EQ(inkStripsOf(inks[0]), plans[0]);
    EXPECT_EQ(inkStripsOf(inks[INK_STRIP_PLANS - 2]), plans[INK_STRIP_PLANS - 2]);
}

TEST_F(SkippedDrawing, LayerCellsOverEmptyTexelsChangeNoPixel) {
    Layer layer{};
    ASSERT_EQ(createLayer(&layer, -1, -1, 1, 1, -1, 0, 0, 1, 1, 20, 20, 5, deformStill), 1);
    std::unique_ptr<LayerVertex, void (*)(void*)> owned(layer.vertices, std::free);
    // A bright ring on black for the additive Layer; its negative for the multiplying one.
    auto ring = [](int x, int y, uint8_t* p) {
        const double d = std::hypot(x - 63.5, y - 40.5);
        p[0] = p[1] = p[2] = d > 20 && d < 26 ? 230 : 0;
    };
    TestPicture bright(128, ring);
    TestPicture dark(128, [&](int x, int y, uint8_t* p) {
        ring(x, y, p);
        for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(255 - p[k]);
    });
    std::vector<uint8_t> skipping, whole;
    drawBothWays(bright.picture, 0.0f, [&] { drawLayerScaled(&layer, 0.8f, 1, 1, 1, 0); },
                 &skipping, &whole);
    EXPECT_TRUE(skipping == whole);
    EXPECT_GT(pixelAt(0.352, -0.367).r, 200);  // the ring is there
    drawBothWays(dark.picture, 0.0f, [&] { drawLayerScaledMultiply(&layer, 1.0f, 1, 1, 1, 0); },
                 &skipping, &whole);
    EXPECT_TRUE(skipping == whole);
    EXPECT_LT(pixelAt(0.352, -0.367).r, 40);
    // Fog of a colour tints black: every cell is drawn then.
    const float fogColour[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_DENSITY, 1.0f);
    drawBothWays(bright.picture, 0.0f, [&] {
        glEnable(GL_FOG);
        fogOn = fogTintsBlack = 1;
        drawLayerScaled(&layer, 0.8f, 1, 1, 1, 0);
        disableFog();
    }, &skipping, &whole);
    EXPECT_TRUE(skipping == whole);
    EXPECT_GT(pixelAt(0.9, 0.9).r, pixelAt(0.9, 0.9).b + 50);  // the fog's orange over black
}

TEST_F(SkippedDrawing, LargeSpritesOfARingAreDrawnInPiecesExactly) {
    TestPicture ring(256, [](int x, int y, uint8_t* p) {
        const double d = std::hypot(x - 127.5, y - 127.5);
        p[2] = d > 96 && d < 104 ? 250 : 0;
    });
    auto scene = std::make_unique<Scene>();
    SceneCamera camera{};  // eye transform = identity, a field of view of 90 degrees
    camera.right = {1, 0, 0}, camera.up = {0, -1, 0}, camera.forward = {0, 0, -1};
    camera.fov = 0.785398f;
    scene->camera = &camera;
    std::vector<Sprite> sprites(3);
    // One large at the centre, one small, one wholly beside the screen.
    const Vec3 places[3] = {{0, 0, -100}, {30, 20, -100}, {500, 0, -100}};
    const float sizes[3] = {80, 5, 60};
    for (int i = 0; i < 3; ++i) {
        sprites[i].worldPosition = places[i];
        sprites[i].colour = {1, 1, 1};
        sprites[i].halfSize = sizes[i];
    }
    std::vector<uint8_t> skipping, whole;
    drawBothWays(ring.picture, 1.0f, [&] {
        scene->spriteSets[0] = SpriteSet{sprites.data(), 3, nullptr, nullptr, nullptr,
                                         &textureTable[5], 3};
        scene->spriteSetCount = 1;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90.0, 1.0, 1.0, 50000.0);  // as the scene pass sets it for this camera
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        drawSpriteSets(scene.get(), &camera, settings);
    }, &skipping, &whole);
    // Every piece is the whole square's own triangles under a scissor: not one level differs.
    EXPECT_TRUE(skipping == whole);
    EXPECT_GT(pixelAt(0.0, 0.625).b, 150);  // the large ring's top
}

TEST_F(SkippedDrawing, FlaresOfNoWeightDrawNothingAndLeaveTheFlareState) {
    auto scene = std::make_unique<Scene>();
    const GLuint white = flatTexture(255, 255, 255);
    std::vector<FlareElement> elements = {{white, 0.2f, 1, 1, 1}, {white, 0.1f, 1, 0.5f, 0}};
    Vec3 anchor{0.1f, 0.1f, -1.0f};
    scene->flareSets[0] = FlareSet{2, 0, elements.data(), &anchor, 1, 0, 0, 0, 2};
    scene->flareSetCount = 1;
    drawFlares(scene.get());
    EXPECT_TRUE(greyNear(pixelAt(0.1, 0.1), 0, 0));  // nothing drawn at intensity 0
    EXPECT_EQ(glInteger<int>(GL_BLEND), 1);
}

TEST_F(SkippedDrawing, WaterUploadsOfTheSameSizeReplaceTheTexels) {
    TestPicture first(128, [](int x, int, uint8_t* p) { p[0] = static_cast<uint8_t>(x); });
    TestPicture second(128, [](int, int y, uint8_t* p) { p[1] = static_cast<uint8_t>(y); });
    TextureSlot slot{};
    glGenTextures(1, &slot.glName);
    textures.push_back(slot.glName);
    slot.ink = summariseTextureInk(&first.picture);
    uploadPicture(&slot, &first.picture);
    uploadPicture(&slot, &second.picture);
    EXPECT_EQ(slot.ink, nullptr);  // the summary was of another picture
    std::vector<uint8_t> back(128 * 128 * 3);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_TRUE(back == second.bytes);

    // A slot whose picture was grey holds one byte a texel; the warped pictures in colour
    // replace it whole, and keep their colour from frame to frame.
    TestPicture grey(128, [](int x, int, uint8_t* p) { p[0] = p[1] = p[2] = static_cast<uint8_t>(x); });
    TextureSlot greySlot{};
    glGenTextures(1, &greySlot.glName);
    textures.push_back(greySlot.glName);
    glBindTexture(GL_TEXTURE_2D, greySlot.glName);
    ASSERT_EQ(packGreyPixels(&grey.picture), 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, 128, 128, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                 grey.picture.pixels);
    for (const TestPicture* colour : {&first, &second}) {
        uploadPicture(&greySlot, &colour->picture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
        EXPECT_TRUE(back == colour->bytes);
    }
}

}  // namespace
