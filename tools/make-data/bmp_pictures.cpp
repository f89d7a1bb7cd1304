// The two 128 x 128 BMP pictures of the water effects. "surface.bmp" is the water surface
// colour that the warp shifts around; "water.bmp" is a smooth height field whose brightness
// slopes become the warp's displacement, so it must vary gently and tile without seams.
#include <cmath>
#include <cstdio>

#include "canvas.h"
#include "data_file_path.h"
#include "data_file_writer.h"
#include "data_set.h"

int writeBmpPictures(const std::string& dir) {
    constexpr int SIZE = 128;
    Canvas surface = makeCanvas(SIZE, SIZE);
    Canvas water = makeCanvas(SIZE, SIZE);
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            double u = x * 4.0 / SIZE, v = y * 4.0 / SIZE;
            double n = tiledFractalNoise(u, v, 4, 4, 301);
            double glint = std::pow(std::fmax(0.0, n - 0.6) * 2.5, 2.0);
            float* s = pixelAt(&surface, x, y);
            s[0] = float(0.08 + 0.25 * n + glint);
            s[1] = float(0.3 + 0.4 * n + glint);
            s[2] = float(0.45 + 0.45 * n + glint * 0.8);
            double h = tiledFractalNoise(u * 0.5, v * 0.5, 2, 3, 302);
            float* w = pixelAt(&water, x, y);
            w[0] = w[1] = w[2] = float(h);
        }
    }
    clampCanvas(&surface);
    clampCanvas(&water);
    for (auto [name, canvas] : {std::pair{"data\\surface.bmp", &surface}, std::pair{"data\\water.bmp", &water}}) {
        std::string path = dataFilePath(dir, name);
        if (!saveBmp(*canvas, path)) {
            reportCannotWrite(path);
            return 0;
        }
    }
    return 1;
}
