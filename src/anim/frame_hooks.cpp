// Frame hooks: scene-specific deformations of one mesh, run every frame after the scene update
// and before drawing. They work on the eye-space vertices, which the update recomputes from the
// object-space vertices every frame, so their displacements never pile up across frames. A tube
// is pushed out by the balls that travel through it, a surface carries two interfering ripples,
// and a whole mesh sways.
#include "anim/frame_hooks.h"

#include <algorithm>
#include <cmath>

#include "anim/scene_update.h"
#include "shell/error_report.h"

namespace {
// Sprites push vertices within this distance (where 60 - 0.5 r reaches 0).
constexpr double PUSH_STRENGTH = 60.0;
constexpr double PUSH_FALLOFF = 0.5;
}  // namespace

int addFrameHook(Scene* scene, SceneObject* object, void* userValue, FrameHookFunction function) {
    if (scene->frameHookCount < 0 || scene->frameHookCount >= MAX_FRAME_HOOKS) {
        reportError("cannot add frame hook: the scene already holds 256 frame hooks");
        return 0;
    }
    if (object == nullptr || function == nullptr) {
        reportError("cannot add frame hook: no object or no function to run");
        return 0;
    }
    FrameHook& hook = scene->frameHooks[scene->frameHookCount];
    hook.object = object;
    hook.userValue = userValue;
    hook.function = function;
    ++scene->frameHookCount;
    return 1;
}

void pushFromSprites(SceneObject* object, void* spriteSet) {
    const auto* set = static_cast<const SpriteSet*>(spriteSet);
    const int32_t count = std::min(set->spriteCount, set->spriteCapacity);
    for (int32_t k = 0; k < object->vertexCount; ++k) {
        Vec3& vertex = object->eyeVertices[k];
        double x = vertex.x, y = vertex.y, z = vertex.z;
        for (int32_t s = 0; s < count; ++s) {
            const Vec3& centre = set->sprites[s].eyePosition;
            const double dx = x - centre.x, dy = y - centre.y, dz = z - centre.z;
            double r = std::sqrt(dx * dx + dy * dy + dz * dz);
            if (r < 1.0) r = 1.0;
            const double p = PUSH_STRENGTH - PUSH_FALLOFF * r;
            if (p > 0.0) {
                x += p * dx / r;
                y += p * dy / r;
                z += p * dz / r;
            }
        }
        vertex = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    }
}

void rippleTwoCentres(SceneObject* object, void* time) {
    const double t = *static_cast<const float*>(time);
    const double a = 0.01 * t;
    const double h = 0.5 * static_cast<float>(0.1 * t);
    const double e = static_cast<float>(0.04 * std::sin(a) + 0.09);
    const double f = static_cast<float>(0.04 * std::cos(a) + 0.09);
    for (int32_t k = 0; k < object->vertexCount; ++k) {
        Vec3& vertex = object->eyeVertices[k];
        const double x = vertex.x, y = vertex.y;
        // Each wave fades out linearly to nothing 500 units from its centre.
        const double l = std::sqrt((x - 100.0) * (x - 100.0) + (y - 100.0) * (y - 100.0));
        const double o = std::max(0.0, 1.0 - 0.002 * l);
        const double w = std::sqrt((x + 100.0) * (x + 100.0) + (y + 100.0) * (y + 100.0));
        const double q = std::max(0.0, 1.0 - 0.002 * w);
        vertex.z = static_cast<float>(vertex.z + 10.0 * o * std::sin(l * e + h) -
                                      10.0 * q * std::cos(w * f - h));
    }
    // The environment map follows the ripples.
    computeNormals(object);
    sphereMapCoords(object);
}

void swayObject(SceneObject* object, void* time) {
    const double b = static_cast<float>(0.02 * *static_cast<const float*>(time));
    for (int32_t k = 0; k < object->vertexCount; ++k) {
        Vec3& vertex = object->eyeVertices[k];
        const double x = vertex.x, y = vertex.y, z = vertex.z;
        vertex = {static_cast<float>(x + 50.0 * std::sin(0.005 * (y + z) + b)),
                  static_cast<float>(y + 50.0 * std::cos(0.005 * (x + z) + b)),
                  static_cast<float>(z + 50.0 * std::sin(0.005 * (x + y) + b))};
    }
}

int hookMeasuresNormals(FrameHookFunction function) { return function == rippleTwoCentres; }
