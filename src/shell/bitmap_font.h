// The built-in 8 x 13 bitmap font, compiled into display lists on first use, and the loading
// screen drawn with it.
#pragma once

#include <cstdint>

constexpr int FONT_FIRST_CHAR = 32;
constexpr int FONT_GLYPHS = 95;
constexpr int FONT_ROWS = 13;
// Rows of each glyph, bottom row first, most significant bit leftmost.
extern const uint8_t FONT_GLYPH_ROWS[FONT_GLYPHS][FONT_ROWS];
extern unsigned int fontListBase;

// Compiles the glyph lists, each glyph pixel a square of (picture height / 480) pixels, at
// least 1; lists built before are replaced.
void buildFont();
// Draws the text at the current raster position (building the lists first if they are missing
// or were built for another picture height).
void printString(const char* text);
// Grey text at (x, y) in [0, 1] of the viewport, origin bottom left.
void drawText(const char* text, float x, float y);
// Clears, draws "loading..." and the texture size, swaps.
void showLoadingScreen();
// Every text drawText draws is also handed to the sink, in order (tests read the loading log).
using TextSink = void (*)(const char* text);
void setTextSink(TextSink sink);
