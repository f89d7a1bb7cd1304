// Sprite sets: groups of small camera-facing squares that share a texture, a spawn function and
// an update function. Sprites move by frameStep (music time since the last frame), so cuts and
// rescaled scene times never show in their motion. Three kinds ride a closed path that is
// sampled from a keyframe track once at load time; following it costs one linear interpolation
// between two stored samples. Random values come from the runtime's 15-bit generator.
#include "anim/sprite_sets.h"

#include <cmath>
#include <cstdlib>

#include "anim/frame_clock.h"
#include "platform/platform.h"
#include "shell/error_report.h"

namespace {

// Updates every sprite gets right after its spawn when its set is added.
constexpr int WARM_UP_UPDATES = 100;

constexpr float PATH_CLOUD_END = 600.0f;
constexpr float PATH_SWARM_END = 2500.0f;
constexpr float PATH_BALL_END = 2500.0f;

void setWhite(Sprite* sprite) { sprite->colour = {1.0f, 1.0f, 1.0f}; }

// offset += frameStep * velocity
void advanceOffset(Sprite* sprite) {
    const double step = frameStep;
    sprite->offset = {static_cast<float>(sprite->offset.x + step * sprite->velocity.x),
                      static_cast<float>(sprite->offset.y + step * sprite->velocity.y),
                      static_cast<float>(sprite->offset.z + step * sprite->velocity.z)};
}

// Moves along the path by frameStep * pathSpeed, wrapping to the start past `end` (and to `end`
// below 0).
void moveAlongLoopedPath(Sprite* sprite, float end) {
    sprite->pathPosition = static_cast<float>(sprite->pathPosition +
                                              static_cast<double>(frameStep) * sprite->pathSpeed);
    if (sprite->pathPosition > end) sprite->pathPosition = 0.0f;
    if (sprite->pathPosition < 0.0f) sprite->pathPosition = end;
}

// Moves a ball along the path: past its end back to the start, and (moving backwards) from
// before the start to the end.
void moveBall(Sprite* sprite) {
    sprite->pathPosition = static_cast<float>(sprite->pathPosition +
                                              static_cast<double>(frameStep) * sprite->pathSpeed);
    if (sprite->pathPosition >= PATH_BALL_END) sprite->pathPosition = 0.0f;
    // The music jumping back moves a ball backwards; past the start it goes on from the end,
    // like the other path kinds, instead of reading before the path.
    if (sprite->pathPosition < 0.0f) sprite->pathPosition = PATH_BALL_END;
}

// Places the sprite at its path point plus its offset.
void placeOnPath(Sprite* sprite, const Vec3* path) {
    Vec3 point;
    pathPoint(path, sprite->pathPosition, &point);
    sprite->worldPosition = {point.x + sprite->offset.x, point.y + sprite->offset.y,
                             point.z + sprite->offset.z};
}

void followLoopedPath(Sprite* sprite, const Vec3* path, float end) {
    moveAlongLoopedPath(sprite, end);
    placeOnPath(sprite, path);
}

}  // namespace

float rnd(float x) { return static_cast<float>(static_cast<double>(x) * runtimeRand() / 32768.0); }

float rndSigned(float x) {
    return static_cast<float>(2.0 * x * runtimeRand() / 32768.0 - x);
}

int addSpriteSet(Scene* scene, void* userValue, int32_t count, SpriteSpawn spawn,
                 SpriteUpdate update, int32_t slotIndex) {
    if (scene->spriteSetCount < 0 || scene->spriteSetCount >= MAX_SPRITE_SETS) {
        reportError("cannot add sprite set: the scene already holds 256 sprite sets");
        return 0;
    }
    if (count < 0 || spawn == nullptr || update == nullptr) {
        reportError("cannot add sprite set: needs a sprite count of 0 or more and both functions");
        return 0;
    }
    if (textureTable == nullptr || slotIndex < 0 || slotIndex >= TEXTURE_SLOTS) {
        reportError("cannot add sprite set: no such texture slot");
        return 0;
    }
    auto* sprites = static_cast<Sprite*>(std::calloc(count > 0 ? count : 1, sizeof(Sprite)));
    if (sprites == nullptr) {
        reportError("cannot add sprite set: out of memory");
        return 0;
    }
    SpriteSet* set = &scene->spriteSets[scene->spriteSetCount];
    set->sprites = sprites;
    set->spriteCount = count;
    set->spriteCapacity = count;
    set->spawn = spawn;
    set->update = update;
    set->userValue = userValue;
    set->slot = &textureTable[slotIndex];
    ++scene->spriteSetCount;
    for (int32_t k = 0; k < count; ++k) {
        spawn(&sprites[k]);
        for (int i = 0; i < WARM_UP_UPDATES; ++i) update(&sprites[k], userValue);
    }
    return 1;
}

void samplePath(Vec3** outPath, KeyTrack* positionTrack, int32_t n) {
    Vec3* path = nullptr;
    if (n >= 0) path = static_cast<Vec3*>(std::malloc(sizeof(Vec3) * (static_cast<size_t>(n) + 1)));
    if (path == nullptr) {
        reportError("cannot sample path: out of memory");
        *outPath = nullptr;
        return;
    }
    for (int32_t i = 0; i < n; ++i) evalVectorTrack(positionTrack, &path[i], static_cast<float>(i));
    evalVectorTrack(positionTrack, &path[n], 0.0f);
    *outPath = path;
}

namespace {

// The whole part of a path position, rounded down. Positions lie between 0 and the end of the
// path, where converting to an integer and back is the same as std::floor and much cheaper
// (every sprite on a path takes one a step); anything else goes through std::floor.
double wholePart(double s) {
    if (!(s >= 0.0 && s < 1e9)) return std::floor(s);
    return static_cast<double>(static_cast<int32_t>(s));
}

}  // namespace

