// Reader for Windows BMP files and bare device-independent bitmaps.
#pragma once

#include "assets/texture_table.h"

// Reads the file into a new Picture of red-green-blue rows in stored order (the first row is
// the bottom of the image for a positive height). On failure shows one message and returns null.
Picture* loadDib(const char* path);
