// Backdrops: full-screen pictures painted to keep moving under the little motion their Layers
// get. The title's water has slanted shafts and motes that the wobbling grid bends and carries;
// the inner world is dark at its far end so the sparks behind it shine through; the fish's sea
// has rings, bubbles and shafts right out to its edges, where a slow push-in moves them most.
#include "backdrops.h"

#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

// Small bright motes and a few large, faint out-of-focus ones, scattered over the picture.
void addMotes(Canvas* c, int count, uint32_t seed, Colour colour, double topBias) {
    SeededRandom random = seededRandom(seed);
    const double unit = c->width / 512.0;
    for (int i = 0; i < count; ++i) {
        double x = nextUniform(&random) * c->width;
        double y = std::pow(nextUniform(&random), topBias) * c->height;
        bool large = i % 6 == 0;
        double radius = (large ? 9 + nextUniform(&random) * 12 : 1.6 + nextUniform(&random) * 2.4) * unit;
        double level = large ? 0.15 + nextUniform(&random) * 0.15 : 0.5 + nextUniform(&random) * 0.5;
        addGlow(c, x, y, radius, {float(colour.r * level), float(colour.g * level), float(colour.b * level)},
                large ? 0.6 : 1.6);
    }
}

}  // namespace

Canvas titleWater(int size) {
    Canvas c = makeCanvas(size, size);
    // Dark water, a little lighter and bluer towards the surface, mottled by slow noise.
    for (int y = 0; y < size; ++y) {
        double depth = (y + 0.5) / size;
        for (int x = 0; x < size; ++x) {
            double n = tiledFractalNoise(x * 3.0 / size, y * 3.0 / size, 3, 4, 93);
            double k = (0.45 + 0.8 * n) * (1.0 - depth * 0.75);
            setPixel(&c, x, y, {float(0.03 * k), float(0.08 * k), float(0.26 * k)});
        }
    }
    // Shafts of light fanning down from a surface above the picture. The title's wobbling
    // grid bends them like light through moving water.
    SeededRandom random = seededRandom(94);
    for (int i = 0; i < 14; ++i) {
        double x = size * (-0.1 + 1.2 * (i + 0.5 + nextSigned(&random) * 0.3) / 14);
        double angle = (x / size - 0.5) * 0.5 + nextSigned(&random) * 0.08;
        double level = 0.6 + nextUniform(&random) * 0.7;
        addShaft(&c, x, -size * 0.08, angle, size * (0.9 + nextUniform(&random) * 0.5),
                 size * (0.004 + nextUniform(&random) * 0.01), 0.015 + nextUniform(&random) * 0.02,
                 {float(0.35 * level), float(0.6 * level), float(1.0 * level)});
    }
    // The bright underside of the surface: rippled light along the top edge.
    for (int y = 0; y < size / 6; ++y) {
        double fade = std::pow(1.0 - y / (size / 6.0), 2.0);
        for (int x = 0; x < size; ++x) {
            double n = tiledFractalNoise(x * 6.0 / size, y * 18.0 / size, 6, 3, 96);
            double ripple = std::pow(clamp01(1 - std::fabs(n - 0.5) * 7), 2.0);
            float* p = pixelAt(&c, x, y);
            p[0] += float(0.12 * ripple * fade);
            p[1] += float(0.3 * ripple * fade);
            p[2] += float(0.5 * ripple * fade);
        }
    }
    addMotes(&c, 300, 95, {0.55f, 0.8f, 1.0f}, 1.3);
    clampCanvas(&c);
    return c;
}

Canvas innerWorld(int size) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5) / size - 0.5, dy = (y + 0.5) / size - 0.5;
            double r = std::hypot(dx, dy) + 1e-6, a = std::atan2(dy, dx) / (2 * PI) + 0.5;
            double depth = 0.15 / r;
            double n = tiledFractalNoise(a * 16, depth * 4, 16, 4, 51);
            double cells = std::pow(clamp01(1 - std::fabs(tiledNoise(a * 32, depth * 8, 32, 52) - 0.5) * 6), 2.0);
            // Black at the far end, so the sparks of the scene behind the picture show there.
            double fall = std::pow(clamp01((r - 0.06) * 3.2), 1.4);
            double k = fall * (0.25 + n * 0.6);
            setPixel(&c, x, y, {float(k * 0.85 + cells * 0.45 * fall), float(k * 0.18 + cells * 0.12 * fall),
                                float(k * 0.5 + cells * 0.4 * fall)});
        }
    }
    clampCanvas(&c);
    return c;
}

