// Grey text in screen coordinates from 0 to 1, drawn with the built-in 8 x 13 font. The glyphs
// become GL display lists (one per character code) the first time text is drawn; the pen
// advances 10 pixels per character. Only the loading screen and the picture log use it.
// So that the text keeps its size on a picture larger than 480 rows, every glyph pixel
// becomes a square of a whole number of pixels, the picture height over 480; the lists are
// built again when that number changes.
#include "shell/bitmap_font.h"

#include <cstdio>
#include <cstring>

#include "platform/opengl.h"
#include "platform/platform.h"
#include "shell/gl_window.h"

unsigned int fontListBase;

namespace {
int fontReady = 0;
int fontScale = 1;  // the scale the lists were built at
TextSink textSink = nullptr;

// Picture rows per glyph scale step.
constexpr int ROWS_PER_SCALE = 480;
constexpr int MAX_FONT_SCALE = 16;

int textScaleForPicture() {
    int scale = pictureRect.height / ROWS_PER_SCALE;
    if (scale < 1) return 1;
    return scale > MAX_FONT_SCALE ? MAX_FONT_SCALE : scale;
}

// Writes the glyph's rows enlarged `scale` times both ways: scale bytes per row, bottom first.
void scaleGlyph(const uint8_t* rows, int scale, uint8_t* out) {
    for (int row = 0; row < FONT_ROWS; ++row) {
        uint8_t* line = out + row * scale * scale;
        for (int byte = 0; byte < scale; ++byte) line[byte] = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if (!(rows[row] & (0x80 >> bit))) continue;
            for (int k = 0; k < scale; ++k) {
                int column = bit * scale + k;
                line[column / 8] |= static_cast<uint8_t>(0x80 >> (column % 8));
            }
        }
        for (int copy = 1; copy < scale; ++copy)
            for (int byte = 0; byte < scale; ++byte) line[copy * scale + byte] = line[byte];
    }
}

}  // namespace

void setTextSink(TextSink sink) { textSink = sink; }

void buildFont() {
    if (fontReady) glDeleteLists(fontListBase, 128);
    const int scale = textScaleForPicture();
    static uint8_t scaled[FONT_ROWS * MAX_FONT_SCALE * MAX_FONT_SCALE];
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    fontListBase = glGenLists(128);
    const float s = static_cast<float>(scale);
    for (int c = FONT_FIRST_CHAR; c < FONT_FIRST_CHAR + FONT_GLYPHS; ++c) {
        scaleGlyph(FONT_GLYPH_ROWS[c - FONT_FIRST_CHAR], scale, scaled);
        glNewList(fontListBase + c, GL_COMPILE);
        glBitmap(8 * scale, FONT_ROWS * scale, 0.0f, 2.0f * s, 10.0f * s, 0.0f, scaled);
        glEndList();
    }
    fontScale = scale;
    fontReady = 1;
}

void printString(const char* text) {
    if (!fontReady || fontScale != textScaleForPicture()) buildFont();
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontListBase);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

void drawText(const char* text, float x, float y) {
    if (!text) return;
    if (textSink) textSink(text);
    glPushAttrib(GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT | GL_LIGHTING_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor4f(0.8f, 0.8f, 0.8f, 0.8f);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glDisable(GL_FOG);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glRasterPos2f(x, y);
    printString(text);
    glRasterPos2f(0, 0);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void showLoadingScreen() {
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    clearFrame();
    drawText("loading...", 0.05f, 0.95f);
    char line[256];
    std::snprintf(line, sizeof line, "texture-size: %d", maxTextureSize);
    drawText(line, 0.05f, 0.85f);
    platformSwapBuffers();
}
