// Keyframe tracks: the keys of one animated value and a cursor at the key last used, so that
// evaluating at times that move a little from frame to frame costs a step or two. Vector and
// scalar tracks are Hermite splines, rotation tracks Bezier curves built from slerps, toggle
// tracks flip a state at every key time they pass. Key records are laid out exactly as the
// scene files store them, so the reader copies key bytes straight into them.
#pragma once

#include <cstdint>

#include "math/math3d.h"

struct KeyTrack {
    int32_t keyCount;     // at least 1 in every loaded track
    int32_t cursor;       // index of the key found by the last evaluation
    int32_t toggleState;  // toggle tracks: the current state (1 = hidden for a hide track)
    void* keys;           // keyCount keys of the track's kind, in increasing time order
};

struct VectorKey {
    Vec3 inTangent;
    int32_t time;
    Vec3 value;
    Vec3 outTangent;
};
struct ScalarKey {
    float inTangent;
    int32_t time;
    float value;
    float outTangent;
};
struct RotationKey {
    Quat inControl;
    int32_t time;
    Quat value;
    Quat outControl;
};
struct ToggleKey {
    int32_t time;
};

static_assert(sizeof(VectorKey) == 40 && sizeof(ScalarKey) == 16 && sizeof(RotationKey) == 52 &&
              sizeof(ToggleKey) == 4);

// Moves the cursor to the last key whose time is at most t (0 before the first key) and returns
// it. `firstTime` points at the time field of key 0; `stride` is the key size in bytes.
int32_t findKey(KeyTrack* track, const int32_t* firstTime, int32_t stride, float t);

void evalVectorTrack(KeyTrack* track, Vec3* out, float t);
void evalScalarTrack(KeyTrack* track, float* out, float t);
void evalRotationTrack(KeyTrack* track, Quat* out, float t);
// Flips toggleState once for every key passed since the last call; never goes back.
void advanceToggleTrack(KeyTrack* track, float t);
