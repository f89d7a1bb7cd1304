// Canvas painting: seeded noise, glows, rings, blurs and anti-aliased coverage shapes. The
// pictures of the data set are built from these few strokes; every random choice comes from
// a SeededRandom or from hashed lattice noise, so the output never varies between runs.
#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

SeededRandom seededRandom(uint64_t seed) {
    return SeededRandom{seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull};
}

double nextUniform(SeededRandom* random) {
    uint64_t x = random->state;
    x ^= x >> 12;
    x ^= x << 25;
    x ^= x >> 27;
    random->state = x;
    return double((x * 0x2545F4914F6CDD1Dull) >> 11) / 9007199254740992.0;
}

double nextSigned(SeededRandom* random) { return nextUniform(random) * 2.0 - 1.0; }

static double latticeValue(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFFFF) / double(0xFFFFFF);
}

static double smoothStep01(double t) { return t * t * (3.0 - 2.0 * t); }

double tiledNoise(double x, double y, int period, uint32_t seed) {
    double fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    double tx = smoothStep01(x - fx), ty = smoothStep01(y - fy);
    auto wrap = [period](int v) { return ((v % period) + period) % period; };
    double a = latticeValue(wrap(ix), wrap(iy), seed);
    double b = latticeValue(wrap(ix + 1), wrap(iy), seed);
    double c = latticeValue(wrap(ix), wrap(iy + 1), seed);
    double d = latticeValue(wrap(ix + 1), wrap(iy + 1), seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double tiledFractalNoise(double x, double y, int period, int octaves, uint32_t seed) {
    double sum = 0, weight = 0.5, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * tiledNoise(x, y, period, seed + uint32_t(o) * 7919u);
        total += weight;
        x *= 2;
        y *= 2;
        period *= 2;
        weight *= 0.5;
    }
    return sum / total;
}

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double mix(double a, double b, double t) { return a + (b - a) * t; }
Colour mixColour(Colour a, Colour b, double t) {
    return {float(mix(a.r, b.r, t)), float(mix(a.g, b.g, t)), float(mix(a.b, b.b, t))};
}

Canvas makeCanvas(int width, int height) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.pixels.assign(size_t(width) * size_t(height) * 3, 0.0f);
    return canvas;
}

float* pixelAt(Canvas* canvas, int x, int y) {
    return &canvas->pixels[(size_t(y) * size_t(canvas->width) + size_t(x)) * 3];
}

void setPixel(Canvas* canvas, int x, int y, Colour colour) {
    float* p = pixelAt(canvas, x, y);
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
}

void fillCanvas(Canvas* canvas, Colour colour) {
    for (size_t i = 0; i < canvas->pixels.size(); i += 3) {
        canvas->pixels[i] = colour.r;
        canvas->pixels[i + 1] = colour.g;
        canvas->pixels[i + 2] = colour.b;
    }
}

void addGlow(Canvas* canvas, double cx, double cy, double radius, Colour colour, double sharpness) {
    int x0 = std::max(0, int(cx - radius)), x1 = std::min(canvas->width - 1, int(cx + radius) + 1);
    int y0 = std::max(0, int(cy - radius)), y1 = std::min(canvas->height - 1, int(cy + radius) + 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / radius;
            if (d >= 1.0) continue;
            float k = float(std::pow(1.0 - d, sharpness));
            float* p = pixelAt(canvas, x, y);
            p[0] += colour.r * k;
            p[1] += colour.g * k;
            p[2] += colour.b * k;
        }
    }
}

