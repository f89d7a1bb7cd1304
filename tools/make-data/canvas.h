// Canvas: a floating-point RGB picture that the generator paints procedurally and then saves
// as a JPEG or a BMP. Painting is additive light on black for glows and texts, or straight
// fills for textures; everything is deterministic, with noise drawn from a seeded generator
// so that two runs write byte-identical files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Colour {
    float r, g, b;
};

// Rows from the top; three floats per pixel, nominally 0 to 1 (clamped when saved).
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<float> pixels;
};

// ---- Seeded randomness ----

// A small deterministic generator (xorshift64*), one per picture or mesh.
struct SeededRandom {
    uint64_t state;
};
SeededRandom seededRandom(uint64_t seed);
// Uniform in [0, 1).
double nextUniform(SeededRandom* random);
// Uniform in [-1, 1).
double nextSigned(SeededRandom* random);

// Smooth value noise on a lattice that repeats every `period` cells, in [0, 1].
double tiledNoise(double x, double y, int period, uint32_t seed);
// Several octaves of tiledNoise (period doubles per octave), in about [0, 1].
double tiledFractalNoise(double x, double y, int period, int octaves, uint32_t seed);

// ---- Numbers and colours ----

double clamp01(double v);
double mix(double a, double b, double t);
Colour mixColour(Colour a, Colour b, double t);

// ---- Canvas operations ----

Canvas makeCanvas(int width, int height);
float* pixelAt(Canvas* canvas, int x, int y);
void setPixel(Canvas* canvas, int x, int y, Colour colour);
void fillCanvas(Canvas* canvas, Colour colour);
// Adds a soft radial glow: colour x (1 - d/radius)^sharpness, d the distance from the centre.
void addGlow(Canvas* canvas, double cx, double cy, double radius, Colour colour, double sharpness);
// Adds a shaft of light from (x, y) along `angle` (radians, 0 = down the picture, positive
// towards +x), `length` long, `halfWidth` wide at its start and widening by `spread` per pixel
// of length; soft across, fading towards its end.
void addShaft(Canvas* canvas, double x, double y, double angle, double length, double halfWidth, double spread,
              Colour colour);
// Adds a ring of the given radius and half width, soft on both sides.
void addRing(Canvas* canvas, double cx, double cy, double radius, double halfWidth, Colour colour);
// Separable box blur run three times (close to a Gaussian); `radius` in pixels.
void blurCanvas(Canvas* canvas, int radius);
// Multiplies every pixel by the matching pixel of `mask` (same size).
void multiplyCanvas(Canvas* canvas, const Canvas& mask);
// dst += src x level (same size).
void addCanvas(Canvas* dst, const Canvas& src, float level);
// The canvas turned a quarter turn counter-clockwise (width and height swap).
Canvas rotateQuarter(const Canvas& canvas);
// Clamps every channel to [0, 1].
void clampCanvas(Canvas* canvas);

// ---- Coverage shapes (0 outside, 1 inside, an anti-aliased edge of one pixel) ----

// A plane of coverage values, one float per pixel, rows from the top.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<float> values;
};
Coverage makeCoverage(int width, int height);
void coverEllipse(Coverage* coverage, double cx, double cy, double rx, double ry);
// A capsule: all points within `radius` of the segment (x0, y0)-(x1, y1).
void coverCapsule(Coverage* coverage, double x0, double y0, double x1, double y1, double radius);
void coverTriangle(Coverage* coverage, double x0, double y0, double x1, double y1, double x2,
                   double y2);
// A convex polygon of `count` corners, in either winding.
void coverConvex(Coverage* coverage, const double* xs, const double* ys, int count);
void blurCoverage(Coverage* coverage, int radius);

// ---- Text ----

// Renders one line of anti-aliased text with the named font, centred on (cx, baseline), adding
// colour x glyph coverage. Returns the advance width in pixels, or -1 when the font is missing.
// `widthScale` paints the glyphs that many times their natural width (for a picture that its
// Layer shows stretched, so that the letters keep their shape on the screen).
int addTextLine(Canvas* canvas, const std::string& fontPath, int pixelSize, const std::string& text,
                double cx, double baseline, Colour colour, double widthScale = 1.0);
// The width in pixels the line would take.
int measureTextLine(const std::string& fontPath, int pixelSize, const std::string& text, double widthScale = 1.0);

// ---- Saving ----

// Writes a baseline JPEG, quality 92; 1 on success, 0 on failure with errno saying why.
int saveJpeg(const Canvas& canvas, const std::string& path);
// Writes an uncompressed 24-bit bottom-up BMP; 1 on success, 0 on failure with errno saying
// why.
int saveBmp(const Canvas& canvas, const std::string& path);
