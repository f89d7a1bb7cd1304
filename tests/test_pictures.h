// Writing small test pictures from code: JPEGs of every kind the decoder must handle, encoded
// with libjpeg, flat-colour JPEG files whose expected screen colours follow from the picture
// colour, and 24-bit BMP files written by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// RgbStored keeps the colours as red-green-blue inside the file (an Adobe marker says so).
// ManyScans is a progressive colour file of 190 scans: the DC scan, then one scan for each AC
// coefficient of each component.
enum class JpegKind { Colour, Grey, Progressive, Cmyk, RgbStored, ManyScans };

// Encodes width x height pixels (3 bytes red-green-blue each, or 1 grey byte, or 4 CMYK bytes,
// rows top first) as a JPEG of quality 100.
std::vector<uint8_t> encodeJpeg(int width, int height, const std::vector<uint8_t>& pixels,
                                JpegKind kind);
// A width x height JPEG of one colour, at the highest quality. False when it cannot be written.
bool writeFlatJpeg(const std::string& path, int width, int height, uint8_t r, uint8_t g,
                   uint8_t b);
// A 24-bit BMP from red-green-blue pixels, first row at the bottom (as the file stores rows).
bool writeBmp24(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
