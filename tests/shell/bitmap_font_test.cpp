// The built-in font: its telling glyph rows, and where text lands on a 640 x 480 framebuffer,
// compared pixel by pixel with the glyph bitmaps.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gl_test_context.h"
#include "shell/bitmap_font.h"
#include "shell/gl_window.h"

namespace {

const uint8_t* glyph(char c) { return FONT_GLYPH_ROWS[c - FONT_FIRST_CHAR]; }

std::vector<uint8_t> readGrey(int x, int y, int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<uint8_t> grey(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = pixels[i * 4];
    return grey;
}

// Checks that the text's glyph cells, starting with the pen at (penX, baseline), hold exactly
// the glyph bits in the font's grey, each bit a square of `scale` pixels, and that the advance
// is 10 glyph pixels per character.
void expectTextAt(const char* text, int penX, int baseline, int scale = 1) {
    int length = static_cast<int>(std::strlen(text));
    int width = length * 10 * scale;
    std::vector<uint8_t> grey = readGrey(penX, baseline - 2 * scale, width, 13 * scale);
    for (int i = 0; i < length; ++i) {
        const uint8_t* rows = glyph(text[i]);
        for (int y = 0; y < 13 * scale; ++y)
            for (int x = 0; x < 10 * scale; ++x) {
                const int row = y / scale, column = x / scale;
                bool set = column < 8 && (rows[row] & (0x80 >> column));
                int value = grey[static_cast<size_t>(y) * width + i * 10 * scale + x];
                ASSERT_EQ(value, set ? 204 : 0)
                    << "char " << i << " ('" << text[i] << "') row " << row << " column " << column;
            }
    }
}

}  // namespace

TEST(FontGlyphs, KeepTheTellingRows) {
    const uint8_t exclamation[13] = {0, 0, 0x18, 0x18, 0, 0, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18};
    const uint8_t zero[13] = {0, 0, 0x3c, 0x66, 0xc3, 0xe3, 0xf3, 0xdb, 0xcf, 0xc7, 0xc3, 0x66, 0x3c};
    const uint8_t capitalA[13] = {0, 0, 0xc3, 0xc3, 0xc3, 0xc3, 0xff, 0xc3, 0xc3, 0xc3, 0x66, 0x3c, 0x18};
    const uint8_t smallA[13] = {0, 0, 0x7f, 0xc3, 0xc3, 0x7f, 0x03, 0xc3, 0x7e, 0, 0, 0, 0};
    const uint8_t tilde[13] = {0, 0, 0, 0, 0, 0, 0x06, 0x8f, 0xf1, 0x60, 0, 0, 0};
    const uint8_t blank[13] = {};
    EXPECT_EQ(std::memcmp(glyph(' '), blank, 13), 0);
    EXPECT_EQ(std::memcmp(glyph('!'), exclamation, 13), 0);
    EXPECT_EQ(std::memcmp(glyph('0'), zero, 13), 0);
    EXPECT_EQ(std::memcmp(glyph('A'), capitalA, 13), 0);
    EXPECT_EQ(std::memcmp(glyph('a'), smallA, 13), 0);
    EXPECT_EQ(std::memcmp(glyph('~'), tilde, 13), 0);
    // Every printable character other than the blank draws something, within 8 columns.
    for (int c = '!'; c <= '~'; ++c) {
        int bits = 0;
        for (int row = 0; row < 13; ++row) bits |= FONT_GLYPH_ROWS[c - 32][row];
        EXPECT_NE(bits, 0) << "glyph " << static_cast<char>(c);
    }
}

TEST(LoadingScreen, LinesLandAtTheirPixelPositions) {
    GlTestContext::ensure();
    maxTextureSize = 1024;
    // The loading screen swaps; headless, the picture stays in the framebuffer to be read.
    showLoadingScreen();
    // 0.05 and 0.95 of 640 x 480: the pen starts 32 pixels from the left, baseline at 456.
    expectTextAt("loading...", 32, 456);
    expectTextAt("texture-size: 1024", 32, 408);
    // Nothing left of the first glyph cell.
    std::vector<uint8_t> margin = readGrey(0, 440, 32, 30);
    for (uint8_t v : margin) ASSERT_EQ(v, 0);
}

TEST(DrawText, BytesWithoutGlyphNeitherDrawNorAdvance) {
    GlTestContext::ensure();
    GlTestContext::clear();
    drawText("A\x01\x7f\xff" "B", 0.5f, 0.5f);
    expectTextAt("AB", 320, 240);
    // Text drawing leaves blending off and the grey colour current.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.8f);
}

TEST(DrawText, GlyphsGrowByWholeStepsOfFourHundredEightyPictureRows) {
    GlTestContext::ensure();
    // A 1440-row picture: glyph pixels of 3 x 3 (the framebuffer holds its lower left part).
    resizeViewport(1920, 1440);
    GlTestContext::clear();
    drawText("Ag", 0.05f, 0.05f);
    expectTextAt("Ag", 96, 72, 3);
    // Back at 480 rows, the font is one pixel per bit again.
    resizeViewport(640, 480);
    GlTestContext::clear();
    drawText("Ag", 0.5f, 0.5f);
    expectTextAt("Ag", 320, 240);
}

TEST(DrawText, NoTextDrawsNothing) {
    GlTestContext::ensure();
    GlTestContext::clear();
    std::vector<std::string> seen;
    static std::vector<std::string>* sink = &seen;
    setTextSink([](const char* text) { sink->push_back(text); });
    drawText(nullptr, 0.5f, 0.5f);
    drawText("x", 0.5f, 0.5f);
    setTextSink(nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "x");
}
