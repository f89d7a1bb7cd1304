// Shared fixture of the drawing tests: the headless context in a known state, a zeroed
// TextureTable of our own with flat-colour textures made here, the drawing globals at their
// start values, and pixel comparisons in device coordinates.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "assets/texture_table.h"
#include "gl_test_context.h"
#include "render/render_globals.h"
#include "render/scene_pass_settings.h"
#include "shell/gl_window.h"

// Pixel at normalised device coordinates (x, y) in [-1, 1].
inline Rgb pixelAt(double x, double y) {
    const int px = static_cast<int>((x + 1.0) * 320.0), py = static_cast<int>((y + 1.0) * 240.0);
    return GlTestContext::readPixel(px > 639 ? 639 : px, py > 479 ? 479 : py);
}

inline ::testing::AssertionResult colourNear(const Rgb& c, int r, int g, int b, int tolerance = 3) {
    if (std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance &&
        std::abs(c.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << c.r << ", " << c.g << ", " << c.b
                                         << "), expected (" << r << ", " << g << ", " << b << ")";
}

inline ::testing::AssertionResult greyNear(const Rgb& c, int level, int tolerance = 3) {
    return colourNear(c, level, level, level, tolerance);
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlTestContext::ensure();
        savedTable = textureTable;
        table.assign(TEXTURE_SLOTS, TextureSlot{});
        textureTable = table.data();
        settings = START_PASS_SETTINGS;
        glEnable(GL_CULL_FACE);
        GlTestContext::clear(0.0f);
    }

    // What the compositions would hand the passes: the start settings unless a test changes them.
    ScenePassSettings settings = START_PASS_SETTINGS;

    void TearDown() override {
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        textureTable = savedTable;
    }

    // A 1 x 1 texture of one colour, complete without mipmaps.
    GLuint flatTexture(uint8_t r, uint8_t g, uint8_t b) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        const uint8_t texel[4] = {r, g, b, 255};
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        textures.push_back(name);
        return name;
    }

    // 2 x 2 texels, sampled without filtering: red 100 at (u, v) near (0, 0), green 100 at (1, 0),
    // blue 100 at (0, 1), grey 100 at (1, 1).
    GLuint patternTexture() {
        const GLuint name = flatTexture(0, 0, 0);
        const uint8_t texels[16] = {100, 0, 0, 255, 0,   100, 0,   255,
                                    0,   0, 100, 255, 100, 100, 100, 255};
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        return name;
    }

    // Slot `index` with a flat grey texture and the given translucency.
    TextureSlot* greySlot(int index, uint8_t level, float translucency = 0.0f) {
        table[index].glName = flatTexture(level, level, level);
        table[index].translucency = translucency;
        return &table[index];
    }

    // The 90-degree projection of aspect 1: at depth -d the square [-d, d]^2 fills the frame.
    static void eyeProjection() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90.0, 1.0, 0.01, 100000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    template <typename T>
    static T glInteger(GLenum name) {
        GLint value = 0;
        glGetIntegerv(name, &value);
        return static_cast<T>(value);
    }

    std::vector<TextureSlot> table;
    std::vector<GLuint> textures;
    TextureSlot* savedTable = nullptr;
};
