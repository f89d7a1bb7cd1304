// The JPEG pictures of the data set. Each picture is painted from a few procedural strokes
// to suit its role: masks are white where what lies behind stays and black where they cut;
// pictures drawn additively over them are black where they add nothing; text pictures carry
// their words in light colours on black; glows are soft radial falloffs; scene textures are
// fractal noise shaped into rock, sand, skin, veins and caustics. Names keep their "data\"
// prefix; only the path join turns them into file names.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "assets/slot_loads.h"
#include "assets/texture_table.h"
#include "canvas.h"
#include "data_set.h"

namespace {

constexpr double PI = 3.14159265358979323846;
const std::string BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const std::string SERIF_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double mix(double a, double b, double t) { return a + (b - a) * t; }
Colour mixColour(Colour a, Colour b, double t) {
    return {float(mix(a.r, b.r, t)), float(mix(a.g, b.g, t)), float(mix(a.b, b.b, t))};
}
void setPixel(Canvas* c, int x, int y, Colour v) {
    float* p = pixelAt(c, x, y);
    p[0] = v.r;
    p[1] = v.g;
    p[2] = v.b;
}

// ---- Text ----

struct TextLine {
    std::string text;
    int size;
    Colour colour;
    const std::string* font;
};

// Lines stacked and centred vertically, each with a soft halo of its own colour underneath.
Canvas textPicture(int width, int height, const std::vector<TextLine>& lines, float halo) {
    Canvas sharp = makeCanvas(width, height);
    int total = 0;
    for (const TextLine& l : lines) total += int(l.size * 1.2);
    double baseline = (height - total) * 0.5;
    for (const TextLine& l : lines) {
        baseline += l.size * 1.2;
        addTextLine(&sharp, *l.font, l.size, l.text, width * 0.5, baseline - l.size * 0.25, l.colour);
    }
    Canvas out = sharp;
    if (halo > 0) {
        Canvas glow = sharp;
        blurCanvas(&glow, std::max(2, lines.empty() ? 4 : lines[0].size / 10));
        addCanvas(&out, glow, halo);
    }
    clampCanvas(&out);
    return out;
}

Canvas singleText(int width, int height, const std::string& text, int size, Colour colour) {
    return textPicture(width, height, {{text, size, colour, &BOLD_FONT}}, 0.9f);
}

// The largest bold size at which the text fits `width` with a margin.
int fittingSize(const std::string& text, int width, int maxSize) {
    int size = maxSize;
    while (size > 8 && measureTextLine(BOLD_FONT, size, text) > width * 0.9) size -= 2;
    return size;
}

Canvas verticalText(int width, int height, const std::string& text, Colour colour) {
    // Painted along a wide strip, then turned so the words read from bottom to top.
    int size = std::min(fittingSize(text, height, int(width * 0.75)), int(width * 0.75));
    Canvas strip = singleText(height, width, text, size, colour);
    return rotateQuarter(strip);
}

// ---- Shapes, masks and the pictures that fill them ----

Coverage coverageFromText(int width, int height, const std::string& text, int size) {
    while (size > 8 && measureTextLine(SERIF_FONT, size, text) > width * 0.92) size -= 2;
    Canvas c = makeCanvas(width, height);
    addTextLine(&c, SERIF_FONT, size, text, width * 0.5, height * 0.5 + size * 0.35, {1, 1, 1});
    Coverage cov = makeCoverage(width, height);
    for (size_t i = 0; i < cov.values.size(); ++i) cov.values[i] = std::min(1.0f, c.pixels[i * 3]);
    return cov;
}

// White where the scene behind stays, black where the shape cuts (with a soft, widened edge).
Canvas maskFrom(const Coverage& shape, int spread) {
    Coverage grown = shape;
    blurCoverage(&grown, spread);
    Canvas out = makeCanvas(shape.width, shape.height);
    for (size_t i = 0; i < grown.values.size(); ++i) {
        float k = float(1.0 - clamp01(std::max(grown.values[i] * 2.5, double(shape.values[i]))));
        out.pixels[i * 3] = out.pixels[i * 3 + 1] = out.pixels[i * 3 + 2] = k;
    }
    return out;
}

// The shape filled with a noisy two-colour shading lit from the top left, plus a rim glow.
Canvas shadedShape(const Coverage& shape, Colour dark, Colour light, Colour rim, uint32_t seed) {
    int w = shape.width, h = shape.height;
    Coverage soft = shape;
    blurCoverage(&soft, std::max(2, w / 80));
    Canvas out = makeCanvas(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * w + x;
            double c = shape.values[i];
            if (c <= 0) continue;
            // Slope of the softened coverage: a cheap bevel that lights the upper left edges.
            double sx = soft.values[size_t(y) * w + std::min(x + 1, w - 1)] - soft.values[size_t(y) * w + std::max(x - 1, 0)];
            double sy = soft.values[size_t(std::min(y + 1, h - 1)) * w + x] - soft.values[size_t(std::max(y - 1, 0)) * w + x];
            double light01 = clamp01(0.55 + (sx + sy) * 3.0);
            double n = tiledFractalNoise(x * 8.0 / w, y * 8.0 / h, 8, 4, seed);
            Colour base = mixColour(dark, light, clamp01(light01 * 0.8 + n * 0.5 - 0.15));
            double edge = clamp01(1.0 - soft.values[i]) * 2.0;
            setPixel(&out, x, y,
                     {float((base.r + rim.r * edge) * c), float((base.g + rim.g * edge) * c),
                      float((base.b + rim.b * edge) * c)});
        }
    }
    clampCanvas(&out);
    return out;
}

