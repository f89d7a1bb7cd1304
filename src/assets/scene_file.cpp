// Scene file reader. A .dat file is a fixed sequence of records (camera, meshes, point lights,
// targeted lights) with byte counts and keyframe tracks whose key bytes are copied straight into
// the key records. The file has no header to trust, so every count, index and key time is
// checked as it is read: a file that ends early, a corner naming a vertex the mesh does not
// have, a parent outside the object list, a texture number outside the table, a keyframe track
// without keys or with key times that do not increase all reject the file with one message
// naming it and the problem, and nothing is read out of bounds.
#include "assets/scene_file.h"

#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/platform.h"
#include "shell/error_report.h"

static_assert(std::endian::native == std::endian::little,
              "scene files are little-endian and their key bytes are copied as they stand");

Scene* scenes = nullptr;

namespace {

constexpr size_t CORNER_BYTES = 12;
constexpr size_t FACE_BYTES = 3 * CORNER_BYTES;
constexpr size_t VERTEX_BYTES = 12;

struct SceneReader {
    const uint8_t* p;
    size_t left;
    char problem[192];  // what is wrong with the file; empty while all is well
    char owner[32];     // the record being read: "the camera", "object 3", ...
};

int fail(SceneReader* reader, const char* format, ...) {
    if (reader->problem[0] == '\0') {
        va_list args;
        va_start(args, format);
        std::vsnprintf(reader->problem, sizeof reader->problem, format, args);
        va_end(args);
    }
    return 0;
}

int failShort(SceneReader* reader) { return fail(reader, "file ends inside %s", reader->owner); }

int take(SceneReader* reader, void* out, size_t size) {
    if (reader->left < size) return failShort(reader);
    std::memcpy(out, reader->p, size);
    reader->p += size;
    reader->left -= size;
    return 1;
}

int takeU8(SceneReader* reader, uint8_t* out) { return take(reader, out, 1); }
int takeI32(SceneReader* reader, int32_t* out) { return take(reader, out, 4); }
int takeF32(SceneReader* reader, float* out) { return take(reader, out, 4); }

void setOwner(SceneReader* reader, const char* format, int index) {
    std::snprintf(reader->owner, sizeof reader->owner, format, index);
}

enum TrackKind { TRACK_KEYFRAMES, TRACK_TOGGLES };

// Count byte, then the keys in one block. Keyframe tracks need at least one key and strictly
// increasing key times; toggle tracks may be empty (a mesh that is never hidden).
int readTrack(SceneReader* reader, KeyTrack* track, size_t keySize, size_t timeOffset,
              TrackKind kind, const char* name) {
    uint8_t count = 0;
    if (!takeU8(reader, &count)) return 0;
    track->keyCount = 0;
    track->cursor = 0;
    track->toggleState = 0;
    track->keys = nullptr;
    if (count == 0) {
        if (kind == TRACK_KEYFRAMES)
            return fail(reader, "the %s track of %s has no keys", name, reader->owner);
        return 1;
    }
    const size_t bytes = keySize * count;
    if (reader->left < bytes) return failShort(reader);
    track->keys = std::malloc(bytes);
    if (!track->keys) return fail(reader, "not enough memory for %s", reader->owner);
    track->keyCount = count;
    take(reader, track->keys, bytes);
    if (kind == TRACK_KEYFRAMES) {
        const auto* keys = static_cast<const uint8_t*>(track->keys);
        for (int i = 1; i < count; ++i) {
            int32_t before = 0, after = 0;
            std::memcpy(&before, keys + keySize * (i - 1) + timeOffset, 4);
            std::memcpy(&after, keys + keySize * i + timeOffset, 4);
            if (after <= before)
                return fail(reader, "the key times of the %s track of %s do not increase at key %d",
                            name, reader->owner, i);
        }
    }
    return 1;
}

int readVectorTrack(SceneReader* reader, KeyTrack* track, const char* name) {
    return readTrack(reader, track, sizeof(VectorKey), offsetof(VectorKey, time), TRACK_KEYFRAMES,
                     name);
}
int readScalarTrack(SceneReader* reader, KeyTrack* track, const char* name) {
    return readTrack(reader, track, sizeof(ScalarKey), offsetof(ScalarKey, time), TRACK_KEYFRAMES,
                     name);
}
int readRotationTrack(SceneReader* reader, KeyTrack* track, const char* name) {
    return readTrack(reader, track, sizeof(RotationKey), offsetof(RotationKey, time),
                     TRACK_KEYFRAMES, name);
}
int readToggleTrack(SceneReader* reader, KeyTrack* track, const char* name) {
    return readTrack(reader, track, sizeof(ToggleKey), offsetof(ToggleKey, time), TRACK_TOGGLES,
                     name);
}

int readCamera(SceneReader* reader, Scene* scene) {
    setOwner(reader, "the camera", 0);
    scene->camera = static_cast<SceneCamera*>(std::calloc(1, sizeof(SceneCamera)));
    if (!scene->camera) return fail(reader, "not enough memory for the camera");
    SceneCamera* camera = scene->camera;
    uint8_t kind = 0, parent = 0;
    return takeU8(reader, &kind) && takeU8(reader, &parent) &&
           readVectorTrack(reader, &camera->positionTrack, "position") &&
           readScalarTrack(reader, &camera->rollTrack, "roll") &&
           readScalarTrack(reader, &camera->fovTrack, "field-of-view") &&
           readVectorTrack(reader, &camera->targetTrack, "target") &&
           readToggleTrack(reader, &camera->hideTrack, "hide");
}

int readObject(SceneReader* reader, SceneObject* object, int index, int objectCount,
               int32_t textureBase) {
    setOwner(reader, "object %d", index);
    uint8_t kind = 0, parent = 0, tag[4] = {0, 0, 0, 0};
    int32_t vertexCount = 0;
    if (!takeU8(reader, &kind) || !takeU8(reader, &parent) || !take(reader, tag, 4) ||
        !takeI32(reader, &vertexCount))
        return 0;
    object->kind = kind;
    object->parent = parent;
    if (kind == 1 && parent >= objectCount)
        return fail(reader, "object %d hangs below object %d, outside the %d objects", index,
                    parent, objectCount);
    if (vertexCount < 0) return fail(reader, "object %d has a negative vertex count", index);
    if (reader->left / VERTEX_BYTES < static_cast<size_t>(vertexCount)) return failShort(reader);

    const size_t vertices = static_cast<size_t>(vertexCount);
    object->vertices = static_cast<Vec3*>(std::calloc(vertices + 1, sizeof(Vec3)));
    object->eyeVertices = static_cast<Vec3*>(std::calloc(vertices + 1, sizeof(Vec3)));
    object->normals = static_cast<Vec3*>(std::calloc(vertices + 1, sizeof(Vec3)));
    object->normalScale = static_cast<float*>(std::calloc(vertices + 1, sizeof(float)));
    if (!object->vertices || !object->eyeVertices || !object->normals || !object->normalScale)
        return fail(reader, "not enough memory for object %d", index);
    object->vertexCount = vertexCount;
    for (size_t i = 0; i < vertices; ++i) {
        Vec3& v = object->vertices[i];
        takeF32(reader, &v.x);
        takeF32(reader, &v.y);
        takeF32(reader, &v.z);
    }

    int32_t faceCount = 0;
    uint8_t texture = 0;
    if (!takeI32(reader, &faceCount) || !takeU8(reader, &texture)) return 0;
    if (faceCount < 0) return fail(reader, "object %d has a negative face count", index);
    const int64_t slot = static_cast<int64_t>(texture) + textureBase;
    if (slot < 0 || slot >= TEXTURE_SLOTS)
        return fail(reader, "object %d uses texture slot %lld, outside the %d slots", index,
                    static_cast<long long>(slot), TEXTURE_SLOTS);
    object->textureSlot = static_cast<int32_t>(slot);
    if (reader->left / FACE_BYTES < static_cast<size_t>(faceCount)) return failShort(reader);
    object->faces =
        static_cast<Face*>(std::calloc(static_cast<size_t>(faceCount) + 1, sizeof(Face)));
    if (!object->faces) return fail(reader, "not enough memory for object %d", index);
    object->faceCount = faceCount;
    for (int32_t f = 0; f < faceCount; ++f) {
        for (Corner& corner : object->faces[f].corners) {
            takeI32(reader, &corner.vertex);
            takeF32(reader, &corner.u);
            takeF32(reader, &corner.v);
            corner.red = corner.green = corner.blue = 1.0f;
            if (corner.vertex < 0 || corner.vertex >= vertexCount)
                return fail(reader, "face %d of object %d names vertex %d, outside its %d vertices",
                            f, index, corner.vertex, vertexCount);
        }
    }
    return readVectorTrack(reader, &object->positionTrack, "position") &&
           readRotationTrack(reader, &object->rotationTrack, "rotation") &&
           readVectorTrack(reader, &object->scaleTrack, "scale") &&
           readToggleTrack(reader, &object->hideTrack, "hide");
}

int readLight(SceneReader* reader, SceneLight* light, int index) {
    setOwner(reader, "light %d", index);
    uint8_t kind = 0, parent = 0, colour[3] = {0, 0, 0};
    if (!takeU8(reader, &kind) || !takeU8(reader, &parent) || !take(reader, colour, 3)) return 0;
    light->red = colour[0] / 256.0f;
    light->green = colour[1] / 256.0f;
    light->blue = colour[2] / 256.0f;
    return readVectorTrack(reader, &light->positionTrack, "position") &&
           readToggleTrack(reader, &light->hideTrack, "hide");
}

int readSpotLight(SceneReader* reader, SceneSpotLight* spot, int index) {
    setOwner(reader, "spot light %d", index);
    uint8_t kind = 0, parent = 0, colour[3] = {0, 0, 0};
    if (!takeU8(reader, &kind) || !takeU8(reader, &parent) || !take(reader, colour, 3)) return 0;
    for (int i = 0; i < 3; ++i) spot->colour[i] = colour[i];
    return readVectorTrack(reader, &spot->positionTrack, "position") &&
           readScalarTrack(reader, &spot->firstScalarTrack, "first scalar") &&
           readScalarTrack(reader, &spot->secondScalarTrack, "second scalar") &&
           readVectorTrack(reader, &spot->targetTrack, "target") &&
           readToggleTrack(reader, &spot->hideTrack, "hide");
}

// A record count byte followed by that many zero-filled records.
template <typename Record>
int readCount(SceneReader* reader, const char* what, Record** records, int32_t* count) {
    if (reader->left == 0) return fail(reader, "file ends before %s", what);
    uint8_t n = 0;
    takeU8(reader, &n);
    if (n == 0) return 1;
    *records = static_cast<Record*>(std::calloc(n, sizeof(Record)));
    if (!*records) return fail(reader, "not enough memory for %s", what);
    *count = n;
    return 1;
}

void clearSceneLists(Scene* scene) {
    scene->objectCount = 0;
    scene->lightCount = 0;
    scene->spotLightCount = 0;
    scene->spriteSetCount = 0;
    scene->frameHookCount = 0;
    scene->flareSetCount = 0;
    scene->fogDensity = 0.0f;
    for (float& c : scene->fogColour) c = 0.0f;
}

void freeTrack(KeyTrack* track) {
    std::free(track->keys);
    track->keys = nullptr;
    track->keyCount = 0;
}

}  // namespace

