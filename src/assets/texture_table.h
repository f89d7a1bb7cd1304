// The TextureTable: 1024 slots, each one GL texture (and for a few slots a second one) with the
// per-slot drawing settings that every mesh, sprite or Layer using the slot shares. Pictures
// are decoded, turned bottom-up into red-green-blue, brought to power-of-two sides no larger
// than the driver allows, uploaded (grey ones with one byte per texel), and logged on the
// loading screen one line per picture.
#pragma once

#include <cstdint>

// A decoded picture: width x height x 3 bytes, rows packed without padding.
struct Picture {
    int32_t width;
    int32_t height;
    uint8_t* pixels;
};

enum SlotFlags : int32_t {
    SLOT_ENV_MAP = 2,         // texture coordinates from the eye-space normals every frame
    SLOT_SCROLL_OVERLAY = 8,  // a second, scrolling planar texture drawn in a second pass
};

struct TextureInk;

struct TextureSlot {
    uint32_t glName;
    uint32_t overlayGlName;
    float wireBrightness;  // 0 = no wire overlay
    float translucency;    // exactly 0 = opaque
    int32_t flags;         // 0, SLOT_ENV_MAP or SLOT_SCROLL_OVERLAY
    float planarScale;
    const TextureInk* ink;  // where the picture of glName is black or white; null: unknown
    // The size of the picture uploadPicture last gave glName (0 before the first): a texture
    // whose texels are replaced every frame is made once, in colour and at that size, and
    // afterwards only has its texels replaced.
    int32_t uploadedWidth, uploadedHeight;
};

constexpr int TEXTURE_SLOTS = 1024;
// Most pixels all pictures loaded as textures may decode to, together: several times what the
// demo's pictures need. Their textures then hold at most 256 MB as the driver keeps them (four
// bytes a texel).
constexpr int64_t MAX_PICTURE_PIXELS = int64_t{64} << 20;
// The table, allocated zero-filled by allocateTables (asset_tables.h).
extern TextureSlot* textureTable;

// ---- Filling slots ----

// Loads the picture into the slot, opaque when translucency is 0, no flags.
void initSlot(TextureSlot* slot, const char* path, float translucency);
// The same with SLOT_ENV_MAP.
void initSlotEnvMapped(TextureSlot* slot, const char* path, float translucency);
// Loads two pictures, the second as the scrolling overlay, with SLOT_SCROLL_OVERLAY.
void initSlotWithOverlay(TextureSlot* slot, const char* path, const char* overlayPath,
                         float translucency, float planarScale);
// Decodes, converts, resizes, logs and uploads one JPEG; on failure (a picture that cannot be
// decoded, or one that would take all pictures past MAX_PICTURE_PIXELS) shows
// "cannot load picture: <path>", gives the reason on stderr and leaves *outGlName unwritten.
void loadTexture(const char* path, uint32_t* outGlName);
// The same, also summarising where the picture is black or white (texture_ink.h) into
// *outInk, null when it cannot.
void loadSummarisedTexture(const char* path, uint32_t* outGlName, const TextureInk** outInk);

// ---- Picture conversion ----

// When every pixel has red = green = blue, packs the picture in place to one byte per pixel
// and returns 1; otherwise leaves it alone and returns 0.
int packGreyPixels(Picture* picture);
// Turns the rows upside down and swaps the first and third byte of every pixel.
void flipRowsSwapRedBlue(Picture* picture);
// Largest power of two not above n (1 for n <= 1), at most maxTextureSize.
int32_t floorPowerOfTwo(int32_t n);
// target <- source at power-of-two sides; target->pixels is allocated here.
void resizeToPowerOfTwo(Picture* target, const Picture* source);
// Bilinear resampling with 8-bit fixed-point weights and wrap-around neighbours.
void resampleBilinear(Picture* target, const Picture* source);

// ---- BMP pictures ----

// Reads a BMP file into a Picture (null on failure, after the reader's own message), stores it
// in *outPicture and returns it.
Picture* loadBmpPicture(const char* path, Picture** outPicture);