Coverage monksShape(int w, int h) {
    Coverage c = makeCoverage(w, h);
    const double xs[3] = {0.25, 0.55, 0.8}, tops[3] = {0.28, 0.18, 0.34};
    for (int m = 0; m < 3; ++m) {
        double cx = xs[m] * w, top = tops[m] * h, rw = w * 0.16;
        coverEllipse(&c, cx, top + rw * 0.9, rw * 0.7, rw);                              // hood
        coverTriangle(&c, cx - rw * 0.2, top + rw * 0.9, cx - rw * 1.3, h * 0.98, cx + rw * 1.3, h * 0.98);  // robe
        coverTriangle(&c, cx + rw * 0.2, top + rw * 0.9, cx - rw * 1.3, h * 0.98, cx + rw * 1.3, h * 0.98);
    }
    return c;
}

Coverage birdShape(int w, int h) {
    Coverage c = makeCoverage(w, h);
    double cx = w * 0.5, cy = h * 0.5;
    coverEllipse(&c, cx, cy, w * 0.16, h * 0.06);                                   // body
    coverEllipse(&c, cx + w * 0.17, cy - h * 0.03, w * 0.05, h * 0.045);            // head
    coverTriangle(&c, cx + w * 0.21, cy - h * 0.04, cx + w * 0.3, cy - h * 0.015, cx + w * 0.21, cy - h * 0.005);  // beak
    coverTriangle(&c, cx - w * 0.14, cy, cx - w * 0.34, cy - h * 0.09, cx - w * 0.32, cy + h * 0.07);  // tail
    for (int side = -1; side <= 1; side += 2) {
        // Wings raised in a wide V, swept back.
        coverTriangle(&c, cx - w * 0.08, cy, cx + w * 0.08, cy, cx - w * 0.14, cy + side * h * 0.42);
        coverTriangle(&c, cx - w * 0.02, cy, cx - w * 0.14, cy + side * h * 0.42, cx - w * 0.3, cy + side * h * 0.36);
    }
    return c;
}

Coverage helmetShape(int w, int h) {
    Coverage c = makeCoverage(w, h);
    coverEllipse(&c, w * 0.5, h * 0.42, w * 0.34, h * 0.3);   // dome
    coverCapsule(&c, w * 0.22, h * 0.62, w * 0.78, h * 0.62, h * 0.09);  // cheek guard
    coverTriangle(&c, w * 0.45, h * 0.6, w * 0.55, h * 0.6, w * 0.5, h * 0.86);  // nose guard
    coverTriangle(&c, w * 0.47, h * 0.12, w * 0.53, h * 0.12, w * 0.5, h * 0.02);  // crest spike
    return c;
}

Coverage fireSpitterShape(int w, int h) {
    Coverage c = makeCoverage(w, h);
    coverEllipse(&c, w * 0.72, h * 0.42, w * 0.14, h * 0.16);  // head in profile
    coverEllipse(&c, w * 0.62, h * 0.47, w * 0.06, h * 0.05);  // pursed mouth
    coverTriangle(&c, w * 0.6, h * 0.5, w * 0.95, h * 0.52, w * 0.88, h * 1.0);  // neck and shoulder
    coverTriangle(&c, w * 0.6, h * 0.5, w * 0.66, h * 1.0, w * 0.95, h * 1.0);
    return c;
}

Coverage embryoShape(int w, int h) {
    Coverage c = makeCoverage(w, h);
    coverEllipse(&c, w * 0.47, h * 0.38, w * 0.17, h * 0.15);  // head
    coverEllipse(&c, w * 0.52, h * 0.58, w * 0.2, h * 0.2);    // curled body
    coverCapsule(&c, w * 0.42, h * 0.62, w * 0.5, h * 0.5, w * 0.05);  // arm
    coverCapsule(&c, w * 0.6, h * 0.72, w * 0.45, h * 0.76, w * 0.06);  // leg
    return c;
}

Coverage figureShape(int w, int h) {
    Coverage c = makeCoverage(w, h);
    coverEllipse(&c, w * 0.5, h * 0.25, w * 0.065, h * 0.08);                        // head
    coverCapsule(&c, w * 0.14, h * 0.38, w * 0.86, h * 0.38, w * 0.04);               // arms outstretched
    coverTriangle(&c, w * 0.5, h * 0.3, w * 0.36, h * 0.95, w * 0.64, h * 0.95);      // robe
    coverEllipse(&c, w * 0.5, h * 0.42, w * 0.09, h * 0.12);                          // chest
    return c;
}

