// Lens flares. A flare chain is a row of textured squares laid along the line from the screen
// centre through the light it follows: the element marked as sitting on the light is drawn at
// the light's mirrored screen point, the others step from there towards and past the centre.
// Each chain fades in or out by music time (frameStep), so its intensity is the one thing that
// lives across frames, and it dims as the light moves away from the centre. The squares blend
// additively and are not tested against the scene: a light behind a wall still flares.
// A light in the eye plane (z = 0) has no screen point; its chain then skips drawing that frame.
#include "render/lens_flares.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "anim/frame_clock.h"
#include "render/overlays.h"

namespace {

void fadeFlareSet(FlareSet* set) {
    double intensity = set->intensity;
    const double step = static_cast<double>(frameStep) * set->fadeSpeed * 10.0;
    if (set->fadeDirection == 0)
        intensity -= step;
    else if (set->fadeDirection == 1)
        intensity += step;
    if (intensity > 1.0) intensity = 1.0;
    if (intensity < 0.0) intensity = 0.0;
    set->intensity = static_cast<float>(intensity);
}

void drawFlareElement(const FlareElement& element, double a, double b, double weight) {
    const float s = element.halfSize;
    const float x = static_cast<float>(a);
    const float y = static_cast<float>(b);
    glBindTexture(GL_TEXTURE_2D, element.glName);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glColor4f(static_cast<float>(element.red * weight), static_cast<float>(element.green * weight),
              static_cast<float>(element.blue * weight), 1.0f);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 0.0f);
    emitQuad(x - s, y - s, x + s, y + s, -1.0f);
    glEnd();
}

void drawFlareSet(const FlareSet* set) {
    if (!set->anchor || !set->elements) return;
    const double z = set->anchor->z;
    if (z == 0.0) return;  // light in the eye plane: no screen point this frame
    const double px = set->anchor->x / z;
    const double py = set->anchor->y / z;

    double h = 1.0 - std::sqrt(px * px + py * py) * set->falloff * 3.0;
    h = std::clamp(h, 0.0, 1.0);
    const double weight = set->intensity * h;

    const double u = -px * set->spacing;
    const double v = -py * set->spacing;
    const double n = set->elementsBeforeLight;
    double a = px - n * u;
    double b = py - n * v;
    for (int32_t k = 0; k < set->elementCount; ++k) {
        drawFlareElement(set->elements[k], a, b, weight);
        a += u;
        b += v;
    }
}

}  // namespace

void drawFlares(Scene* scene) {
    overlayProjection();
    const int32_t count = std::min(scene->flareSetCount, static_cast<int32_t>(MAX_FLARE_SETS));
    for (int32_t i = 0; i < count; ++i) {
        FlareSet* set = &scene->flareSets[i];
        fadeFlareSet(set);
        drawFlareSet(set);
    }
}
