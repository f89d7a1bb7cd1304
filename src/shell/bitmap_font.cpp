// Grey text in screen coordinates from 0 to 1, drawn with the built-in 8 x 13 font. The glyphs
// become GL display lists (one per character code) the first time text is drawn; the pen
// advances 10 pixels per character. Only the loading screen and the picture log use it.
#include "shell/bitmap_font.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "shell/gl_window.h"

unsigned int fontListBase;

namespace {
int fontReady = 0;
TextSink textSink = nullptr;
}  // namespace

void setTextSink(TextSink sink) { textSink = sink; }

void buildFont() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    fontListBase = glGenLists(128);
    for (int c = FONT_FIRST_CHAR; c < FONT_FIRST_CHAR + FONT_GLYPHS; ++c) {
        glNewList(fontListBase + c, GL_COMPILE);
        glBitmap(8, 13, 0.0f, 2.0f, 10.0f, 0.0f, FONT_GLYPH_ROWS[c - FONT_FIRST_CHAR]);
        glEndList();
    }
    fontReady = 1;
}

void printString(const char* text) {
    if (!fontReady) buildFont();
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
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawText("loading...", 0.05f, 0.95f);
    char line[256];
    std::snprintf(line, sizeof line, "texture-size: %d", maxTextureSize);
    drawText(line, 0.05f, 0.85f);
    platformSwapBuffers();
}
