// The in-memory Scene: one camera, textured triangle meshes, point lights and targeted lights,
// all driven by keyframe tracks, plus the per-scene lists the set-up adds after loading: sprite
// sets, frame hooks, lens-flare sets and fog. Scenes live in one block of 1024, addressed by
// index. Every array inside a Scene is allocated once at load time and reused every frame.
#pragma once

#include <cstdint>

#include "assets/texture_table.h"
#include "math/keyframe_tracks.h"
#include "math/math3d.h"

struct Corner {
    int32_t vertex;          // index into the object's vertex arrays
    float u, v;              // main texture coordinates
    float u2, v2;            // second texture coordinates (scrolling overlay)
    float red, green, blue;  // corner colour, 1 after loading
};

struct Face {
    Corner corners[3];
};

struct SceneCamera {
    Vec3 position;
    Vec3 target;
    float roll;
    float fov;
    KeyTrack positionTrack, rollTrack, fovTrack, targetTrack, hideTrack;
    Vec3 right, up, forward;  // eye basis of the current frame
};

struct SceneObject {
    uint8_t kind;  // 1 = linked below `parent`
    int32_t parent;
    int32_t vertexCount;
    int32_t faceCount;
    int32_t textureSlot;
    Mat3 rotationScale;
    Vec3 translation;
    int32_t evaluated;
    Vec3* vertices;     // object space, from the file
    Vec3* eyeVertices;  // eye space, every frame
    Face* faces;
    Vec3* normals;
    float* normalScale;  // cached reciprocal normal lengths, 0 until first computed
    KeyTrack positionTrack, rotationTrack, scaleTrack, hideTrack;
    // 1 once every vertex a face names has its normal length cached: from then on the normals
    // depend only on the frame's geometry, and a frame that is only advanced may skip them.
    int32_t normalsComplete;
    // 1 once a morph or a mirror has rewritten the object-space vertices: vertices that lie on
    // each other may part later, where those of a mesh as loaded never do.
    int32_t reshaped;
};

struct SceneLight {
    Vec3 worldPosition;
    Vec3 eyePosition;
    float red;    // first colour byte / 256
    float blue;   // third colour byte / 256
    float green;  // second colour byte / 256
    KeyTrack positionTrack, hideTrack;
};

struct SceneSpotLight {
    float colour[3];  // the three bytes as they stand in the file, not divided
    KeyTrack positionTrack, firstScalarTrack, secondScalarTrack, targetTrack, hideTrack;
};

// ---- Sprite sets ----

struct Sprite {
    Vec3 offset;
    Vec3 velocity;
    Vec3 worldPosition;
    Vec3 eyePosition;
    Vec3 colour;
    float shrink;
    float halfSize;
    float pathPosition;
    float pathSpeed;
};

using SpriteSpawn = void (*)(Sprite* sprite);
using SpriteUpdate = void (*)(Sprite* sprite, void* userValue);

struct SpriteSet {
    Sprite* sprites;
    int32_t spriteCount;  // sprites in use; the timeline may lower and raise it again
    SpriteSpawn spawn;
    SpriteUpdate update;
    void* userValue;  // an origin point, a path, or nothing
    TextureSlot* slot;
    int32_t spriteCapacity;  // sprites allocated; spriteCount never exceeds it
};

// ---- Frame hooks ----

using FrameHookFunction = void (*)(SceneObject* object, void* userValue);

struct FrameHook {
    SceneObject* object;
    void* userValue;
    FrameHookFunction function;
};

// ---- Lens flares ----

struct FlareElement {
    uint32_t glName;
    float halfSize;
    float red, green, blue;
};

struct FlareSet {
    int32_t elementCount;
    int32_t elementsBeforeLight;
    FlareElement* elements;
    Vec3* anchor;  // eye-space position of the light the chain follows
    float spacing;
    float intensity;
    float falloff;
    float fadeSpeed;
    int32_t fadeDirection;  // 1 fading in, 0 fading out, anything else holds
};

// ---- The Scene ----

constexpr int MAX_SPRITE_SETS = 256;
constexpr int MAX_FRAME_HOOKS = 256;
constexpr int MAX_FLARE_SETS = 256;
constexpr int SCENE_COUNT = 1024;

struct Scene {
    SceneCamera* camera;
    SceneObject* objects;
    int32_t objectCount;
    SceneLight* lights;
    int32_t lightCount;
    SceneSpotLight* spotLights;
    int32_t spotLightCount;
    SpriteSet spriteSets[MAX_SPRITE_SETS];
    int32_t spriteSetCount;
    FrameHook frameHooks[MAX_FRAME_HOOKS];
    int32_t frameHookCount;
    FlareSet flareSets[MAX_FLARE_SETS];
    int32_t flareSetCount;
    float fogDensity;  // 0 = no fog
    float fogColour[4];
};

// The Scenes block, allocated zero-filled by allocateTables (asset_tables.h).
extern Scene* scenes;
