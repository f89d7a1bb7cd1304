// Texture table and picture loading: power-of-two sizes under the driver's limit, the fixed-point
// bilinear filter (exact at 2:1, wrapping at the edges), the flip into bottom-up red-green-blue,
// and, on a real headless GL context, JPEG pictures becoming textures with their log line, and
// every kind of unloadable picture being reported and skipped.
#include "assets/texture_table.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "asset_fixtures.h"
#include "gl_test_context.h"
#include "platform/platform.h"
#include "shell/bitmap_font.h"
#include "shell/gl_window.h"

using namespace assetFixtures;

namespace {

struct LimitGuard {
    int saved = maxTextureSize;
    explicit LimitGuard(int limit) { maxTextureSize = limit; }
    ~LimitGuard() { maxTextureSize = saved; }
};

Picture pictureOf(int width, int height, std::vector<uint8_t>& bytes) {
    bytes.resize(static_cast<size_t>(width) * height * 3);
    return Picture{width, height, bytes.data()};
}

const uint8_t* pixelAt(const Picture& p, int x, int y) {
    return p.pixels + (static_cast<size_t>(y) * p.width + x) * 3;
}

std::vector<std::string>& loggedLines() {
    static std::vector<std::string> lines;
    return lines;
}
void collectLine(const char* text) { loggedLines().push_back(text); }

struct TextureReadback {
    int width = 0, height = 0;
    int luminance = 0;         // stored with one grey byte per texel
    std::vector<uint8_t> rgb;  // read as red-green-blue: a grey texel gives (L, 0, 0)
};

TextureReadback readTexture(uint32_t name) {
    TextureReadback out;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &out.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &out.height);
    GLint luminanceBits = 0, redBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_LUMINANCE_SIZE, &luminanceBits);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_RED_SIZE, &redBits);
    out.luminance = luminanceBits > 0 && redBits == 0;
    out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!out.rgb.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, out.rgb.data());
    return out;
}

std::string writeJpeg(const std::string& name, int width, int height,
                      const std::vector<uint8_t>& pixels, JpegKind kind) {
    const std::string path = scratchPath(name);
    writeFile(path, encodeJpeg(width, height, pixels, kind));
    return path;
}

}  // namespace

TEST(PictureSize, FloorPowerOfTwoNeverRoundsUpAndHonoursTheLimit) {
    LimitGuard limit(1024);
    EXPECT_EQ(floorPowerOfTwo(640), 512);
    EXPECT_EQ(floorPowerOfTwo(480), 256);
    EXPECT_EQ(floorPowerOfTwo(300), 256);
    EXPECT_EQ(floorPowerOfTwo(100), 64);
    EXPECT_EQ(floorPowerOfTwo(512), 512);
    EXPECT_EQ(floorPowerOfTwo(1), 1);
    EXPECT_EQ(floorPowerOfTwo(0), 1);
    EXPECT_EQ(floorPowerOfTwo(-7), 1);
    EXPECT_EQ(floorPowerOfTwo(4096), 1024);
    maxTextureSize = 512;
    EXPECT_EQ(floorPowerOfTwo(1024), 512);
    maxTextureSize = 0;  // not read from the driver yet: no side becomes 0
    EXPECT_EQ(floorPowerOfTwo(640), 512);
}

TEST(PictureSize, ResizeCopiesPowerOfTwoPicturesAndShrinksOthers) {
    LimitGuard limit(1024);
    std::vector<uint8_t> bytes;
    Picture square = pictureOf(4, 2, bytes);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    Picture copy{};
    resizeToPowerOfTwo(&copy, &square);
    ASSERT_EQ(copy.width, 4);
    ASSERT_EQ(copy.height, 2);
    EXPECT_EQ(std::vector<uint8_t>(copy.pixels, copy.pixels + bytes.size()), bytes);
    std::free(copy.pixels);

    std::vector<uint8_t> big;
    Picture wide = pictureOf(640, 480, big);
    Picture shrunk{};
    resizeToPowerOfTwo(&shrunk, &wide);
    EXPECT_EQ(shrunk.width, 512);
    EXPECT_EQ(shrunk.height, 256);
    std::free(shrunk.pixels);
}