Coverage fishShape(int w, int h) {
    Coverage c = makeCoverage(w, h);
    coverEllipse(&c, w * 0.46, h * 0.5, w * 0.3, h * 0.17);                              // body
    coverTriangle(&c, w * 0.72, h * 0.5, w * 0.93, h * 0.3, w * 0.93, h * 0.7);          // tail
    coverTriangle(&c, w * 0.35, h * 0.36, w * 0.55, h * 0.35, w * 0.5, h * 0.2);         // dorsal fin
    coverTriangle(&c, w * 0.4, h * 0.62, w * 0.52, h * 0.64, w * 0.5, h * 0.76);         // belly fin
    return c;
}

// Rim-lit picture drawn additively over the mask of the same shape.
Canvas silhouettePicture(const Coverage& shape, Colour dark, Colour light, Colour rim, uint32_t seed) {
    return shadedShape(shape, dark, light, rim, seed);
}

// ---- Glows and lens elements ----

Canvas glowPicture(int size, Colour colour, double sharpness, double radius01) {
    Canvas c = makeCanvas(size, size);
    addGlow(&c, size * 0.5, size * 0.5, size * 0.5 * radius01, colour, sharpness);
    clampCanvas(&c);
    return c;
}

Canvas starFlare(int size, Colour core, Colour streak, int rays) {
    Canvas c = makeCanvas(size, size);
    double h = size * 0.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5 - h) / h, dy = (y + 0.5 - h) / h;
            double r = std::hypot(dx, dy);
            if (r >= 1) continue;
            double a = std::atan2(dy, dx);
            double ray = std::pow(std::fabs(std::cos(a * rays * 0.5)), 40.0) * std::pow(1 - r, 2.0);
            double core01 = std::pow(1 - r, 4.0) + 0.6 * std::exp(-r * r * 60);
            setPixel(&c, x, y,
                     {float(core.r * core01 + streak.r * ray), float(core.g * core01 + streak.g * ray),
                      float(core.b * core01 + streak.b * ray)});
        }
    }
    clampCanvas(&c);
    return c;
}

Canvas lensRing(int size, Colour colour, double radius01, double width01) {
    Canvas c = makeCanvas(size, size);
    addRing(&c, size * 0.5, size * 0.5, size * 0.5 * radius01, size * 0.5 * width01, colour);
    addGlow(&c, size * 0.5, size * 0.5, size * 0.5 * radius01, {colour.r * 0.15f, colour.g * 0.15f, colour.b * 0.15f}, 0.7);
    clampCanvas(&c);
    return c;
}

Canvas rainbowHalo(int size) {
    Canvas c = makeCanvas(size, size);
    double h = size * 0.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = std::hypot(x + 0.5 - h, y + 0.5 - h) / h;
            double band = (r - 0.62) / 0.22;
            if (band <= -1 || band >= 1) continue;
            double k = 0.55 * (1 - band * band);
            // Red outside, violet inside, as in a real halo.
            double hue = (band + 1) * 0.5;
            setPixel(&c, x, y,
                     {float(k * clamp01(1.5 - std::fabs(hue - 1.0) * 3)), float(k * clamp01(1.5 - std::fabs(hue - 0.5) * 3)),
                      float(k * clamp01(1.5 - std::fabs(hue) * 3))});
        }
    }
    return c;
}

Canvas hexDisc(int size, Colour colour) {
    Canvas c = makeCanvas(size, size);
    double h = size * 0.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5 - h) / h, dy = (y + 0.5 - h) / h;
            double a = std::atan2(dy, dx), r = std::hypot(dx, dy);
            double sector = std::fmod(a + PI * 2, PI / 3) - PI / 6;
            double hexR = r * std::cos(sector) / std::cos(PI / 6);
            double k = clamp01((0.85 - hexR) * 12) * (0.35 + 0.3 * hexR);
            setPixel(&c, x, y, {float(colour.r * k), float(colour.g * k), float(colour.b * k)});
        }
    }
    return c;
}

// ---- Environment maps ----

