// Math and keyframe tracks: the matrix helpers, the Hermite and slerp curves at their ends, and
// the track evaluation around keys, past the last key, before the first, and the forward-only
// toggle tracks.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "math/keyframe_tracks.h"
#include "math/math3d.h"

namespace {

template <typename Key>
KeyTrack trackOf(std::vector<Key>& keys) {
    return KeyTrack{static_cast<int32_t>(keys.size()), 0, 0, keys.data()};
}

VectorKey vkey(int32_t time, Vec3 value, Vec3 in = {0, 0, 0}, Vec3 out = {0, 0, 0}) {
    return VectorKey{in, time, value, out};
}

}  // namespace

TEST(Mat3, MulLeftComputesBTimesAEvenInPlace) {
    Mat3 a{{1, 2, 3, 4, 5, 6, 7, 8, 9}};
    const Mat3 b{
        {0, 1, 0, 0, 0, 1, 1, 0, 0}};  // moves rows: row0 <- row1, row1 <- row2, row2 <- row0
    mat3MulLeft(&a, &b);
    const float expected[9] = {4, 5, 6, 7, 8, 9, 1, 2, 3};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(a.m[i], expected[i]) << i;

    Mat3 c{{1, 1, 0, 0, 1, 0, 0, 0, 1}};
    mat3MulLeft(&c, &c);  // squaring a shear doubles it
    EXPECT_EQ(c.m[1], 2.0f);
    EXPECT_EQ(c.m[0], 1.0f);
}

TEST(Mat3, RotationZRowsAndMiddleRowScale) {
    Mat3 a;
    mat3RotationZ(&a, static_cast<float>(M_PI / 2));
    EXPECT_NEAR(a.m[0], 0.0f, 1e-7);
    EXPECT_FLOAT_EQ(a.m[1], 1.0f);
    EXPECT_FLOAT_EQ(a.m[3], -1.0f);
    EXPECT_EQ(a.m[8], 1.0f);
    EXPECT_EQ(a.m[2], 0.0f);
    mat3ScaleRow(&a, 1.34f);
    EXPECT_FLOAT_EQ(a.m[3], -1.34f);
    EXPECT_FLOAT_EQ(a.m[1], 1.0f);  // other rows untouched
    EXPECT_EQ(a.m[8], 1.0f);
}

