// Saving canvases: JPEG through libjpeg (baseline, fixed quality, no timestamps, so the bytes
// depend on the pixels alone) and uncompressed 24-bit BMP written by hand, bottom row first
// with blue-green-red pixels and rows padded to four bytes, as the BMP format stores them. Both
// are made in memory and written whole, as every data file is.
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "canvas.h"
#include "data_file_writer.h"

static uint8_t toByte(float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

int saveJpeg(const Canvas& canvas, const std::string& path) {
    unsigned char* encoded = nullptr;
    unsigned long encodedSize = 0;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &encoded, &encodedSize);
    info.image_width = JDIMENSION(canvas.width);
    info.image_height = JDIMENSION(canvas.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(canvas.width) * 3);
    while (info.next_scanline < info.image_height) {
        const float* src = &canvas.pixels[size_t(info.next_scanline) * canvas.width * 3];
        for (size_t i = 0; i < row.size(); ++i) row[i] = toByte(src[i]);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const int written = writeWholeFile(path, encoded, encodedSize);
    std::free(encoded);
    return written;
}

static void putLe(std::vector<uint8_t>* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(uint8_t(value >> (8 * i)));
}

int saveBmp(const Canvas& canvas, const std::string& path) {
    uint32_t rowBytes = (uint32_t(canvas.width) * 3 + 3) & ~3u;
    uint32_t imageBytes = rowBytes * uint32_t(canvas.height);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    putLe(&out, 54 + imageBytes, 4);
    putLe(&out, 0, 4);
    putLe(&out, 54, 4);
    putLe(&out, 40, 4);  // BITMAPINFOHEADER
    putLe(&out, uint32_t(canvas.width), 4);
    putLe(&out, uint32_t(canvas.height), 4);
    putLe(&out, 1, 2);
    putLe(&out, 24, 2);
    putLe(&out, 0, 4);  // no compression
    putLe(&out, imageBytes, 4);
    putLe(&out, 2835, 4);
    putLe(&out, 2835, 4);
    putLe(&out, 0, 4);
    putLe(&out, 0, 4);
    for (int y = canvas.height - 1; y >= 0; --y) {
        const float* src = &canvas.pixels[size_t(y) * canvas.width * 3];
        for (int x = 0; x < canvas.width; ++x) {
            out.push_back(toByte(src[x * 3 + 2]));
            out.push_back(toByte(src[x * 3 + 1]));
            out.push_back(toByte(src[x * 3]));
        }
        for (uint32_t pad = uint32_t(canvas.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return writeWholeFile(path, out.data(), out.size());
}