// A sphere map: the disc is the reflection of a sky over a horizon and a ground, with a sun.
Canvas sphereMap(int size, Colour sky, Colour horizon, Colour ground, Colour sun, double sunAngle) {
    Canvas c = makeCanvas(size, size);
    double sx = std::cos(sunAngle) * 0.5, sy = std::sin(sunAngle) * 0.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double nx = (x + 0.5) / size * 2 - 1, ny = 1 - (y + 0.5) / size * 2;
            double r2 = nx * nx + ny * ny;
            if (r2 > 1) {
                double edge = std::sqrt(r2);
                nx /= edge;
                ny /= edge;
                r2 = 1;
            }
            double nz = std::sqrt(1 - r2);
            // Reflect the view ray (0, 0, -1) about n: its y component picks sky or ground.
            double ry = 2 * nz * ny;
            Colour base = ry >= 0 ? mixColour(horizon, sky, std::pow(ry, 0.6))
                                  : mixColour(horizon, ground, std::pow(-ry, 0.5));
            double d = std::hypot(nx - sx, ny - sy);
            double s = std::exp(-d * d * 18) + 0.3 * std::exp(-d * d * 3);
            setPixel(&c, x, y, {float(base.r + sun.r * s), float(base.g + sun.g * s), float(base.b + sun.b * s)});
        }
    }
    clampCanvas(&c);
    return c;
}

// ---- Textures ----

Canvas rockTexture(int size) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = x * 8.0 / size, v = y * 8.0 / size;
            double n = tiledFractalNoise(u, v, 8, 6, 11);
            double cells = tiledNoise(u * 2, v * 2, 16, 12);
            double crack = std::pow(clamp01(1 - std::fabs(cells - 0.5) * 14), 2.0);
            double k = clamp01(0.25 + n * 0.75 - crack * 0.35);
            setPixel(&c, x, y, {float(0.55 * k + 0.05), float(0.5 * k + 0.04), float(0.44 * k + 0.04)});
        }
    }
    return c;
}

Canvas sandTexture(int size) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = x * 4.0 / size, v = y * 4.0 / size;
            double warp = tiledFractalNoise(u, v, 4, 3, 21) * 2.0;
            double ripple = 0.5 + 0.5 * std::sin((v + warp) * PI * 4);
            double grain = tiledFractalNoise(u * 8, v * 8, 32, 2, 22);
            double k = 0.55 + ripple * 0.25 + grain * 0.2;
            setPixel(&c, x, y, {float(0.62 * k), float(0.55 * k), float(0.4 * k)});
        }
    }
    return c;
}

// Bright caustic lines on black: where two noise fields cross their mid level.
Canvas causticTexture(int size, Colour tint, uint32_t seed) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = x * 6.0 / size, v = y * 6.0 / size;
            double a = tiledFractalNoise(u, v, 6, 3, seed);
            double b = tiledFractalNoise(u + 3.3, v + 1.7, 6, 3, seed + 5);
            double k = std::pow(clamp01(1 - std::fabs(a - b) * 9), 3.0);
            setPixel(&c, x, y, {float(tint.r * k), float(tint.g * k), float(tint.b * k)});
        }
    }
    return c;
}

Canvas veinTexture(int size, Colour base, Colour vein, uint32_t seed) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = x * 4.0 / size, v = y * 4.0 / size;
            double n = tiledFractalNoise(u, v, 4, 5, seed);
            double ridge = std::pow(clamp01(1 - std::fabs(n - 0.5) * 8), 2.0);
            double mottle = tiledFractalNoise(u * 2, v * 2, 8, 3, seed + 3);
            Colour p = mixColour(base, vein, ridge);
            double k = 0.6 + mottle * 0.5;
            setPixel(&c, x, y, {float(p.r * k), float(p.g * k), float(p.b * k)});
        }
    }
    clampCanvas(&c);
    return c;
}

Canvas scaleTexture(int size) {
    Canvas c = makeCanvas(size, size);
    int rows = 16;
    double cell = double(size) / rows;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int row = int(y / cell);
            double off = (row % 2) * cell * 0.5;
            double cx = std::fmod(x + off, cell) / cell, cy = std::fmod(y, cell) / cell;
            double d = std::hypot(cx - 0.5, cy * 1.2);  // a scale's lower arc
            double rim = std::pow(clamp01(1 - std::fabs(d - 0.55) * 8), 2.0);
            double sheen = tiledNoise(x * 4.0 / size, y * 4.0 / size, 4, 31);
            Colour gold{0.85f, 0.65f, 0.2f}, blue{0.15f, 0.35f, 0.7f};
            Colour p = mixColour(blue, gold, clamp01(sheen * 1.2 - 0.1));
            double k = 0.5 + 0.5 * (1 - cy) - rim * 0.5;
            setPixel(&c, x, y, {float(p.r * k), float(p.g * k), float(p.b * k)});
        }
    }
    clampCanvas(&c);
    return c;
}

Canvas seaweedTexture(int size) {
    Canvas c = makeCanvas(size, size);
    SeededRandom random = seededRandom(41);
    for (int blade = 0; blade < 28; ++blade) {
        double x0 = nextUniform(&random) * size, phase = nextUniform(&random) * 6, width = 2 + nextUniform(&random) * 4;
        double top = size * (0.05 + nextUniform(&random) * 0.4);
        Colour g{float(0.2 + nextUniform(&random) * 0.2), float(0.6 + nextUniform(&random) * 0.3), float(0.2 + nextUniform(&random) * 0.1)};
        for (int y = int(top); y < size; ++y) {
            double t = (y - top) / (size - top);
            double xc = x0 + std::sin(phase + y * 0.03) * 10 * (1 - t);
            for (int x = int(xc - width * 2); x <= int(xc + width * 2); ++x) {
                int wx = ((x % size) + size) % size;
                double k = clamp01(1 - std::fabs(x - xc) / width) * (0.4 + 0.6 * t);
                float* p = pixelAt(&c, wx, y);
                p[0] += float(g.r * k);
                p[1] += float(g.g * k);
                p[2] += float(g.b * k);
            }
        }
    }
    clampCanvas(&c);
    return c;
}

