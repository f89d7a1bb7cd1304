// Keyframe tracks. A shared cursor search finds the last key at or before t, starting from the
// key used last time, so frame-to-frame evaluation costs a step or two. Between two keys the
// value follows a Hermite curve (vectors, scalars) or a de Casteljau Bezier of slerps
// (rotations); past the last key a track holds its last value, before the first key the first
// segment is extrapolated. Toggle tracks only ever move forward.
#include "math/keyframe_tracks.h"

#include <cstddef>

namespace {

int32_t keyTime(const int32_t* firstTime, int32_t stride, int32_t index) {
    const auto* base = reinterpret_cast<const unsigned char*>(firstTime);
    return *reinterpret_cast<const int32_t*>(base + static_cast<ptrdiff_t>(index) * stride);
}

// Segment parameter of t between the key times, rounded to float and not clamped.
float segmentParameter(int32_t from, int32_t to, float t) {
    return static_cast<float>((static_cast<double>(t) - from) /
                              (static_cast<double>(to) - static_cast<double>(from)));
}

}  // namespace

int32_t findKey(KeyTrack* track, const int32_t* firstTime, int32_t stride, float t) {
    const int32_t n = track->keyCount;
    if (n <= 0) return 0;
    int32_t c = track->cursor;
    // A cursor left outside the track (a track rebuilt in place) starts from the nearest end.
    if (c < 0) c = 0;
    if (c > n - 1) c = n - 1;
    const double time = t;
    while (keyTime(firstTime, stride, c) <= time && c < n - 1) ++c;
    while (keyTime(firstTime, stride, c) > time && c > 0) --c;
    track->cursor = c;
    return c;
}

void evalVectorTrack(KeyTrack* track, Vec3* out, float t) {
    if (track->keyCount <= 0) {
        *out = Vec3{0.0f, 0.0f, 0.0f};
        return;
    }
    const auto* keys = static_cast<const VectorKey*>(track->keys);
    const int32_t c = findKey(track, &keys[0].time, sizeof(VectorKey), t);
    if (c == track->keyCount - 1) {
        *out = keys[c].value;
        return;
    }
    const VectorKey& k = keys[c];
    const VectorKey& k1 = keys[c + 1];
    const float u = segmentParameter(k.time, k1.time, t);
    out->x = static_cast<float>(hermite(k.value.x, k.outTangent.x, k1.value.x, k1.inTangent.x, u));
    out->y = static_cast<float>(hermite(k.value.y, k.outTangent.y, k1.value.y, k1.inTangent.y, u));
    out->z = static_cast<float>(hermite(k.value.z, k.outTangent.z, k1.value.z, k1.inTangent.z, u));
}

void evalScalarTrack(KeyTrack* track, float* out, float t) {
    if (track->keyCount <= 0) {
        *out = 0.0f;
        return;
    }
    const auto* keys = static_cast<const ScalarKey*>(track->keys);
    const int32_t c = findKey(track, &keys[0].time, sizeof(ScalarKey), t);
    if (c == track->keyCount - 1) {
        *out = keys[c].value;
        return;
    }
    const ScalarKey& k = keys[c];
    const ScalarKey& k1 = keys[c + 1];
    const float u = segmentParameter(k.time, k1.time, t);
    *out = static_cast<float>(hermite(k.value, k.outTangent, k1.value, k1.inTangent, u));
}

void evalRotationTrack(KeyTrack* track, Quat* out, float t) {
    if (track->keyCount <= 0) {
        *out = Quat{1.0f, 0.0f, 0.0f, 0.0f};
        return;
    }
    const auto* keys = static_cast<const RotationKey*>(track->keys);
    const int32_t c = findKey(track, &keys[0].time, sizeof(RotationKey), t);
    if (c == track->keyCount - 1) {
        *out = keys[c].value;
        return;
    }
    const RotationKey& k = keys[c];
    const RotationKey& k1 = keys[c + 1];
    const float u = segmentParameter(k.time, k1.time, t);
    Quat q1, q2, q3, r1, r2;
    slerp(&q1, &k.value, &k.outControl, u);
    slerp(&q2, &k.outControl, &k1.inControl, u);
    slerp(&q3, &k1.inControl, &k1.value, u);
    slerp(&r1, &q1, &q2, u);
    slerp(&r2, &q2, &q3, u);
    slerp(out, &r1, &r2, u);
}

void advanceToggleTrack(KeyTrack* track, float t) {
    const auto* keys = static_cast<const ToggleKey*>(track->keys);
    const double time = t;
    // The bound is tested before the key is read, so a finished track reads nothing.
    while (track->cursor >= 0 && track->cursor < track->keyCount &&
           keys[track->cursor].time <= time) {
        track->toggleState ^= 1;
        ++track->cursor;
    }
}
