// A headless 640 x 480 OpenGL context for tests that render for real and read pixels back.
// Made once per test process; every test that uses it starts from the system's GL start state.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>

struct Rgb {
    int r, g, b;
};

namespace GlTestContext {
// Makes the context current (creating it on first use) and resets the GL start state
// (initGlState); the asset tables are not touched. Fails the calling test
// with a fatal assertion when no context can be made.
void ensure();
// Colour of the framebuffer pixel at (x, y), origin bottom left, 0 to 255 per channel.
Rgb readPixel(int x, int y);
// Clears colour (to the given grey level) and depth.
void clear(float grey = 0.0f);
}  // namespace GlTestContext
