// BMP reader: the water height map and the surface picture are BMP files. This decoder accepts
// "BM" files and bare bitmaps with the 12-byte core header or the 40-byte info header, colour
// tables, 1, 4, 8, 16 (5-5-5), 24 and 32 bits per pixel and 4- and 8-bit run-length coding, and
// turns every stored row into packed red-green-blue bytes, rows kept in stored order. Every
// offset and count that comes from the file is checked against its size: data that would be
// read past the end is a conversion error, never a read out of bounds.
#include "assets/bmp_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "shell/error_report.h"

namespace {

constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;

const char* const MESSAGE_OUT_OF_MEMORY = "Out of memory.";
const char* const MESSAGE_UNKNOWN_FORMAT = "Unknown DIB file format.";
const char* const MESSAGE_CONVERSION = "Image file conversion error.";

uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The source as the conversion sees it: the header's fields widened to the 40-byte layout and a
// colour table of red-green-blue entries.
struct DibSource {
    int32_t width;
    int32_t height;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t entryCount;
    uint8_t palette[256][3];  // red, green, blue; indices at or beyond entryCount are black
    const uint8_t* pixels;    // start of the pixel data inside the file
    size_t available;         // bytes from `pixels` to the end of the file
};

void paletteColour(const DibSource& source, uint32_t index, uint8_t* out) {
    if (index < source.entryCount && index < 256) {
        std::memcpy(out, source.palette[index], 3);
    } else {
        out[0] = out[1] = out[2] = 0;
    }
}

uint8_t widen5(uint32_t value) { return static_cast<uint8_t>((value << 3) | (value >> 2)); }

// One stored row of an uncompressed bitmap into packed red-green-blue.
void convertRow(const DibSource& source, const uint8_t* row, uint8_t* out) {
    for (int32_t x = 0; x < source.width; ++x, out += 3) {
        switch (source.bitCount) {
            case 1: paletteColour(source, (row[x >> 3] >> (7 - (x & 7))) & 1, out); break;
            case 4: paletteColour(source, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15, out); break;
            case 8: paletteColour(source, row[x], out); break;
            case 16: {
                const uint32_t v = readU16(row + 2 * x);
                out[0] = widen5((v >> 10) & 31);
                out[1] = widen5((v >> 5) & 31);
                out[2] = widen5(v & 31);
                break;
            }
            case 24:
            case 32: {
                const uint8_t* p = row + static_cast<size_t>(x) * (source.bitCount / 8);
                out[0] = p[2];
                out[1] = p[1];
                out[2] = p[0];
                break;
            }
        }
    }
}

int convertUncompressed(const DibSource& source, int32_t rows, uint8_t* out) {
    const size_t stride = ((static_cast<size_t>(source.bitCount) * source.width + 31) / 32) * 4;
    if (stride * static_cast<size_t>(rows) > source.available) return 0;
    for (int32_t y = 0; y < rows; ++y)
        convertRow(source, source.pixels + stride * y,
                   out + static_cast<size_t>(y) * source.width * 3);
    return 1;
}

// Run-length coded 8- or 4-bit pixels. Rows are decoded in stored order; pixels beyond the row
// are dropped, skipped pixels stay black. Runs out of data before the end-of-bitmap code: 0.
int convertRunLength(const DibSource& source, int32_t rows, uint8_t* out) {
    const bool fourBit = source.compression == BI_RLE4;
    const uint8_t* p = source.pixels;
    const uint8_t* end = source.pixels + source.available;
    int32_t x = 0, y = 0;
    auto put = [&](uint32_t index) {
        if (x < source.width && y < rows)
            paletteColour(source, index, out + (static_cast<size_t>(y) * source.width + x) * 3);
        ++x;
    };
    while (y < rows) {
        if (end - p < 2) return 0;
        const uint32_t count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count; ++i)
                put(fourBit ? ((i & 1) ? value & 15 : value >> 4) : value);
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return 1;
        } else if (value == 2) {  // move right and up
            if (end - p < 2) return 0;
            x += p[0];
            y += p[1];
            p += 2;
        } else {  // `value` literal pixels, padded to a 16-bit boundary
            const size_t bytes = fourBit ? (value + 1) / 2 : value;
            const size_t padded = (bytes + 1) & ~size_t{1};
            if (static_cast<size_t>(end - p) < padded) return 0;
            for (uint32_t i = 0; i < value; ++i)
                put(fourBit ? ((i & 1) ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
            p += padded;
        }
    }
    return 1;
}

// Fills `source` from the header at `header`; returns the message of the failure or null.
const char* describeSource(const uint8_t* bytes, size_t size, size_t headerOffset, bool fileHeader,
                           uint32_t pixelOffset, DibSource* source) {
    if (headerOffset + 4 > size) return MESSAGE_UNKNOWN_FORMAT;
    const uint8_t* header = bytes + headerOffset;
    const uint32_t headerSize = readU32(header);
    if (headerSize != CORE_HEADER_SIZE && headerSize != INFO_HEADER_SIZE)
        return MESSAGE_UNKNOWN_FORMAT;
    if (headerOffset + headerSize > size) return MESSAGE_CONVERSION;

    uint32_t coloursUsed = 0;
    if (headerSize == CORE_HEADER_SIZE) {
        source->width = readU16(header + 4);
        source->height = readU16(header + 6);
        source->bitCount = readU16(header + 10);
        source->compression = BI_RGB;
    } else {
        source->width = static_cast<int32_t>(readU32(header + 4));
        source->height = static_cast<int32_t>(readU32(header + 8));
        source->bitCount = readU16(header + 14);
        source->compression = readU32(header + 16);
        coloursUsed = readU32(header + 32);
    }
    uint32_t entries;
    if (coloursUsed != 0) {
        entries = coloursUsed & 0xFFFF;
    } else {
        entries = source->bitCount == 1   ? 2
                  : source->bitCount == 4 ? 16
                  : source->bitCount == 8 ? 256
                                          : 0;
    }
    const size_t entrySize = headerSize == CORE_HEADER_SIZE ? 3 : 4;
    const size_t tableOffset = headerOffset + headerSize;
    const size_t tableBytes = entrySize * entries;
    // Only the entries that a pixel can name are kept; the table itself must lie in the file.
    if (tableOffset + tableBytes > size) return MESSAGE_CONVERSION;
    source->entryCount = entries < 256 ? entries : 256;
    for (uint32_t i = 0; i < source->entryCount; ++i) {
        const uint8_t* entry = bytes + tableOffset + entrySize * i;
        source->palette[i][0] = entry[2];
        source->palette[i][1] = entry[1];
        source->palette[i][2] = entry[0];
    }
    const size_t pixelStart = fileHeader ? pixelOffset : tableOffset + tableBytes;
    if (pixelStart > size) return MESSAGE_CONVERSION;
    source->pixels = bytes + pixelStart;
    source->available = size - pixelStart;
    return nullptr;
}

bool formatConvertible(const DibSource& source) {
    if (source.width <= 0 || source.height == 0 || source.height == INT32_MIN) return false;
    switch (source.compression) {
        case BI_RGB:
            return source.bitCount == 1 || source.bitCount == 4 || source.bitCount == 8 ||
                   source.bitCount == 16 || source.bitCount == 24 || source.bitCount == 32;
        case BI_RLE8: return source.bitCount == 8 && source.height > 0;
        case BI_RLE4: return source.bitCount == 4 && source.height > 0;
        default: return false;
    }
}

}  // namespace

