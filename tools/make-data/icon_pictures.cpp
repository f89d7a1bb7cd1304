// The icon's painting and its PNG files. Opacity comes from the disc's anti-aliased coverage;
// colour is composed in floats as the data set's pictures are, and rounded once at the end.
#include "icon_pictures.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "canvas.h"

const std::vector<int> ICON_SIZES = {16, 24, 32, 48, 64, 128, 256};

namespace {

// The logo's own colours: the letter's deep and pale shading, its rim glow, and the two
// colours of the nebula behind it.
constexpr Colour LETTER_DEEP{0.1f, 0.35f, 0.6f};
constexpr Colour LETTER_PALE{0.68f, 0.88f, 0.96f};
constexpr Colour RIM{0.4f, 0.8f, 1.0f};
constexpr Colour NEBULA_BLUE{0.1f, 0.2f, 0.7f};
constexpr Colour NEBULA_VIOLET{0.6f, 0.2f, 0.8f};

// Of the icon's side: the disc's radius, and the letter's type size.
constexpr double DISC_RADIUS = 0.48;
constexpr double LETTER_SIZE = 0.78;

// The letter's coverage (0 to 1 per pixel), its ink centred on the icon.
Coverage centredLetter(int size, const std::string& font) {
    const int typeSize = std::max(8, int(std::lround(size * LETTER_SIZE)));
    auto draw = [&](double cx, double baseline, Canvas* canvas) {
        return addTextLine(canvas, font, typeSize, "q", cx, baseline, {1, 1, 1});
    };
    Canvas trial = makeCanvas(size, size);
    if (draw(size * 0.5, size * 0.6, &trial) < 0) return {};
    int left = size, right = -1, top = size, bottom = -1;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (pixelAt(&trial, x, y)[0] > 0.02f) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) return {};
    Canvas placed = makeCanvas(size, size);
    draw(size * 0.5 + (size - 1 - left - right) * 0.5, size * 0.6 + (size - 1 - top - bottom) * 0.5,
         &placed);
    Coverage letter = makeCoverage(size, size);
    for (size_t i = 0; i < letter.values.size(); ++i)
        letter.values[i] = std::min(1.0f, placed.pixels[i * 3]);
    return letter;
}

}  // namespace

RgbaPicture paintIcon(int size, const std::string& serifFont) {
    RgbaPicture icon;
    const Coverage letter = centredLetter(size, serifFont);
    if (letter.width == 0) return icon;
    Coverage halo = letter;
    blurCoverage(&halo, std::max(1, size / 40));

    const double centre = size * 0.5, radius = size * DISC_RADIUS;
    Coverage disc = makeCoverage(size, size);
    coverEllipse(&disc, centre, centre, radius, radius);
    Canvas rim = makeCanvas(size, size);
    addRing(&rim, centre, centre, radius - std::max(1.0, size * 0.03),
            std::max(0.5, size * 0.012), RIM);

    icon.width = icon.height = size;
    icon.rgba.resize(size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const size_t i = size_t(y) * size + x;
            // The nebula, brightest at the centre, over four tiles of noise across the icon.
            const double fromCentre = std::hypot(x + 0.5 - centre, y + 0.5 - centre) / radius;
            const double cloud = tiledFractalNoise(x * 4.0 / size, y * 4.0 / size, 4, 4, 91);
            const double light = 0.3 + 0.4 * std::max(0.0, 1.0 - fromCentre);
            Colour c = mixColour(NEBULA_BLUE, NEBULA_VIOLET, cloud);
            c = {float(c.r * light), float(c.g * light), float(c.b * light)};
            const float* r = pixelAt(&rim, x, y);
            c = {c.r + r[0], c.g + r[1], c.b + r[2]};
            const float glow = halo.values[i] * 0.7f;
            c = mixColour(c, RIM, glow);
            const Colour shade = mixColour(LETTER_PALE, LETTER_DEEP, double(y) / size);
            c = mixColour(c, shade, letter.values[i]);
            const float channels[4] = {c.r, c.g, c.b, disc.values[i]};
            for (int k = 0; k < 4; ++k)
                icon.rgba[i * 4 + k] =
                    uint8_t(std::lround(std::clamp(channels[k], 0.0f, 1.0f) * 255.0f));
        }
    return icon;
}

int writeIcons(const std::string& themeDir, const std::string& name, const std::string& serifFont) {
    for (int size : ICON_SIZES) {
        const std::string side = std::to_string(size);
        const std::filesystem::path folder =
            std::filesystem::path(themeDir) / (side + "x" + side) / "apps";
        const std::string path = (folder / (name + ".png")).string();
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const RgbaPicture icon = paintIcon(size, serifFont);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = png_uint_32(icon.width);
        image.height = png_uint_32(icon.height);
        image.format = PNG_FORMAT_RGBA;
        if (icon.width == 0 ||
            !png_image_write_to_file(&image, path.c_str(), 0, icon.rgba.data(), 0, nullptr)) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", path.c_str());
            return 0;
        }
    }
    return 1;
}
