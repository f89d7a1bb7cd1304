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
#include "backdrops.h"
#include "canvas.h"
#include "data_file_path.h"
#include "data_file_writer.h"
#include "data_set.h"
#include "font_lookup.h"

namespace {

constexpr double PI = 3.14159265358979323846;
// Rows of vertices in the greetings Layer's grid.
constexpr int GRID_ROWS = 10;
// The faces' files, found through fontconfig when the pictures are written.
std::string BOLD_FONT, SERIF_FONT;


// ---- Text ----

// A region of a picture as fractions of its width and height, rows counted from the top.
struct Box {
    double left, top, right, bottom;
};

struct TextLine {
    std::string text;
    double weight;  // size relative to the other lines
    Colour colour;
};

// How wide to paint glyphs, against their natural width, in a picture of `pictureWidth` x
// `pictureHeight` pixels that a Layer shows `layerWidth` x `layerHeight` screen units large
// (the 4:3 screen is 2 units each way): then the letters keep their shape on the screen.
double glyphWidthOn(int pictureWidth, int pictureHeight, double layerWidth, double layerHeight) {
    return (layerHeight * 3.0 / pictureHeight) / (layerWidth * 4.0 / pictureWidth);
}

// The largest size at which every line of `lines`, stacked in `box` and each centred across
// it, fits inside the box with the soft halo around it: the box is where the text's ink may
// go, so the compositions' Layer rectangles and motions decide it (see pictureTable).
// `glyphWidth` as glyphWidthOn gives it for the picture's Layer.
int fittingTextSize(int width, int height, Box box, const std::vector<TextLine>& lines, double glyphWidth) {
    const double boxWidth = (box.right - box.left) * width, boxHeight = (box.bottom - box.top) * height;
    double heaviest = 0;
    for (const TextLine& l : lines) heaviest = std::max(heaviest, l.weight);
    // Ink of a line of size S reaches about S above its baseline and 0.25 S below it; lines
    // follow each other 1.25 S apart. The halo reaches about S / 6 further out on every side.
    auto fits = [&](int s) {
        double reach = s * heaviest / 6.0;
        double tall = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            double ls = s * lines[i].weight;
            tall += ls * 1.25;
            if (measureTextLine(BOLD_FONT, int(ls), lines[i].text, glyphWidth) > boxWidth - 2 * reach) return false;
        }
        return tall + 2 * reach <= boxHeight;
    };
    int size = int(boxHeight);
    while (size > 4 && !fits(size)) size -= std::max(1, size / 40);
    return size;
}

// Adds the lines at `size`, stacked round the middle of `box`, sharp, to `sharp`.
void addTextLines(Canvas* sharp, Box box, const std::vector<TextLine>& lines, int size, double glyphWidth) {
    double tall = 0;
    for (const TextLine& l : lines) tall += size * l.weight * 1.25;
    double y = box.top * sharp->height + ((box.bottom - box.top) * sharp->height - tall) * 0.5;
    const double cx = (box.left + box.right) * 0.5 * sharp->width;
    for (const TextLine& l : lines) {
        double ls = size * l.weight;
        addTextLine(sharp, BOLD_FONT, int(ls), l.text, cx, y + ls * 1.0, l.colour, glyphWidth);
        y += ls * 1.25;
    }
}

// Sharp text with a soft halo of `halo` times its own light around it, for a text of `size`.
Canvas withHalo(const Canvas& sharp, int size, float halo) {
    Canvas out = sharp;
    if (halo > 0) {
        Canvas glow = sharp;
        blurCanvas(&glow, std::max(1, size / 18));
        addCanvas(&out, glow, halo);
    }
    clampCanvas(&out);
    return out;
}

// The lines at the largest size that fits `box` (fittingTextSize), with their halo.
Canvas textInBox(int width, int height, Box box, const std::vector<TextLine>& lines, float halo = 0.9f,
                 double glyphWidth = 1.0) {
    const int size = fittingTextSize(width, height, box, lines, glyphWidth);
    double heaviest = 0;
    for (const TextLine& l : lines) heaviest = std::max(heaviest, l.weight);
    Canvas sharp = makeCanvas(width, height);
    addTextLines(&sharp, box, lines, size, glyphWidth);
    return withHalo(sharp, int(size * heaviest), halo);
}

Canvas textLineInBox(int width, int height, Box box, const std::string& text, Colour colour, double glyphWidth = 1.0) {
    return textInBox(width, height, box, {{text, 1.0, colour}}, 0.9f, glyphWidth);
}

// Text that reads from bottom to top: painted along a wide strip, then turned a quarter.
// `box` and `glyphWidth` are given for the turned (final) picture.
Canvas verticalTextInBox(int width, int height, Box box, const std::string& text, Colour colour, double glyphWidth = 1.0) {
    // Turning counter-clockwise takes the strip's column x to row (stripWidth - 1 - x) and its
    // row y to column y, so the final box maps back to the strip like this; along the strip
    // the glyphs lie across the final picture's width.
    Box strip{1.0 - box.bottom, box.left, 1.0 - box.top, box.right};
    return rotateQuarter(textLineInBox(height, width, strip, text, colour, 1.0 / glyphWidth));
}

// A horizontal streak of light centred on the picture's middle column at row `cy`: a thin
// bright core in a wider glow, both thinning out towards their ends.
void addStreak(Canvas* c, double cy, double halfLength, double core, Colour colour) {
    const double cx = c->width * 0.5;
    for (int y = 0; y < c->height; ++y)
        for (int x = 0; x < c->width; ++x) {
            double along = std::fabs(x + 0.5 - cx) / halfLength;
            if (along >= 1) continue;
            double taper = std::pow(1 - along, 2.0), d = std::fabs(y + 0.5 - cy);
            double k = taper * (std::exp(-d * d / (core * core)) + 0.25 * std::exp(-d / (core * 5)));
            float* p = pixelAt(c, x, y);
            p[0] += float(colour.r * k);
            p[1] += float(colour.g * k);
            p[2] += float(colour.b * k);
        }
}