int readSceneBytes(const uint8_t* bytes, size_t size, Scene* scene, int32_t textureBase,
                   const char* name) {
    clearSceneLists(scene);
    scene->camera = nullptr;
    scene->objects = nullptr;
    scene->lights = nullptr;
    scene->spotLights = nullptr;
    SceneReader reader{bytes, size, {0}, {0}};

    int ok = readCamera(&reader, scene) &&
             readCount(&reader, "the object count", &scene->objects, &scene->objectCount);
    for (int i = 0; ok && i < scene->objectCount; ++i)
        ok = readObject(&reader, &scene->objects[i], i, scene->objectCount, textureBase);
    ok = ok && readCount(&reader, "the light count", &scene->lights, &scene->lightCount);
    for (int i = 0; ok && i < scene->lightCount; ++i) ok = readLight(&reader, &scene->lights[i], i);
    ok = ok &&
         readCount(&reader, "the spot light count", &scene->spotLights, &scene->spotLightCount);
    for (int i = 0; ok && i < scene->spotLightCount; ++i)
        ok = readSpotLight(&reader, &scene->spotLights[i], i);
    if (ok) return 1;

    char message[512];
    std::snprintf(message, sizeof message, "%s: %s", name, reader.problem);
    releaseScene(scene);
    reportError(message);
    return 0;
}

