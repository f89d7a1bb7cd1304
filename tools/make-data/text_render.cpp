// Text for the text and logo pictures: FreeType renders each glyph as an anti-aliased
// coverage bitmap, which is added as light onto the canvas. Kerning and the font's own
// advances are kept, so the words read like set type rather than a bitmap font.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace {

// One FreeType library and face, released when the line is done.
struct FontFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FontFace(const std::string& path, int pixelSize, double widthScale) {
        if (FT_Init_FreeType(&library) != 0) return;
        if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
            face = nullptr;
            return;
        }
        FT_Set_Pixel_Sizes(face, FT_UInt(std::max(1L, std::lround(pixelSize * widthScale))), FT_UInt(pixelSize));
    }
    ~FontFace() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

// Walks the glyphs of a line; calls draw(bitmap, penX + left, top) for each when drawing.
template <typename Draw>
int layoutLine(FontFace* font, const std::string& text, bool render, Draw draw) {
    int pen = 0;
    FT_UInt previous = 0;
    bool kerning = FT_HAS_KERNING(font->face);
    for (unsigned char ch : text) {
        FT_UInt glyph = FT_Get_Char_Index(font->face, ch);
        if (kerning && previous && glyph) {
            FT_Vector delta;
            FT_Get_Kerning(font->face, previous, glyph, FT_KERNING_DEFAULT, &delta);
            pen += int(delta.x >> 6);
        }
        if (FT_Load_Glyph(font->face, glyph, render ? FT_LOAD_RENDER : FT_LOAD_DEFAULT) != 0) continue;
        FT_GlyphSlot slot = font->face->glyph;
        if (render) draw(slot->bitmap, pen + slot->bitmap_left, slot->bitmap_top);
        pen += int(slot->advance.x >> 6);
        previous = glyph;
    }
    return pen;
}

}  // namespace

int measureTextLine(const std::string& fontPath, int pixelSize, const std::string& text, double widthScale) {
    FontFace font(fontPath, pixelSize, widthScale);
    if (!font.face) return -1;
    return layoutLine(&font, text, false, [](const FT_Bitmap&, int, int) {});
}

int addTextLine(Canvas* canvas, const std::string& fontPath, int pixelSize, const std::string& text,
                double cx, double baseline, Colour colour, double widthScale) {
    FontFace font(fontPath, pixelSize, widthScale);
    if (!font.face) return -1;
    int width = layoutLine(&font, text, false, [](const FT_Bitmap&, int, int) {});
    int left = int(std::lround(cx - width * 0.5));
    int base = int(std::lround(baseline));
    layoutLine(&font, text, true, [&](const FT_Bitmap& bitmap, int x0, int top) {
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            int y = base - top + int(row);
            if (y < 0 || y >= canvas->height) continue;
            for (unsigned col = 0; col < bitmap.width; ++col) {
                int x = left + x0 + int(col);
                if (x < 0 || x >= canvas->width) continue;
                float k = bitmap.buffer[row * unsigned(bitmap.pitch) + col] / 255.0f;
                float* p = pixelAt(canvas, x, y);
                p[0] += colour.r * k;
                p[1] += colour.g * k;
                p[2] += colour.b * k;
            }
        }
    });
    return width;
}
