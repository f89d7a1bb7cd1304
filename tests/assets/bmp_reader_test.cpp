// BMP reader: both header sizes with and without the "BM" file header, colour tables, the bit
// depths and run-length codings the reader takes, rows kept in stored order without padding,
// and one message per failed call for every way a file can be refused.
#include "assets/bmp_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "asset_fixtures.h"
#include "assets/texture_table.h"

using namespace assetFixtures;

namespace {

void putU16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(v & 0xFF);
    out->push_back((v >> 8) & 0xFF);
}
void putU32(std::vector<uint8_t>* out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

struct BmpLayout {
    bool fileHeader = true;
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    std::vector<uint8_t> pixels;    // stored rows, padding included
};

std::vector<uint8_t> buildBmp(const BmpLayout& layout) {
    std::vector<uint8_t> header;
    putU32(&header, layout.headerSize);
    if (layout.headerSize == 12) {
        putU16(&header, layout.width);
        putU16(&header, layout.height);
        putU16(&header, 1);
        putU16(&header, layout.bitCount);
    } else {
        putU32(&header, layout.width);
        putU32(&header, layout.height);
        putU16(&header, 1);
        putU16(&header, layout.bitCount);
        putU32(&header, layout.compression);
        putU32(&header, 0);
        putU32(&header, 2835);
        putU32(&header, 2835);
        putU32(&header, layout.coloursUsed);
        putU32(&header, 0);
        while (header.size() < layout.headerSize) header.push_back(0);
    }
    for (uint32_t colour : layout.palette) {
        header.push_back(colour & 0xFF);
        header.push_back((colour >> 8) & 0xFF);
        header.push_back((colour >> 16) & 0xFF);
        if (layout.headerSize != 12) header.push_back(0);
    }
    std::vector<uint8_t> out;
    if (layout.fileHeader) {
        const uint32_t offset = 14 + static_cast<uint32_t>(header.size());
        out = {'B', 'M'};
        putU32(&out, offset + static_cast<uint32_t>(layout.pixels.size()));
        putU32(&out, 0);
        putU32(&out, offset);
    }
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), layout.pixels.begin(), layout.pixels.end());
    return out;
}

std::vector<uint8_t> rgbAt(const Picture* p, int x, int y) {
    const uint8_t* at = p->pixels + (static_cast<size_t>(y) * p->width + x) * 3;
    return {at[0], at[1], at[2]};
}

void freePicture(Picture* picture) {
    if (!picture) return;
    std::free(picture->pixels);
    std::free(picture);
}

// Decodes and expects exactly the given message (or none for a success).
Picture* decodeExpecting(const std::vector<uint8_t>& bytes, const std::string& message) {
    MessageLog log;
    Picture* picture = decodeDib(bytes.data(), bytes.size());
    if (message.empty()) {
        EXPECT_TRUE(log.all().empty()) << (log.all().empty() ? "" : log.all()[0]);
    } else {
        EXPECT_EQ(picture, nullptr);
        EXPECT_EQ(log.all(), std::vector<std::string>{"Error|" + message});
    }
    return picture;
}

}  // namespace

TEST(BmpReader, TrueColourRowsComeOutBottomFirstInRedGreenBlue) {
    BmpLayout layout;
    layout.width = 128;
    layout.height = 128;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            layout.pixels.push_back(static_cast<uint8_t>(x));      // blue
            layout.pixels.push_back(static_cast<uint8_t>(y));      // green
            layout.pixels.push_back(static_cast<uint8_t>(x ^ y));  // red
        }
    const std::string path = scratchPath("true-colour.bmp");
    writeFile(path, buildBmp(layout));
    Picture* stored = nullptr;
    Picture* picture = loadBmpPicture(path.c_str(), &stored);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(stored, picture);
    EXPECT_EQ(picture->width, 128);
    EXPECT_EQ(picture->height, 128);
    // The first stored row is the bottom of the image and comes out first.
    EXPECT_EQ(rgbAt(picture, 0, 0), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(rgbAt(picture, 5, 0), (std::vector<uint8_t>{5, 0, 5}));
    EXPECT_EQ(rgbAt(picture, 3, 100), (std::vector<uint8_t>{3 ^ 100, 100, 3}));
    freePicture(picture);
}

