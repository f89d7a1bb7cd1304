// Flat-colour JPEG and plain 24-bit BMP writers for test fixtures.
#include "flat_jpeg.h"

#include <jpeglib.h>

#include <cstdio>

bool writeFlatJpeg(const std::string& path, int width, int height, uint8_t r, uint8_t g,
                   uint8_t b) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int x = 0; x < width; ++x) {
        row[x * 3] = r;
        row[x * 3 + 1] = g;
        row[x * 3 + 2] = b;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

static void putLe(std::vector<uint8_t>* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

bool writeBmp24(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::vector<uint8_t> bytes = {'B', 'M'};
    putLe(&bytes, 54 + imageSize, 4);
    putLe(&bytes, 0, 4);
    putLe(&bytes, 54, 4);
    putLe(&bytes, 40, 4);
    putLe(&bytes, static_cast<uint32_t>(width), 4);
    putLe(&bytes, static_cast<uint32_t>(height), 4);
    putLe(&bytes, 1, 2);
    putLe(&bytes, 24, 2);
    putLe(&bytes, 0, 4);
    putLe(&bytes, imageSize, 4);
    putLe(&bytes, 2835, 4);
    putLe(&bytes, 2835, 4);
    putLe(&bytes, 0, 4);
    putLe(&bytes, 0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            bytes.push_back(pixel[2]);
            bytes.push_back(pixel[1]);
            bytes.push_back(pixel[0]);
        }
        for (int pad = width * 3; pad < stride; ++pad) bytes.push_back(0);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
