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

// Objects of one scene whose normals an advanced frame can measure on their own; a scene with
// more is advanced whole while any of them measures.
constexpr int32_t MAX_MEASURED_OBJECTS = 4096;

// Whether an object's normals are measured when it is shown: its slot maps the environment.
bool mapsEnvironment(const SceneObject* object) {
    const int32_t slot = object->textureSlot;
    return textureTable && slot >= 0 && slot < TEXTURE_SLOTS &&
           (textureTable[slot].flags & SLOT_ENV_MAP);
}

// Whether one of the scene's hooks measures the object's normals.
bool hookMeasures(const Scene* scene, const SceneObject* object) {
    const int32_t count = std::min(scene->frameHookCount, static_cast<int32_t>(MAX_FRAME_HOOKS));
    for (int32_t i = 0; i < count; ++i) {
        const FrameHook& hook = scene->frameHooks[i];
        if (hook.object == object && hookMeasuresNormals(hook.function)) return true;
    }
    return false;
}

// Whether this frame may measure an object's normals for the first time: a shown
// environment-mapped object, or one a hook measures, whose normal lengths are not all cached.
// Those lengths stay with the object, so the frame that first measures them must be made whole.
bool measuresNewNormals(const Scene* scene, const SceneObject* object) {
    if (object->normalsComplete) return false;
    if (object->hideTrack.toggleState != 1 && mapsEnvironment(object)) return true;
    return hookMeasures(scene, object);
}
// Marks the objects whose normal lengths are now all cached.
void noteMeasuredNormals(Scene* scene) {
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        SceneObject* object = &scene->objects[i];
        if (!object->normalsComplete) object->normalsComplete = normalLengthsCached(object);
    }
}

// What the update and the hooks do to the objects measuring new normals this frame, in their
// order: each placed in eye space (its parent evaluated as the update does), its normals
// measured when its slot maps the environment; then the hooks that measure such objects.
void measureNewNormals(Scene* scene, float t) {
    bool measured[MAX_MEASURED_OBJECTS] = {};
    const int32_t objects = std::min(scene->objectCount, MAX_MEASURED_OBJECTS);
    for (int32_t i = 0; i < scene->objectCount; ++i) scene->objects[i].evaluated = 0;
    for (int32_t i = 0; i < objects; ++i) {
        SceneObject* object = &scene->objects[i];
        if (!measuresNewNormals(scene, object)) continue;
        measured[i] = true;
        placeObject(scene, object, t);
        if (mapsEnvironment(object)) computeNormals(object);
    }
    const int32_t hooks = std::min(scene->frameHookCount, static_cast<int32_t>(MAX_FRAME_HOOKS));
    for (int32_t i = 0; i < hooks; ++i) {
        const FrameHook& hook = scene->frameHooks[i];
        const int32_t index = static_cast<int32_t>(hook.object - scene->objects);
        if (hook.function && hookMeasuresNormals(hook.function) && index >= 0 &&
            index < objects && measured[index])
            hook.function(hook.object, hook.userValue);
    }
    noteMeasuredNormals(scene);
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
    bool measuring = false, measuringHidden = false;
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        const SceneObject* object = &scene->objects[i];
        if (!measuresNewNormals(scene, object)) continue;
        measuring = true;
        measuringHidden = measuringHidden || object->hideTrack.toggleState == 1;
    }
    if (measuringHidden || (measuring && scene->objectCount > MAX_MEASURED_OBJECTS)) {
        // A hook measures a hidden object, on the eye-space vertices its last shown frame left:
        // the update, the hooks and the wobble as renderScene runs them.
        updateScene(scene, t);
        runFrameHooks(scene);
        if (settings.wobbleEnabled != 0) wobbleScene(scene, t);
        noteMeasuredNormals(scene);
        stepSpriteSets(scene);
    } else {
        advanceSceneState(scene, t);
        // Shown objects whose normals are still being measured: brought into eye space and
        // measured as the update does it, then by the hooks that measure them.
        if (measuring) measureNewNormals(scene, t);
        if (settings.wobbleEnabled != 0) wobbleLights(scene, t);
        finishSpriteSteps(scene);
    }
    fadeFlareSets(scene);
}

int sceneNormalsPending(const Scene* scene) {
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        const SceneObject* object = &scene->objects[i];
        if (!object->normalsComplete && (mapsEnvironment(object) || hookMeasures(scene, object)))
            return 1;
    }
    return 0;
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
