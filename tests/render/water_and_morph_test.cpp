// The surface warp and its tables, the texture upload, the ripple mirror and the mesh morph.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "gl_test_context.h"
#include "platform/platform.h"
#include "render/mesh_morph.h"
#include "render/water_effects.h"

namespace {

// A 128 x 128 picture of one colour, or filled by the given function of the pixel index.
struct TestPicture {
    std::vector<uint8_t> bytes;
    Picture picture{};
    explicit TestPicture(int side = WATER_SIDE) : bytes(3 * side * side, 0) {
        picture = {side, side, bytes.data()};
    }
    void set(int index, uint8_t b0, uint8_t b1, uint8_t b2) {
        bytes[3 * index] = b0;
        bytes[3 * index + 1] = b1;
        bytes[3 * index + 2] = b2;
    }
};

// Colour table whose entry j encodes j itself, so a warped pixel tells which entry it read.
std::vector<int32_t> indexColours() {
    std::vector<int32_t> colours(WATER_TEXELS);
    for (int j = 0; j < WATER_TEXELS; ++j) colours[j] = j;
    return colours;
}
int readIndex(const TestPicture& p, int i) {
    return (p.bytes[3 * i] << 16) | (p.bytes[3 * i + 1] << 8) | p.bytes[3 * i + 2];
}

std::vector<std::string> messages;
void collect(const char*, const char* text) { messages.push_back(text); }

}  // namespace

TEST(SurfaceWarp, LuminanceWeightsAndRange) {
    EXPECT_EQ(surfaceLuminance(0, 0, 0), 0);
    EXPECT_EQ(surfaceLuminance(255, 255, 255), 76);
    EXPECT_EQ(surfaceLuminance(10, 20, 200), 15);  // (3 + 10 + 40) * 0.3 = 15.9
    EXPECT_EQ(surfaceLuminance(100, 0, 0), 9);
    EXPECT_EQ(surfaceLuminance(0, 100, 0), 15);
}

TEST(SurfaceWarp, SingleBrightPixelGivesWrappedOffsets) {
    TestPicture water;
    water.set(0, 255, 255, 255);
    const int L = 76;
    std::vector<uint16_t> offsets(WATER_TEXELS, 0xABCD);
    buildOffsetTable(&water.picture, offsets.data());
    EXPECT_EQ(offsets[0], 129 * L);
    EXPECT_EQ(offsets[16383], static_cast<uint16_t>(-L));
    EXPECT_EQ(offsets[16256], static_cast<uint16_t>(-128 * L));
    int nonZero = 0;
    for (uint16_t o : offsets) nonZero += o != 0;
    EXPECT_EQ(nonZero, 3);
}

TEST(SurfaceWarp, FlatWaterCopiesTheSurfaceForAnyTime) {
    TestPicture water, surface, out;
    for (int i = 0; i < WATER_TEXELS; ++i) {
        water.set(i, 40, 90, 140);
        surface.set(i, i & 0xFF, (i >> 8) & 0xFF, (i * 7) & 0xFF);
    }
    std::vector<uint16_t> offsets(WATER_TEXELS);
    std::vector<int32_t> colours(WATER_TEXELS);
    buildOffsetTable(&water.picture, offsets.data());
    buildColourTable(&surface.picture, colours.data());
    for (float t : {0.0f, 3.5f, -2.7f, 123456.0f}) {
        warpSurfaceRows(&out.picture, colours.data(), offsets.data(), t);
        EXPECT_EQ(out.bytes, surface.bytes) << t;
        std::fill(out.bytes.begin(), out.bytes.end(), 0);
        warpSurfaceColumns(&out.picture, colours.data(), offsets.data(), t);
        EXPECT_EQ(out.bytes, surface.bytes) << t;
    }
}