Canvas waterSurface(int size, uint32_t seed) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = x * 4.0 / size, v = y * 4.0 / size;
            double n = tiledFractalNoise(u, v, 4, 4, seed);
            double glint = std::pow(clamp01((n - 0.55) * 3), 2.0);
            setPixel(&c, x, y, {float(0.05 + 0.2 * n + glint * 0.7), float(0.25 + 0.35 * n + glint * 0.7),
                                float(0.4 + 0.4 * n + glint * 0.6)});
        }
    }
    clampCanvas(&c);
    return c;
}

// Swirling nebula: fractal noise sampled through a second noise field.
Canvas nebula(int size, Colour a, Colour b, uint32_t seed, double brightness) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = x * 3.0 / size, v = y * 3.0 / size;
            double wx = tiledFractalNoise(u, v, 3, 4, seed) * 3, wy = tiledFractalNoise(u + 7, v + 3, 3, 4, seed + 1) * 3;
            double n = tiledFractalNoise(u + wx, v + wy, 3, 5, seed + 2);
            double k = std::pow(clamp01(n * 1.4 - 0.2), 1.8) * brightness;
            Colour p = mixColour(a, b, clamp01(wx / 3));
            setPixel(&c, x, y, {float(p.r * k), float(p.g * k), float(p.b * k)});
        }
    }
    clampCanvas(&c);
    return c;
}

// A tunnel of cells seen end-on, for the inner world.
Canvas innerWorld(int size) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5) / size - 0.5, dy = (y + 0.5) / size - 0.5;
            double r = std::hypot(dx, dy) + 1e-6, a = std::atan2(dy, dx) / (2 * PI) + 0.5;
            double depth = 0.15 / r;
            double n = tiledFractalNoise(a * 16, depth * 4, 16, 4, 51);
            double cells = std::pow(clamp01(1 - std::fabs(tiledNoise(a * 32, depth * 8, 32, 52) - 0.5) * 6), 2.0);
            double fall = clamp01(r * 2.6);
            double k = fall * (0.3 + n * 0.7);
            setPixel(&c, x, y, {float(k * 0.9 + cells * 0.4 * fall), float(k * 0.3 + cells * 0.1 * fall),
                                float(k * 0.45 + cells * 0.3 * fall)});
        }
    }
    addGlow(&c, size * 0.5, size * 0.5, size * 0.2, {0.9f, 0.8f, 0.6f}, 2.0);
    clampCanvas(&c);
    return c;
}

// Organic arches framing the inner world: the foreground that the mask cuts out.
Coverage innerFrameShape(int size) {
    Coverage c = makeCoverage(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5) / size - 0.5, dy = (y + 0.5) / size - 0.5;
            double r = std::hypot(dx, dy), a = std::atan2(dy, dx) / (2 * PI) + 0.5;
            double edge = 0.36 + 0.08 * tiledFractalNoise(a * 8, 0.5, 8, 3, 61);
            c.values[size_t(y) * size + x] = float(clamp01((r - edge) * size * 0.5));
        }
    }
    coverCapsule(&c, size * 0.1, size * 0.95, size * 0.42, size * 0.62, size * 0.05);  // tendrils
    coverCapsule(&c, size * 0.9, size * 0.05, size * 0.66, size * 0.3, size * 0.04);
    return c;
}

Canvas faderPicture(int size) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        double t = (y + 0.5) / size;  // 0 at the top
        float k = float(1.0 - clamp01((t - 0.4) / 0.2));
        k = k * k * (3 - 2 * k);
        for (int x = 0; x < size; ++x) setPixel(&c, x, y, {k, k, k});
    }
    return c;
}

Canvas flatPicture(int size, Colour colour) {
    Canvas c = makeCanvas(size, size);
    fillCanvas(&c, colour);
    return c;
}

Canvas netTexture(int size) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = x * 4.0 / size, v = y * 4.0 / size;
            double n = tiledFractalNoise(u, v, 4, 4, 71);
            double ridge = std::pow(clamp01(1 - std::fabs(n - 0.5) * 10), 3.0);
            double n2 = tiledFractalNoise(u * 2, v * 2, 8, 3, 72);
            double ridge2 = std::pow(clamp01(1 - std::fabs(n2 - 0.5) * 12), 3.0) * 0.5;
            double k = ridge + ridge2;
            setPixel(&c, x, y, {float(0.25 * k), float(0.55 * k), float(1.0 * k)});
        }
    }
    clampCanvas(&c);
    return c;
}