TEST(Resample, HalvingSamplesEveryOtherSourcePixelExactly) {
    std::vector<uint8_t> bytes;
    Picture source = pictureOf(8, 6, bytes);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>((i * 37) % 251);
    std::vector<uint8_t> out;
    Picture target = pictureOf(4, 3, out);
    resampleBilinear(&target, &source);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(pixelAt(target, x, y)[c], pixelAt(source, 2 * x, 2 * y)[c])
                    << x << "," << y;
}

TEST(Resample, NeighboursPastTheLastColumnAndRowWrapToTheFirst) {
    // Two columns, one row: red then blue. Stretched to four columns, the last target pixel lies
    // halfway between the last column and the first one again.
    std::vector<uint8_t> bytes{200, 0, 0, 0, 0, 200};
    Picture source{2, 1, bytes.data()};
    std::vector<uint8_t> out;
    Picture target = pictureOf(4, 1, out);
    resampleBilinear(&target, &source);
    EXPECT_EQ(pixelAt(target, 0, 0)[0], 200);
    EXPECT_EQ(pixelAt(target, 1, 0)[0], 100);
    EXPECT_EQ(pixelAt(target, 1, 0)[2], 100);
    EXPECT_EQ(pixelAt(target, 2, 0)[2], 200);
    EXPECT_EQ(pixelAt(target, 3, 0)[0], 100);  // blends with column 0, not held at column 1
    EXPECT_EQ(pixelAt(target, 3, 0)[2], 100);

    // Rows: three source rows into two; row 1 of the target sits at 1.5 and blends rows 1 and 2.
    std::vector<uint8_t> tall{0, 0, 0, 100, 100, 100, 200, 200, 200};
    Picture column{1, 3, tall.data()};
    std::vector<uint8_t> out2;
    Picture shorter = pictureOf(1, 2, out2);
    resampleBilinear(&shorter, &column);
    EXPECT_EQ(pixelAt(shorter, 0, 0)[1], 0);
    EXPECT_EQ(pixelAt(shorter, 0, 1)[1], 150);
}

TEST(PictureConversion, OnlyPicturesGreyInEveryPixelArePackedToOneBytePerPixel) {
    std::vector<uint8_t> grey{7, 7, 7, 200, 200, 200, 0, 0, 0};
    Picture greyPicture{3, 1, grey.data()};
    ASSERT_EQ(packGreyPixels(&greyPicture), 1);
    EXPECT_EQ(std::vector<uint8_t>(grey.begin(), grey.begin() + 3), (std::vector<uint8_t>{7, 200, 0}));
    // Grey but for the blue of the last pixel: left as it was.
    std::vector<uint8_t> almost{7, 7, 7, 200, 200, 200, 0, 0, 1};
    const std::vector<uint8_t> before = almost;
    Picture almostPicture{3, 1, almost.data()};
    EXPECT_EQ(packGreyPixels(&almostPicture), 0);
    EXPECT_EQ(almost, before);
}

TEST(PictureConversion, FlipTurnsRowsOverAndSwapsRedAndBlue) {
    // Three rows (odd, so the middle row only has its bytes swapped), two pixels each, stored
    // blue-green-red top first.
    std::vector<uint8_t> bytes{1,  2,  3,  4,  5,  6,    // top
                               7,  8,  9,  10, 11, 12,   // middle
                               13, 14, 15, 16, 17, 18};  // bottom
    Picture picture{2, 3, bytes.data()};
    flipRowsSwapRedBlue(&picture);
    const std::vector<uint8_t> expected{15, 14, 13, 18, 17, 16,  //
                                        9,  8,  7,  12, 11, 10,  //
                                        3,  2,  1,  6,  5,  4};
    EXPECT_EQ(bytes, expected);
}