TEST(SurfaceWarp, ColourTableRoundTripsAPixel) {
    TestPicture surface, out;
    for (int i = 0; i < WATER_TEXELS; ++i) surface.set(i, 10, 20, 200);
    std::vector<int32_t> colours(WATER_TEXELS);
    buildColourTable(&surface.picture, colours.data());
    EXPECT_EQ(colours[0], 660680);
    EXPECT_EQ(colours[16383], 660680);
    std::vector<uint16_t> offsets(WATER_TEXELS);
    for (int i = 0; i < WATER_TEXELS; ++i) offsets[i] = static_cast<uint16_t>(i * 37);
    warpSurfaceRows(&out.picture, colours.data(), offsets.data(), 9.0f);
    EXPECT_EQ(out.bytes[3 * 500], 10);
    EXPECT_EQ(out.bytes[3 * 500 + 1], 20);
    EXPECT_EQ(out.bytes[3 * 500 + 2], 200);
}

TEST(SurfaceWarp, ScrollMovesOneEntryPerWholeTickAlongRowsOrColumns) {
    // Offsets only at odd indices: the fixed term (read at 2i) is then zero, and a warped pixel
    // i reads entry offsets[s] + i, with s its scroll index.
    std::vector<uint16_t> offsets(WATER_TEXELS, 0);
    for (int i = 1; i < WATER_TEXELS; i += 2) offsets[i] = static_cast<uint16_t>(i * 2654435761u);
    const std::vector<int32_t> colours = indexColours();
    TestPicture before, after;
    auto scrollEntry = [&](const TestPicture& p, int r, int c) {
        const int i = (128 * ((r + 128) % 128) + (c + 128) % 128);
        return (readIndex(p, i) - i) & (WATER_TEXELS - 1);
    };

    warpSurfaceRows(&before.picture, colours.data(), offsets.data(), 3.5f);
    warpSurfaceRows(&after.picture, colours.data(), offsets.data(), 4.5f);
    int differing = 0;
    for (int r = 0; r < 128; ++r) {
        for (int c = 0; c < 127; ++c) {
            ASSERT_EQ(scrollEntry(after, r, c), scrollEntry(before, r, c + 1)) << r << "," << c;
            differing += scrollEntry(after, r, c) != scrollEntry(before, r, c);
        }
    }
    EXPECT_GT(differing, 1000);

    warpSurfaceColumns(&before.picture, colours.data(), offsets.data(), 3.5f);
    warpSurfaceColumns(&after.picture, colours.data(), offsets.data(), 4.5f);
    for (int r = 1; r < 128; ++r)
        for (int c = 0; c < 128; ++c)
            ASSERT_EQ(scrollEntry(after, r, c), scrollEntry(before, r - 1, c)) << r << "," << c;
}

TEST(SurfaceWarp, TimeIsTruncatedTowardZero) {
    std::vector<uint16_t> offsets(WATER_TEXELS);
    for (int i = 0; i < WATER_TEXELS; ++i) offsets[i] = static_cast<uint16_t>(i * 40503u);
    const std::vector<int32_t> colours = indexColours();
    TestPicture a, b;
    auto same = [&](float t1, float t2) {
        warpSurfaceRows(&a.picture, colours.data(), offsets.data(), t1);
        warpSurfaceRows(&b.picture, colours.data(), offsets.data(), t2);
        return a.bytes == b.bytes;
    };
    EXPECT_TRUE(same(-0.9f, 0.9f));
    EXPECT_TRUE(same(0.0f, 0.9f));
    EXPECT_TRUE(same(2.7f, 2.0f));
    EXPECT_TRUE(same(-2.7f, -2.0f));
    EXPECT_FALSE(same(2.7f, 3.0f));
    EXPECT_FALSE(same(2.7f, -2.7f));
    // Times far beyond the table size still scroll modulo the table; times that are not finite
    // numbers like time 0.
    EXPECT_TRUE(same(16384.0f * 3 + 5, 5.0f));
    EXPECT_TRUE(same(INFINITY, 0.0f));
    EXPECT_TRUE(same(-INFINITY, 0.0f));
    EXPECT_TRUE(same(NAN, 0.0f));
}

