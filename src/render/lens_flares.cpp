// Lens flares. A flare chain is a row of textured squares laid along the line from the screen
// centre through the light it follows: the element marked as sitting on the light is drawn at
// the light's mirrored screen point, the others step from there towards and past the centre.
// Each chain fades in or out by music time (frameStep), so its intensity is the one thing that
// lives across frames, and it dims as the light moves away from the centre. The squares blend
// additively and are not tested against the scene: a light behind a wall still flares.
// A light in the eye plane (z = 0) has no screen point; its chain then skips drawing that frame.
// An element that would add only black, or lies wholly off the screen, is not sent.
#include "render/lens_flares.h"

#include <algorithm>
#include <cmath>

#include "anim/frame_clock.h"
#include "platform/opengl.h"
#include "render/overlays.h"
#include "render/pass_probe.h"
#include "render/render_globals.h"
#include "render/vertex_batches.h"

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

// The state every element draws in: additive, no depth writes, no culling.
void setFlareState() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
}

// Whether the square of half size s around (x, y) lies wholly outside the overlay's [-1, 1]
// square, with a little room for rounding.
bool offScreen(double x, double y, double s) {
    constexpr double edge = 1.0001;
    const double r = std::fabs(s);
    return x - r > edge || x + r < -edge || y - r > edge || y + r < -edge;
}

// Draws the chain of one set; `stateSet` says whether the flare state is already in place.
void drawFlareSet(const FlareSet* set, bool* stateSet) {
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
    for (int32_t k = 0; k < set->elementCount; ++k, a += u, b += v) {
        const FlareElement& element = set->elements[k];
        const float red = static_cast<float>(element.red * weight);
        const float green = static_cast<float>(element.green * weight);
        const float blue = static_cast<float>(element.blue * weight);
        if (!*stateSet) {
            setFlareState();  // once, for every element of every set after it
            glNormal3f(0.0f, 0.0f, 0.0f);
            *stateSet = true;
        }
        // A black element adds nothing (unless fog tints it), and one off the screen is clipped.
        const bool black = red == 0.0f && green == 0.0f && blue == 0.0f;
        if ((black && !fogTintsBlack) || offScreen(a, b, element.halfSize)) continue;
        const float s = element.halfSize;
        const float x = static_cast<float>(a);
        const float y = static_cast<float>(b);
        glBindTexture(GL_TEXTURE_2D, element.glName);
        glColor4f(red, green, blue, 1.0f);
        drawQuad(x - s, y - s, x + s, y + s, -1.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    }
}

}  // namespace

void fadeFlareSets(Scene* scene) {
    const int32_t count = std::min(scene->flareSetCount, static_cast<int32_t>(MAX_FLARE_SETS));
    for (int32_t i = 0; i < count; ++i) fadeFlareSet(&scene->flareSets[i]);
}

void drawFlares(Scene* scene) {
    overlayProjection();
    // Each set's fade changes only its own intensity, so all fade before any draws.
    fadeFlareSets(scene);
    const int32_t count = std::min(scene->flareSetCount, static_cast<int32_t>(MAX_FLARE_SETS));
    bool stateSet = false;
    for (int32_t i = 0; i < count; ++i) {
        announceDrawPass(PASS_FLARES, i);
        drawFlareSet(&scene->flareSets[i], &stateSet);
    }
}