void pathPoint(const Vec3* path, float s, Vec3* out) {
    const double whole = wholePart(s);
    const int32_t i = static_cast<int32_t>(whole);
    const double f = s - whole;
    const Vec3& a = path[i];
    const Vec3& b = path[i + 1];
    *out = {static_cast<float>((1.0 - f) * a.x + f * b.x),
            static_cast<float>((1.0 - f) * a.y + f * b.y),
            static_cast<float>((1.0 - f) * a.z + f * b.z)};
}

// ---- Drifter: free flight out of the world origin, shrinking, re-spawned when gone ----

void spawnDrifter(Sprite* sprite) {
    setWhite(sprite);
    const float vx = rnd(1.0f) - 0.5f;
    const float vy = rnd(1.0f) - 0.5f;
    const float vz = rnd(1.0f) - 0.5f;
    sprite->velocity = {vx, vy, vz};
    sprite->offset = {2.0f * vx, 2.0f * vy, 2.0f * vz};
    sprite->worldPosition = sprite->offset;
    sprite->halfSize = 3.0f + rnd(3.0f);
    sprite->shrink = 0.03f + rnd(0.03f);
}

void updateDrifter(Sprite* sprite, void* userValue) {
    sprite->worldPosition = sprite->offset;
    advanceOffset(sprite);
    sprite->halfSize =
        static_cast<float>(sprite->halfSize - static_cast<double>(frameStep) * sprite->shrink);
    if (sprite->halfSize < 0.0f) spawnDrifter(sprite);
}

// ---- Burst: large sprites shooting out of an origin point and shrinking fast ----

void spawnBurst(Sprite* sprite) {
    setWhite(sprite);
    const float vx = rndSigned(20.0f);
    const float vy = rndSigned(20.0f);
    const float vz = rndSigned(20.0f);
    sprite->velocity = {vx, vy, vz};
    sprite->offset = {0.0f, 0.0f, 0.0f};
    sprite->worldPosition = {0.0f, 0.0f, 0.0f};
    sprite->halfSize = 500.0f;
    sprite->shrink = 4.0f + rnd(4.0f);
}

void updateBurst(Sprite* sprite, void* origin) {
    sprite->halfSize =
        static_cast<float>(sprite->halfSize - static_cast<double>(frameStep) * sprite->shrink);
    if (sprite->halfSize < 0.0f) spawnBurst(sprite);
    const Vec3 centre = origin != nullptr ? *static_cast<const Vec3*>(origin) : Vec3{0, 0, 0};
    sprite->worldPosition = {centre.x + sprite->offset.x, centre.y + sprite->offset.y,
                             centre.z + sprite->offset.z};
    advanceOffset(sprite);
}

// ---- Path cloud: a loose cloud sliding slowly along the first 600 samples ----

void spawnPathCloud(Sprite* sprite) {
    setWhite(sprite);
    const float ox = rndSigned(80.0f);
    const float oy = rndSigned(80.0f);
    const float oz = rndSigned(80.0f);
    sprite->offset = {ox, oy, oz};
    sprite->velocity = {0.0f, 0.0f, 0.0f};
    sprite->halfSize = 2.0f + rnd(0.5f);
    sprite->pathPosition = rnd(1500.0f);
    sprite->pathSpeed = 0.01f + rnd(0.05f);
}

void updatePathCloud(Sprite* sprite, void* path) {
    followLoopedPath(sprite, static_cast<const Vec3*>(path), PATH_CLOUD_END);
}

// ---- Path swarm: a tight swarm along the first 2500 samples ----

void spawnPathSwarm(Sprite* sprite) {
    setWhite(sprite);
    const float ox = rnd(20.0f) - 10.0f;
    const float oy = rnd(20.0f) - 10.0f;
    const float oz = rnd(20.0f) - 10.0f;
    sprite->offset = {ox, oy, oz};
    sprite->velocity = {0.0f, 0.0f, 0.0f};
    sprite->halfSize = 4.0f + rnd(1.0f);
    sprite->pathPosition = rnd(2500.0f);
    sprite->pathSpeed = 0.5f + rnd(2.0f);
}

void updatePathSwarm(Sprite* sprite, void* path) {
    followLoopedPath(sprite, static_cast<const Vec3*>(path), PATH_SWARM_END);
}

// ---- Path ball: a few large sprites riding exactly on the path ----

void spawnPathBall(Sprite* sprite) {
    setWhite(sprite);
    sprite->offset = {0.0f, 0.0f, 0.0f};
    sprite->velocity = {0.0f, 0.0f, 0.0f};
    sprite->halfSize = 128.0f;
    sprite->pathPosition = rnd(2500.0f);
    sprite->pathSpeed = 2.0f + rnd(4.0f);
}

void updatePathBall(Sprite* sprite, void* path) {
    moveBall(sprite);
    placeOnPath(sprite, static_cast<const Vec3*>(path));
}

// ---- Steps with nothing read in between ----

int followsPath(SpriteUpdate update) {
    return update == updatePathCloud || update == updatePathSwarm || update == updatePathBall;
}

void stepPathSetTwice(SpriteSet* set, int32_t count) {
    const auto* path = static_cast<const Vec3*>(set->userValue);
    for (int32_t k = 0; k < count; ++k) {
        Sprite* sprite = &set->sprites[k];
        for (int step = 0; step < 2; ++step) {
            if (set->update == updatePathBall)
                moveBall(sprite);
            else
                moveAlongLoopedPath(sprite, set->update == updatePathCloud ? PATH_CLOUD_END
                                                                           : PATH_SWARM_END);
        }
        placeOnPath(sprite, path);
    }
}