TEST(SurfaceWarp, PicturesSmallerThanTheTablesAreRefused) {
    messages.clear();
    setMessageSink(collect);
    TestPicture small(64);
    small.set(0, 255, 255, 255);
    std::vector<uint16_t> offsets(WATER_TEXELS, 7);
    std::vector<int32_t> colours(WATER_TEXELS, 7);
    buildOffsetTable(&small.picture, offsets.data());
    buildColourTable(&small.picture, colours.data());
    setMessageSink(nullptr);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(offsets[0], 0);
    EXPECT_EQ(offsets[WATER_TEXELS - 1], 0);
    EXPECT_EQ(colours[WATER_TEXELS - 1], 0);
    // The warp leaves a too small output picture alone.
    warpSurfaceRows(&small.picture, colours.data(), offsets.data(), 1.0f);
    EXPECT_EQ(small.bytes[0], 255);
}

TEST(SurfaceWarp, UploadReplacesTheSlotTextureAtThePictureSize) {
    GlTestContext::ensure();
    GLuint name = 0;
    glGenTextures(1, &name);
    TextureSlot slot{};
    slot.glName = name;
    // Three pixels per row: rows of 9 bytes, not a multiple of 4.
    std::vector<uint8_t> bytes(3 * 3 * 2);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(10 * i + 5);
    Picture picture{3, 2, bytes.data()};
    uploadPicture(&slot, &picture);
    GLint width = 0, height = 0, minFilter = 0, magFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    std::vector<uint8_t> back(bytes.size(), 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, bytes);
    glDeleteTextures(1, &name);
}

// ---- Ripple mirror ----

TEST(RippleMirror, MirrorsInZWithASmallRipple) {
    std::vector<Vec3> source = {{0, 0, 0}, {0.5f, -1, 2}};
    std::vector<Vec3> target(3, Vec3{9, 9, 9});
    SceneObject from{}, to{};
    from.vertices = source.data();
    from.vertexCount = 2;
    to.vertices = target.data();
    to.vertexCount = 3;
    rippleMirror(&to, &from, 0);
    EXPECT_EQ(target[0].x, 0);
    EXPECT_FLOAT_EQ(target[0].y, 0.1f);
    EXPECT_EQ(target[0].z, 0);
    EXPECT_NEAR(target[1].x, 0.5 + 0.1 * std::sin(8.0 - 5.0), 1e-6);
    EXPECT_NEAR(target[1].y, -1 + 0.1 * std::cos(2.0 - 10.0), 1e-6);
    EXPECT_EQ(target[1].z, -2);
    EXPECT_EQ(target[2].x, 9);  // beyond the source: untouched
}

TEST(RippleMirror, ATargetSmallerThanItsSourceTakesOnlyWhatFits) {
    std::vector<Vec3> source(4, Vec3{1, 1, 1});
    auto target = std::make_unique<Vec3[]>(1);
    SceneObject from{}, to{};
    from.vertices = source.data();
    from.vertexCount = 4;
    to.vertices = target.get();
    to.vertexCount = 1;
    rippleMirror(&to, &from, 20);
    EXPECT_EQ(target[0].z, -1);
}

// ---- Mesh morph ----

