// PNG pictures of captured frames: 8-bit RGB, no time stamp or other varying chunk, so the same
// pixels always give the same file bytes.
#pragma once

#include <cstdint>

// Writes width x height x 3 bytes, red-green-blue, first row at the top, to `path`.
// 1 on success; 0 when the file cannot be written (nothing is left half-written under `path`),
// with errno saying why.
int writePng(const char* path, const uint8_t* rgb, int width, int height);
