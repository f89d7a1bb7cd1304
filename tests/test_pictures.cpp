// Test picture writers: JPEGs through libjpeg, BMPs by hand.
#include "test_pictures.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>

// After <cstddef> and <cstdio>: the header uses size_t and FILE without declaring them.
#include <jpeglib.h>

std::vector<uint8_t> encodeJpeg(int width, int height, const std::vector<uint8_t>& pixels,
                                JpegKind kind) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    int components = 3;
    if (kind == JpegKind::Grey) {
        components = 1;
        info.in_color_space = JCS_GRAYSCALE;
    } else if (kind == JpegKind::Cmyk) {
        components = 4;
        info.in_color_space = JCS_CMYK;
    } else {
        info.in_color_space = JCS_RGB;
    }
    info.input_components = components;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (kind == JpegKind::Progressive) jpeg_simple_progression(&info);
    if (kind == JpegKind::RgbStored) jpeg_set_colorspace(&info, JCS_RGB);
    std::vector<jpeg_scan_info> scans;
    if (kind == JpegKind::ManyScans) {
        scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
        for (int component = 0; component < 3; ++component)
            for (int k = 1; k < 64; ++k) scans.push_back({1, {component, 0, 0, 0}, k, k, 0, 0});
        info.scan_info = scans.data();
        info.num_scans = static_cast<int>(scans.size());
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.data()) +
                       static_cast<size_t>(info.next_scanline) * width * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

bool writeFlatJpeg(const std::string& path, int width, int height, uint8_t r, uint8_t g,
                   uint8_t b) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = r;
        pixels[i + 1] = g;
        pixels[i + 2] = b;
    }
    const std::vector<uint8_t> bytes = encodeJpeg(width, height, pixels, JpegKind::Colour);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
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
