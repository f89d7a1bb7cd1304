// The moving water surfaces. The surface warp redraws a 128 x 128 picture every frame by
// copying each texel from a displaced place of the unwarped picture (kept in the colour table);
// the displacement is the brightness slope of a water picture, stored as texel offsets, and one
// of its two terms scrolls through the offset table with time, along the rows or, read
// transposed, along the columns. All per-texel work is integer arithmetic with power-of-two
// masks. The ripple mirror copies a mesh mirrored in z with a small sine ripple in x and y.
#include "render/water_effects.h"

#include <algorithm>
#include <cmath>

#include "platform/opengl.h"
#include "shell/error_report.h"

Picture* surfacePicture = nullptr;
Picture* surfaceColourPicture = nullptr;
Picture* waterPicture = nullptr;
uint16_t* offsetTable = nullptr;
int32_t* colourTable = nullptr;

namespace {

constexpr uint32_t TEXEL_MASK = WATER_TEXELS - 1;

bool holdsWaterTexels(const Picture* picture) {
    return picture != nullptr && picture->pixels != nullptr && picture->width > 0 &&
           picture->height > 0 &&
           static_cast<int64_t>(picture->width) * picture->height >= WATER_TEXELS;
}

int luminanceAt(const Picture* picture, uint32_t index) {
    const uint8_t* p = picture->pixels + 3 * static_cast<size_t>(index & TEXEL_MASK);
    return surfaceLuminance(p[0], p[1], p[2]);
}

// -(t truncated toward zero), reduced modulo the table size (all the warp needs of it). A time
// that is not a finite number has no whole part: it scrolls like time 0.
uint32_t scrollBase(float t) {
    if (!std::isfinite(t)) return 0;
    const double whole = std::fmod(std::trunc(static_cast<double>(t)), WATER_TEXELS);
    return static_cast<uint32_t>(-static_cast<int32_t>(whole)) & TEXEL_MASK;
}

// Shared body of the two warps; `transposed` reads the scrolling term along columns.
void warpSurface(Picture* out, const int32_t* colours, const uint16_t* offsets, float t,
                 bool transposed) {
    if (!holdsWaterTexels(out) || colours == nullptr || offsets == nullptr) return;
    const uint32_t m = scrollBase(t);
    uint8_t* pixel = out->pixels;
    for (uint32_t r = 0; r < WATER_SIDE; ++r) {
        for (uint32_t c = 0; c < WATER_SIDE; ++c, pixel += 3) {
            const uint32_t i = WATER_SIDE * r + c;
            const uint32_t s = (transposed ? m + r + WATER_SIDE * c : m - i) & TEXEL_MASK;
            const uint32_t j = (offsets[s] + i + offsets[(2 * i) & TEXEL_MASK]) & TEXEL_MASK;
            const uint32_t v = static_cast<uint32_t>(colours[j]);
            pixel[0] = static_cast<uint8_t>(v >> 16);
            pixel[1] = static_cast<uint8_t>(v >> 8);
            pixel[2] = static_cast<uint8_t>(v);
        }
    }
}

}  // namespace

int surfaceLuminance(int b0, int b1, int b2) {
    const double weighted = 0.3 * (b0 & 0xFF) + 0.5 * (b1 & 0xFF) + 0.2 * (b2 & 0xFF);
    return static_cast<int>(weighted * 0.3);
}

void buildOffsetTable(const Picture* water, uint16_t* offsets) {
    if (!holdsWaterTexels(water)) {
        // Without a slope the warp copies the surface unchanged.
        std::fill(offsets, offsets + WATER_TEXELS, uint16_t{0});
        reportError("water picture is smaller than 128 x 128");
        return;
    }
    for (uint32_t i = 0; i < WATER_TEXELS; ++i) {
        const int here = luminanceAt(water, i);
        const int dx = here - luminanceAt(water, i + 1);
        const int dy = here - luminanceAt(water, i + WATER_SIDE);
        offsets[i] = static_cast<uint16_t>(dx + WATER_SIDE * dy);
    }
}

void buildColourTable(const Picture* surface, int32_t* colours) {
    if (!holdsWaterTexels(surface)) {
        std::fill(colours, colours + WATER_TEXELS, 0);
        reportError("surface picture is smaller than 128 x 128");
        return;
    }
    const uint8_t* p = surface->pixels;
    for (uint32_t i = 0; i < WATER_TEXELS; ++i, p += 3)
        colours[i] = (p[0] << 16) | (p[1] << 8) | p[2];
}

void warpSurfaceRows(Picture* out, const int32_t* colours, const uint16_t* offsets, float t) {
    warpSurface(out, colours, offsets, t, false);
}

void warpSurfaceColumns(Picture* out, const int32_t* colours, const uint16_t* offsets, float t) {
    warpSurface(out, colours, offsets, t, true);
}

void uploadPicture(TextureSlot* slot, const Picture* picture) {
    if (slot == nullptr || picture == nullptr || picture->pixels == nullptr) return;
    glBindTexture(GL_TEXTURE_2D, slot->glName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Rows are packed without padding; the default 4-byte alignment would skew odd widths.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // The first upload makes the texture anew, in colour: the picture loaded into the slot may
    // have been grey and stored with one byte a texel. Later ones of the same size only
    // replace the texels.
    if (slot->uploadedWidth == picture->width && slot->uploadedHeight == picture->height) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, picture->width, picture->height, GL_RGB,
                        GL_UNSIGNED_BYTE, picture->pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, picture->width, picture->height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, picture->pixels);
        slot->uploadedWidth = picture->width;
        slot->uploadedHeight = picture->height;
    }
    slot->ink = nullptr;  // the summary was of the picture loaded first
}

void rippleMirror(SceneObject* target, const SceneObject* source, float t) {
    const double a = static_cast<float>(t * 0.05);
    // A target smaller than its source takes only the vertices it has room for.
    const int32_t count = std::min(source->vertexCount, target->vertexCount);
    target->reshaped = 1;
    for (int32_t k = 0; k < count; ++k) {
        const double x = source->vertices[k].x, y = source->vertices[k].y,
                     z = source->vertices[k].z;
        target->vertices[k] = {static_cast<float>(x + 0.1 * std::sin(4.0 * z + 5.0 * y + a)),
                               static_cast<float>(y + 0.1 * std::cos(4.0 * x - 5.0 * z + a)),
                               static_cast<float>(-z)};
    }
}