TEST(Vec3Math, NormalizeGivesUnitLength) {
    Vec3 v{3, 0, 4};
    vec3Normalize(&v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
}

TEST(Hermite, EndsAndEasing) {
    EXPECT_EQ(hermite(2.0, 5.0, 7.0, -3.0, 0.0f), 2.0);
    EXPECT_EQ(hermite(2.0, 5.0, 7.0, -3.0, 1.0f), 7.0);
    EXPECT_DOUBLE_EQ(hermite(0.0, 0.0, 1.0, 0.0, 0.5f), 0.5);
    // Zero tangents: slow at both ends.
    EXPECT_LT(hermite(0.0, 0.0, 1.0, 0.0, 0.1f), 0.1);
    EXPECT_GT(hermite(0.0, 0.0, 1.0, 0.0, 0.9f), 0.9);
}

TEST(Slerp, IdenticalIdentityTakesLinearBranchAndHalfwayIsOnTheArc) {
    const Quat id{1, 0, 0, 0};
    for (float u : {-0.5f, 0.0f, 0.3f, 1.0f, 2.0f}) {
        Quat out;
        slerp(&out, &id, &id, u);
        EXPECT_EQ(out.w, 1.0f);
        EXPECT_EQ(out.x, 0.0f);
    }
    const float h = static_cast<float>(std::sqrt(0.5));
    const Quat z90{h, 0, 0, h};  // 90 degrees about z
    Quat mid;
    slerp(&mid, &id, &z90, 0.5f);
    EXPECT_NEAR(mid.w, std::cos(M_PI / 8), 1e-6);
    EXPECT_NEAR(mid.z, std::sin(M_PI / 8), 1e-6);
    // No shorter-arc flip: b and -b give different paths.
    const Quat negZ90{-h, 0, 0, -h};
    Quat other;
    slerp(&other, &id, &negZ90, 0.5f);
    EXPECT_NEAR(other.w, std::cos(3 * M_PI / 8), 1e-6);
    EXPECT_NEAR(other.z, -std::sin(3 * M_PI / 8), 1e-6);
}

TEST(VectorTrack, OneKeyHoldsAtEveryTime) {
    std::vector<VectorKey> keys{vkey(10, {1, 2, 3}, {9, 9, 9}, {9, 9, 9})};
    KeyTrack track = trackOf(keys);
    for (float t : {-100.0f, 0.0f, 10.0f, 1e6f}) {
        Vec3 out{};
        evalVectorTrack(&track, &out, t);
        EXPECT_EQ(out.x, 1.0f);
        EXPECT_EQ(out.z, 3.0f);
        EXPECT_EQ(track.cursor, 0);
    }
}

TEST(VectorTrack, ExactKeyTimeLastKeyAndExtrapolation) {
    std::vector<VectorKey> keys{vkey(0, {0, 0, 0}, {0, 0, 0}, {10, 0, 0}),
                                vkey(10, {1.1f, 2, 3}, {10, 0, 0}, {5, 5, 5}),
                                vkey(30, {7, 8, 9}, {1, 1, 1}, {0, 0, 0})};
    KeyTrack track = trackOf(keys);
    Vec3 out{};
    evalVectorTrack(&track, &out, 10.0f);  // exact key time: segment 1 at u = 0
    EXPECT_EQ(track.cursor, 1);
    EXPECT_EQ(out.x, 1.1f);
    EXPECT_EQ(out.y, 2.0f);
    evalVectorTrack(&track, &out, 30.0f);
    EXPECT_EQ(track.cursor, 2);
    EXPECT_EQ(out.x, 7.0f);
    evalVectorTrack(&track, &out, 500.0f);
    EXPECT_EQ(out.z, 9.0f);
    // Back before the first key: cursor walks back to 0 and u is negative.
    evalVectorTrack(&track, &out, -5.0f);
    EXPECT_EQ(track.cursor, 0);
    const float u = -0.5f;
    EXPECT_FLOAT_EQ(out.x, static_cast<float>(hermite(0, 10, 1.1f, 10, u)));
    EXPECT_LT(out.x, 0.0f);
    // Halfway between keys 1 and 2 with the stored tangents.
    evalVectorTrack(&track, &out, 20.0f);
    EXPECT_EQ(track.cursor, 1);
    EXPECT_FLOAT_EQ(out.y, static_cast<float>(hermite(2, 5, 8, 1, 0.5f)));
}

TEST(VectorTrack, StaleCursorGivesSameValueAsFreshEvaluation) {
    std::vector<VectorKey> keys;
    for (int i = 0; i < 20; ++i)
        keys.push_back(vkey(i * 10, {float(i * i), 0, 0}, {1, 0, 0}, {2, 0, 0}));
    KeyTrack walked = trackOf(keys);
    Vec3 a{}, b{};
    evalVectorTrack(&walked, &a, 185.0f);
    evalVectorTrack(&walked, &a, 37.0f);
    KeyTrack fresh = trackOf(keys);
    evalVectorTrack(&fresh, &b, 37.0f);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(walked.cursor, 3);
    // A cursor left beyond the keys is brought back instead of reading past them.
    fresh.cursor = 1000;
    evalVectorTrack(&fresh, &b, 37.0f);
    EXPECT_EQ(a.x, b.x);
}

TEST(ScalarTrack, InterpolatesAndHoldsLastValue) {
    std::vector<ScalarKey> keys{{0, 0, 1.0f, 0}, {0, 4, 3.0f, 0}};
    KeyTrack track = trackOf(keys);
    float out = 0;
    evalScalarTrack(&track, &out, 2.0f);
    EXPECT_FLOAT_EQ(out, 2.0f);
    evalScalarTrack(&track, &out, 4.0f);
    EXPECT_EQ(out, 3.0f);
}

TEST(RotationTrack, BezierOfSlerpsMatchesKeysAtEnds) {
    const float h = static_cast<float>(std::sqrt(0.5));
    const Quat id{1, 0, 0, 0}, z90{h, 0, 0, h};
    std::vector<RotationKey> keys{{id, 0, id, id}, {z90, 10, z90, z90}};
    KeyTrack track = trackOf(keys);
    Quat out{};
    evalRotationTrack(&track, &out, 0.0f);
    EXPECT_FLOAT_EQ(out.w, 1.0f);
    EXPECT_NEAR(out.z, 0.0f, 1e-7);
    evalRotationTrack(&track, &out, 5.0f);  // controls on the endpoints: symmetric, so halfway
    EXPECT_NEAR(out.w, std::cos(M_PI / 8), 1e-6);
    EXPECT_NEAR(out.z, std::sin(M_PI / 8), 1e-6);
    evalRotationTrack(&track, &out, 11.0f);
    EXPECT_EQ(out.w, h);
    EXPECT_EQ(out.z, h);
}

TEST(ToggleTrack, FlipsForwardOnlyAndTwiceInOneCall) {
    std::vector<ToggleKey> keys{{10}, {20}};
    KeyTrack growing = trackOf(keys);
    advanceToggleTrack(&growing, 0.0f);
    EXPECT_EQ(growing.toggleState, 0);
    advanceToggleTrack(&growing, 10.0f);
    EXPECT_EQ(growing.toggleState, 1);
    advanceToggleTrack(&growing, 19.9f);
    EXPECT_EQ(growing.toggleState, 1);
    advanceToggleTrack(&growing, 5.0f);  // going back undoes nothing
    EXPECT_EQ(growing.toggleState, 1);
    advanceToggleTrack(&growing, 20.0f);
    EXPECT_EQ(growing.toggleState, 0);
    advanceToggleTrack(&growing, 1000.0f);  // all keys passed: nothing changes, nothing read
    EXPECT_EQ(growing.toggleState, 0);
    EXPECT_EQ(growing.cursor, 2);

    KeyTrack late = trackOf(keys);
    advanceToggleTrack(&late, 25.0f);
    EXPECT_EQ(late.toggleState, 0);
    EXPECT_EQ(late.cursor, 2);
}
