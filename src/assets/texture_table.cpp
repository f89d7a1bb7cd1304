// Texture table and picture loading. A JPEG is decoded into blue-green-red rows top first,
// turned bottom-up into red-green-blue (GL's first row is the bottom one), brought down to
// power-of-two sides no larger than the driver allows with a bilinear filter whose neighbours
// wrap around (the pictures tile), logged on the loading screen and uploaded as a new texture.
// A picture whose every pixel is grey (the opacity masks and fades) is uploaded with one
// luminance byte per texel instead of the driver's four for red-green-blue: it is sampled as
// the same (L, L, L, 1), and the large masks of the HD data set take a quarter of the memory.
// A picture that cannot be decoded is reported and skipped; loading goes on. So is a picture
// that would take the pixels of all pictures decoded past MAX_PICTURE_PIXELS: it is refused from
// its header, before it is decoded. That bounds both the time pictures take to load, however
// many slots name large ones, and the memory their textures hold, since no texture has more
// texels than its picture has pixels.
#include "assets/texture_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "assets/bmp_reader.h"
#include "assets/texture_ink.h"
#include "platform/opengl.h"
#include "platform/platform.h"
#include "shell/bitmap_font.h"
#include "shell/error_report.h"
#include "shell/gl_window.h"

TextureSlot* textureTable = nullptr;

namespace {

int64_t pixelsDecoded = 0;

void reportUnloadable(const char* path) {
    char message[1024];
    std::snprintf(message, sizeof message, "cannot load picture: %s", path);
    reportError(message);
}

// One log line per picture on an otherwise cleared screen, so each replaces the one before.
void showLoadLine(const char* path, const Picture& source, const Picture& target) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    clearFrame();
    char line[1024];
    std::snprintf(line, sizeof line, "%s %dx%d -> %dx%d ", path, source.width, source.height,
                  target.width, target.height);
    drawText(line, 0.05f, 0.95f);
    platformSwapBuffers();
}

// Neighbour fetch with wrap-around: coordinates past the last column or row come from the first.
const uint8_t* sourcePixel(const Picture* source, int32_t x, int32_t y) {
    while (x >= source->width) x -= source->width;
    while (y >= source->height) y -= source->height;
    return source->pixels + (static_cast<size_t>(y) * source->width + x) * 3;
}

}  // namespace

void initSlot(TextureSlot* slot, const char* path, float translucency) {
    loadSummarisedTexture(path, &slot->glName, &slot->ink);
    slot->translucency = translucency;
    slot->wireBrightness = 0.0f;
    slot->flags = 0;
}

void initSlotEnvMapped(TextureSlot* slot, const char* path, float translucency) {
    loadSummarisedTexture(path, &slot->glName, &slot->ink);
    slot->translucency = translucency;
    slot->wireBrightness = 0.0f;
    slot->flags = SLOT_ENV_MAP;
}

void initSlotWithOverlay(TextureSlot* slot, const char* path, const char* overlayPath,
                         float translucency, float planarScale) {
    loadSummarisedTexture(path, &slot->glName, &slot->ink);
    loadTexture(overlayPath, &slot->overlayGlName);
    slot->translucency = translucency;
    slot->wireBrightness = 0.0f;
    slot->flags = SLOT_SCROLL_OVERLAY;
    slot->planarScale = planarScale;
}

void loadTexture(const char* path, uint32_t* outGlName) {
    loadSummarisedTexture(path, outGlName, nullptr);
}

void loadSummarisedTexture(const char* path, uint32_t* outGlName, const TextureInk** outInk) {
    if (outInk) *outInk = nullptr;
    Picture source{0, 0, nullptr};
    Picture target{0, 0, nullptr};
    decodeJpeg(path, &source.width, &source.height, &source.pixels,
               MAX_PICTURE_PIXELS - pixelsDecoded);
    if (!source.pixels) {
        reportUnloadable(path);
        return;
    }
    pixelsDecoded += static_cast<int64_t>(source.width) * source.height;
    flipRowsSwapRedBlue(&source);
    resizeToPowerOfTwo(&target, &source);
    if (!target.pixels) {  // the resized picture could not be allocated
        std::free(source.pixels);
        reportUnloadable(path);
        return;
    }
    showLoadLine(path, source, target);

    GLuint name = 0;
    glGenTextures(1, &name);
    *outGlName = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The ink summary reads the red-green-blue pixels, before a grey picture is packed.
    if (outInk) *outInk = summariseTextureInk(&target);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (packGreyPixels(&target))
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, target.width, target.height, 0,
                     GL_LUMINANCE, GL_UNSIGNED_BYTE, target.pixels);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, 3, target.width, target.height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, target.pixels);
    std::free(source.pixels);
    std::free(target.pixels);
}

