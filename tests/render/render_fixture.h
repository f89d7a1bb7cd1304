// Shared fixture of the drawing tests: the headless context in a known state, a zeroed
// TextureTable of our own filled with flat-colour textures made here, the drawing globals at
// their start values, and small helpers that build meshes, Layers and pixels to compare.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "assets/scene.h"
#include "assets/texture_table.h"
#include "gl_test_context.h"
#include "render/render_globals.h"
#include "shell/gl_window.h"

// A 1 x 1 texture of one colour that is complete without mipmaps.
inline GLuint makeFlatTexture(uint8_t r, uint8_t g, uint8_t b) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const uint8_t texel[3] = {r, g, b};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

// Pixel of the 640 x 480 frame at normalised device coordinates (x, y) in [-1, 1].
inline Rgb pixelAt(double x, double y) {
    int px = static_cast<int>((x + 1.0) * 0.5 * 640.0);
    int py = static_cast<int>((y + 1.0) * 0.5 * 480.0);
    if (px > 639) px = 639;
    if (py > 479) py = 479;
    return GlTestContext::readPixel(px, py);
}

inline ::testing::AssertionResult colourNear(const Rgb& actual, int r, int g, int b,
                                             int tolerance = 3) {
    if (std::abs(actual.r - r) <= tolerance && std::abs(actual.g - g) <= tolerance &&
        std::abs(actual.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.r << ", " << actual.g << ", "
                                         << actual.b << "), expected (" << r << ", " << g << ", "
                                         << b << ") within " << tolerance;
}

inline ::testing::AssertionResult greyNear(const Rgb& actual, int level, int tolerance = 3) {
    return colourNear(actual, level, level, level, tolerance);
}

// The 90-degree projection of aspect 1 with a near plane close to the eye, so that at depth -d
// the square [-d, d] x [-d, d] fills the viewport.
inline void loadEyeProjection() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 0.01, 100000.0);
    glMatrixMode(GL_MODELVIEW);
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlTestContext::ensure();
        savedTable = textureTable;
        table.assign(TEXTURE_SLOTS, TextureSlot{});
        textureTable = table.data();
        nearCullZ = -0.1f;
        farCullZ = -1800.0f;
        sceneBrightness = 1.0f;
        wobbleEnabled = 0;
        translucentFogOff = 0;
        glDisable(GL_FOG);
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glDepthFunc(GL_LESS);
        glColor4f(1, 1, 1, 1);
        GlTestContext::clear(0.0f);
    }

    void TearDown() override {
        if (!textures.empty()) glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        textureTable = savedTable;
        glDisable(GL_FOG);
    }

    // Puts a flat-colour texture into slot `index` with the given translucency.
    TextureSlot* flatSlot(int index, uint8_t r, uint8_t g, uint8_t b, float translucency = 0.0f) {
        GLuint name = makeFlatTexture(r, g, b);
        textures.push_back(name);
        table[index].glName = name;
        table[index].translucency = translucency;
        return &table[index];
    }

    GLuint flatTexture(uint8_t r, uint8_t g, uint8_t b) {
        GLuint name = makeFlatTexture(r, g, b);
        textures.push_back(name);
        return name;
    }

    std::vector<TextureSlot> table;
    std::vector<GLuint> textures;
    TextureSlot* savedTable = nullptr;
};

// An object built from eye-space quads, as the update would leave it. Faces are wound
// counter-clockwise as seen from the eye, so culling keeps them.
struct MeshFixture {
    std::vector<Vec3> vertices;
    std::vector<Face> faces;
    SceneObject object{};

    // Quad from (x1, y1) to (x2, y2) at depth z, as two faces.
    void addQuad(float x1, float y1, float x2, float y2, float z) {
        const int32_t base = static_cast<int32_t>(vertices.size());
        vertices.push_back({x1, y1, z});
        vertices.push_back({x2, y1, z});
        vertices.push_back({x2, y2, z});
        vertices.push_back({x1, y2, z});
        addFace(base, base + 1, base + 2);
        addFace(base, base + 2, base + 3);
    }

    void addFace(int32_t a, int32_t b, int32_t c) {
        Face face{};
        const int32_t index[3] = {a, b, c};
        for (int k = 0; k < 3; ++k) {
            face.corners[k].vertex = index[k];
            face.corners[k].red = face.corners[k].green = face.corners[k].blue = 1.0f;
        }
        faces.push_back(face);
    }

    // Points the object at the arrays; call after the last add.
    SceneObject* build(int32_t textureSlot) {
        object.vertexCount = static_cast<int32_t>(vertices.size());
        object.faceCount = static_cast<int32_t>(faces.size());
        object.vertices = vertices.data();
        object.eyeVertices = vertices.data();
        object.faces = faces.data();
        object.textureSlot = textureSlot;
        return &object;
    }
};
