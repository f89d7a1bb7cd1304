// PNG writing through libpng. The file is written as a partial file of its own name and renamed
// when complete, so an interrupted capture never leaves a truncated picture that looks finished.
// libpng reports errors by long jump; everything it allocated is released on that path too. Its
// own words ("Write Error") stay unsaid: the caller names the file and the system's reason,
// which errno still holds from the write that failed.
#include "png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>

#include "partial_files.h"

namespace {

// Fast deflate: capture writes thousands of frames, and level 3 is within a few percent of the
// default size at a fraction of its time.
constexpr int PNG_COMPRESSION_LEVEL = 3;

[[noreturn]] void stopOnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignorePngWarning(png_structp, png_const_charp) {}

int writePngFile(FILE* file, const uint8_t* rgb, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnPngError,
                                              ignorePngWarning);
    if (!png) return 0;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return 0;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_init_io(png, file);
    png_set_compression_level(png, PNG_COMPRESSION_LEVEL);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgb + static_cast<size_t>(y) * width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return 1;
}

}  // namespace

int writePng(const char* path, const uint8_t* rgb, int width, int height) {
    if (!path || !rgb || width <= 0 || height <= 0) {
        errno = EINVAL;
        return 0;
    }
    char partial[PARTIAL_NAME_CAPACITY];
    if (!createPartialFile(path, partial, sizeof partial)) return 0;
    errno = 0;
    FILE* file = std::fopen(partial, "wb");
    int written = file && writePngFile(file, rgb, width, height);
    int reason = errno;
    // A full disk may show only when the last buffered bytes are written out.
    if (file && std::fclose(file) != 0 && written) {
        written = 0;
        reason = errno;
    }
    if (!written) {
        discardPartialFile(partial);
        errno = reason ? reason : EIO;
        return 0;
    }
    return finishPartialFile(partial, path);
}