TEST(BmpReader, RowPaddingIsDroppedAndThirtyTwoBitPixelsLoseTheirFourthByte) {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.pixels = {
        1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,  // 9 bytes and 3 of padding
        10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
    Picture* picture = decodeExpecting(buildBmp(layout), "");
    ASSERT_NE(picture, nullptr);
    const std::vector<uint8_t> expected{3,  2,  1,  6,  5,  4,  9,  8,  7,
                                        12, 11, 10, 15, 14, 13, 18, 17, 16};
    EXPECT_EQ(std::vector<uint8_t>(picture->pixels, picture->pixels + 18), expected);
    freePicture(picture);

    BmpLayout wide;
    wide.width = 2;
    wide.bitCount = 32;
    wide.pixels = {1, 2, 3, 99, 4, 5, 6, 99};
    picture = decodeExpecting(buildBmp(wide), "");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(rgbAt(picture, 1, 0), (std::vector<uint8_t>{6, 5, 4}));
    freePicture(picture);
}

TEST(BmpReader, PaletteIndicesExpandToTheirColours) {
    BmpLayout eight;
    eight.width = 4;
    eight.bitCount = 8;
    eight.palette.assign(256, 0);
    eight.palette[1] = 0x102030;
    eight.palette[200] = 0xFF8000;
    eight.pixels = {1, 200, 0, 1};
    Picture* picture = decodeExpecting(buildBmp(eight), "");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(rgbAt(picture, 0, 0), (std::vector<uint8_t>{0x10, 0x20, 0x30}));
    EXPECT_EQ(rgbAt(picture, 1, 0), (std::vector<uint8_t>{0xFF, 0x80, 0x00}));
    EXPECT_EQ(rgbAt(picture, 3, 0), (std::vector<uint8_t>{0x10, 0x20, 0x30}));
    freePicture(picture);

    // A bare bitmap with the core header: 3-byte entries, pixels right after the table.
    BmpLayout core;
    core.fileHeader = false;
    core.headerSize = 12;
    core.width = 3;
    core.height = 2;
    core.bitCount = 4;
    core.palette.assign(16, 0);
    core.palette[2] = 0x0000FF;
    core.palette[15] = 0xABCDEF;
    core.pixels = {0x2F, 0x20, 0, 0, 0xF2, 0xF0, 0, 0};
    picture = decodeExpecting(buildBmp(core), "");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(rgbAt(picture, 0, 0), (std::vector<uint8_t>{0, 0, 0xFF}));
    EXPECT_EQ(rgbAt(picture, 1, 0), (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}));
    EXPECT_EQ(rgbAt(picture, 2, 0), (std::vector<uint8_t>{0, 0, 0xFF}));
    EXPECT_EQ(rgbAt(picture, 0, 1), (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}));
    freePicture(picture);

    // One bit per pixel, most significant bit first; a short colours-used table leaves indices
    // past it black and moves the pixels of a bare bitmap up.
    BmpLayout mono;
    mono.fileHeader = false;
    mono.width = 10;
    mono.bitCount = 1;
    mono.palette = {0x000000, 0xFFFFFF};
    mono.pixels = {0xA0, 0x40, 0, 0};
    picture = decodeExpecting(buildBmp(mono), "");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(rgbAt(picture, 0, 0), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(rgbAt(picture, 1, 0), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(rgbAt(picture, 2, 0), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(rgbAt(picture, 9, 0), (std::vector<uint8_t>{255, 255, 255}));
    freePicture(picture);

    BmpLayout shortTable;
    shortTable.fileHeader = false;
    shortTable.width = 2;
    shortTable.bitCount = 8;
    shortTable.coloursUsed = 1;
    shortTable.palette = {0x112233};
    shortTable.pixels = {0, 7, 0, 0};
    picture = decodeExpecting(buildBmp(shortTable), "");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(rgbAt(picture, 0, 0), (std::vector<uint8_t>{0x11, 0x22, 0x33}));
    EXPECT_EQ(rgbAt(picture, 1, 0), (std::vector<uint8_t>{0, 0, 0}));
    freePicture(picture);
}

TEST(BmpReader, RunLengthCodedPixelsDecodeRunsLiteralsAndSkips) {
    BmpLayout rle8;
    rle8.width = 6;
    rle8.height = 3;
    rle8.bitCount = 8;
    rle8.compression = 1;
    rle8.palette.assign(256, 0);
    rle8.palette[1] = 0xFF0000;
    rle8.palette[2] = 0x00FF00;
    rle8.palette[3] = 0x0000FF;
    rle8.pixels = {3, 1, 0, 3, 2, 3, 2, 0,  // run of three 1s, literal 2 3 2 (padded)
                   0, 0,                    // end of row 0
                   0, 2, 2, 1,              // move 2 right, 1 up: row 2, column 2
                   2, 3,                    // two 3s there
                   0, 1};                   // end of bitmap
    Picture* picture = decodeExpecting(buildBmp(rle8), "");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(rgbAt(picture, 0, 0), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(rgbAt(picture, 2, 0), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(rgbAt(picture, 3, 0), (std::vector<uint8_t>{0, 255, 0}));
    EXPECT_EQ(rgbAt(picture, 4, 0), (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(rgbAt(picture, 5, 0), (std::vector<uint8_t>{0, 255, 0}));
    EXPECT_EQ(rgbAt(picture, 0, 1), (std::vector<uint8_t>{0, 0, 0}));  // skipped: black
    EXPECT_EQ(rgbAt(picture, 2, 2), (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(rgbAt(picture, 3, 2), (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(rgbAt(picture, 1, 2), (std::vector<uint8_t>{0, 0, 0}));
    freePicture(picture);

    BmpLayout rle4;
    rle4.width = 5;
    rle4.height = 1;
    rle4.bitCount = 4;
    rle4.compression = 2;
    rle4.palette.assign(16, 0);
    rle4.palette[1] = 0x0A0B0C;
    rle4.palette[2] = 0x0D0E0F;
    rle4.pixels = {3, 0x12,              // 1 2 1
                   0, 3,    0x21, 0x20,  // literal 2 1 2 (two bytes, already even)
                   0, 1};
    picture = decodeExpecting(buildBmp(rle4), "");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(rgbAt(picture, 0, 0), (std::vector<uint8_t>{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(rgbAt(picture, 1, 0), (std::vector<uint8_t>{0x0D, 0x0E, 0x0F}));
    EXPECT_EQ(rgbAt(picture, 2, 0), (std::vector<uint8_t>{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(rgbAt(picture, 3, 0), (std::vector<uint8_t>{0x0D, 0x0E, 0x0F}));
    EXPECT_EQ(rgbAt(picture, 4, 0), (std::vector<uint8_t>{0x0A, 0x0B, 0x0C}));
    freePicture(picture);

    // Codes that run out before the end-of-bitmap code are a conversion error.
    rle8.pixels = {3, 1, 0, 3, 2};
    decodeExpecting(buildBmp(rle8), "Image file conversion error.");
}

TEST(BmpReader, NegativeHeightCopiesEveryRowInStoredOrder) {
    BmpLayout layout;
    layout.width = 1;
    layout.height = -2;
    layout.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    Picture* picture = decodeExpecting(buildBmp(layout), "");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->height, -2);
    EXPECT_EQ(rgbAt(picture, 0, 0), (std::vector<uint8_t>{3, 2, 1}));
    EXPECT_EQ(rgbAt(picture, 0, 1), (std::vector<uint8_t>{6, 5, 4}));
    freePicture(picture);
}

TEST(BmpReader, RefusedFilesGiveOneMessageEach) {
    BmpLayout v5;
    v5.headerSize = 108;
    v5.pixels = {1, 2, 3, 0};
    decodeExpecting(buildBmp(v5), "Unknown DIB file format.");

    BmpLayout bare = v5;
    bare.fileHeader = false;
    bare.headerSize = 64;
    decodeExpecting(buildBmp(bare), "Unknown DIB file format.");
    decodeExpecting(std::vector<uint8_t>{'B', 'M', 0, 0}, "Unknown DIB file format.");

    // Pixel rows that would be read past the end of the file.
    BmpLayout shortPixels;
    shortPixels.width = 4;
    shortPixels.height = 4;
    shortPixels.pixels.assign(4 * 12 - 1, 0);
    decodeExpecting(buildBmp(shortPixels), "Image file conversion error.");

    // A colour table that does not fit in the file, and a pixel offset beyond it.
    BmpLayout eight;
    eight.bitCount = 8;
    eight.palette.assign(16, 0);
    eight.fileHeader = false;
    decodeExpecting(buildBmp(eight), "Image file conversion error.");
    BmpLayout plain;
    plain.pixels = {1, 2, 3, 0};
    std::vector<uint8_t> farOffset = buildBmp(plain);
    farOffset[10] = 0xF0;
    farOffset[11] = 0xFF;
    decodeExpecting(farOffset, "Image file conversion error.");

    // Nothing to convert: zero height, unsupported depth or compression.
    BmpLayout empty = plain;
    empty.height = 0;
    decodeExpecting(buildBmp(empty), "Image file conversion error.");
    BmpLayout twelveBits = plain;
    twelveBits.bitCount = 12;
    decodeExpecting(buildBmp(twelveBits), "Image file conversion error.");
    BmpLayout masks = plain;
    masks.compression = 3;
    decodeExpecting(buildBmp(masks), "Image file conversion error.");

    // A header promising more pixels than the reader makes.
    BmpLayout huge = plain;
    huge.width = 1 << 20;
    huge.height = 1 << 20;
    decodeExpecting(buildBmp(huge), "Out of memory.");
    // One side past the limit is enough, however few pixels that makes.
    BmpLayout wide = plain;
    wide.width = MAX_PICTURE_SIDE + 1;
    decodeExpecting(buildBmp(wide), "Out of memory.");
}

TEST(BmpReader, MissingOrEmptyFileCannotBeOpened) {
    for (const std::string& path : {scratchDir() + "\\no-such.bmp", scratchPath("empty.bmp")}) {
        if (path.ends_with("empty.bmp")) writeFile(path, {});
        MessageLog log;
        Picture* stored = reinterpret_cast<Picture*>(&log);
        EXPECT_EQ(loadBmpPicture(path.c_str(), &stored), nullptr);
        EXPECT_EQ(stored, nullptr);
        EXPECT_EQ(log.all(),
                  std::vector<std::string>{"Error|Failed to open DIB file " + path + ".\n"});
    }
}