Coverage innerFrameShape(int size) {
    // Scene 1 multiplies its mask onto the screen magnified five times, shrinking to its own
    // size: the middle fifth must stay open, and everything nearer the centre than the rim
    // shows only while the picture zooms in. The tendrils grow from the rim and taper, so
    // however far the picture is magnified they reach in from the edges of the screen as
    // points, never as a shape cut off by them.
    Coverage c = makeCoverage(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5) / size - 0.5, dy = (y + 0.5) / size - 0.5;
            double r = std::hypot(dx, dy), a = std::atan2(dy, dx) / (2 * PI) + 0.5;
            double edge = 0.37 + 0.07 * tiledFractalNoise(a * 8, 0.5, 8, 3, 61);
            c.values[size_t(y) * size + x] = float(clamp01((r - edge) * size * 0.5));
        }
    }
    // Tendrils: chains of shrinking discs that leave the rim and curl as they reach inwards.
    for (int i = 0; i < 7; ++i) {
        const double start = (i + 0.3 * std::sin(i * 2.3)) / 7, turn = i % 2 ? 0.08 : -0.08, width = 0.036 + 0.008 * std::cos(i * 1.7);
        const double reach = 0.12 + 0.05 * (0.5 + 0.5 * std::sin(i * 3.1));
        for (int k = 0; k <= 160; ++k) {
            double f = k / 160.0, a = (start + turn * f * f) * 2 * PI, r = 0.47 - reach * f, w = size * width * (1 - f * 0.85);
            coverEllipse(&c, size * (0.5 + r * std::cos(a)), size * (0.5 + r * std::sin(a)), w, w);
        }
    }
    return c;
}

Canvas fishSea(int size) {
    Canvas c = makeCanvas(size, size);
    for (int y = 0; y < size; ++y) {
        double depth = (y + 0.5) / size;
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5) / size - 0.5, dy = depth - 0.5;
            double r = std::hypot(dx, dy);
            double n = tiledFractalNoise(x * 4.0 / size, y * 4.0 / size, 4, 4, 143);
            // Broad rings spreading from the middle, strongest towards the edges, where the
            // push-in carries them outwards fastest.
            double rings = std::pow(0.5 + 0.5 * std::cos(r * 80), 3.0) * clamp01(r * 2.5 - 0.2) * 0.6;
            double k = (0.4 + 0.7 * n) * (1.0 - depth * 0.6);
            setPixel(&c, x, y, {float(0.02 * k + 0.05 * rings), float(0.1 * k + 0.2 * rings), float(0.25 * k + 0.3 * rings)});
        }
    }
    SeededRandom random = seededRandom(144);
    for (int i = 0; i < 9; ++i) {
        double x = size * (0.05 + 0.9 * (i + nextUniform(&random)) / 9);
        double level = 0.15 + nextUniform(&random) * 0.15;
        addShaft(&c, x, -size * 0.05, (x / size - 0.5) * 0.6, size * 1.1, size * 0.01, 0.04,
                 {float(0.3 * level), float(0.6 * level), float(0.9 * level)});
    }
    // Bubbles: bright rims with dark middles, rising in loose columns.
    for (int i = 0; i < 90; ++i) {
        double x = size * nextUniform(&random), y = size * nextUniform(&random);
        double radius = size * (0.004 + nextUniform(&random) * 0.012);
        addRing(&c, x, y, radius, std::max(0.8, radius * 0.18), {0.45f, 0.7f, 0.8f});
        addGlow(&c, x - radius * 0.35, y - radius * 0.35, radius * 0.4, {0.6f, 0.8f, 0.9f}, 1.5);
    }
    clampCanvas(&c);
    return c;
}