TEST(TextureLoading, WidePictureBecomesPowerOfTwoTextureAndLogsItsSizes) {
    GlTestContext::ensure();
    LimitGuard limit(1024);
    const uint8_t top[3] = {250, 10, 10}, bottom[3] = {10, 10, 250};
    const std::string path =
        writeJpeg("wide.jpg", 640, 480, twoBands(640, 480, top, bottom), JpegKind::Colour);
    loggedLines().clear();
    setTextSink(collectLine);
    uint32_t name = 0;
    loadTexture(path.c_str(), &name);
    setTextSink(nullptr);
    ASSERT_NE(name, 0u);
    ASSERT_FALSE(loggedLines().empty());
    EXPECT_EQ(loggedLines().back(), path + " 640x480 -> 512x256 ");
    const TextureReadback texture = readTexture(name);
    EXPECT_EQ(texture.width, 512);
    EXPECT_EQ(texture.height, 256);
    // First texture row is the bottom of the picture, in red-green-blue order.
    EXPECT_NEAR(texture.rgb[0], 10, 4);
    EXPECT_NEAR(texture.rgb[2], 250, 4);
    const size_t lastRow = static_cast<size_t>(255) * 512 * 3;
    EXPECT_NEAR(texture.rgb[lastRow + 0], 250, 4);
    EXPECT_NEAR(texture.rgb[lastRow + 2], 10, 4);
}

TEST(TextureLoading, PowerOfTwoPictureIsUploadedUnchanged) {
    GlTestContext::ensure();
    LimitGuard limit(1024);
    const uint8_t grey[3] = {90, 90, 90};
    const std::string path =
        writeJpeg("square.jpg", 512, 512, twoBands(512, 512, grey, grey), JpegKind::Colour);
    loggedLines().clear();
    setTextSink(collectLine);
    uint32_t name = 0;
    loadTexture(path.c_str(), &name);
    setTextSink(nullptr);
    ASSERT_FALSE(loggedLines().empty());
    EXPECT_EQ(loggedLines().back(), path + " 512x512 -> 512x512 ");
    EXPECT_EQ(readTexture(name).width, 512);
}

// A grey picture is stored with one byte per texel and still draws grey, not red; colour
// pictures, progressive or stored as red-green-blue, keep their three channels.
TEST(TextureLoading, GreyPicturesLoadAsLuminanceAndColourPicturesAsColour) {
    GlTestContext::ensure();
    LimitGuard limit(1024);
    const std::string greyPath =
        writeJpeg("grey.jpg", 16, 16, std::vector<uint8_t>(16 * 16, 128), JpegKind::Grey);
    uint32_t greyName = 0;
    loadTexture(greyPath.c_str(), &greyName);
    ASSERT_NE(greyName, 0u);
    TextureReadback grey = readTexture(greyName);
    ASSERT_EQ(grey.width, 16);
    EXPECT_TRUE(grey.luminance);
    EXPECT_NEAR(grey.rgb[0], 128, 2);
    GlTestContext::clear();
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-1, -1);
    glTexCoord2f(1, 0), glVertex2f(1, -1);
    glTexCoord2f(1, 1), glVertex2f(1, 1);
    glTexCoord2f(0, 1), glVertex2f(-1, 1);
    glEnd();
    const Rgb drawn = GlTestContext::readPixel(320, 240);
    EXPECT_NEAR(drawn.r, 128, 2);
    EXPECT_NEAR(drawn.g, 128, 2);
    EXPECT_NEAR(drawn.b, 128, 2);

    const uint8_t top[3] = {20, 200, 20}, bottom[3] = {200, 20, 20};
    const std::string progressivePath =
        writeJpeg("progressive.jpg", 32, 16, twoBands(32, 16, top, bottom), JpegKind::Progressive);
    uint32_t progressiveName = 0;
    loadTexture(progressivePath.c_str(), &progressiveName);
    ASSERT_NE(progressiveName, 0u);
    TextureReadback progressive = readTexture(progressiveName);
    EXPECT_EQ(progressive.width, 32);
    EXPECT_FALSE(progressive.luminance);
    EXPECT_NEAR(progressive.rgb[0], 200, 6);  // bottom band first
    EXPECT_NEAR(progressive.rgb[1], 20, 6);

    const std::string rgbPath =
        writeJpeg("rgb.jpg", 16, 16, twoBands(16, 16, top, bottom), JpegKind::RgbStored);
    uint32_t rgbName = 0;
    loadTexture(rgbPath.c_str(), &rgbName);
    ASSERT_NE(rgbName, 0u);
    TextureReadback rgb = readTexture(rgbName);
    EXPECT_NEAR(rgb.rgb[0], 200, 6);
    EXPECT_NEAR(rgb.rgb[1], 20, 6);
    EXPECT_NEAR(rgb.rgb[2], 20, 6);
}

