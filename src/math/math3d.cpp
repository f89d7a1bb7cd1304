// The math vocabulary of the animation code: 3 x 3 matrices, normalising, the cubic Hermite
// curve of vector and scalar tracks, and the quaternion slerp from which rotation tracks build
// their Bezier curves. Everything is computed in double and rounded to float where it is stored
// (and at the few intermediate points that keep the results identical to the stored keys).
#include "math/math3d.h"

#include <cmath>

void mat3MulLeft(Mat3* a, const Mat3* b) {
    double product[9];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 3; ++k)
                sum += static_cast<double>(b->m[3 * r + k]) * static_cast<double>(a->m[3 * k + c]);
            product[3 * r + c] = sum;
        }
    }
    for (int i = 0; i < 9; ++i) a->m[i] = static_cast<float>(product[i]);
}

void mat3RotationZ(Mat3* a, float angle) {
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    *a = Mat3{{c, s, 0.0f, -s, c, 0.0f, 0.0f, 0.0f, 1.0f}};
}

void mat3ScaleRow(Mat3* a, float s) {
    for (int c = 3; c < 6; ++c) a->m[c] = static_cast<float>(static_cast<double>(a->m[c]) * s);
}

void vec3Normalize(Vec3* v) {
    const double x = v->x, y = v->y, z = v->z;
    const double length = std::sqrt(x * x + y * y + z * z);
    v->x = static_cast<float>(x / length);
    v->y = static_cast<float>(y / length);
    v->z = static_cast<float>(z / length);
}

double hermite(double p0, double t0, double p1, double t1, float u) {
    const double uu = static_cast<double>(u) * u;
    const double uuu = static_cast<float>(uu * u);
    return (2.0 * uuu - 3.0 * uu + 1.0) * p0 + (uuu - 2.0 * uu + u) * t0 +
           (-2.0 * uuu + 3.0 * uu) * p1 + (uuu - uu) * t1;
}

void slerp(Quat* out, const Quat* a, const Quat* b, float u) {
    float d =
        static_cast<float>(static_cast<double>(a->w) * b->w + static_cast<double>(a->x) * b->x +
                           static_cast<double>(a->y) * b->y + static_cast<double>(a->z) * b->z);
    if (d > 1.0f) d = 1.0f;
    if (d < -1.0f) d = -1.0f;
    const float theta = static_cast<float>(std::acos(static_cast<double>(d)));
    double wa, wb;
    if (theta == 0.0f) {
        wa = 1.0 - u;
        wb = u;
    } else {
        const double sinTheta = std::sin(static_cast<double>(theta));
        wa = std::sin((1.0 - u) * theta) / sinTheta;
        wb = std::sin(static_cast<double>(u) * theta) / sinTheta;
    }
    // Read both inputs before writing: out may be a or b.
    const Quat result{
        static_cast<float>(wa * a->w + wb * b->w), static_cast<float>(wa * a->x + wb * b->x),
        static_cast<float>(wa * a->y + wb * b->y), static_cast<float>(wa * a->z + wb * b->z)};
    *out = result;
}
