// Reader for Windows BMP files and bare device-independent bitmaps.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/texture_table.h"

// Reads the file into a new Picture of red-green-blue rows in stored order (the first row is
// the bottom of the image for a positive height). On failure shows one message and returns null.
Picture* loadDib(const char* path);
// The same from bytes already in memory (a whole BMP file, or a bitmap header followed by its
// colour table and pixels). Shows one message and returns null when they cannot be converted.
// Width and height are the header's (a negative height keeps its sign; |height| rows are copied).
// Pictures larger than MAX_PICTURE_SIDE on a side are "Out of memory."; with a `name`, stderr
// also gets the reason.
Picture* decodeDib(const uint8_t* bytes, size_t size, const char* name = nullptr);