namespace {

// The five morph Scenes hold ten keys of two vertices each: key j of the i-th morph Scene is at
// (j, 100 i, 0) and (-j, 0, 1). The target has two vertices.
class MeshMorph : public ::testing::Test {
protected:
    void SetUp() override {
        saved = scenes;
        constexpr int count = FIRST_MORPH_SCENE + MORPH_SCENES;
        block = std::make_unique<Scene[]>(count);
        std::memset(static_cast<void*>(block.get()), 0, sizeof(Scene) * count);
        scenes = block.get();
        for (int i = 0; i < MORPH_SCENES; ++i) {
            objects[i].resize(MORPH_KEYS);
            for (int j = 0; j < MORPH_KEYS; ++j) {
                keyVertices[i][j][0] = {static_cast<float>(j), 100.0f * i, 0};
                keyVertices[i][j][1] = {static_cast<float>(-j), 0, 1};
                SceneObject& key = objects[i][j];
                key = SceneObject{};
                key.vertices = keyVertices[i][j].data();
                key.vertexCount = 2;
            }
            scenes[FIRST_MORPH_SCENE + i].objects = objects[i].data();
            scenes[FIRST_MORPH_SCENE + i].objectCount = MORPH_KEYS;
        }
        target.vertices = targetVertices;
        target.vertexCount = 2;
    }
    void TearDown() override { scenes = saved; }

    const Vec3& at() const { return targetVertices[0]; }

    Scene* saved = nullptr;
    std::unique_ptr<Scene[]> block;
    std::vector<SceneObject> objects[5];
    std::array<std::array<Vec3, 2>, MORPH_KEYS> keyVertices[5];
    Vec3 targetVertices[2] = {{-1, -1, -1}, {-1, -1, -1}};
    SceneObject target{};
};

}  // namespace

TEST_F(MeshMorph, KeyPositionSelectsTwoNeighbouringKeysOfTheRing) {
    morphObject(&target, 9.5f, 0, 0);
    EXPECT_FLOAT_EQ(at().x, 4.5f);  // halfway between key 9 and key 0
    EXPECT_FLOAT_EQ(targetVertices[1].x, -4.5f);
    EXPECT_EQ(at().y, 0);
    morphObject(&target, 3.0f, 0, 0);
    EXPECT_EQ(at().x, 3);
    morphObject(&target, 3.25f, 0, 0);
    EXPECT_FLOAT_EQ(at().x, 3.25f);
    morphObject(&target, 13.5f, 0, 0);
    EXPECT_FLOAT_EQ(at().x, 3.5f);
    for (float a : {-0.5f, -3.2f, -27.9f}) {
        morphObject(&target, a, 0, 0);
        EXPECT_EQ(at().x, 0) << a;
        EXPECT_EQ(at().y, 0) << a;
    }
}

TEST_F(MeshMorph, WeightsPullTowardsTheKeySetChosenByTheirSign) {
    morphObject(&target, 3, -0.3f, 0);  // Scene 12 at y = 100
    EXPECT_EQ(at().x, 3);
    EXPECT_FLOAT_EQ(at().y, 30);
    morphObject(&target, 3, 1.7f, 0);  // Scene 13 at y = 200, weight limited to 1
    EXPECT_FLOAT_EQ(at().y, 200);
    morphObject(&target, 3, 0, -0.5f);  // Scene 14 at y = 300
    EXPECT_FLOAT_EQ(at().y, 150);
    morphObject(&target, 3, 0, 0.25f);  // Scene 15 at y = 400
    EXPECT_FLOAT_EQ(at().y, 100);
    morphObject(&target, 3, 1, 1);  // the c-keys alone
    EXPECT_FLOAT_EQ(at().y, 400);
    EXPECT_FLOAT_EQ(at().x, 3);
    morphObject(&target, 3, 0.5f, 0.5f);  // 100 then halfway to 400
    EXPECT_FLOAT_EQ(at().y, 250);
}

TEST_F(MeshMorph, KeysWithFewerVerticesLimitWhatIsWritten) {
    objects[0][4].vertexCount = 1;
    morphObject(&target, 3.5f, 0, 0);
    EXPECT_FLOAT_EQ(at().x, 3.5f);
    EXPECT_EQ(targetVertices[1].x, -1);  // left alone
    // A key Scene without ten objects leaves the target as it was.
    scenes[MORPH_RING_SCENE].objectCount = 5;
    morphObject(&target, 7, 0, 0);
    EXPECT_FLOAT_EQ(at().x, 3.5f);
}
