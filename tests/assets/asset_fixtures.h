// Fixtures for the asset reader tests: a scratch directory per test process, files written from
// bytes, JPEG pictures encoded on the spot, and a collector for the messages the readers show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// After <cstddef> and <cstdio>: the header uses size_t and FILE without declaring them.
#include <jpeglib.h>

#include "platform/platform.h"

namespace assetFixtures {

// A directory of its own for this test process, made on first use.
inline const std::string& scratchDir() {
    static std::string dir = [] {
        char pattern[] = "/tmp/qd-assets-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

inline std::string scratchPath(const std::string& name) { return scratchDir() + "/" + name; }

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

inline void writeText(const std::string& path, const std::string& text) {
    writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// Every message box shown while it lives, in order.
struct MessageLog {
    static std::vector<std::string>& messages() {
        static std::vector<std::string> all;
        return all;
    }
    static void collect(const char* caption, const char* text) {
        messages().push_back(std::string(caption) + "|" + text);
    }
    MessageLog() {
        messages().clear();
        setMessageSink(collect);
    }
    ~MessageLog() { setMessageSink(nullptr); }
    const std::vector<std::string>& all() const { return messages(); }
};

// RgbStored keeps the colours as red-green-blue inside the file (an Adobe marker says so).
enum class JpegKind { Colour, Grey, Progressive, Cmyk, RgbStored };

// Encodes width x height pixels (3 bytes red-green-blue each, or 1 grey byte, or 4 CMYK bytes,
// rows top first) as a JPEG of quality 100.
inline std::vector<uint8_t> encodeJpeg(int width, int height, const std::vector<uint8_t>& pixels,
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

// A picture whose top half is one colour and bottom half another, red-green-blue rows top first.
inline std::vector<uint8_t> twoBands(int width, int height, const uint8_t top[3],
                                     const uint8_t bottom[3]) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                pixels[(static_cast<size_t>(y) * width + x) * 3 + c] =
                    y < height / 2 ? top[c] : bottom[c];
    return pixels;
}

}  // namespace assetFixtures
