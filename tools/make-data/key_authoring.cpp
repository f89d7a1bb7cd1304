// Keyframe authoring. Vector and scalar keys get Catmull-Rom style Hermite tangents: the
// slope across a key's two neighbours, scaled by the length in time of each segment, since
// the demo applies tangents to a segment's unit parameter. Rotation keys get control points
// along the key's angular velocity, a third of each segment, which makes the slerp-built
// Bezier curves meet with matching direction. Looped tracks take their end tangents across the
// seam, so a loop that wraps from its last key to its first moves on without a jolt.
#include <cmath>

#include "scene_authoring.h"

namespace {

struct Q {
    double w, x, y, z;
};
Q toQ(Quat q) { return {q.w, q.x, q.y, q.z}; }
Quat toQuat(Q q) { return {float(q.w), float(q.x), float(q.y), float(q.z)}; }
Q mul(Q a, Q b) {
    return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}
Q conj(Q q) { return {q.w, -q.x, -q.y, -q.z}; }
double dot(Q a, Q b) { return a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z; }
// Logarithm of a unit quaternion: a pure quaternion (angle / 2 along the axis).
Q logUnit(Q q) {
    double v = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (v < 1e-12) return {0, 0, 0, 0};
    double a = std::atan2(v, q.w) / v;
    return {0, q.x * a, q.y * a, q.z * a};
}
Q expPure(Q p) {
    double a = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    if (a < 1e-12) return {1, 0, 0, 0};
    double s = std::sin(a) / a;
    return {std::cos(a), p.x * s, p.y * s, p.z * s};
}
Q scaled(Q p, double k) { return {p.w * k, p.x * k, p.y * k, p.z * k}; }
Q added(Q a, Q b) { return {a.w + b.w, a.x + b.x, a.y + b.y, a.z + b.z}; }

// Neighbour times and indices of key k, across the seam when looped.
struct Neighbours {
    int previous, next;
    double previousTime, nextTime;
    bool hasPrevious, hasNext;
};

template <typename Point>
Neighbours neighboursOf(const std::vector<Point>& points, size_t k, bool looped) {
    size_t n = points.size();
    Neighbours nb{int(k) - 1, int(k) + 1, 0, 0, k > 0, k + 1 < n};
    double period = double(points.back().time - points.front().time);
    if (nb.hasPrevious) nb.previousTime = points[k - 1].time;
    if (nb.hasNext) nb.nextTime = points[k + 1].time;
    if (looped && n >= 3) {
        if (!nb.hasPrevious) {
            nb.previous = int(n) - 2;
            nb.previousTime = points[n - 2].time - period;
            nb.hasPrevious = true;
        }
        if (!nb.hasNext) {
            nb.next = 1;
            nb.nextTime = points[1].time + period;
            nb.hasNext = true;
        }
    }
    return nb;
}

// Slope per tick at key k from its neighbours (one-sided at open ends, 0 for a single key).
template <typename Point, typename Value, typename Diff>
Value slopeAt(const std::vector<Point>& points, size_t k, bool looped, Diff difference, Value zero) {
    Neighbours nb = neighboursOf(points, k, looped);
    if (!nb.hasPrevious && !nb.hasNext) return zero;
    const Value& a = nb.hasPrevious ? points[size_t(nb.previous)].value : points[k].value;
    const Value& b = nb.hasNext ? points[size_t(nb.next)].value : points[k].value;
    double ta = nb.hasPrevious ? nb.previousTime : points[k].time;
    double tb = nb.hasNext ? nb.nextTime : points[k].time;
    return difference(a, b, 1.0 / (tb - ta));
}

Vec3 vecScale(Vec3 v, double k) { return {float(v.x * k), float(v.y * k), float(v.z * k)}; }

}  // namespace

std::vector<VectorKey> smoothVectorTrack(const std::vector<TimedPoint>& points, bool looped) {
    std::vector<VectorKey> keys;
    for (size_t k = 0; k < points.size(); ++k) {
        auto difference = [](Vec3 a, Vec3 b, double inv) {
            return Vec3{float((double(b.x) - a.x) * inv), float((double(b.y) - a.y) * inv), float((double(b.z) - a.z) * inv)};
        };
        Vec3 slope = slopeAt(points, k, looped, difference, Vec3{0, 0, 0});
        Neighbours nb = neighboursOf(points, k, looped);
        double before = nb.hasPrevious ? points[k].time - nb.previousTime : 0;
        double after = nb.hasNext ? nb.nextTime - points[k].time : 0;
        if (!nb.hasPrevious) before = after;
        if (!nb.hasNext) after = before;
        keys.push_back(vectorKey(points[k].time, points[k].value, vecScale(slope, before), vecScale(slope, after)));
    }
    return keys;
}

