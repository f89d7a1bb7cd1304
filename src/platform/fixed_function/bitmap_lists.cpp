// Display lists of bitmaps, the raster position and glBitmap, which GLES does not have. A
// bitmap compiled into a list becomes a small texture of its bits, made once; calling the list
// draws that texture as a quad over exactly the pixels the bitmap covers, keeping the set bits
// in the raster colour, and moves the raster position on. A list keeps its one bitmap: other
// commands called while it is being compiled act at once. The raster position is the point
// transformed by the modelview and projection matrices and the viewport, with the colour
// current at that moment; outside the clip volume it is invalid and bitmaps draw nothing.
// Like Mesa, a bitmap's corner counts a raster position within 0.0001 below a whole pixel as
// on that pixel, so text placed at a fraction of the viewport does not fall one row short.
#include <cmath>
#include <cstdint>

#include "platform/fixed_function/fixed_function_internal.h"

namespace fixedgl {

namespace {

// List names 1 to MAX_LISTS.
constexpr GLuint MAX_LISTS = 1024;
// The largest bitmap, in pixels (a glyph 16 times the 8 x 13 of the font takes 26 624).
constexpr int MAX_BITMAP_PIXELS = 65536;

struct Bitmap {
    GLuint texture;  // GLES texture of the bits, 0 until there are some
    bool hasBits;    // the bitmap covers pixels (it may also only move the raster position)
    GLsizei width, height;
    GLfloat xOrigin, yOrigin, xMove, yMove;
};

struct DisplayList {
    bool allocated;
    bool hasBitmap;
    Bitmap bitmap;
};

DisplayList lists[MAX_LISTS + 1];
GLuint compiling = 0;  // the list being compiled, 0 for none

struct RasterPosition {
    bool valid = true;
    float x = 0, y = 0, z = 0;  // window coordinates; z in [0, 1]
    float colour[4] = {1, 1, 1, 1};
};
RasterPosition raster;

Bitmap scratch{};  // a bitmap drawn outside any list
uint8_t expanded[MAX_BITMAP_PIXELS];

// Uploads the bits as one byte per pixel (255 for a set bit) into the bitmap's texture.
void uploadBits(Bitmap* bitmap, const GLubyte* bits) {
    const int rowBytes = (bitmap->width + 7) / 8;
    const int alignment = state.unpackAlignment;
    const int stride = (rowBytes + alignment - 1) / alignment * alignment;
    for (int row = 0; row < bitmap->height; ++row)
        for (int column = 0; column < bitmap->width; ++column) {
            const GLubyte byte = bits[row * stride + column / 8];
            expanded[row * bitmap->width + column] = (byte & (0x80 >> (column % 8))) ? 255 : 0;
        }
    if (bitmap->texture == 0) ::glGenTextures(1, &bitmap->texture);
    ::glBindTexture(GL_TEXTURE_2D, bitmap->texture);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    ::glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    ::glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, bitmap->width, bitmap->height, 0,
                   GL_LUMINANCE, GL_UNSIGNED_BYTE, expanded);
}

// Draws the bitmap at the raster position and moves the position on.
void drawBitmap(const Bitmap& bitmap) {
    if (!raster.valid) return;
    flushVertices();
    const float epsilon = 0.0001f;
    const float left = std::floor(raster.x + epsilon - bitmap.xOrigin);
    const float bottom = std::floor(raster.y + epsilon - bitmap.yOrigin);
    if (bitmap.hasBits) {
        // The quad's corners in normalised device coordinates, the texels on the pixels.
        const GLint* viewport = state.viewport;
        auto ndcX = [&](float x) { return 2.0f * (x - viewport[0]) / viewport[2] - 1.0f; };
        auto ndcY = [&](float y) { return 2.0f * (y - viewport[1]) / viewport[3] - 1.0f; };
        const float x0 = ndcX(left), x1 = ndcX(left + bitmap.width);
        const float y0 = ndcY(bottom), y1 = ndcY(bottom + bitmap.height);
        const float z = 2.0f * raster.z - 1.0f;
        const float* c = raster.colour;
        const Vertex quad[6] = {
            {{x0, y0, z}, {c[0], c[1], c[2], c[3]}, {0, 0}},
            {{x1, y0, z}, {c[0], c[1], c[2], c[3]}, {1, 0}},
            {{x1, y1, z}, {c[0], c[1], c[2], c[3]}, {1, 1}},
            {{x0, y0, z}, {c[0], c[1], c[2], c[3]}, {0, 0}},
            {{x1, y1, z}, {c[0], c[1], c[2], c[3]}, {1, 1}},
            {{x0, y1, z}, {c[0], c[1], c[2], c[3]}, {0, 1}},
        };
        static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        drawVertices(DrawCall{quad, 6, GL_TRIANGLES, identity, identity, FRAGMENT_BITMAP,
                              bitmap.texture, false});
    }
    raster.x += bitmap.xMove;
    raster.y += bitmap.yMove;
}

float clampUnit(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

}  // namespace

GLuint glGenLists(GLsizei range) {
    if (range <= 0) {
        if (range < 0) recordError(GL_INVALID_VALUE);
        return 0;
    }
    // The first run of `range` free names.
    GLuint run = 0;
    for (GLuint name = 1; name <= MAX_LISTS; ++name) {
        run = lists[name].allocated ? 0 : run + 1;
        if (run == static_cast<GLuint>(range)) {
            const GLuint first = name - run + 1;
            for (GLuint k = first; k <= name; ++k) lists[k] = DisplayList{true, false, Bitmap{}};
            return first;
        }
    }
    recordError(GL_OUT_OF_MEMORY);
    return 0;
}

void glDeleteLists(GLuint first, GLsizei range) {
    if (range < 0) return recordError(GL_INVALID_VALUE);
    for (GLsizei k = 0; k < range; ++k) {
        const GLuint name = first + static_cast<GLuint>(k);
        if (name == 0 || name > MAX_LISTS) continue;
        if (lists[name].bitmap.texture) ::glDeleteTextures(1, &lists[name].bitmap.texture);
        lists[name] = DisplayList{};
    }
}

void glNewList(GLuint list, GLenum mode) {
    if (mode != GL_COMPILE) return recordError(GL_INVALID_ENUM);
    if (list == 0 || list > MAX_LISTS) return recordError(GL_INVALID_VALUE);
    if (compiling != 0) return recordError(GL_INVALID_OPERATION);
    lists[list].allocated = true;
    lists[list].hasBitmap = false;
    compiling = list;
}

void glEndList() {
    if (compiling == 0) return recordError(GL_INVALID_OPERATION);
    compiling = 0;
}

void glListBase(GLuint base) { state.listBase = base; }

void glCallLists(GLsizei count, GLenum type, const GLvoid* names) {
    if (type != GL_UNSIGNED_BYTE) return recordError(GL_INVALID_ENUM);
    if (count < 0) return recordError(GL_INVALID_VALUE);
    const auto* bytes = static_cast<const GLubyte*>(names);
    for (GLsizei i = 0; i < count; ++i) {
        const GLuint list = state.listBase + bytes[i];
        // A list that holds nothing draws nothing and does not move the raster position.
        if (list == 0 || list > MAX_LISTS || !lists[list].hasBitmap) continue;
        drawBitmap(lists[list].bitmap);
    }
}

void glRasterPos2f(GLfloat x, GLfloat y) {
    float modelview[16], projection[16];
    currentMatrices(modelview, projection);
    float eye[4], clip[4];
    const float point[4] = {x, y, 0.0f, 1.0f};
    for (int row = 0; row < 4; ++row) {
        eye[row] = 0;
        for (int k = 0; k < 4; ++k) eye[row] += modelview[k * 4 + row] * point[k];
    }
    for (int row = 0; row < 4; ++row) {
        clip[row] = 0;
        for (int k = 0; k < 4; ++k) clip[row] += projection[k * 4 + row] * eye[k];
    }
    const float w = clip[3];
    raster.valid = w > 0.0f && std::fabs(clip[0]) <= w && std::fabs(clip[1]) <= w &&
                   std::fabs(clip[2]) <= w;
    for (int i = 0; i < 4; ++i) raster.colour[i] = clampUnit(state.colour[i]);
    if (!raster.valid) return;
    const GLint* viewport = state.viewport;
    raster.x = viewport[0] + (clip[0] / w + 1.0f) * 0.5f * viewport[2];
    raster.y = viewport[1] + (clip[1] / w + 1.0f) * 0.5f * viewport[3];
    raster.z = (clip[2] / w + 1.0f) * 0.5f;
}

void glBitmap(GLsizei width, GLsizei height, GLfloat xOrigin, GLfloat yOrigin, GLfloat xMove,
              GLfloat yMove, const GLubyte* bits) {
    if (width < 0 || height < 0 || width * height > MAX_BITMAP_PIXELS)
        return recordError(GL_INVALID_VALUE);
    Bitmap* bitmap = compiling != 0 ? &lists[compiling].bitmap : &scratch;
    if (compiling != 0 && lists[compiling].hasBitmap) return recordError(GL_OUT_OF_MEMORY);
    bitmap->width = width;
    bitmap->height = height;
    bitmap->xOrigin = xOrigin;
    bitmap->yOrigin = yOrigin;
    bitmap->xMove = xMove;
    bitmap->yMove = yMove;
    bitmap->hasBits = bits && width > 0 && height > 0;
    if (bitmap->hasBits) {
        flushVertices();
        uploadBits(bitmap, bits);
    }
    if (compiling != 0)
        lists[compiling].hasBitmap = true;
    else
        drawBitmap(*bitmap);
}

}  // namespace fixedgl
