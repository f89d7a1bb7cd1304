// The small vector, quaternion and matrix vocabulary of the animation code. Stored numbers are
// 32-bit floats; the operations compute in double and round where the results are stored.
#pragma once

struct Vec3 {
    float x, y, z;
};

// A rotation as a unit quaternion, scalar part first.
struct Quat {
    float w, x, y, z;
};

// Row-major 3 x 3 matrix: element (r, c) is m[3r + c]; it applies to column vectors.
struct Mat3 {
    float m[9];
};

// The rounding of a value computed in double to the 32-bit float it is stored or handed on as.
// Where this happens is part of the result: a float rounded in the middle of a formula (or a
// float constant such as 0.33333334f mixed into double maths) gives other last digits than
// double all the way, and the demo's pictures depend on those digits. Every such rounding is
// written with this one name, so that each one reads as meant.
inline float f32(double x) { return static_cast<float>(x); }

// a <- b a (computed into a temporary first, so a and b may be the same matrix).
void mat3MulLeft(Mat3* a, const Mat3* b);
// a <- rotation about z by `angle` radians: rows (c, s, 0), (-s, c, 0), (0, 0, 1).
void mat3RotationZ(Mat3* a, float angle);
// Multiplies the middle row of a by s.
void mat3ScaleRow(Mat3* a, float s);
// v <- v / |v|; the caller keeps v away from zero.
void vec3Normalize(Vec3* v);
// Cubic Hermite curve through p0 (u = 0) and p1 (u = 1) with tangents t0 and t1.
double hermite(double p0, double t0, double p1, double t1, float u);
// Spherical linear interpolation from a (u = 0) to b (u = 1), without taking the shorter arc
// and without renormalising.
void slerp(Quat* out, const Quat* a, const Quat* b, float u);