int loadScene(const char* path, Scene* scene, int32_t textureBase) {
    clearSceneLists(scene);
    uint8_t* bytes = nullptr;
    size_t size = 0;
    DataFileResult result = readDataFile(path, &bytes, &size);
    if (result == DATA_FILE_MISSING) {
        reportError("mesh-file not found");
        return 0;
    }
    if (result != DATA_FILE_READ) {
        char message[512];
        std::snprintf(message, sizeof message, "%s: the file cannot be read", path);
        reportError(message);
        return 0;
    }
    const int ok = readSceneBytes(bytes, size, scene, textureBase, path);
    std::free(bytes);
    return ok;
}

SceneObject* findObjectBySlot(Scene* scene, int32_t slotIndex) {
    for (int32_t i = 0; i < scene->objectCount; ++i)
        if (scene->objects[i].textureSlot == slotIndex) return &scene->objects[i];
    return nullptr;
}

void releaseScene(Scene* scene) {
    if (scene->camera) {
        SceneCamera* camera = scene->camera;
        for (KeyTrack* track : {&camera->positionTrack, &camera->rollTrack, &camera->fovTrack,
                                &camera->targetTrack, &camera->hideTrack})
            freeTrack(track);
        std::free(camera);
    }
    for (int32_t i = 0; scene->objects && i < scene->objectCount; ++i) {
        SceneObject* object = &scene->objects[i];
        std::free(object->vertices);
        std::free(object->eyeVertices);
        std::free(object->normals);
        std::free(object->normalScale);
        std::free(object->faces);
        for (KeyTrack* track : {&object->positionTrack, &object->rotationTrack, &object->scaleTrack,
                                &object->hideTrack})
            freeTrack(track);
    }
    std::free(scene->objects);
    for (int32_t i = 0; scene->lights && i < scene->lightCount; ++i) {
        freeTrack(&scene->lights[i].positionTrack);
        freeTrack(&scene->lights[i].hideTrack);
    }
    std::free(scene->lights);
    for (int32_t i = 0; scene->spotLights && i < scene->spotLightCount; ++i) {
        SceneSpotLight* spot = &scene->spotLights[i];
        for (KeyTrack* track : {&spot->positionTrack, &spot->firstScalarTrack,
                                &spot->secondScalarTrack, &spot->targetTrack, &spot->hideTrack})
            freeTrack(track);
    }
    std::free(scene->spotLights);
    scene->camera = nullptr;
    scene->objects = nullptr;
    scene->lights = nullptr;
    scene->spotLights = nullptr;
    clearSceneLists(scene);
}
