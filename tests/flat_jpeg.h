// Writing small test pictures: flat-colour JPEG files through libjpeg and 24-bit BMP files
// written by hand, so fixtures whose expected screen colours follow from the picture colours
// can be made from code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A width x height JPEG of one colour, at the highest quality. False when it cannot be written.
bool writeFlatJpeg(const std::string& path, int width, int height, uint8_t r, uint8_t g,
                   uint8_t b);
// A 24-bit BMP from red-green-blue pixels, first row at the bottom (as the file stores rows).
bool writeBmp24(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