// An echo sounder's trace across `box`: a glowing line that rings out from a ping at its left
// end, with a few bubbles rising off it.
Canvas depthTrace(int width, int height, Box box, Colour colour) {
    Canvas c = makeCanvas(width, height);
    const double x0 = box.left * width, x1 = box.right * width, mid = (box.top + box.bottom) * 0.5 * height;
    const double amplitude = (box.bottom - box.top) * height * 0.3, core = height / 90.0;
    for (int x = int(x0); x < int(x1); ++x) {
        double f = (x - x0) / (x1 - x0);
        double y = mid + amplitude * std::exp(-f * 4) * std::sin(f * 46);
        double fade = std::min(1.0, (1 - f) * 6) * (0.5 + 0.5 * std::exp(-f * 2));
        for (int py = 0; py < height; ++py) {
            double d = std::fabs(py + 0.5 - y);
            double k = fade * (std::exp(-d * d / (core * core)) + 0.3 * std::exp(-d / (core * 3)));
            float* p = pixelAt(&c, x, py);
            p[0] += float(colour.r * k);
            p[1] += float(colour.g * k);
            p[2] += float(colour.b * k);
        }
    }
    addGlow(&c, x0, mid, height * 0.2, colour, 1.5);
    SeededRandom random = seededRandom(59);
    for (int i = 0; i < 7; ++i) {
        double x = x0 + (x1 - x0) * (0.08 + 0.8 * nextUniform(&random));
        double y = box.top * height + nextUniform(&random) * amplitude * 0.8, r = height * (0.02 + 0.02 * nextUniform(&random));
        addRing(&c, x, y, r, std::max(0.7, r * 0.25), {colour.r * 0.6f, colour.g * 0.6f, colour.b * 0.6f});
    }
    clampCanvas(&c);
    return c;
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
// `depth` below 1 leaves that much of the scene behind the shape.
Canvas maskFrom(const Coverage& shape, int spread, double depth = 1.0) {
    Coverage grown = shape;
    blurCoverage(&grown, spread);
    Canvas out = makeCanvas(shape.width, shape.height);
    for (size_t i = 0; i < grown.values.size(); ++i) {
        float k = float(1.0 - depth * clamp01(std::max(grown.values[i] * 2.5, double(shape.values[i]))));
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

// Three hooded figures, their robes kept inside the picture's left 85 % (its Layer reaches
// past the right edge of the screen). Monk m's shape, and the parts that the picture draws
// darker on it: the face in the cowl's opening, the folds of the robe and the sleeves that
// meet over the chest.
const double MONK_X[3] = {0.2, 0.45, 0.68}, MONK_TOP[3] = {0.28, 0.18, 0.34};
Coverage monkShape(int w, int h, int m) {
    Coverage c = makeCoverage(w, h);
    const double cx = MONK_X[m] * w, top = MONK_TOP[m] * h, rw = w * 0.12;
    coverTriangle(&c, cx - rw * 0.6, top + rw * 0.7, cx + rw * 0.6, top + rw * 0.7, cx + rw * 0.1, top - rw * 0.35);  // cowl's point
    coverEllipse(&c, cx, top + rw * 0.95, rw * 0.68, rw * 0.95);                                                       // cowl
    coverEllipse(&c, cx, top + rw * 2.1, rw * 1.1, rw * 0.55);                                                         // shoulders
    const double robeX[4] = {cx - rw * 1.0, cx + rw * 1.0, cx + rw * 1.5, cx - rw * 1.5};  // widening to the ground
    const double robeY[4] = {top + rw * 2.1, top + rw * 2.1, h * 0.98, h * 0.98};
    coverConvex(&c, robeX, robeY, 4);
    return c;
}
Coverage monkShadows(int w, int h, int m) {
    Coverage c = makeCoverage(w, h);
    const double cx = MONK_X[m] * w, top = MONK_TOP[m] * h, rw = w * 0.12;
    coverEllipse(&c, cx + rw * 0.05, top + rw * 1.1, rw * 0.38, rw * 0.55);  // the face in shadow
    for (int k = -2; k <= 2; ++k)                                           // folds
        coverCapsule(&c, cx + k * rw * 0.32, top + rw * 3.2, cx + k * rw * 0.45, h * 0.97, rw * 0.035);
    coverCapsule(&c, cx - rw * 0.55, top + rw * 2.5, cx + rw * 0.55, top + rw * 2.5, rw * 0.06);  // sleeves' seam
    return c;
}
Coverage monksShape(int w, int h) {
    Coverage c = makeCoverage(w, h);
    for (int m = 0; m < 3; ++m) {
        Coverage one = monkShape(w, h, m);
        for (size_t i = 0; i < c.values.size(); ++i) c.values[i] = std::max(c.values[i], one.values[i]);
    }
    return c;
}

// The bird from above, wings spread in a wide V: body, head and beak (part 0), and its
// feathers (parts 1 to 15: six fingered primaries on each wing, then the tail's fan), each a
// shape of its own so that the picture can draw the line between them.
constexpr int BIRD_PARTS = 16;
Coverage birdPart(int w, int h, int part) {
    Coverage c = makeCoverage(w, h);
    const double cx = w * 0.5, cy = h * 0.5;
    if (part == 0) {
        coverEllipse(&c, cx, cy, w * 0.16, h * 0.06);                                                                 // body
        coverEllipse(&c, cx + w * 0.17, cy - h * 0.03, w * 0.05, h * 0.045);                                          // head
        coverTriangle(&c, cx + w * 0.21, cy - h * 0.04, cx + w * 0.3, cy - h * 0.015, cx + w * 0.21, cy - h * 0.005);  // beak
        for (int side = -1; side <= 1; side += 2)  // the inner wing, from the body to the wrist
            coverTriangle(&c, cx - w * 0.08, cy, cx + w * 0.08, cy, cx - w * 0.06, cy + side * h * 0.3);
    } else if (part <= 12) {
        const int side = part <= 6 ? -1 : 1, k = (part - 1) % 6;
        const double f = k / 5.0;  // from the leading primary to the innermost
        const double tipX = cx - w * (0.1 + 0.2 * f), tipY = cy + side * h * (0.44 - 0.1 * f * f);
        coverCapsule(&c, cx - w * (0.02 + 0.06 * f), cy + side * h * 0.22, tipX, tipY, w * (0.018 + 0.006 * f));
    } else {
        const int k = part - 13;  // the tail's three feathers
        coverCapsule(&c, cx - w * 0.12, cy, cx - w * 0.33, cy + h * 0.045 * (k - 1), w * 0.025);
    }
    return c;
}

Coverage birdShape(int w, int h) {
    Coverage c = birdPart(w, h, 0);
    for (int part = 1; part < BIRD_PARTS; ++part) {
        Coverage p = birdPart(w, h, part);
        for (size_t i = 0; i < c.values.size(); ++i) c.values[i] = std::max(c.values[i], p.values[i]);
    }
    return c;
}

Coverage helmetShape(int w, int h) {
    // A knight's helm seen from the front, in the picture's left 75 % (the part of its Layer
    // that lies on the screen), with a crest on top.
    Coverage c = makeCoverage(w, h);
    const double cx = w * 0.42;
    coverEllipse(&c, cx, h * 0.42, w * 0.27, h * 0.26);                          // dome
    coverCapsule(&c, cx, h * 0.45, cx, h * 0.72, w * 0.24);                      // face plate
    coverTriangle(&c, cx - w * 0.04, h * 0.18, cx + w * 0.04, h * 0.18, cx, h * 0.05);  // crest spike
    coverTriangle(&c, cx - w * 0.3, h * 0.9, cx + w * 0.3, h * 0.9, cx, h * 0.7);        // gorget
    return c;
}

// Where the helm is cut open: the eye slit and the breathing holes, dark in the picture.
Coverage helmetOpenings(int w, int h) {
    Coverage c = makeCoverage(w, h);
    const double cx = w * 0.42;
    coverCapsule(&c, cx - w * 0.19, h * 0.46, cx + w * 0.19, h * 0.46, h * 0.018);
    for (int k = -2; k <= 2; ++k) coverEllipse(&c, cx + k * w * 0.05, h * 0.62, w * 0.012, h * 0.012);
    coverCapsule(&c, cx, h * 0.49, cx, h * 0.74, w * 0.01);
    return c;
}

Coverage fireSpitterShape(int w, int h) {
    // Head in profile and shoulders, facing left, in the picture's right part: the Layer is
    // shifted right by its whole screen width to hide it, and only its left quarter would
    // stay on the screen then, so nothing is painted there.
    Coverage c = makeCoverage(w, h);
    coverEllipse(&c, w * 0.76, h * 0.4, w * 0.12, h * 0.15);  // head in profile
    coverEllipse(&c, w * 0.66, h * 0.45, w * 0.05, h * 0.045);  // pursed mouth
    coverEllipse(&c, w * 0.7, h * 0.33, w * 0.04, h * 0.05);   // brow
    coverTriangle(&c, w * 0.68, h * 0.5, w * 0.97, h * 0.52, w * 0.94, h * 1.0);  // neck and shoulder
    coverTriangle(&c, w * 0.68, h * 0.5, w * 0.7, h * 1.0, w * 0.97, h * 1.0);
    return c;
}

// The embryo is drawn in design units (its head's top at y = 0.17, its middle at x = 0.5) and
// placed low in its picture, a little left of the middle: its Layer fills the screen, and
// "inside" runs along the top of the screen and "outside" down its right side.
constexpr double EMBRYO_SCALE = 0.876;
double embryoX(double x) { return 0.46 + (x - 0.5) * EMBRYO_SCALE; }
double embryoY(double y) { return 0.37 + (y - 0.17) * EMBRYO_SCALE; }

// The embryo's parts, each a shape of its own so their outlines can be drawn inside the
// whole: 0 the head, 1 the curled back and belly, 2 the folded arm and leg.
Coverage embryoPart(int w, int h, int part) {
    Coverage c = makeCoverage(w, h);
    auto ellipse = [&](double x, double y, double rx, double ry) {
        coverEllipse(&c, w * embryoX(x), h * embryoY(y), w * rx * EMBRYO_SCALE, h * ry * EMBRYO_SCALE);
    };
    auto capsule = [&](double x0, double y0, double x1, double y1, double r) {
        coverCapsule(&c, w * embryoX(x0), h * embryoY(y0), w * embryoX(x1), h * embryoY(y1), w * r * EMBRYO_SCALE);
    };
    if (part == 0) ellipse(0.44, 0.33, 0.17, 0.16);
    if (part == 1) {
        for (int k = 0; k <= 12; ++k) {  // the back, curling round
            double a = PI * (0.95 + k / 12.0 * 0.95);
            ellipse(0.5 + 0.15 * std::cos(a), 0.54 - 0.17 * std::sin(a), 0.12, 0.12);
        }
        ellipse(0.52, 0.57, 0.15, 0.15);  // belly
    }
    if (part == 2) {
        capsule(0.35, 0.47, 0.43, 0.57, 0.035);  // arm
        capsule(0.43, 0.57, 0.38, 0.6, 0.028);   // hand
        capsule(0.62, 0.7, 0.47, 0.73, 0.045);   // leg
        capsule(0.47, 0.73, 0.43, 0.66, 0.03);   // foot
    }
    return c;
}

// Curled up: a large head bent over a bean-shaped body, small arms and legs folded in front.
Coverage embryoShape(int w, int h) {
    Coverage c = embryoPart(w, h, 0);
    for (int part : {1, 2}) {
        Coverage p = embryoPart(w, h, part);
        for (size_t i = 0; i < c.values.size(); ++i) c.values[i] = std::max(c.values[i], p.values[i]);
    }
    return c;
}

// Darkens a thin line along the outline of `part`: the creases where parts of a figure meet.
void addCrease(Canvas* canvas, const Coverage& part, int width, float strength) {
    Coverage soft = part;
    blurCoverage(&soft, width);
    for (size_t i = 0; i < soft.values.size(); ++i) {
        float k = 1.0f - strength * float(std::max(0.0, 1.0 - std::fabs(soft.values[i] - 0.5) * 4.0));
        for (int ch = 0; ch < 3; ++ch) canvas->pixels[i * 3 + ch] *= k;
    }
}

// The umbilical cord: a thin curve from the belly down and out through the picture's
// bottom edge, left of "outside".
Coverage embryoCord(int w, int h) {
    Coverage c = makeCoverage(w, h);
    const double x0 = embryoX(0.5), y0 = embryoY(0.62);
    for (int k = 0; k < 32; ++k) {
        double t0 = k / 32.0, t1 = (k + 1) / 32.0;
        auto at = [&](double t) {
            return std::pair{w * (x0 + 0.12 * t - 0.16 * t * t + 0.03 * std::sin(t * 9)), h * (y0 + (1.02 - y0) * t)};
        };
        auto [xa, ya] = at(t0);
        auto [xb, yb] = at(t1);
        coverCapsule(&c, xa, ya, xb, yb, w * 0.011);
    }
    return c;
}

// A robed figure with arms spread: the head, sleeves that hang from the arms, hands, and a
// robe that widens to the ground.
Coverage figureShape(int w, int h) {
    Coverage c = makeCoverage(w, h);
    coverEllipse(&c, w * 0.5, h * 0.25, w * 0.06, h * 0.075);  // head
    coverCapsule(&c, w * 0.5, h * 0.3, w * 0.5, h * 0.36, w * 0.035);  // neck
    for (int side = -1; side <= 1; side += 2) {
        const double tip = 0.5 + side * 0.34;
        coverCapsule(&c, w * 0.5, h * 0.37, w * tip, h * 0.35, w * 0.035);  // arm
        const double sx[4] = {w * (0.5 + side * 0.06), w * (tip - side * 0.02), w * (tip - side * 0.05), w * (0.5 + side * 0.1)};
        const double sy[4] = {h * 0.36, h * 0.35, h * 0.44, h * 0.52};
        coverConvex(&c, sx, sy, 4);  // sleeve
        coverEllipse(&c, w * (tip + side * 0.025), h * 0.35, w * 0.022, h * 0.028);  // hand
    }
    const double robeX[4] = {w * 0.42, w * 0.58, w * 0.68, w * 0.32}, robeY[4] = {h * 0.34, h * 0.34, h * 0.96, h * 0.96};
    coverConvex(&c, robeX, robeY, 4);
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
            double core01 = 0.6 * std::pow(1 - r, 4.0) + 0.35 * std::exp(-r * r * 60);
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

// The intestine's map, read through the normals of its inside wall: walls that face the eye
// (the bends ahead) glow warm, walls seen edge-on along the tube (the near sides) are dark
// violet with a cool sheen just before the edge, mottled with veins. Drawn additively, wall
// over wall, so the tunnel is lit by the bends ahead and the near walls stay dark.
Canvas tunnelMap(int size) {
    Canvas c = makeCanvas(size, size);
    const Colour core{0.44f, 0.22f, 0.22f}, flesh{0.28f, 0.055f, 0.21f}, sheen{0.05f, 0.18f, 0.28f}, edge{0.015f, 0.01f, 0.05f};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1, r = std::min(1.0, std::hypot(dx, dy));
            Colour base = r < 0.55 ? mixColour(core, flesh, std::pow(r / 0.55, 1.5))
                        : r < 0.85 ? mixColour(flesh, sheen, (r - 0.55) / 0.3)
                                   : mixColour(sheen, edge, (r - 0.85) / 0.15);
            double n = tiledFractalNoise(x * 6.0 / size, y * 6.0 / size, 6, 4, 711);
            double vein = std::pow(clamp01(1 - std::fabs(n - 0.5) * 9), 2.0);
            double k = 0.75 + 0.4 * n + 0.5 * vein;
            setPixel(&c, x, y, {float(base.r * k), float(base.g * k), float(base.b * k)});
        }
    clampCanvas(&c);
    return c;
}

// The rippling sheet's map, read through its normals: colours that cycle like an oil film
// from the middle outwards, a full cycle every tenth of the radius, so even the slight tilt a
// ripple gives the flat sheet shows as bands of colour running over it. Mid-dark throughout,
// so that scene 8's opening flash lifts it without burning out and its text stays readable.
Canvas opalMap(int size) {
    Canvas c = makeCanvas(size, size);
    const Colour cycle[] = {{0.04f, 0.1f, 0.32f}, {0.03f, 0.3f, 0.36f}, {0.1f, 0.34f, 0.12f}, {0.45f, 0.3f, 0.05f},
                            {0.42f, 0.06f, 0.2f}, {0.22f, 0.05f, 0.4f}};
    constexpr int COLOURS = int(std::size(cycle));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1;
            double r = std::min(1.0, std::hypot(dx, dy)), a = std::atan2(dy, dx);
            // The sheet lies flat at about a third of the radius from the middle as scene 8's
            // camera sees it: the cycle starts there on deep blue.
            double f = (r * 10 + 0.1 * std::sin(a * 3)) * COLOURS / 2.0 + 2.7;
            double whole = std::floor(f), t = f - whole;
            int i = ((int(whole) % COLOURS) + COLOURS) % COLOURS;
            Colour base = mixColour(cycle[i], cycle[(i + 1) % COLOURS], t * t * (3 - 2 * t));
            double n = 0.85 + 0.3 * tiledFractalNoise(x * 5.0 / size, y * 5.0 / size, 5, 3, 741);
            setPixel(&c, x, y, {float(base.r * n), float(base.g * n), float(base.b * n)});
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
            // Fine cracks, faint enough to read as weathering rather than a drawn pattern.
            double crack = std::pow(clamp01(1 - std::fabs(cells - 0.5) * 22), 2.0) * (0.4 + 0.6 * n);
            double k = clamp01(0.25 + n * 0.75 - crack * 0.2);
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
        const double unit = size / 256.0;
        double x0 = nextUniform(&random) * size, phase = nextUniform(&random) * 6, width = (2 + nextUniform(&random) * 4) * unit;
        double top = size * (0.05 + nextUniform(&random) * 0.4);
        Colour g{float(0.2 + nextUniform(&random) * 0.2), float(0.6 + nextUniform(&random) * 0.3), float(0.2 + nextUniform(&random) * 0.1)};
        for (int y = int(top); y < size; ++y) {
            double t = (y - top) / (size - top);
            double xc = x0 + std::sin(phase + y / unit * 0.03) * 10 * unit * (1 - t);
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
            // Drawn additively, beam over beam: kept below full blue so crossings stay coloured.
            double k = (ridge + ridge2) * 0.55;
            setPixel(&c, x, y, {float(0.25 * k), float(0.55 * k), float(1.0 * k)});
        }
    }
    clampCanvas(&c);
    return c;
}

// A painter gets the picture scale: 1 for the normal data set, 2 for the HD one. Every size
// and stroke is given at scale 1 and multiplied, so both sets show the same art. Textures that
// tile over meshes, the small glows and lens pictures, and pictures already 1024 pixels tall
// keep their size (their painters ignore the scale): they gain little on a large screen and
// would cost texture memory.
using Painter = std::function<Canvas(int)>;
struct PictureEntry {
    const char* name;
    Painter paint;
};

std::vector<PictureEntry> pictureTable() {
    const Colour pale{0.85f, 0.92f, 1.0f}, warm{1.0f, 0.85f, 0.6f}, ice{0.6f, 0.9f, 1.0f};
    std::vector<PictureEntry> t;
    // The boxes of the text pictures below keep each text's ink where its Layer puts it on
    // the screen while it shows, clear of the other texts shown with it (the generator's
    // tests check this against the set-up's Layer rectangles and the compositions' motion).
    // Title and logos: the logo's ink stays within the middle 40 % of its height.
    t.push_back({"data\\logo-quelldriftlogo.jpg", [](int s) {
        Coverage cov = coverageFromText(512 * s, 256 * s, ".quellDrift", 92 * s);
        Canvas pic = shadedShape(cov, {0.1f, 0.35f, 0.6f}, {0.68f, 0.88f, 0.96f}, {0.4f, 0.8f, 1.0f}, 81);
        Canvas halo = pic;
        blurCanvas(&halo, 4 * s);
        addCanvas(&pic, halo, 0.4f);
        // A faint lens streak through the letters.
        addStreak(&pic, pic.height * 0.5, pic.width * 0.5, 1.5 * s, {0.45f, 0.65f, 0.8f});
        clampCanvas(&pic);
        return pic;
    }});
    // A soft shadow around the letters rather than a hard cut: when scene 1 folds the title
    // flat, it leaves a faint dark line instead of a black strip of letter shapes.
    t.push_back({"data\\logo-opacity.jpg", [](int s) { return maskFrom(coverageFromText(512 * s, 256 * s, ".quellDrift", 92 * s), 6 * s, 0.6); }});
    t.push_back({"data\\logo-background.jpg", [](int s) { return titleWater(512 * s); }});
    // The credits sit right of "brakkwell" and above the logo; the right part of their Layer
    // lies past the screen's edge.
    t.push_back({"data\\logo-credits.jpg", [=](int s) {
        return textInBox(1024 * s, 128 * s, {0.17, 0.14, 0.85, 0.68},
                         {{"code kestrel  \xb7  pictures moira", 1.0, pale}, {"music tidewalker", 1.0, pale}}, 0.9f,
                         glyphWidthOn(1024, 128, 1.56, 0.27));
    }});
    t.push_back({"data\\logo-brakkwell.jpg", [=](int s) { return textLineInBox(256 * s, 128 * s, {0.08, 0.08, 0.95, 0.45}, "brakkwell", warm, glyphWidthOn(256, 128, 0.78, 0.56)); }});
    // Right of "we are getting deeper", below the logo.
    // Below the credits: a depth sounder's trace rather than the group and title again.
    t.push_back({"data\\logo-quelldrift.jpg", [=](int s) { return depthTrace(1024 * s, 128 * s, {0.14, 0.12, 0.64, 0.88}, ice); }});
    t.push_back({"data\\logo-wearegetting.jpg", [=](int s) { return textLineInBox(1024 * s, 128 * s, {0.03, 0.15, 0.74, 0.85}, "we are getting deeper", pale,
                                                                                       glyphWidthOn(1024, 128, 0.9, 0.14)); }});
    t.push_back({"data\\black.jpg", [](int) { return flatPicture(64, {0, 0, 0}); }});
    t.push_back({"data\\white.jpg", [](int) { return flatPicture(64, {1, 1, 1}); }});
    // The wire overlays' colour: dense wire meshes add up line over line.
    t.push_back({"data\\blue.jpg", [](int) { return flatPicture(64, {0.1f, 0.19f, 0.45f}); }});
    // The light scene.
    t.push_back({"data\\felsen.jpg", [](int) { return rockTexture(512); }});
    // The two maps that are also drawn additively (the intestine, the light scene's ripple
    // layer) stay dark on average, with small highlights, so layers of them do not wash out.
    t.push_back({"data\\envmap.jpg", [](int) { return tunnelMap(256); }});
    t.push_back({"data\\envmap2.jpg", [](int) {
        return sphereMap(256, {0.08f, 0.2f, 0.35f}, {0.35f, 0.5f, 0.6f}, {0.01f, 0.03f, 0.07f}, {0.8f, 0.9f, 1.0f}, 2.2);
    }});
    t.push_back({"data\\envmap4.jpg", [](int) { return opalMap(256); }});
    // The cupolas' mirror: a dusky violet sky over the orange horizon of the sheet, so the
    // domes show a reflection rather than a white disc.
    t.push_back({"data\\envmap5.jpg", [](int) {
        Canvas c = sphereMap(256, {0.12f, 0.1f, 0.3f}, {0.85f, 0.45f, 0.3f}, {0.18f, 0.05f, 0.22f}, {1.0f, 0.85f, 0.6f}, 0.5);
        Canvas stars = makeCanvas(c.width, c.height);
        SeededRandom random = seededRandom(351);
        for (int k = 0; k < 40; ++k)
            addGlow(&stars, nextUniform(&random) * c.width, nextUniform(&random) * c.height * 0.45, 2.5,
                    {0.7f, 0.7f, 0.8f}, 2.0);
        addCanvas(&c, stars, 1.0f);
        clampCanvas(&c);
        return c;
    }});
    // The light scene's 1500 sparks: dim enough that where they crowd round the stone they
    // glow rather than merge into a white blot.
    t.push_back({"data\\atom1.jpg", [](int) { return glowPicture(128, {0.45f, 0.62f, 0.85f}, 2.5, 1.0); }});
    t.push_back({"data\\flare2.jpg", [](int) { return starFlare(256, {0.9f, 0.8f, 0.62f}, {0.9f, 0.62f, 0.35f}, 6); }});
    // The swarm glows are drawn by the thousand, additively: small bright cores, fast falloff.
    t.push_back({"data\\flare3.jpg", [](int) { return glowPicture(128, {0.25f, 0.9f, 0.6f}, 3.5, 1.0); }});
    t.push_back({"data\\flare4.jpg", [](int) { return glowPicture(128, {0.9f, 0.25f, 0.7f}, 3.5, 1.0); }});
    t.push_back({"data\\flare5.jpg", [](int) { return glowPicture(128, {0.9f, 0.5f, 0.15f}, 4.0, 1.0); }});
    t.push_back({"data\\lens1.jpg", [](int) { return lensRing(256, {0.5f, 0.7f, 1.0f}, 0.7, 0.05); }});
    t.push_back({"data\\lens2.jpg", [](int) { return hexDisc(256, {0.6f, 1.0f, 0.7f}); }});
    t.push_back({"data\\lens3.jpg", [](int) { return glowPicture(128, {1.0f, 0.95f, 0.8f}, 5.0, 1.0); }});
    t.push_back({"data\\lens4.jpg", [](int) { return rainbowHalo(256); }});
    t.push_back({"data\\innenwelt-background.jpg", [](int s) { return innerWorld(512 * s); }});
    t.push_back({"data\\innenwelt-opacity.jpg", [](int s) { return maskFrom(innerFrameShape(512 * s), 2 * s); }});
    t.push_back({"data\\innenwelt-vordergrund.jpg", [](int s) {
        return shadedShape(innerFrameShape(512 * s), {0.25f, 0.05f, 0.1f}, {0.9f, 0.45f, 0.5f}, {1.0f, 0.6f, 0.4f}, 62);
    }});
    // The neural net.
    t.push_back({"data\\netz-map.jpg", [](int) { return netTexture(256); }});
    t.push_back({"data\\netz-back.jpg", [](int s) { return nebula(512 * s, {0.05f, 0.1f, 0.4f}, {0.2f, 0.05f, 0.35f}, 101, 0.6); }});
    t.push_back({"data\\netz-flare.jpg", [](int) {
        // A thin, dim shock ring with an empty middle: a hundred of these burst out of each
        // light at once at every size from large to nothing, and rings of different sizes
        // cross each other instead of piling up into a white disc at the light. Black inside
        // and outside the ring, so only the ring itself is drawn of the large squares; its
        // radius is under a third of the square's, so the largest rings spread around the
        // light rather than over the whole screen, and there is a third as much ring to fill.
        // The five balls in the intestine wear the same picture.
        Canvas c = makeCanvas(256, 256);
        addRing(&c, 128, 128, 40, 3.0, {0.05f, 0.08f, 0.2f});
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\helmchen.jpg", [](int s) {
        Coverage shape = helmetShape(512 * s, 512 * s), openings = helmetOpenings(512 * s, 512 * s);
        Canvas c = shadedShape(shape, {0.12f, 0.14f, 0.2f}, {0.75f, 0.8f, 0.92f}, {0.35f, 0.65f, 1.0f}, 111);
        // A polished stripe down the middle and the dark openings make it read as steel.
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                size_t i = size_t(y) * c.width + x;
                double stripe = std::exp(-std::pow((x - c.width * 0.38) / (c.width * 0.03), 2)) * 0.3 * shape.values[i];
                float* p = pixelAt(&c, x, y);
                for (int k = 0; k < 3; ++k) p[k] = float((p[k] + stripe) * (1.0 - openings.values[i] * 0.9));
            }
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\helm-op.jpg", [](int s) { return maskFrom(helmetShape(512 * s, 512 * s), 3 * s); }});
    // The greetings column, right of the flying text and the helmet, within the height it
    // drifts through. The Layer's wobble moves each row of vertices of its 10 x 10 grid up and
    // down as a whole, so each line (the heading, then the names in pairs) sits inside one row
    // of the grid: the rows squeeze and stretch, but the lines in them never run together.
    t.push_back({"data\\text-greetings.jpg", [](int) {
        const Colour head{1.0f, 0.9f, 0.6f}, name{0.88f, 0.96f, 1.0f};
        const int width = 512, height = 1024;
        const double cell = 1.0 / (GRID_ROWS - 1), margin = 0.14 * cell, glyph = glyphWidthOn(width, height, 1.0, 2.4);
        std::vector<std::vector<TextLine>> cells = {{{"greetings", 1.25, head}}};
        const char* names[] = {"nachtblau", "kelp crew", "moire", "fathom", "lumen", "ostrakon", "dunkelwerk", "saltglass",
                               "undertow", "and you"};
        for (size_t i = 0; i < std::size(names); i += 2) cells.push_back({{names[i], 1.0, name}, {names[i + 1], 1.0, name}});
        // Rows 1 to 6 of the grid stay on the screen while the column drifts.
        auto boxOf = [&](size_t k) { return Box{0.54, (k + 1) * cell + margin, 0.93, (k + 2) * cell - margin}; };
        int size = height;
        for (size_t k = 0; k < cells.size(); ++k) size = std::min(size, fittingTextSize(width, height, boxOf(k), cells[k], glyph));
        Canvas sharp = makeCanvas(width, height);
        for (size_t k = 0; k < cells.size(); ++k) addTextLines(&sharp, boxOf(k), cells[k], size, glyph);
        return withHalo(sharp, size, 0.5f);
    }});
    // The artery.
    t.push_back({"data\\aterie-map.jpg", [](int) { return veinTexture(256, {0.5f, 0.08f, 0.08f}, {1.0f, 0.45f, 0.35f}, 121); }});
    t.push_back({"data\\blut2.jpg", [](int) { return glowPicture(64, {1.0f, 0.15f, 0.1f}, 1.6, 1.0); }});
    t.push_back({"data\\embryo-f.jpg", [](int s) {
        const int n = 512 * s;
        Coverage body = embryoShape(n, n), cord = embryoCord(n, n);
        // Only the cord's free length shows; where it lies over the body it is hidden.
        for (size_t i = 0; i < cord.values.size(); ++i) cord.values[i] *= 1.0f - body.values[i];
        Canvas c = shadedShape(body, {0.45f, 0.12f, 0.16f}, {1.0f, 0.78f, 0.72f}, {1.0f, 0.5f, 0.4f}, 131);
        addCanvas(&c, shadedShape(cord, {0.4f, 0.1f, 0.15f}, {0.9f, 0.55f, 0.6f}, {0.6f, 0.2f, 0.2f}, 132), 0.8f);
        // The head, the arm and the leg stand out from the body by their creases; a closed eye.
        addCrease(&c, embryoPart(n, n, 0), n / 160 + 1, 0.45f);
        addCrease(&c, embryoPart(n, n, 2), n / 200 + 1, 0.5f);
        addGlow(&c, n * embryoX(0.39), n * embryoY(0.32), n * 0.03 * EMBRYO_SCALE, {-0.5f, -0.45f, -0.4f}, 1.2);
        addGlow(&c, n * embryoX(0.46), n * embryoY(0.36), n * 0.2 * EMBRYO_SCALE, {0.15f, 0.08f, 0.06f}, 2.0);
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\embryo-o.jpg", [](int s) {
        Coverage shape = embryoShape(512 * s, 512 * s), cord = embryoCord(512 * s, 512 * s);
        for (size_t i = 0; i < shape.values.size(); ++i) shape.values[i] = std::max(shape.values[i], cord.values[i]);
        return maskFrom(shape, 4 * s);
    }});
    // The last take of scene 5 shows this picture alone for eleven seconds, slowly pushed in:
    // the fish swims in a sea that fills the picture to its edges, with shafts, bubbles and
    // spreading rings that the push-in carries outwards, into scene 6's underwater world.
    t.push_back({"data\\fishpic.jpg", [](int s) {
        const int n = 512 * s;
        const Coverage shape = fishShape(n, n);
        Canvas c = fishSea(n);
        Canvas fish = silhouettePicture(shape, {0.1f, 0.25f, 0.5f}, {1.0f, 0.8f, 0.3f}, {0.3f, 0.7f, 1.0f}, 141);
        // Scales, three dark bands across the body, rays in the fins, a paler belly.
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const double u = double(x) / n, v = double(y) / n, cell = 0.03;
                const double row = std::floor(v / cell), sx = std::fmod(u + (int(row) % 2) * cell * 0.5, cell) / cell;
                const double arc = std::fabs(std::hypot(sx - 0.5, (v / cell - row) * 1.2) - 0.55);
                const double scale = 1.0 - 0.15 * clamp01(1.0 - arc / 0.09);
                const double d = std::min({std::fabs(u - 0.4), std::fabs(u - 0.52), std::fabs(u - 0.63)});
                const double band = 1.0 - 0.4 * std::exp(-d * d / (0.016 * 0.016));
                const double ray = u > 0.74 ? 0.8 + 0.2 * std::cos(std::atan2(v - 0.5, u - 0.7) * 36) : 1.0;
                const double belly = 1.0 + 0.35 * clamp01((v - 0.5) / 0.15);
                float* p = pixelAt(&fish, x, y);
                for (int k = 0; k < 3; ++k) p[k] = float(p[k] * scale * band * ray * (k == 2 ? 1.0 : belly));
            }
        addGlow(&fish, n * 0.3, n * 0.46, 14.0 * s, {1, 1, 1}, 1.0);  // the eye
        addGlow(&fish, n * 0.3, n * 0.46, 6.0 * s, {-1, -1, -1}, 0.5);
        for (size_t i = 0; i < shape.values.size(); ++i)
            for (int k = 0; k < 3; ++k) c.pixels[i * 3 + k] = c.pixels[i * 3 + k] * (1.0f - shape.values[i]) + fish.pixels[i * 3 + k];
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\jesus.jpg", [](int s) {
        const int n = 512 * s;
        Canvas c = makeCanvas(n, n);
        addGlow(&c, n * 0.5, n * 0.25, n * 0.234, {0.8f, 0.68f, 0.4f}, 1.5);  // halo
        addRing(&c, n * 0.5, n * 0.25, n * 0.121, n * 0.008, {0.9f, 0.8f, 0.5f});
        // Rays behind the figure, fanning out from the head.
        for (int k = 0; k < 16; ++k) {
            double a = PI * (k + 0.5) / 8;
            addShaft(&c, n * 0.5, n * 0.25, a, n * 0.5, n * 0.004, 0.06, {0.22f, 0.18f, 0.1f});
        }
        Coverage shape = figureShape(n, n);
        Canvas figure = silhouettePicture(shape, {0.2f, 0.15f, 0.1f}, {0.85f, 0.8f, 0.7f}, {1.0f, 0.8f, 0.5f}, 151);
        // Folds down the robe.
        Coverage folds = makeCoverage(n, n);
        for (int k = -2; k <= 2; ++k) coverCapsule(&folds, n * (0.5 + k * 0.025), n * 0.5, n * (0.5 + k * 0.045), n * 0.95, n * 0.004);
        blurCoverage(&folds, n / 256 + 1);
        for (size_t i = 0; i < folds.values.size(); ++i)
            for (int k = 0; k < 3; ++k) figure.pixels[i * 3 + k] *= 1.0f - 0.5f * folds.values[i];
        // The figure stands in front of the halo and the rays.
        for (size_t i = 0; i < shape.values.size(); ++i)
            for (int k = 0; k < 3; ++k) c.pixels[i * 3 + k] *= 1.0f - shape.values[i];
        addCanvas(&c, figure, 1.0f);
        clampCanvas(&c);
        return c;
    }});
    // "light" sits on the common centre of its two Layers, in the band that stays on the
    // screen while the text is stretched to double height.
    t.push_back({"data\\text-light.jpg", [=](int s) { return textLineInBox(512 * s, 256 * s, {0.22, 0.31, 0.78, 0.44}, "light", {1.0f, 0.92f, 0.75f},
                                                                             glyphWidthOn(512, 256, 1.8, 1.0)); }});
    // Low and left of the middle: the small copy above the large one, both between the helmet
    // and the greetings. Nearly white: the composition shows it at 0.6 and 0.3 of its light.
    t.push_back({"data\\text-flyout.jpg", [=](int s) {
        return textLineInBox(512 * s, 256 * s, {0.33, 0.74, 0.58, 0.96}, "fly out", {0.88f, 1.0f, 1.0f}, glyphWidthOn(512, 256, 1.5, 0.9));
    }});
    // The sea.
    t.push_back({"data\\meergrund.jpg", [](int) { return sandTexture(256); }});
    t.push_back({"data\\water.jpg", [](int) { return causticTexture(256, {0.6f, 0.9f, 1.0f}, 161); }});
    t.push_back({"data\\ballfish.jpg", [](int) { return scaleTexture(256); }});
    t.push_back({"data\\grass.jpg", [](int) { return seaweedTexture(256); }});
    // The water effect re-uploads these two from the 128 x 128 surface picture every frame.
    t.push_back({"data\\waterfx.jpg", [](int) { return waterSurface(128, 171); }});
    t.push_back({"data\\surface.jpg", [](int) { return waterSurface(128, 181); }});
    // The intestine and the later inserts.
    t.push_back({"data\\monks-op.jpg", [](int s) { return maskFrom(monksShape(256 * s, 512 * s), 3 * s); }});
    t.push_back({"data\\monks.jpg", [](int s) {
        const int w = 256 * s, h = 512 * s;
        Canvas c = silhouettePicture(monksShape(w, h), {0.15f, 0.1f, 0.2f}, {0.6f, 0.5f, 0.8f}, {0.9f, 0.6f, 1.0f}, 191);
        for (int m = 0; m < 3; ++m) {
            // Nearer monks overlap the ones behind: each one's outline is drawn over the others.
            addCrease(&c, monkShape(w, h, m), w / 128 + 1, 0.5f);
            Coverage shadows = monkShadows(w, h, m);
            blurCoverage(&shadows, w / 100 + 1);
            for (size_t i = 0; i < shadows.values.size(); ++i)
                for (int k = 0; k < 3; ++k) c.pixels[i * 3 + k] *= 1.0f - 0.65f * shadows.values[i];
        }
        clampCanvas(&c);
        return c;
    }});
    // The two crossing texts pass each other in separate bands near the bottom.
    t.push_back({"data\\text-checkourgift.jpg", [=](int s) { return textLineInBox(1024 * s, 128 * s, {0.12, 0.5, 0.88, 0.96}, "check our gift", warm,
                                                                                     glyphWidthOn(1024, 128, 2.2, 0.5)); }});
    t.push_back({"data\\text-webringyoudemo.jpg", [=](int s) { return textLineInBox(1024 * s, 128 * s, {0.12, 0.06, 0.88, 0.56}, "we bring you demo", ice,
                                                                                         glyphWidthOn(1024, 128, 2.2, 0.5)); }});
    // Across the whole strip, so the three scrolling copies read at a good size (the strip is
    // shown two and a half times taller than its picture is wide), and just below the middle
    // of its length: the brightest copy rises through the screen while the two texts cross
    // below it, and no copy meets them.
    t.push_back({"data\\text-driftwelling.jpg", [=](int s) {
        return verticalTextInBox(128 * s, 1024 * s, {0.06, 0.463, 0.94, 0.569}, "drift welling", pale, glyphWidthOn(128, 1024, 0.3, 8.0));
    }});
    t.push_back({"data\\fader.jpg", [](int s) { return faderPicture(256 * s); }});
    t.push_back({"data\\vogel-op.jpg", [](int s) { return maskFrom(birdShape(512 * s, 512 * s), 3 * s); }});
    t.push_back({"data\\vogel.jpg", [](int s) {
        const int n = 512 * s;
        Canvas c = silhouettePicture(birdShape(n, n), {0.3f, 0.1f, 0.05f}, {1.0f, 0.7f, 0.3f}, {1.0f, 0.9f, 0.5f}, 201);
        for (int part = 1; part < BIRD_PARTS; ++part) addCrease(&c, birdPart(n, n, part), n / 256 + 1, 0.45f);
        addGlow(&c, n * 0.685, n * 0.462, n * 0.01, {-1, -1, -1}, 0.8);  // the eye
        clampCanvas(&c);
        return c;
    }});
    t.push_back({"data\\text-scream.jpg", [](int s) { return textLineInBox(1024 * s, 128 * s, {0.3, 0.04, 0.7, 0.4}, "scream", {1.0f, 0.6f, 0.5f}); }});
    t.push_back({"data\\feuer-opacity.jpg", [](int s) { return maskFrom(fireSpitterShape(512 * s, 512 * s), 3 * s); }});
    t.push_back({"data\\feuer-spucker.jpg", [](int s) {
        const int n = 512 * s;
        // A dark figure, lit at its rim by its own fire.
        Canvas c = silhouettePicture(fireSpitterShape(n, n), {0.04f, 0.03f, 0.05f}, {0.32f, 0.22f, 0.2f}, {1.0f, 0.55f, 0.25f}, 211);
        // The flame leaves the mouth to the left and widens; every glow ends inside the
        // picture's right three quarters, so no edge of it is ever cut.
        for (int i = 0; i < 40; ++i) {
            double f = i / 39.0, radius = n * (0.03 + f * 0.1);
            double x = n * (0.64 - f * 0.24), y = n * (0.45 - f * 0.06 * std::sin(f * 5));
            addGlow(&c, x, y, std::min(radius, x - n * 0.26),
                    {float(0.5 * (1 - f * 0.3)), float(0.3 * (1 - f)), float(0.06 * (1 - f))}, 1.5);
        }
        clampCanvas(&c);
        return c;
    }});
    // Left of the middle of its picture: the two copies crossing from the right are both wholly
    // on the screen a little before the middle of their passage, as the shutters start to close.
    t.push_back({"data\\text-wewant.jpg", [=](int s) { return textLineInBox(1024 * s, 128 * s, {0.12, 0.06, 0.6, 0.4}, "we want more", warm); }});
    // "inside" along the top, above the embryo; "outside" a tall column at the right, beside
    // it: they never meet.
    t.push_back({"data\\text-inside.jpg", [=](int s) {
        return textLineInBox(512 * s, 128 * s, {0.3, 0.2, 0.64, 0.84}, "inside", {1.0f, 0.75f, 0.72f}, glyphWidthOn(512, 128, 2.0, 0.5));
    }});
    t.push_back({"data\\text-outside.jpg", [=](int s) {
        return verticalTextInBox(128 * s, 1024 * s, {0.03, 0.3, 0.76, 0.7}, "outside", {0.75f, 0.9f, 1.0f}, glyphWidthOn(128, 1024, 0.5, 4.0));
    }});
    // On the common centre of its two Layers.
    t.push_back({"data\\text-brakkwell.jpg", [=](int s) { return textLineInBox(512 * s, 256 * s, {0.3, 0.36, 0.7, 0.64}, "brakkwell", {1.0f, 0.82f, 0.45f},
                                                                                  glyphWidthOn(512, 256, 1.8, 0.8)); }});
    return t;
}

}  // namespace

std::vector<std::string> pictureNames() {
    const char* paths[TEXTURE_SLOTS];
    const int count = listSlotPictures(paths, TEXTURE_SLOTS);
    return std::vector<std::string>(paths, paths + std::max(count, 0));
}

int writePictures(const std::string& dir, int scale) {
    if (!findTextFonts(&BOLD_FONT, &SERIF_FONT)) return 0;
    if (measureTextLine(BOLD_FONT, 20, "x") < 0 || measureTextLine(SERIF_FONT, 20, "x") < 0) {
        std::fprintf(stderr, "make-data: FreeType cannot read %s or %s\n", BOLD_FONT.c_str(), SERIF_FONT.c_str());
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
        Canvas canvas = painter->paint(scale);
        if (canvas.width == 0) {
            std::fprintf(stderr, "make-data: the painter of %s painted nothing\n", name.c_str());
            return 0;
        }
        if (!saveJpeg(canvas, path)) {
            reportCannotWrite(path);
            return 0;
        }
    }
    return 1;
}
