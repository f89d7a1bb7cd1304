// JPEG decoding with libjpeg-turbo, delivering blue-green-red rows top first for the texture
// loader. The library reports fatal errors through a callback that would normally end the
// process; here it jumps back to the decoder, which releases the library's state and fails, so
// a missing, truncated or corrupt picture is only a picture that did not load. Warnings about
// corrupt data (including a file that ends early) stop the decoding in the same way. Grey, YCbCr
// and RGB files (3 channels marked as RGB by an Adobe marker) are accepted; CMYK and YCCK are
// refused. So are pictures larger than MAX_PICTURE_SIDE on a side, or of more pixels than the
// caller allows, before anything is allocated or decoded for them, and progressive files of more than MAX_JPEG_SCANS scans: the library reads every
// scan of a progressive file before the first row comes out, and each scan is a pass over the
// whole picture. Why a picture failed is kept in words for the caller's stderr line.
#include <csetjmp>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

// After <cstddef> and <cstdio>: the header uses size_t and FILE without declaring them.
#include <jpeglib.h>

#include "platform/platform.h"

namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;  // first, so the library's pointer is also ours
    jmp_buf escape;
    char problem[JMSG_LENGTH_MAX + 64];
};

void jumpOnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    if (manager->problem[0] == '\0') info->err->format_message(info, manager->problem);
    std::longjmp(manager->escape, 1);
}

// Called before every piece of input the library takes in, and so at the start of every scan.
void limitScans(j_common_ptr info) {
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number <= MAX_JPEG_SCANS) return;
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    std::snprintf(manager->problem, sizeof manager->problem,
                  "a progressive file of more than %d scans", MAX_JPEG_SCANS);
    std::longjmp(manager->escape, 1);
}

// Level -1 is a warning about corrupt data (a file that ends early among them): decoding stops
// at once, as for an error. Trace messages (levels 0 and up) are ignored.
void stopOnWarning(j_common_ptr info, int level) {
    if (level < 0) jumpOnError(info);
}

void silentOutput(j_common_ptr) {}

// Everything the decoder owns lives here, outside the registers that longjmp may restore.
struct JpegJob {
    jpeg_decompress_struct info;
    JpegErrorManager errors;
    jpeg_progress_mgr progress;
    unsigned char* pixels;
    int width;
    int height;
};

// Leaves why the picture is refused in the job; always 0.
int refuse(JpegJob* job, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(job->errors.problem, sizeof job->errors.problem, format, args);
    va_end(args);
    return 0;
}

int decodeInto(JpegJob* job, const unsigned char* bytes, size_t size, int64_t maxPixels) {
    jpeg_decompress_struct* info = &job->info;
    info->err = jpeg_std_error(&job->errors.base);
    job->errors.base.error_exit = jumpOnError;
    job->errors.base.emit_message = stopOnWarning;
    job->errors.base.output_message = silentOutput;
    if (setjmp(job->errors.escape)) return 0;

    jpeg_create_decompress(info);
    job->progress.progress_monitor = limitScans;
    info->progress = &job->progress;
    jpeg_mem_src(info, bytes, static_cast<unsigned long>(size));
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return 0;
    job->width = static_cast<int>(info->image_width);
    job->height = static_cast<int>(info->image_height);
    const bool grey = info->jpeg_color_space == JCS_GRAYSCALE && info->num_components == 1;
    const bool colour =
        (info->jpeg_color_space == JCS_YCbCr || info->jpeg_color_space == JCS_RGB) &&
        info->num_components == 3;
    if (!grey && !colour) return refuse(job, "colours that are neither grey nor YCbCr nor RGB");
    info->out_color_space = JCS_EXT_BGR;

    if (info->image_width == 0 || info->image_height == 0) return refuse(job, "an empty picture");
    if (info->image_width > MAX_PICTURE_SIDE || info->image_height > MAX_PICTURE_SIDE)
        return refuse(job, "%u x %u pixels, more than %d on a side", info->image_width,
                      info->image_height, MAX_PICTURE_SIDE);
    if (static_cast<int64_t>(info->image_width) * info->image_height > maxPixels)
        return refuse(job, "%u x %u pixels, more than the %lld left to the pictures",
                      info->image_width, info->image_height, static_cast<long long>(maxPixels));
    const size_t rowBytes = static_cast<size_t>(info->image_width) * 3;
    job->pixels = static_cast<unsigned char*>(std::malloc(rowBytes * info->image_height));
    if (!job->pixels) return refuse(job, "no memory for %u x %u pixels", info->image_width,
                                    info->image_height);

    jpeg_start_decompress(info);
    if (info->output_components != 3 || info->output_width != info->image_width ||
        info->output_height != info->image_height)
        return 0;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = job->pixels + rowBytes * info->output_scanline;
        if (jpeg_read_scanlines(info, &row, 1) != 1) return 0;
    }
    jpeg_finish_decompress(info);
    return 1;
}

int decodeWithin(const unsigned char* bytes, size_t size, int64_t maxPixels, int* width,
                 int* height, unsigned char** pixels, char* problem, size_t problemSize) {
    auto* job = static_cast<JpegJob*>(std::calloc(1, sizeof(JpegJob)));
    if (!job) {
        *width = *height = 0;
        *pixels = nullptr;
        if (problem) std::snprintf(problem, problemSize, "no memory to decode it");
        return 0;
    }
    const int ok = decodeInto(job, bytes, size, maxPixels);
    // Released on every way out, also after the library jumped back with an error.
    jpeg_destroy_decompress(&job->info);
    if (!ok) {
        std::free(job->pixels);
        job->pixels = nullptr;
        if (problem)
            std::snprintf(problem, problemSize, "%s",
                          job->errors.problem[0] ? job->errors.problem : "not a JPEG it can read");
    }
    *width = job->width;
    *height = job->height;
    *pixels = job->pixels;
    std::free(job);
    return ok;
}

}  // namespace

int decodeJpegBytes(const unsigned char* bytes, size_t size, int* width, int* height,
                    unsigned char** pixels, char* problem, size_t problemSize) {
    return decodeWithin(bytes, size, INT64_MAX, width, height, pixels, problem, problemSize);
}

int decodeJpeg(const char* path, int* width, int* height, unsigned char** pixels,
               int64_t maxPixels) {
    *width = *height = 0;
    *pixels = nullptr;
    uint8_t* bytes = nullptr;
    size_t size = 0;
    if (readDataFile(path, &bytes, &size) != DATA_FILE_READ) return 0;
    char problem[256];
    const int ok =
        decodeWithin(bytes, size, maxPixels, width, height, pixels, problem, sizeof problem);
    std::free(bytes);
    if (!ok) explainFailure("%s: %s", path, problem);
    return ok;
}