using Painter = std::function<Canvas()>;
struct PictureEntry {
    const char* name;
    Painter paint;
};

std::vector<PictureEntry> pictureTable() {
    const Colour pale{0.85f, 0.92f, 1.0f}, warm{1.0f, 0.85f, 0.6f}, ice{0.6f, 0.9f, 1.0f};
    std::vector<PictureEntry> t;
    auto logoText = [](int w, int h, const std::string& text, Colour colour) {
        return singleText(w, h, text, fittingSize(text, w, int(h * 0.7)), colour);
    };
    // Title and logos.
    t.push_back({"data\\logo-quelldriftlogo.jpg", [] {
        Coverage cov = coverageFromText(512, 256, ".quellDrift", 92);
        Canvas pic = shadedShape(cov, {0.1f, 0.35f, 0.6f}, {0.75f, 0.95f, 1.0f}, {0.4f, 0.8f, 1.0f}, 81);
        Canvas halo = pic;
        blurCanvas(&halo, 6);
        addCanvas(&pic, halo, 0.6f);
        clampCanvas(&pic);
        return pic;
    }});
    t.push_back({"data\\logo-opacity.jpg", [] { return maskFrom(coverageFromText(512, 256, ".quellDrift", 92), 3); }});
    t.push_back({"data\\logo-background.jpg", [] { return nebula(512, {0.1f, 0.2f, 0.7f}, {0.6f, 0.2f, 0.8f}, 91, 1.2); }});
    t.push_back({"data\\logo-credits.jpg", [=] {
        return logoText(1024, 128, "code kestrel  -  pictures moira  -  music tidewalker", pale);
    }});
    t.push_back({"data\\logo-brakkwell.jpg", [=] { return logoText(256, 128, "brakkwell", warm); }});
    t.push_back({"data\\logo-quelldrift.jpg", [=] { return logoText(1024, 128, "brakkwell presents .quellDrift", ice); }});
    t.push_back({"data\\logo-wearegetting.jpg", [=] { return logoText(1024, 128, "we are getting deeper", pale); }});
    t.push_back({"data\\black.jpg", [] { return flatPicture(64, {0, 0, 0}); }});
    t.push_back({"data\\white.jpg", [] { return flatPicture(64, {1, 1, 1}); }});
    t.push_back({"data\\blue.jpg", [] { return flatPicture(64, {0.25f, 0.45f, 1.0f}); }});
    // The light scene.
    t.push_back({"data\\felsen.jpg", [] { return rockTexture(512); }});
    // The two maps that are also drawn additively (the intestine, the light scene's ripple
    // layer) stay dark on average, with bright highlights, so layers of them do not wash out.
    t.push_back({"data\\envmap.jpg", [] {
        return sphereMap(256, {0.04f, 0.08f, 0.25f}, {0.55f, 0.3f, 0.12f}, {0.0f, 0.0f, 0.02f}, {0.9f, 0.75f, 0.5f}, 0.9);
    }});
    t.push_back({"data\\envmap2.jpg", [] {
        return sphereMap(256, {0.08f, 0.2f, 0.35f}, {0.35f, 0.5f, 0.6f}, {0.01f, 0.03f, 0.07f}, {0.8f, 0.9f, 1.0f}, 2.2);
    }});
    t.push_back({"data\\envmap4.jpg", [] {
        return sphereMap(256, {0.3f, 0.1f, 0.5f}, {1.0f, 0.5f, 0.2f}, {0.1f, 0.02f, 0.15f}, {1, 0.9f, 0.6f}, 1.2);
    }});
    t.push_back({"data\\envmap5.jpg", [] {
        return sphereMap(256, {0.6f, 0.65f, 0.75f}, {0.95f, 0.95f, 0.95f}, {0.2f, 0.2f, 0.25f}, {1, 1, 1}, 0.5);
    }});
    t.push_back({"data\\atom1.jpg", [] { return glowPicture(128, {0.7f, 0.85f, 1.0f}, 2.5, 1.0); }});
    t.push_back({"data\\flare2.jpg", [] { return starFlare(256, {1.0f, 0.9f, 0.7f}, {1.0f, 0.7f, 0.4f}, 6); }});
    // The swarm glows are drawn by the thousand, additively: small bright cores, fast falloff.
    t.push_back({"data\\flare3.jpg", [] { return glowPicture(128, {0.25f, 0.9f, 0.6f}, 3.5, 1.0); }});
    t.push_back({"data\\flare4.jpg", [] { return glowPicture(128, {0.9f, 0.25f, 0.7f}, 3.5, 1.0); }});
    t.push_back({"data\\flare5.jpg", [] { return glowPicture(128, {0.9f, 0.5f, 0.15f}, 4.0, 1.0); }});
    t.push_back({"data\\lens1.jpg", [] { return lensRing(256, {0.5f, 0.7f, 1.0f}, 0.7, 0.05); }});
    t.push_back({"data\\lens2.jpg", [] { return hexDisc(256, {0.6f, 1.0f, 0.7f}); }});
    t.push_back({"data\\lens3.jpg", [] { return glowPicture(128, {1.0f, 0.95f, 0.8f}, 5.0, 1.0); }});
    t.push_back({"data\\lens4.jpg", [] { return rainbowHalo(256); }});
    t.push_back({"data\\innenwelt-background.jpg", [] { return innerWorld(512); }});
    t.push_back({"data\\innenwelt-opacity.jpg", [] { return maskFrom(innerFrameShape(512), 2); }});
    t.push_back({"data\\innenwelt-vordergrund.jpg", [] {
        return shadedShape(innerFrameShape(512), {0.25f, 0.05f, 0.1f}, {0.9f, 0.45f, 0.5f}, {1.0f, 0.6f, 0.4f}, 62);
    }});
    // The neural net.
    t.push_back({"data\\netz-map.jpg", [] { return netTexture(256); }});
    t.push_back({"data\\netz-back.jpg", [] { return nebula(512, {0.05f, 0.1f, 0.4f}, {0.2f, 0.05f, 0.35f}, 101, 0.6); }});
    t.push_back({"data\\netz-flare.jpg", [] {
        // Dim: a hundred of these burst out of each light at once and add up on screen.
        Canvas c = glowPicture(256, {0.1f, 0.13f, 0.26f}, 6.0, 1.0);
        addRing(&c, 128, 128, 80, 3, {0.05f, 0.07f, 0.16f});
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\helmchen.jpg", [] {
        return silhouettePicture(helmetShape(512, 512), {0.2f, 0.22f, 0.3f}, {0.8f, 0.85f, 0.95f}, {0.3f, 0.6f, 1.0f}, 111);
    }});
    t.push_back({"data\\helm-op.jpg", [] { return maskFrom(helmetShape(512, 512), 3); }});
    t.push_back({"data\\text-greetings.jpg", [] {
        Colour head{1.0f, 0.9f, 0.6f}, name{0.75f, 0.88f, 1.0f};
        std::vector<TextLine> lines = {{"greetings to", 34, head, &BOLD_FONT}};
        for (const char* g : {"nachtblau", "kelp crew", "moire", "fathom", "lumen", "ostrakon", "dunkelwerk",
                              "saltglass", "ripple", "the undertow", "tiefsee", "and you"})
            lines.push_back({g, 26, name, &BOLD_FONT});
        return textPicture(256, 512, lines, 0.6f);
    }});
    // The artery.
    t.push_back({"data\\aterie-map.jpg", [] { return veinTexture(256, {0.5f, 0.08f, 0.08f}, {1.0f, 0.45f, 0.35f}, 121); }});
    t.push_back({"data\\blut2.jpg", [] { return glowPicture(64, {1.0f, 0.15f, 0.1f}, 1.6, 1.0); }});
    t.push_back({"data\\embryo-f.jpg", [] {
        Canvas c = silhouettePicture(embryoShape(512, 512), {0.45f, 0.15f, 0.2f}, {1.0f, 0.75f, 0.7f}, {1.0f, 0.5f, 0.4f}, 131);
        addGlow(&c, 256, 270, 230, {0.25f, 0.05f, 0.08f}, 1.5);
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\embryo-o.jpg", [] { return maskFrom(embryoShape(512, 512), 4); }});
    t.push_back({"data\\fishpic.jpg", [] {
        Canvas c = silhouettePicture(fishShape(512, 512), {0.1f, 0.25f, 0.5f}, {1.0f, 0.8f, 0.3f}, {0.3f, 0.7f, 1.0f}, 141);
        addGlow(&c, 512 * 0.3, 512 * 0.46, 14, {1, 1, 1}, 1.0);  // the eye
        addGlow(&c, 512 * 0.3, 512 * 0.46, 6, {-1, -1, -1}, 0.5);
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\jesus.jpg", [] {
        Canvas c = makeCanvas(512, 512);
        addGlow(&c, 256, 128, 120, {1.0f, 0.85f, 0.5f}, 1.5);  // halo
        addRing(&c, 256, 128, 62, 4, {1.0f, 0.9f, 0.6f});
        Canvas figure = silhouettePicture(figureShape(512, 512), {0.2f, 0.15f, 0.1f}, {0.95f, 0.9f, 0.8f}, {1.0f, 0.8f, 0.5f}, 151);
        addCanvas(&c, figure, 1.0f);
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\text-light.jpg", [=] { return singleText(512, 256, "light", 120, warm); }});
    t.push_back({"data\\text-flyout.jpg", [=] { return singleText(512, 256, "fly out", 100, ice); }});
    // The sea.
    t.push_back({"data\\meergrund.jpg", [] { return sandTexture(256); }});
    t.push_back({"data\\water.jpg", [] { return causticTexture(256, {0.6f, 0.9f, 1.0f}, 161); }});
    t.push_back({"data\\ballfish.jpg", [] { return scaleTexture(256); }});
    t.push_back({"data\\grass.jpg", [] { return seaweedTexture(256); }});
    t.push_back({"data\\waterfx.jpg", [] { return waterSurface(128, 171); }});
    t.push_back({"data\\surface.jpg", [] { return waterSurface(128, 181); }});
    // The intestine and the later inserts.
    t.push_back({"data\\monks-op.jpg", [] { return maskFrom(monksShape(256, 512), 3); }});
    t.push_back({"data\\monks.jpg", [] {
        return silhouettePicture(monksShape(256, 512), {0.15f, 0.1f, 0.2f}, {0.6f, 0.5f, 0.8f}, {0.9f, 0.6f, 1.0f}, 191);
    }});
    t.push_back({"data\\text-checkourgift.jpg", [=] { return logoText(1024, 128, "check our gift", warm); }});
    t.push_back({"data\\text-webringyoudemo.jpg", [=] { return logoText(1024, 128, "we bring you demo", ice); }});
    t.push_back({"data\\text-driftwelling.jpg", [=] { return verticalText(128, 1024, "drift welling", pale); }});
    t.push_back({"data\\fader.jpg", [] { return faderPicture(256); }});
    t.push_back({"data\\vogel-op.jpg", [] { return maskFrom(birdShape(512, 512), 3); }});
    t.push_back({"data\\vogel.jpg", [] {
        return silhouettePicture(birdShape(512, 512), {0.3f, 0.1f, 0.05f}, {1.0f, 0.7f, 0.3f}, {1.0f, 0.9f, 0.5f}, 201);
    }});
    t.push_back({"data\\text-scream.jpg", [] { return singleText(1024, 128, "scream", 96, {1.0f, 0.6f, 0.5f}); }});
    t.push_back({"data\\feuer-opacity.jpg", [] { return maskFrom(fireSpitterShape(512, 512), 3); }});
    t.push_back({"data\\feuer-spucker.jpg", [] {
        Canvas c = silhouettePicture(fireSpitterShape(512, 512), {0.2f, 0.1f, 0.05f}, {0.8f, 0.6f, 0.45f}, {1.0f, 0.5f, 0.2f}, 211);
        // The flame plume leaves the mouth to the left and widens.
        for (int i = 0; i < 40; ++i) {
            double t = i / 39.0;
            addGlow(&c, 512 * (0.56 - t * 0.5), 512 * (0.47 - t * 0.08 * std::sin(t * 5)), 20 + t * 90,
                    {float(0.5 * (1 - t * 0.3)), float(0.3 * (1 - t)), float(0.06 * (1 - t))}, 1.5);
        }
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\text-wewant.jpg", [=] { return logoText(1024, 128, "we want more", warm); }});
    t.push_back({"data\\text-inside.jpg", [=] { return logoText(512, 128, "inside", {1.0f, 0.7f, 0.7f}); }});
    t.push_back({"data\\text-outside.jpg", [=] { return verticalText(128, 1024, "outside", {0.7f, 0.85f, 1.0f}); }});
    t.push_back({"data\\text-brakkwell.jpg", [=] { return logoText(512, 256, "brakkwell", pale); }});
    return t;
}

}  // namespace

std::vector<std::string> pictureNames() {
    const char* paths[TEXTURE_SLOTS];
    const int count = listSlotPictures(paths, TEXTURE_SLOTS);
    return std::vector<std::string>(paths, paths + std::max(count, 0));
}

int writePictures(const std::string& dir) {
    if (measureTextLine(BOLD_FONT, 20, "x") < 0 || measureTextLine(SERIF_FONT, 20, "x") < 0) {
        std::fprintf(stderr, "make-data: missing font %s (package fonts-dejavu-core)\n", BOLD_FONT.c_str());
        return 0;
    }
    // The set-up's tables say which pictures to write; the painters only say how each looks.
    const std::vector<std::string> names = pictureNames();
    const std::vector<PictureEntry> painters = pictureTable();
    for (const PictureEntry& e : painters) {
        if (std::find(names.begin(), names.end(), e.name) == names.end()) {
            std::fprintf(stderr, "make-data: %s is painted but the set-up never loads it\n", e.name);
            return 0;
        }
    }
    for (const std::string& name : names) {
        auto painter = std::find_if(painters.begin(), painters.end(),
                                    [&name](const PictureEntry& e) { return name == e.name; });
        if (painter == painters.end()) {
            std::fprintf(stderr, "make-data: no painter for %s\n", name.c_str());
            return 0;
        }
        std::string path = dataFilePath(dir, name);
        Canvas canvas = painter->paint();
        if (canvas.width == 0 || !saveJpeg(canvas, path)) {
            std::fprintf(stderr, "make-data: cannot write %s\n", path.c_str());
            return 0;
        }
    }
    return 1;
}
