// Keyframe mesh morph. The target's object-space vertices follow a ring of ten key meshes
// (objects 0 to 9 of Scene 11), one key per unit of the key position and wrapping from key 9 to
// key 0; two optional weights then pull the result towards the same pair of keys in a further
// set each, chosen by the weight's sign (Scene 12 or 13, Scene 14 or 15). The scene update then
// transforms the morphed vertices like any others.
#include "render/mesh_morph.h"

#include <algorithm>
#include <cmath>

#include "assets/demo_numbers.h"

namespace {

// The two neighbouring keys of one key set and the blend between them.
struct KeyPair {
    const Vec3* current;
    const Vec3* next;
};

// Keys `cur` and `next` of the set in Scene `sceneIndex`, or false when the Scene does not hold
// ten key meshes. Lowers *count to the smaller key's vertex count.
bool findKeyPair(int sceneIndex, int cur, int next, KeyPair* pair, int32_t* count) {
    const Scene& scene = scenes[sceneIndex];
    if (scene.objects == nullptr || scene.objectCount < MORPH_KEYS) return false;
    const SceneObject& a = scene.objects[cur];
    const SceneObject& b = scene.objects[next];
    if (a.vertices == nullptr || b.vertices == nullptr) return false;
    *count = std::min({*count, a.vertexCount, b.vertexCount});
    *pair = {a.vertices, b.vertices};
    return true;
}

// Remainder of the key position's whole part by the ring size, with the sign of the whole part
// and limited to the key range; a negative position lands on key 0.
int ringKey(double whole) {
    const int key = static_cast<int>(std::fmod(whole, MORPH_KEYS));
    return std::clamp(key, 0, MORPH_KEYS - 1);
}

double lerp(double a, double b, double h) { return a + (b - a) * h; }

// target += (pair at h - target) * weight, per coordinate.
void pullTowards(Vec3* target, const KeyPair& pair, int32_t count, double h, double weight) {
    for (int32_t k = 0; k < count; ++k) {
        const Vec3& a = pair.current[k];
        const Vec3& b = pair.next[k];
        Vec3& v = target[k];
        v = {static_cast<float>(v.x + (lerp(a.x, b.x, h) - v.x) * weight),
             static_cast<float>(v.y + (lerp(a.y, b.y, h) - v.y) * weight),
             static_cast<float>(v.z + (lerp(a.z, b.z, h) - v.z) * weight)};
    }
}

}  // namespace

void morphObject(SceneObject* target, float a, float b, float c) {
    if (scenes == nullptr || target == nullptr || target->vertices == nullptr) return;
    const int bScene = MORPH_FIRST_PULL_SCENES[b < 0.0f ? 0 : 1];
    const int cScene = MORPH_SECOND_PULL_SCENES[c < 0.0f ? 0 : 1];
    const double bWeight = std::min(std::fabs(static_cast<double>(b)), 1.0);
    const double cWeight = std::min(std::fabs(static_cast<double>(c)), 1.0);
    const double whole = std::isfinite(a) ? std::trunc(static_cast<double>(a)) : 0.0;
    const double h = std::isfinite(a) ? std::clamp(a - whole, 0.0, 1.0) : 0.0;
    const int cur = ringKey(whole);
    const int next = std::clamp((cur + 1) % MORPH_KEYS, 0, MORPH_KEYS - 1);

    // Only vertices that every key in use holds are written.
    int32_t count = target->vertexCount;
    KeyPair base, pullB, pullC;
    if (!findKeyPair(MORPH_RING_SCENE, cur, next, &base, &count)) return;
    const bool useB = bWeight != 0.0 && findKeyPair(bScene, cur, next, &pullB, &count);
    const bool useC = cWeight != 0.0 && findKeyPair(cScene, cur, next, &pullC, &count);

    target->reshaped = 1;
    Vec3* out = target->vertices;
    for (int32_t k = 0; k < count; ++k) {
        const Vec3& p = base.current[k];
        const Vec3& q = base.next[k];
        out[k] = {static_cast<float>(lerp(p.x, q.x, h)), static_cast<float>(lerp(p.y, q.y, h)),
                  static_cast<float>(lerp(p.z, q.z, h))};
    }
    if (useB) pullTowards(out, pullB, count, h, bWeight);
    if (useC) pullTowards(out, pullC, count, h, cWeight);
}