void addShaft(Canvas* canvas, double x, double y, double angle, double length, double halfWidth, double spread,
              Colour colour) {
    const double ax = std::sin(angle), ay = std::cos(angle);
    // Only the box round the shaft's two ends, widened by its greatest reach across.
    const double reach = (halfWidth + spread * length) * 3.5;
    const double ex = x + ax * length, ey = y + ay * length;
    const int x0 = std::max(0, int(std::min(x, ex) - reach)), x1 = std::min(canvas->width - 1, int(std::max(x, ex) + reach));
    const int y0 = std::max(0, int(std::min(y, ey) - reach)), y1 = std::min(canvas->height - 1, int(std::max(y, ey) + reach));
    for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
            double dx = px + 0.5 - x, dy = py + 0.5 - y;
            double along = dx * ax + dy * ay, across = dx * ay - dy * ax;
            if (along <= 0 || along >= length) continue;
            double w = halfWidth + spread * along;
            double k = std::exp(-across * across / (w * w)) * std::pow(1.0 - along / length, 1.5) * std::min(1.0, along / (w * 2));
            if (k < 1e-4) continue;
            float* p = pixelAt(canvas, px, py);
            p[0] += float(colour.r * k);
            p[1] += float(colour.g * k);
            p[2] += float(colour.b * k);
        }
    }
}

void addRing(Canvas* canvas, double cx, double cy, double radius, double halfWidth, Colour colour) {
    double outer = radius + halfWidth * 2;
    int x0 = std::max(0, int(cx - outer)), x1 = std::min(canvas->width - 1, int(cx + outer) + 1);
    int y0 = std::max(0, int(cy - outer)), y1 = std::min(canvas->height - 1, int(cy + outer) + 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            double d = std::fabs(std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius) / halfWidth;
            if (d >= 2.0) continue;
            float k = float(std::exp(-d * d * 1.5));
            float* p = pixelAt(canvas, x, y);
            p[0] += colour.r * k;
            p[1] += colour.g * k;
            p[2] += colour.b * k;
        }
    }
}

// One box pass along rows (stride 1) or columns, over `channels` interleaved values.
static void boxPass(std::vector<float>* values, int width, int height, int channels, int radius,
                    bool alongRows) {
    int length = alongRows ? width : height;
    int lines = alongRows ? height : width;
    std::vector<float> line(size_t(length) * channels), out(size_t(length) * channels);
    for (int l = 0; l < lines; ++l) {
        auto index = [&](int i) {
            int x = alongRows ? i : l, y = alongRows ? l : i;
            return (size_t(y) * width + x) * channels;
        };
        for (int i = 0; i < length; ++i)
            for (int c = 0; c < channels; ++c) line[size_t(i) * channels + c] = (*values)[index(i) + c];
        for (int c = 0; c < channels; ++c) {
            double sum = 0;
            for (int i = -radius; i <= radius; ++i) sum += line[size_t(std::clamp(i, 0, length - 1)) * channels + c];
            for (int i = 0; i < length; ++i) {
                out[size_t(i) * channels + c] = float(sum / (2 * radius + 1));
                int add = std::min(i + radius + 1, length - 1), drop = std::max(i - radius, 0);
                sum += line[size_t(add) * channels + c] - line[size_t(drop) * channels + c];
            }
        }
        for (int i = 0; i < length; ++i)
            for (int c = 0; c < channels; ++c) (*values)[index(i) + c] = out[size_t(i) * channels + c];
    }
}

void blurCanvas(Canvas* canvas, int radius) {
    if (radius <= 0) return;
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(&canvas->pixels, canvas->width, canvas->height, 3, radius, true);
        boxPass(&canvas->pixels, canvas->width, canvas->height, 3, radius, false);
    }
}

void multiplyCanvas(Canvas* canvas, const Canvas& mask) {
    for (size_t i = 0; i < canvas->pixels.size() && i < mask.pixels.size(); ++i)
        canvas->pixels[i] *= mask.pixels[i];
}

void addCanvas(Canvas* dst, const Canvas& src, float level) {
    for (size_t i = 0; i < dst->pixels.size() && i < src.pixels.size(); ++i)
        dst->pixels[i] += src.pixels[i] * level;
}

Canvas rotateQuarter(const Canvas& canvas) {
    Canvas out = makeCanvas(canvas.height, canvas.width);
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            // Source column x becomes row (width - 1 - x); source row y becomes column y.
            const float* s = &canvas.pixels[(size_t(y) * canvas.width + x) * 3];
            float* d = pixelAt(&out, y, canvas.width - 1 - x);
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    return out;
}