TEST(TextureLoading, UnloadablePicturesAreReportedByPathAndLeaveTheNameAlone) {
    GlTestContext::ensure();
    LimitGuard limit(1024);
    const uint8_t colour[3] = {1, 2, 3};
    const std::vector<uint8_t> good =
        encodeJpeg(16, 16, twoBands(16, 16, colour, colour), JpegKind::Colour);
    const std::string truncated = scratchPath("truncated.jpg");
    writeFile(truncated, std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2));
    const std::string garbage = scratchPath("garbage.jpg");
    writeFile(garbage, std::vector<uint8_t>(300, 0x5A));
    const std::string cmyk =
        writeJpeg("cmyk.jpg", 8, 8, std::vector<uint8_t>(8 * 8 * 4, 40), JpegKind::Cmyk);
    // The path is reported as the caller wrote it, backslashes and all.
    const std::string missing = scratchDir() + "\\missing.jpg";

    for (const std::string& path : {truncated, garbage, cmyk, missing}) {
        MessageLog log;
        uint32_t name = 777;
        loadTexture(path.c_str(), &name);
        EXPECT_EQ(name, 777u) << path;
        ASSERT_EQ(log.all().size(), 1u) << path;
        EXPECT_EQ(log.all()[0], "Error|cannot load picture: " + path);
    }
    int width = 5, height = 5;
    unsigned char* pixels = reinterpret_cast<unsigned char*>(&width);
    EXPECT_EQ(decodeJpeg(truncated.c_str(), &width, &height, &pixels), 0);
    EXPECT_EQ(pixels, nullptr);
}

TEST(TextureSlots, InitialisersSetFlagsTranslucencyAndOverlay) {
    GlTestContext::ensure();
    LimitGuard limit(1024);
    const uint8_t colour[3] = {100, 50, 25};
    const std::string a =
        writeJpeg("slot-a.jpg", 8, 8, twoBands(8, 8, colour, colour), JpegKind::Colour);
    const std::string b =
        writeJpeg("slot-b.jpg", 8, 8, twoBands(8, 8, colour, colour), JpegKind::Colour);
    TextureSlot slots[3] = {};
    slots[0].wireBrightness = 0.7f;
    slots[0].flags = SLOT_ENV_MAP;
    initSlot(&slots[0], a.c_str(), 0.0f);
    EXPECT_NE(slots[0].glName, 0u);
    EXPECT_EQ(slots[0].flags, 0);
    EXPECT_EQ(slots[0].wireBrightness, 0.0f);

    initSlotEnvMapped(&slots[1], a.c_str(), 0.5f);
    EXPECT_EQ(slots[1].flags, SLOT_ENV_MAP);
    EXPECT_EQ(slots[1].translucency, 0.5f);
    EXPECT_NE(slots[1].glName, slots[0].glName);  // loaded again as a texture of its own

    initSlotWithOverlay(&slots[2], a.c_str(), b.c_str(), 0.25f, 0.125f);
    EXPECT_EQ(slots[2].flags, SLOT_SCROLL_OVERLAY);
    EXPECT_EQ(slots[2].wireBrightness, 0.0f);
    EXPECT_EQ(slots[2].translucency, 0.25f);
    EXPECT_EQ(slots[2].planarScale, 0.125f);
    EXPECT_NE(slots[2].glName, 0u);
    EXPECT_NE(slots[2].overlayGlName, 0u);
    EXPECT_NE(slots[2].glName, slots[2].overlayGlName);

    // A slot whose picture is missing still gets its settings.
    MessageLog log;
    TextureSlot missing{};
    initSlotEnvMapped(&missing, "data\\no-such-picture.jpg", 0.3f);
    EXPECT_EQ(missing.glName, 0u);
    EXPECT_EQ(missing.flags, SLOT_ENV_MAP);
    EXPECT_EQ(missing.translucency, 0.3f);
    EXPECT_EQ(log.all().size(), 1u);
}