std::vector<ScalarKey> smoothScalarTrack(const std::vector<TimedScalar>& points, bool looped) {
    std::vector<ScalarKey> keys;
    for (size_t k = 0; k < points.size(); ++k) {
        auto difference = [](float a, float b, double inv) { return float((double(b) - a) * inv); };
        float slope = slopeAt(points, k, looped, difference, 0.0f);
        Neighbours nb = neighboursOf(points, k, looped);
        double before = nb.hasPrevious ? points[k].time - nb.previousTime : 0;
        double after = nb.hasNext ? nb.nextTime - points[k].time : 0;
        if (!nb.hasPrevious) before = after;
        if (!nb.hasNext) after = before;
        keys.push_back(scalarKey(points[k].time, points[k].value, float(slope * before), float(slope * after)));
    }
    return keys;
}

double smoothThrough(const std::vector<TimedScalar>& points, double t) {
    if (points.empty()) return 0;
    if (t <= points.front().time) return points.front().value;
    if (t >= points.back().time) return points.back().value;
    size_t k = 0;
    while (points[k + 1].time <= t) ++k;
    auto difference = [](float a, float b, double inv) { return (double(b) - a) * inv; };
    const double span = double(points[k + 1].time) - points[k].time, s = (t - points[k].time) / span;
    const double m0 = slopeAt(points, k, false, difference, 0.0) * span;
    const double m1 = slopeAt(points, k + 1, false, difference, 0.0) * span;
    const double s2 = s * s, s3 = s2 * s;
    return (2 * s3 - 3 * s2 + 1) * points[k].value + (s3 - 2 * s2 + s) * m0 + (-2 * s3 + 3 * s2) * points[k + 1].value +
           (s3 - s2) * m1;
}

std::vector<RotationKey> smoothRotationTrack(const std::vector<TimedRotation>& input, bool looped) {
    std::vector<TimedRotation> points = input;
    // One hemisphere: the evaluation never flips signs itself.
    for (size_t k = 1; k < points.size(); ++k)
        if (dot(toQ(points[k - 1].value), toQ(points[k].value)) < 0)
            points[k].value = toQuat(scaled(toQ(points[k].value), -1));
    std::vector<RotationKey> keys;
    for (size_t k = 0; k < points.size(); ++k) {
        Q q = toQ(points[k].value);
        Neighbours nb = neighboursOf(points, k, looped);
        Q velocity{0, 0, 0, 0};  // log-space change per tick, in the key's own frame
        double span = 0;
        if (nb.hasNext) {
            Q next = toQ(points[size_t(nb.next)].value);
            if (dot(q, next) < 0) next = scaled(next, -1);
            velocity = added(velocity, logUnit(mul(conj(q), next)));
            span += nb.nextTime - points[k].time;
        }
        if (nb.hasPrevious) {
            Q previous = toQ(points[size_t(nb.previous)].value);
            if (dot(q, previous) < 0) previous = scaled(previous, -1);
            velocity = added(velocity, logUnit(mul(conj(previous), q)));
            span += points[k].time - nb.previousTime;
        }
        if (span > 0) velocity = scaled(velocity, 1.0 / span);
        double before = nb.hasPrevious ? points[k].time - nb.previousTime : 0;
        double after = nb.hasNext ? nb.nextTime - points[k].time : 0;
        Q inControl = mul(q, expPure(scaled(velocity, -before / 3.0)));
        Q outControl = mul(q, expPure(scaled(velocity, after / 3.0)));
        keys.push_back(rotationKey(points[k].time, points[k].value, toQuat(inControl), toQuat(outControl)));
    }
    return keys;
}

std::vector<TimedPoint> samplePoints(const std::function<Vec3(double)>& f, int32_t from, int32_t to, int32_t step) {
    std::vector<TimedPoint> points;
    for (int32_t t = from; t <= to; t += step) points.push_back({t, f(t)});
    return points;
}

std::vector<TimedScalar> sampleScalars(const std::function<double(double)>& f, int32_t from, int32_t to, int32_t step) {
    std::vector<TimedScalar> points;
    for (int32_t t = from; t <= to; t += step) points.push_back({t, float(f(t))});
    return points;
}

std::vector<TimedRotation> sampleRotations(const std::function<Quat(double)>& f, int32_t from, int32_t to, int32_t step) {
    std::vector<TimedRotation> points;
    for (int32_t t = from; t <= to; t += step) points.push_back({t, f(t)});
    return points;
}

std::vector<VectorKey> constantVector(Vec3 value) { return {vectorKey(0, value)}; }
std::vector<ScalarKey> constantScalar(float value) { return {scalarKey(0, value)}; }
std::vector<RotationKey> constantRotation(Quat value) { return {rotationKey(0, value)}; }
// The demo's times stay far below this; the state never flips, so the thing stays visible.
std::vector<ToggleKey> alwaysVisible() { return {toggleKey(1000000)}; }

Quat rotationAbout(Vec3 axis, double angle) {
    double s = std::sin(angle * 0.5);
    return {float(std::cos(angle * 0.5)), float(-axis.x * s), float(-axis.y * s), float(-axis.z * s)};
}

Quat headingRotation(double yaw, double pitch) {
    // Usual (Hamilton) composition first, then the stored form is its conjugate.
    Q yawQ{std::cos(yaw * 0.5), 0, 0, std::sin(yaw * 0.5)};
    Q pitchQ{std::cos(pitch * 0.5), 0, std::sin(pitch * 0.5), 0};
    return toQuat(conj(mul(yawQ, pitchQ)));
}