void clampCanvas(Canvas* canvas) {
    for (float& v : canvas->pixels) v = std::clamp(v, 0.0f, 1.0f);
}

Coverage makeCoverage(int width, int height) {
    Coverage coverage;
    coverage.width = width;
    coverage.height = height;
    coverage.values.assign(size_t(width) * size_t(height), 0.0f);
    return coverage;
}

// Raises every pixel's coverage to the value of a signed distance (negative inside), within
// the box from (left, top) to (right, bottom) outside which the distance is at least half a
// pixel (the whole canvas when no box is given).
template <typename Distance>
static void coverByDistance(Coverage* coverage, Distance distance, double left = -1e9, double top = -1e9,
                            double right = 1e9, double bottom = 1e9) {
    const int x0 = int(std::clamp(std::floor(left), 0.0, double(coverage->width)));
    const int x1 = int(std::clamp(std::ceil(right), 0.0, double(coverage->width)));
    const int y0 = int(std::clamp(std::floor(top), 0.0, double(coverage->height)));
    const int y1 = int(std::clamp(std::ceil(bottom), 0.0, double(coverage->height)));
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            double d = distance(x + 0.5, y + 0.5);
            float c = float(std::clamp(0.5 - d, 0.0, 1.0));
            float& v = coverage->values[size_t(y) * coverage->width + x];
            v = std::max(v, c);
        }
    }
}

void coverEllipse(Coverage* coverage, double cx, double cy, double rx, double ry) {
    double r = std::min(rx, ry);
    // The distance below grows by r / rx per pixel along x outside the ellipse (r / ry along y).
    double reachX = rx + 0.5 * rx / r + 1, reachY = ry + 0.5 * ry / r + 1;
    coverByDistance(coverage, [=](double x, double y) {
        double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return (std::sqrt(dx * dx + dy * dy) - 1.0) * r;
    }, cx - reachX, cy - reachY, cx + reachX, cy + reachY);
}

void coverCapsule(Coverage* coverage, double x0, double y0, double x1, double y1, double radius) {
    double ex = x1 - x0, ey = y1 - y0, len2 = std::max(ex * ex + ey * ey, 1e-9);
    const double reach = radius + 1;
    coverByDistance(coverage, [=](double x, double y) {
        double t = std::clamp(((x - x0) * ex + (y - y0) * ey) / len2, 0.0, 1.0);
        return std::hypot(x - x0 - t * ex, y - y0 - t * ey) - radius;
    }, std::min(x0, x1) - reach, std::min(y0, y1) - reach, std::max(x0, x1) + reach, std::max(y0, y1) + reach);
}

void coverConvex(Coverage* coverage, const double* xs, const double* ys, int count) {
    double area = 0;
    for (int i = 0; i < count; ++i) {
        int j = (i + 1) % count;
        area += xs[i] * ys[j] - xs[j] * ys[i];
    }
    const double sign = area < 0 ? -1.0 : 1.0;
    std::vector<double> px(xs, xs + count), py(ys, ys + count);
    coverByDistance(coverage, [=](double x, double y) {
        double worst = -1e9;
        for (int i = 0; i < count; ++i) {
            int j = (i + 1) % count;
            double ex = px[j] - px[i], ey = py[j] - py[i];
            double len = std::max(std::hypot(ex, ey), 1e-9);
            // Distance to the edge line, positive outside.
            double d = -sign * (ex * (y - py[i]) - ey * (x - px[i])) / len;
            worst = std::max(worst, d);
        }
        return worst;
    });
}

void coverTriangle(Coverage* coverage, double x0, double y0, double x1, double y1, double x2,
                   double y2) {
    const double xs[3] = {x0, x1, x2}, ys[3] = {y0, y1, y2};
    coverConvex(coverage, xs, ys, 3);
}

void blurCoverage(Coverage* coverage, int radius) {
    if (radius <= 0) return;
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(&coverage->values, coverage->width, coverage->height, 1, radius, true);
        boxPass(&coverage->values, coverage->width, coverage->height, 1, radius, false);
    }
}
