// The per-frame scene update. The camera's tracks give a position and a target, from which an
// eye basis is built (right, up stretched by 1.34, forward); each shown object's tracks give a
// rotation-and-scale matrix and a translation, parent links are folded in once per object, and
// the camera is folded into the object's matrix so that a vertex costs one 3 x 3 product. Lights
// and sprites follow. Normal lengths are cached on first use so later frames take no roots.
#include "anim/scene_update.h"

#include <cmath>

#include "anim/sprite_sets.h"

namespace {

struct Vec3d {
    double x, y, z;
};

Vec3d toDouble(const Vec3& v) { return {v.x, v.y, v.z}; }
Vec3 toFloat(const Vec3d& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}
double dot(const Vec3d& a, const Vec3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3d cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// Unit vector along v, or `fallback` when v has no length (no direction to keep).
Vec3d normalised(const Vec3d& v, const Vec3d& fallback) {
    const double length = std::sqrt(dot(v, v));
    if (!(length > 0.0)) return fallback;
    return {v.x / length, v.y / length, v.z / length};
}

int32_t slotFlags(const SceneObject* object) {
    if (textureTable == nullptr || object->textureSlot < 0 || object->textureSlot >= TEXTURE_SLOTS)
        return 0;
    return textureTable[object->textureSlot].flags;
}

// Right, up (with roll and the 1.34 stretch) and forward from the camera's position and target.
void buildCameraBasis(SceneCamera* camera) {
    const Vec3d position = toDouble(camera->position);
    const Vec3d target = toDouble(camera->target);
    // A camera whose target coincides with its position keeps looking along +y.
    const Vec3d forward = normalised({target.x - position.x, target.y - position.y,
                                      target.z - position.z},
                                     {0.0, 1.0, 0.0});
    // Looking straight along z leaves no horizontal direction to the right: take +x.
    const Vec3d right = normalised({forward.y, -forward.x, 0.0}, {1.0, 0.0, 0.0});
    const Vec3d up = normalised(cross(forward, right), {0.0, 0.0, 1.0});
    Mat3 basis{{static_cast<float>(right.x), static_cast<float>(right.y),
                static_cast<float>(right.z), static_cast<float>(up.x), static_cast<float>(up.y),
                static_cast<float>(up.z), static_cast<float>(forward.x),
                static_cast<float>(forward.y), static_cast<float>(forward.z)}};
    Mat3 roll;
    mat3RotationZ(&roll, camera->roll);
    mat3MulLeft(&basis, &roll);
    mat3ScaleRow(&basis, 1.34f);
    camera->right = {basis.m[0], basis.m[1], basis.m[2]};
    camera->up = {basis.m[3], basis.m[4], basis.m[5]};
    camera->forward = {basis.m[6], basis.m[7], basis.m[8]};
}

// Folds the object's parent transform (in its state at this moment) into the object's own.
void applyParentLink(Scene* scene, SceneObject* object, float t) {
    if (object->kind != 1) return;
    // The parent index comes from the scene file; an index outside the object list links to
    // nothing.
    if (object->parent < 0 || object->parent >= scene->objectCount) return;
    SceneObject* parent = &scene->objects[object->parent];
    if (parent->evaluated == 0) evalLocal(parent, t);
    const float* p = parent->rotationScale.m;
    const float* m = object->rotationScale.m;
    double product[9];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            product[3 * r + c] = static_cast<double>(p[3 * r]) * m[c] +
                                 static_cast<double>(p[3 * r + 1]) * m[3 + c] +
                                 static_cast<double>(p[3 * r + 2]) * m[6 + c];
    const Vec3d tr = toDouble(object->translation);
    const Vec3d moved{p[0] * tr.x + p[1] * tr.y + p[2] * tr.z + parent->translation.x,
                      p[3] * tr.x + p[4] * tr.y + p[5] * tr.z + parent->translation.y,
                      p[6] * tr.x + p[7] * tr.y + p[8] * tr.z + parent->translation.z};
    for (int i = 0; i < 9; ++i) object->rotationScale.m[i] = static_cast<float>(product[i]);
    object->translation = toFloat(moved);
}

// eyeVertices <- E (rotationScale p + translation - camera position), E the rows R', -U', -F.
void transformVertices(const SceneCamera* camera, SceneObject* object) {
    const double e[9] = {camera->right.x,    camera->right.y,    camera->right.z,
                         -camera->up.x,      -camera->up.y,      -camera->up.z,
                         -camera->forward.x, -camera->forward.y, -camera->forward.z};
    const float* m = object->rotationScale.m;
    double em[9];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            em[3 * r + c] = e[3 * r] * m[c] + e[3 * r + 1] * m[3 + c] + e[3 * r + 2] * m[6 + c];
    const double dx = static_cast<double>(object->translation.x) - camera->position.x;
    const double dy = static_cast<double>(object->translation.y) - camera->position.y;
    const double dz = static_cast<double>(object->translation.z) - camera->position.z;
    const double o[3] = {e[0] * dx + e[1] * dy + e[2] * dz, e[3] * dx + e[4] * dy + e[5] * dz,
                         e[6] * dx + e[7] * dy + e[8] * dz};
    for (int32_t k = 0; k < object->vertexCount; ++k) {
        const double x = object->vertices[k].x, y = object->vertices[k].y,
                     z = object->vertices[k].z;
        object->eyeVertices[k] = {static_cast<float>(em[0] * x + em[1] * y + em[2] * z + o[0]),
                                  static_cast<float>(em[3] * x + em[4] * y + em[5] * z + o[1]),
                                  static_cast<float>(em[6] * x + em[7] * y + em[8] * z + o[2])};
    }
}

// Second texture coordinates for the scrolling overlay: planar in object x and y, sliding
// diagonally with time.
void scrollOverlayCoords(SceneObject* object, float t) {
    const double scale = textureTable[object->textureSlot].planarScale;
    const double shift = 0.005 * t;
    for (int32_t f = 0; f < object->faceCount; ++f) {
        for (Corner& corner : object->faces[f].corners) {
            if (corner.vertex < 0 || corner.vertex >= object->vertexCount) continue;
            const Vec3& p = object->vertices[corner.vertex];
            corner.u2 = static_cast<float>(scale * p.x - shift);
            corner.v2 = static_cast<float>(scale * p.y - shift);
        }
    }
}

// A face whose corner names a vertex outside the object cannot be used.
bool faceIsValid(const Face& face, int32_t vertexCount) {
    for (const Corner& corner : face.corners)
        if (corner.vertex < 0 || corner.vertex >= vertexCount) return false;
    return true;
}

bool samePoint(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Whether two corners of the face lie on the same point: its cross product is then exactly 0,
// and stays so wherever the point is carried, since equal points are carried alike.
bool hasNoArea(const Vec3* vertices, const Face& face) {
    const Vec3& a = vertices[face.corners[0].vertex];
    const Vec3& b = vertices[face.corners[1].vertex];
    const Vec3& c = vertices[face.corners[2].vertex];
    return samePoint(a, b) || samePoint(b, c) || samePoint(a, c);
}

// The camera's tracks at time t, and its eye basis.
void updateCamera(SceneCamera* camera, float t) {
    evalVectorTrack(&camera->positionTrack, &camera->position, t);
    evalVectorTrack(&camera->targetTrack, &camera->target, t);
    evalScalarTrack(&camera->rollTrack, &camera->roll, t);
    evalScalarTrack(&camera->fovTrack, &camera->fov, t);
    buildCameraBasis(camera);
}

// Every light's hide toggle, and the world and eye positions of the shown ones. A hidden light
// keeps the positions it had when last shown.
void updateLights(Scene* scene, float t) {
    for (int32_t i = 0; i < scene->lightCount; ++i) {
        SceneLight* light = &scene->lights[i];
        advanceToggleTrack(&light->hideTrack, t);
        if (light->hideTrack.toggleState == 1) continue;
        evalVectorTrack(&light->positionTrack, &light->worldPosition, t);
        eyeTransform(scene->camera, &light->worldPosition, &light->eyePosition);
    }
}

// One step of every sprite in use, and its eye position when `placed`; sprites on a path are
// left out unless `placed`.
void stepSprites(Scene* scene, bool placed) {
    const int32_t setCount = scene->spriteSetCount < MAX_SPRITE_SETS ? scene->spriteSetCount
                                                                      : MAX_SPRITE_SETS;
    for (int32_t s = 0; s < setCount; ++s) {
        SpriteSet* set = &scene->spriteSets[s];
        if (!placed && followsPath(set->update)) continue;
        const int32_t count =
            set->spriteCount < set->spriteCapacity ? set->spriteCount : set->spriteCapacity;
        for (int32_t k = 0; k < count; ++k) {
            Sprite* sprite = &set->sprites[k];
            set->update(sprite, set->userValue);
            if (placed) eyeTransform(scene->camera, &sprite->worldPosition, &sprite->eyePosition);
        }
    }
}

}  // namespace

void evalLocal(SceneObject* object, float t) {
    Vec3 position;
    Quat q;
    Vec3 scale;
    evalVectorTrack(&object->positionTrack, &position, t);
    evalRotationTrack(&object->rotationTrack, &q, t);
    evalVectorTrack(&object->scaleTrack, &scale, t);
    const double w = q.w, x = q.x, y = q.y, z = q.z;
    const double sx = scale.x, sy = scale.y, sz = scale.z;
    // The transpose of the textbook matrix of q: a key of angle a about z turns a vertex by -a.
    // The scene files' rotation keys are made for this reading, so it stays. Each column is
    // multiplied by the scale of its own axis, so a vertex is scaled along the object's axes
    // first and rotated after.
    const double rows[9] = {(1 - 2 * y * y - 2 * z * z) * sx, (2 * x * y + 2 * w * z) * sy,
                            (2 * x * z - 2 * w * y) * sz,     (2 * x * y - 2 * w * z) * sx,
                            (1 - 2 * x * x - 2 * z * z) * sy, (2 * y * z + 2 * w * x) * sz,
                            (2 * x * z + 2 * w * y) * sx,     (2 * y * z - 2 * w * x) * sy,
                            (1 - 2 * x * x - 2 * y * y) * sz};
    for (int i = 0; i < 9; ++i) object->rotationScale.m[i] = static_cast<float>(rows[i]);
    object->translation = position;
    object->evaluated = 1;
}

void placeObject(Scene* scene, SceneObject* object, float t) {
    if (object->evaluated == 0) evalLocal(object, t);
    applyParentLink(scene, object, t);
    transformVertices(scene->camera, object);
}

void eyeTransform(const SceneCamera* camera, const Vec3* world, Vec3* outEye) {
    const Vec3d d{static_cast<double>(world->x) - camera->position.x,
                  static_cast<double>(world->y) - camera->position.y,
                  static_cast<double>(world->z) - camera->position.z};
    *outEye = {static_cast<float>(dot(d, toDouble(camera->right))),
               static_cast<float>(-dot(d, toDouble(camera->up))),
               static_cast<float>(-dot(d, toDouble(camera->forward)))};
}

void computeNormals(SceneObject* object) {
    const int32_t count = object->vertexCount;
    for (int32_t k = 0; k < count; ++k) object->normals[k] = {0.0f, 0.0f, 0.0f};
    for (int32_t f = 0; f < object->faceCount; ++f) {
        const Face& face = object->faces[f];
        if (!faceIsValid(face, count)) continue;
        const Vec3d v0 = toDouble(object->eyeVertices[face.corners[0].vertex]);
        const Vec3d v1 = toDouble(object->eyeVertices[face.corners[1].vertex]);
        const Vec3d v2 = toDouble(object->eyeVertices[face.corners[2].vertex]);
        const Vec3d c = cross({v1.x - v0.x, v1.y - v0.y, v1.z - v0.z},
                              {v2.x - v0.x, v2.y - v0.y, v2.z - v0.z});
        for (const Corner& corner : face.corners) {
            Vec3& n = object->normals[corner.vertex];
            n = {static_cast<float>(n.x + c.x), static_cast<float>(n.y - c.y),
                 static_cast<float>(n.z - c.z)};
        }
    }
    for (int32_t k = 0; k < count; ++k) {
        Vec3& n = object->normals[k];
        if (object->normalScale[k] == 0.0f) {
            // A zero normal has no length to cache; its scale is fixed the first time it has one.
            const double length = std::sqrt(dot(toDouble(n), toDouble(n)));
            if (length > 0.0) object->normalScale[k] = static_cast<float>(1.0 / length);
        }
        const double s = object->normalScale[k];
        n = {static_cast<float>(n.x * s), static_cast<float>(n.y * s), static_cast<float>(n.z * s)};
    }
}

void sphereMapCoords(SceneObject* object) {
    for (int32_t f = 0; f < object->faceCount; ++f) {
        for (Corner& corner : object->faces[f].corners) {
            if (corner.vertex < 0 || corner.vertex >= object->vertexCount) continue;
            const Vec3& n = object->normals[corner.vertex];
            corner.u = static_cast<float>((n.x + 1.0) * 0.5);
            corner.v = static_cast<float>((n.y + 1.0) * 0.5);
        }
    }
}

void updateScene(Scene* scene, float t) {
    updateCamera(scene->camera, t);

    for (int32_t i = 0; i < scene->objectCount; ++i) scene->objects[i].evaluated = 0;
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        SceneObject* object = &scene->objects[i];
        advanceToggleTrack(&object->hideTrack, t);
        if (object->hideTrack.toggleState == 1) continue;
        placeObject(scene, object, t);
        const int32_t flags = slotFlags(object);
        if (flags & SLOT_ENV_MAP) {
            computeNormals(object);
            sphereMapCoords(object);
        }
        if (flags & SLOT_SCROLL_OVERLAY) scrollOverlayCoords(object, t);
    }

    updateLights(scene, t);
    stepSprites(scene, true);
}

void advanceSceneState(Scene* scene, float t) {
    updateCamera(scene->camera, t);
    for (int32_t i = 0; i < scene->objectCount; ++i)
        advanceToggleTrack(&scene->objects[i].hideTrack, t);
    updateLights(scene, t);
    stepSprites(scene, false);
}

int normalLengthsCached(const SceneObject* object) {
    if (!object->normalScale || !object->faces) return 1;
    for (int32_t f = 0; f < object->faceCount; ++f) {
        const Face& face = object->faces[f];
        if (!faceIsValid(face, object->vertexCount)) continue;
        if (!object->reshaped && hasNoArea(object->vertices, face)) continue;
        for (const Corner& corner : face.corners)
            if (object->normalScale[corner.vertex] == 0.0f) return 0;
    }
    return 1;
}
