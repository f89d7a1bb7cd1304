// Load-time vertex lighting. Each baker brings its Scene to time 0 and stores a fixed colour in
// every face corner, computed in the eye space of the time-0 camera (y stretched by 1.34 like
// everything else there). The mesh drawing multiplies textures by these colours; no lighting is
// computed per frame. The sky shade uses the normal alone; the two light bakers sum the Scene's
// point lights with a short squared falloff or a long, wrap-around linear one.
#include "anim/lighting_bakers.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "anim/scene_update.h"

namespace {

struct Colour {
    double red, green, blue;
};

// The Scene's lights, each with its eye-space position at time 0.
struct BakeLights {
    const Scene* scene;
    const Vec3* eyePositions;
};

using CornerShade = Colour (*)(const BakeLights& lights, const Vec3& position, const Vec3& normal);

double clampUnit(double x) { return std::clamp(x, 0.0, 1.0); }

// Distance from the point to the light and the cosine between the normal and the direction to
// the light; a light sitting on the point gives no direction, so its cosine is taken as 0.
void lightDirection(const Vec3& light, const Vec3& position, const Vec3& normal, double* distance,
                    double* cosine) {
    const double dx = static_cast<double>(light.x) - position.x;
    const double dy = static_cast<double>(light.y) - position.y;
    const double dz = static_cast<double>(light.z) - position.z;
    *distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    *cosine = *distance > 0.0 ? (dx * normal.x + dy * normal.y + dz * normal.z) / *distance : 0.0;
}

Colour skyShade(const BakeLights&, const Vec3&, const Vec3& normal) {
    const double s = clampUnit(-static_cast<double>(normal.y) - 0.1);
    return {s, s, s};
}

Colour nearLights(const BakeLights& lights, const Vec3& position, const Vec3& normal) {
    Colour sum{0.2, 0.2, 0.2};
    for (int32_t i = 0; i < lights.scene->lightCount; ++i) {
        const SceneLight& light = lights.scene->lights[i];
        double r, cosine;
        lightDirection(lights.eyePositions[i], position, normal, &r, &cosine);
        const double k = r > 150.0 ? 0.0 : clampUnit(cosine);
        sum.red += 3.2 * (k * light.red) * (k * light.red);
        sum.green += 3.2 * (k * light.green) * (k * light.green);
        sum.blue += 3.2 * (k * light.blue) * (k * light.blue);
    }
    return {clampUnit(sum.red), clampUnit(sum.green), clampUnit(sum.blue)};
}

Colour warmLights(const BakeLights& lights, const Vec3& position, const Vec3& normal) {
    Colour sum{0.3, 0.3, 0.3};
    for (int32_t i = 0; i < lights.scene->lightCount; ++i) {
        const SceneLight& light = lights.scene->lights[i];
        double r, cosine;
        lightDirection(lights.eyePositions[i], position, normal, &r, &cosine);
        const double k = clampUnit(cosine + 0.8) * clampUnit(2.0 - 0.002 * r);
        sum.red += k * light.red;
        sum.green += k * light.green;
        sum.blue += k * light.blue;
    }
    return {clampUnit(sum.red), clampUnit(sum.green), clampUnit(sum.blue)};
}

bool hasScrollOverlay(const SceneObject& object) {
    return textureTable != nullptr && object.textureSlot >= 0 &&
           object.textureSlot < TEXTURE_SLOTS &&
           (textureTable[object.textureSlot].flags & SLOT_SCROLL_OVERLAY) != 0;
}

void bake(Scene* scene, CornerShade shade, bool scrollOverlayOnly) {
    updateScene(scene, 0.0f);
    // A light hidden at time 0 got no eye position from the update (one never shown would light
    // from the camera); like a hidden object it is placed by its time-0 position. Only the
    // baking sees that place: the light's own fields stay as the update left them.
    std::vector<Vec3> lightEyes(static_cast<size_t>(std::max(scene->lightCount, 0)));
    for (int32_t i = 0; i < scene->lightCount; ++i) {
        SceneLight* light = &scene->lights[i];
        lightEyes[i] = light->eyePosition;
        if (light->hideTrack.toggleState != 1) continue;
        Vec3 world;
        evalVectorTrack(&light->positionTrack, &world, 0.0f);
        eyeTransform(scene->camera, &world, &lightEyes[i]);
    }
    const BakeLights lights{scene, lightEyes.data()};
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        SceneObject* object = &scene->objects[i];
        if (scrollOverlayOnly && !hasScrollOverlay(*object)) continue;
        // An object hidden at time 0 got no eye-space vertices from the update; place it with
        // its time-0 transform so that it is lit like the rest when it appears.
        if (object->hideTrack.toggleState == 1) placeObject(scene, object, 0.0f);
        computeNormals(object);
        for (int32_t f = 0; f < object->faceCount; ++f) {
            for (Corner& corner : object->faces[f].corners) {
                if (corner.vertex < 0 || corner.vertex >= object->vertexCount) continue;
                const Colour c = shade(lights, object->eyeVertices[corner.vertex],
                                       object->normals[corner.vertex]);
                corner.red = static_cast<float>(c.red);
                corner.green = static_cast<float>(c.green);
                corner.blue = static_cast<float>(c.blue);
            }
        }
    }
}

}  // namespace

void bakeSkyShade(Scene* scene) { bake(scene, skyShade, true); }
void bakeNearLights(Scene* scene) { bake(scene, nearLights, false); }
void bakeWarmLights(Scene* scene) { bake(scene, warmLights, false); }
