// The scene render pass: brings one Scene to a time and draws it over whatever the frame holds.
// The update puts everything into eye space, the frame hooks and the optional wobble disturb
// that geometry, and the passes follow in a fixed order so that only the opaque meshes (and the
// picture drawn before them) are darkened by the settings' sceneBrightness: sprites, flares,
// translucent meshes and wire lines come after the darkening. Nothing is cleared and nothing
// allocated.
#include "render/scene_pass.h"

#include <algorithm>
#include <cmath>

#include "anim/frame_hooks.h"
#include "anim/scene_update.h"
#include "anim/sprite_sets.h"
#include "platform/opengl.h"
#include "render/lens_flares.h"
#include "render/mesh_drawing.h"
#include "render/overlays.h"
#include "render/render_globals.h"

// Twice the radians-to-degrees factor: the camera's fov is half the vertical field of view.
constexpr double FOV_TO_DEGREES = 114.59155902616465;

void renderScene(Scene* scene, float t, const ScenePassSettings& settings) {
    updateScene(scene, t);
    runFrameHooks(scene);
    if (settings.wobbleEnabled != 0) wobbleScene(scene, t);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(scene->camera->fov * FOV_TO_DEGREES, 1.0, 1.0, 50000.0);

    if (scene->fogDensity != 0.0f) {
        glEnable(GL_FOG);
        glFogf(GL_FOG_DENSITY, scene->fogDensity);
        glFogfv(GL_FOG_COLOR, scene->fogColour);
        fogOn = 1;
        fogTintsBlack = scene->fogColour[0] != 0.0f || scene->fogColour[1] != 0.0f ||
                        scene->fogColour[2] != 0.0f;
    } else {
        disableFog();
    }

    if (settings.sceneBrightness > 0.0f) drawOpaqueObjects(scene, settings);
    fadeToBlack(settings.sceneBrightness);
    drawSpriteSets(scene, scene->camera, settings);
    drawFlares(scene);
    drawTranslucentObjects(scene, settings);
    drawWireOverlays(scene);
    disableFog();
}

namespace {

// Whether this frame may measure an object's normals for the first time: a shown
// environment-mapped object, or one a hook measures, whose normal lengths are not all cached.
// Those lengths stay with the object, so the frame that first measures them must be made whole.
bool measuresNewNormals(const Scene* scene, const SceneObject* object) {
    if (object->normalsComplete) return false;
    const int32_t slot = object->textureSlot;
    if (object->hideTrack.toggleState != 1 && textureTable && slot >= 0 && slot < TEXTURE_SLOTS &&
        (textureTable[slot].flags & SLOT_ENV_MAP))
        return true;
    const int32_t count = std::min(scene->frameHookCount, static_cast<int32_t>(MAX_FRAME_HOOKS));
    for (int32_t i = 0; i < count; ++i) {
        const FrameHook& hook = scene->frameHooks[i];
        if (hook.object == object && hookMeasuresNormals(hook.function)) return true;
    }
    return false;
}

// The step the sprite pass gives every sprite; a set on a path, which advanceSceneState left
// alone, takes both its steps of the frame here at once.
void finishSpriteSteps(Scene* scene) {
    const int32_t setCount = std::min(scene->spriteSetCount, static_cast<int32_t>(MAX_SPRITE_SETS));
    for (int32_t k = 0; k < setCount; ++k) {
        SpriteSet* set = &scene->spriteSets[k];
        const int32_t count = set->sprites ? std::min(set->spriteCount, set->spriteCapacity) : 0;
        if (!set->update) continue;
        if (followsPath(set->update)) {
            stepPathSetTwice(set, count);
            continue;
        }
        for (int32_t i = 0; i < count; ++i) set->update(&set->sprites[i], set->userValue);
    }
}

}  // namespace

void advanceScene(Scene* scene, float t, const ScenePassSettings& settings) {
    // The hide toggles at t first, so that the objects shown this frame are known (a toggle
    // passes each key once: the update's own advance to t then changes nothing).
    for (int32_t i = 0; i < scene->objectCount; ++i)
        advanceToggleTrack(&scene->objects[i].hideTrack, t);
    bool whole = false;
    for (int32_t i = 0; i < scene->objectCount && !whole; ++i)
        whole = measuresNewNormals(scene, &scene->objects[i]);
    if (whole) {
        // The first frames of objects whose normals are still being measured: the update, the
        // hooks and the wobble as renderScene runs them.
        updateScene(scene, t);
        runFrameHooks(scene);
        if (settings.wobbleEnabled != 0) wobbleScene(scene, t);
        for (int32_t i = 0; i < scene->objectCount; ++i) {
            SceneObject* object = &scene->objects[i];
            if (!object->normalsComplete) object->normalsComplete = normalLengthsCached(object);
        }
        stepSpriteSets(scene);
    } else {
        advanceSceneState(scene, t);
        if (settings.wobbleEnabled != 0) wobbleLights(scene, t);
        finishSpriteSteps(scene);
    }
    fadeFlareSets(scene);
}

void runFrameHooks(Scene* scene) {
    const int32_t count = std::min(scene->frameHookCount, static_cast<int32_t>(MAX_FRAME_HOOKS));
    for (int32_t i = 0; i < count; ++i) {
        const FrameHook& hook = scene->frameHooks[i];
        if (hook.function) hook.function(hook.object, hook.userValue);
    }
}

namespace {

// One wobble step of a point; every new coordinate is computed from the old three.
void wobblePoint(Vec3* p, double b) {
    constexpr double k2 = 2.0 * 0.0004;
    constexpr double amplitude = 350.0;
    const double x = p->x;
    const double y = p->y;
    const double z = p->z;
    p->x = static_cast<float>(x + amplitude * std::sin(k2 * (y + z) + b));
    p->y = static_cast<float>(y + amplitude * std::cos(k2 * (x + z) + b));
    p->z = static_cast<float>(z + amplitude * std::sin(k2 * (x + y) + b));
}

}  // namespace

void wobbleScene(Scene* scene, float t) {
    const double b = static_cast<float>(t * 0.02);
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        SceneObject* object = &scene->objects[i];
        if (!object->eyeVertices) continue;
        for (int32_t v = 0; v < object->vertexCount; ++v) wobblePoint(&object->eyeVertices[v], b);
    }
    wobbleLights(scene, t);
}

void wobbleLights(Scene* scene, float t) {
    const double b = static_cast<float>(t * 0.02);
    // Lights move in world space only; the flares keep following their eye position.
    for (int32_t i = 0; i < scene->lightCount; ++i) wobblePoint(&scene->lights[i].worldPosition, b);
}