Picture* decodeDib(const uint8_t* bytes, size_t size, const char* name) {
    const bool fileHeader = size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    uint32_t pixelOffset = 0;
    size_t headerOffset = 0;
    if (fileHeader) {
        if (size < 14) {
            reportError(MESSAGE_UNKNOWN_FORMAT);
            return nullptr;
        }
        pixelOffset = readU32(bytes + 10);
        headerOffset = 14;
    }
    DibSource* source = static_cast<DibSource*>(std::malloc(sizeof(DibSource)));
    if (!source) {
        reportError(MESSAGE_OUT_OF_MEMORY);
        return nullptr;
    }
    const char* failure =
        describeSource(bytes, size, headerOffset, fileHeader, pixelOffset, source);
    if (!failure && !formatConvertible(*source)) failure = MESSAGE_CONVERSION;
    const int32_t rows = failure ? 0 : (source->height < 0 ? -source->height : source->height);
    // A run-length coded picture of a few bytes could otherwise ask for any size at all.
    if (!failure && (source->width > MAX_PICTURE_SIDE || rows > MAX_PICTURE_SIDE)) {
        if (name)
            explainFailure("%s: %d x %d pixels, more than %d on a side", name, source->width,
                           rows, MAX_PICTURE_SIDE);
        failure = MESSAGE_OUT_OF_MEMORY;
    }

    uint8_t* pixels = nullptr;
    Picture* picture = nullptr;
    if (!failure) {
        const size_t pixelBytes = static_cast<size_t>(source->width) * rows * 3;
        pixels = static_cast<uint8_t*>(std::calloc(pixelBytes, 1));
        if (!pixels) failure = MESSAGE_OUT_OF_MEMORY;
    }
    if (!failure) {
        const int converted = source->compression == BI_RGB
                                  ? convertUncompressed(*source, rows, pixels)
                                  : convertRunLength(*source, rows, pixels);
        if (!converted) failure = MESSAGE_CONVERSION;
    }
    if (!failure) {
        picture = static_cast<Picture*>(std::malloc(sizeof(Picture)));
        if (!picture) failure = MESSAGE_OUT_OF_MEMORY;
    }
    if (failure) {
        std::free(pixels);
        std::free(source);
        reportError(failure);
        return nullptr;
    }
    picture->width = source->width;
    picture->height = source->height;
    picture->pixels = pixels;
    std::free(source);
    return picture;
}

Picture* loadDib(const char* path) {
    // The whole file is read at once; an empty file counts as one that cannot be opened, as an
    // empty file cannot be mapped.
    uint8_t* bytes = nullptr;
    size_t size = 0;
    if (readDataFile(path, &bytes, &size) != DATA_FILE_READ || size == 0) {
        std::free(bytes);
        char message[1024];
        std::snprintf(message, sizeof message, "Failed to open DIB file %s.\n", path);
        reportError(message);
        return nullptr;
    }
    Picture* picture = decodeDib(bytes, size, path);
    std::free(bytes);
    return picture;
}
