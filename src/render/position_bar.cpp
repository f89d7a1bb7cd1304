// The position bar. It is drawn last in a frame, over a dark band that keeps it readable on any
// picture, in overlay coordinates from 0 to 1 across the picture; the line and its marks are a
// whole number of pixels thick at any picture size. Every state it changes is put back, so the
// next frame starts as it would without the bar.
#include "render/position_bar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/opengl.h"
#include "render/vertex_batches.h"
#include "shell/bitmap_font.h"
#include "shell/gl_window.h"

namespace {

// Heights as shares of the picture, from its bottom edge.
constexpr float BAND_TOP = 0.1f;
constexpr float LINE_Y = 0.03f;
constexpr float TEXT_Y = 0.055f;
// The line's ends, as shares of the picture's width.
constexpr float LINE_LEFT = 0.04f;
constexpr float LINE_RIGHT = 0.96f;

// An untextured rectangle in the current colour.
void fillRectangle(float x1, float y1, float x2, float y2) {
    beginBatch(GL_QUADS, BATCH_POSITION);
    emitQuadVertices(reserveBatchVertices(4), x1, y1, x2, y2, 0.0f, 0, 0, 0, 0);
    endBatch();
}

}  // namespace

void formatBarTime(double ms, char* out, int size) {
    const long tenths = std::lround(std::max(ms, 0.0) / 100.0);
    std::snprintf(out, static_cast<size_t>(size), "%ld:%02ld.%ld", tenths / 600,
                  tenths / 10 % 60, tenths % 10);
}

void drawPositionBar(const PositionBar& bar) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    // Lines stay a whole number of the picture's pixels thick: two at 480 rows.
    const float pixels = std::max(1.0f, std::floor(pictureRect.height / 240.0f));
    const float thickness = pixels / static_cast<float>(std::max(pictureRect.height, 1));
    const float tickWidth = pixels / static_cast<float>(std::max(pictureRect.width, 1));

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    fillRectangle(0.0f, 0.0f, 1.0f, BAND_TOP);
    glDisable(GL_BLEND);

    const double span = bar.endMs > 0.0 ? bar.endMs : 1.0;
    const auto xAt = [&](double ms) {
        const double share = std::clamp(ms / span, 0.0, 1.0);
        return static_cast<float>(LINE_LEFT + (LINE_RIGHT - LINE_LEFT) * share);
    };
    glColor4f(0.35f, 0.35f, 0.35f, 1.0f);
    fillRectangle(LINE_LEFT, LINE_Y, LINE_RIGHT, LINE_Y + thickness);
    glColor4f(0.9f, 0.9f, 0.9f, 1.0f);
    fillRectangle(LINE_LEFT, LINE_Y, xAt(bar.ms), LINE_Y + thickness);
    // The scene starts, as ticks across the line.
    const float tick = 3.0f * thickness;
    for (int k = 0; k < bar.sceneCount; ++k) {
        const float x = xAt(bar.sceneStarts[k]);
        fillRectangle(x, LINE_Y - tick, x + tickWidth, LINE_Y + thickness + tick);
    }

    char time[32];
    formatBarTime(bar.ms, time, sizeof time);
    char line[64];
    std::snprintf(line, sizeof line, "%s   scene %d", time, bar.scene);
    drawText(line, LINE_LEFT, TEXT_Y);

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    glDepthMask(GL_TRUE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