int packGreyPixels(Picture* picture) {
    const size_t count = static_cast<size_t>(picture->width) * picture->height;
    uint8_t* p = picture->pixels;
    for (size_t i = 0; i < count * 3; i += 3)
        if (p[i] != p[i + 1] || p[i] != p[i + 2]) return 0;
    // Byte i comes from byte 3i, never behind the bytes already written.
    for (size_t i = 0; i < count; ++i) p[i] = p[i * 3];
    return 1;
}

void flipRowsSwapRedBlue(Picture* picture) {
    // Rows are exchanged pairwise in place; the middle row of an odd height only swaps bytes.
    const size_t rowBytes = static_cast<size_t>(picture->width) * 3;
    const int32_t height = picture->height;
    for (int32_t top = 0, bottom = height - 1; top <= bottom; ++top, --bottom) {
        uint8_t* a = picture->pixels + rowBytes * top;
        uint8_t* b = picture->pixels + rowBytes * bottom;
        for (size_t i = 0; i < rowBytes; i += 3) {
            const uint8_t a0 = a[i], a1 = a[i + 1], a2 = a[i + 2];
            const uint8_t b0 = b[i], b1 = b[i + 1], b2 = b[i + 2];
            b[i] = a2;
            b[i + 1] = a1;
            b[i + 2] = a0;
            a[i] = b2;
            a[i + 1] = b1;
            a[i + 2] = b0;
        }
    }
}

int32_t floorPowerOfTwo(int32_t n) {
    int32_t halvings = 0;
    while (n > 1) {
        n >>= 1;
        ++halvings;
    }
    const int32_t power = int32_t{1} << halvings;
    // A limit of 0 means the driver has not been asked yet; no side may become 0.
    if (maxTextureSize >= 1 && power > maxTextureSize) return maxTextureSize;
    return power;
}

void resizeToPowerOfTwo(Picture* target, const Picture* source) {
    target->width = floorPowerOfTwo(source->width);
    target->height = floorPowerOfTwo(source->height);
    const size_t bytes = static_cast<size_t>(target->width) * target->height * 3;
    target->pixels = static_cast<uint8_t*>(std::malloc(bytes));
    if (!target->pixels) return;
    if (target->width == source->width && target->height == source->height) {
        std::memcpy(target->pixels, source->pixels, bytes);
    } else {
        resampleBilinear(target, source);
    }
}

void resampleBilinear(Picture* target, const Picture* source) {
    const float stepX = static_cast<float>(source->width) / static_cast<float>(target->width);
    const float stepY = static_cast<float>(source->height) / static_cast<float>(target->height);
    uint8_t* out = target->pixels;
    float sy = 0.0f;
    for (int32_t y = 0; y < target->height; ++y) {
        const int32_t iy = static_cast<int32_t>(sy);
        const int32_t b = static_cast<int32_t>((sy - static_cast<float>(iy)) * 256.0f);
        float sx = 0.0f;
        for (int32_t x = 0; x < target->width; ++x) {
            const int32_t ix = static_cast<int32_t>(sx);
            const int32_t a = static_cast<int32_t>((sx - static_cast<float>(ix)) * 256.0f);
            const uint8_t* c00 = sourcePixel(source, ix, iy);
            const uint8_t* c10 = sourcePixel(source, ix + 1, iy);
            const uint8_t* c01 = sourcePixel(source, ix, iy + 1);
            const uint8_t* c11 = sourcePixel(source, ix + 1, iy + 1);
            const int32_t w00 = (256 - a) * (256 - b);
            const int32_t w10 = a * (256 - b);
            const int32_t w01 = (256 - a) * b;
            const int32_t w11 = a * b;
            for (int c = 0; c < 3; ++c)
                *out++ = static_cast<uint8_t>(
                    (c00[c] * w00 + c10[c] * w10 + c01[c] * w01 + c11[c] * w11) >> 16);
            sx += stepX;
        }
        sy += stepY;
    }
}

Picture* loadBmpPicture(const char* path, Picture** outPicture) {
    *outPicture = loadDib(path);
    return *outPicture;
}
