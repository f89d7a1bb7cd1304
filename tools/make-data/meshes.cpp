// Procedural meshes: parametric grids (terrain, sea floor, water, rippling sheets), tubes seen
// from inside (the intestine and the artery), lumpy spheres (boulders, nodes, blood cells),
// beams (the links of the net) and the fish, whose every shape keeps one vertex order so that
// the morph can blend its key shapes vertex by vertex.
#include <algorithm>
#include <cmath>

#include "canvas.h"
#include "scene_authoring.h"

namespace {

constexpr double PI = 3.14159265358979323846;

Vec3 sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 normalised(Vec3 v) {
    double l = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
    if (l < 1e-12) return {0, 0, 1};
    return {float(v.x / l), float(v.y / l), float(v.z / l)};
}

FaceDesc face(int32_t a, int32_t b, int32_t c, float ua, float va, float ub, float vb, float uc, float vc) {
    FaceDesc f;
    f.corners[0] = {a, ua, va};
    f.corners[1] = {b, ub, vb};
    f.corners[2] = {c, uc, vc};
    return f;
}

}  // namespace

Mesh parametricGrid(int columns, int rows, const std::function<Vec3(double, double)>& point, double uRepeat,
                    double vRepeat, bool flip) {
    Mesh mesh;
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= columns; ++i) mesh.vertices.push_back(point(double(i) / columns, double(j) / rows));
    auto index = [columns](int i, int j) { return int32_t(j * (columns + 1) + i); };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            float u0 = float(uRepeat * i / columns), u1 = float(uRepeat * (i + 1) / columns);
            float v0 = float(vRepeat * j / rows), v1 = float(vRepeat * (j + 1) / rows);
            if (!flip) {
                mesh.faces.push_back(face(index(i, j), index(i + 1, j), index(i + 1, j + 1), u0, v0, u1, v0, u1, v1));
                mesh.faces.push_back(face(index(i, j), index(i + 1, j + 1), index(i, j + 1), u0, v0, u1, v1, u0, v1));
            } else {
                mesh.faces.push_back(face(index(i, j), index(i + 1, j + 1), index(i + 1, j), u0, v0, u1, v1, u1, v0));
                mesh.faces.push_back(face(index(i, j), index(i, j + 1), index(i + 1, j + 1), u0, v0, u0, v1, u1, v1));
            }
        }
    }
    return mesh;
}

Mesh closedTubeInside(const std::function<Vec3(double)>& curve, const std::function<double(double, double)>& radius,
                      int rings, int segments, double uRepeat, double vRepeat) {
    // Rings share vertices around the loop; the texture seam gets its own faces' coordinates,
    // so the last ring of faces reuses the first ring of vertices with u running on past it.
    Mesh mesh;
    for (int r = 0; r < rings; ++r) {
        double s = double(r) / rings;
        Vec3 c = curve(s);
        Vec3 ahead = curve(s + 0.5 / rings), behind = curve(s - 0.5 / rings);
        Vec3 tangent = normalised(sub(ahead, behind));
        Vec3 side = normalised(cross(tangent, Vec3{0, 0, 1}));
        Vec3 up = normalised(cross(side, tangent));
        for (int k = 0; k < segments; ++k) {
            double a = 2 * PI * k / segments;
            double rad = radius(s, a);
            double cs = std::cos(a) * rad, sn = std::sin(a) * rad;
            mesh.vertices.push_back({float(c.x + side.x * cs + up.x * sn), float(c.y + side.y * cs + up.y * sn),
                                     float(c.z + side.z * cs + up.z * sn)});
        }
    }
    for (int r = 0; r < rings; ++r) {
        int rn = (r + 1) % rings;
        float u0 = float(uRepeat * r / rings), u1 = float(uRepeat * (r + 1) / rings);
        for (int k = 0; k < segments; ++k) {
            int kn = (k + 1) % segments;
            float v0 = float(vRepeat * k / segments), v1 = float(vRepeat * (k + 1) / segments);
            int32_t a = r * segments + k, b = rn * segments + k, c = rn * segments + kn, d = r * segments + kn;
            // Wound to face the tube's axis.
            mesh.faces.push_back(face(a, c, b, u0, v0, u1, v1, u1, v0));
            mesh.faces.push_back(face(a, d, c, u0, v0, u0, v1, u1, v1));
        }
    }
    return mesh;
}

Mesh lumpySphere(double radius, double bumpiness, int rings, int segments, uint32_t seed) {
    auto point = [=](double s, double t) {
        double a = 2 * PI * s, b = PI * (t - 0.5);
        double n = tiledFractalNoise(s * 4, t * 4, 4, 3, seed) - 0.5;
        // The poles and the seam take the same noise value so the surface closes.
        if (t <= 0 || t >= 1) n = 0;
        double r = radius * (1 + bumpiness * n * std::sin(PI * t));
        return Vec3{float(r * std::cos(b) * std::cos(a)), float(r * std::cos(b) * std::sin(a)), float(r * std::sin(b))};
    };
    return parametricGrid(segments, rings, point, 1, 1, false);
}

Mesh beam(Vec3 from, Vec3 to, double radius) {
    Vec3 axis = normalised(sub(to, from));
    Vec3 helper = std::fabs(axis.z) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
    Vec3 side = normalised(cross(axis, helper)), up = normalised(cross(side, axis));
    Mesh mesh;
    // Three sides: a link is a few pixels across on the screen, where a triangular beam looks
    // as round as a hexagonal one, and its wire overlay has half the long lines to rasterize.
    constexpr int SIDES = 3;
    for (int end = 0; end < 2; ++end) {
        Vec3 c = end ? to : from;
        for (int k = 0; k < SIDES; ++k) {
            double a = 2 * PI * k / SIDES;
            double cs = std::cos(a) * radius, sn = std::sin(a) * radius;
            mesh.vertices.push_back({float(c.x + side.x * cs + up.x * sn), float(c.y + side.y * cs + up.y * sn),
                                     float(c.z + side.z * cs + up.z * sn)});
        }
    }
    for (int k = 0; k < SIDES; ++k) {
        int kn = (k + 1) % SIDES;
        float u0 = float(k) / SIDES, u1 = float(k + 1) / SIDES;
        // Around the beam then along it would face inwards; these face outwards.
        mesh.faces.push_back(face(k, SIDES + kn, kn, u0, 0, u1, 1, u1, 0));
        mesh.faces.push_back(face(k, SIDES + k, SIDES + kn, u0, 0, u0, 1, u1, 1));
    }
    return mesh;
}

void appendMesh(Mesh* mesh, const Mesh& part, Vec3 offset) {
    int32_t base = int32_t(mesh->vertices.size());
    for (Vec3 v : part.vertices) mesh->vertices.push_back({v.x + offset.x, v.y + offset.y, v.z + offset.z});
    for (FaceDesc f : part.faces) {
        for (CornerDesc& c : f.corners) c.vertex += base;
        mesh->faces.push_back(f);
    }
}

Mesh fishMesh(double phase, double bend, double stretch) {
    constexpr int RINGS = 22, SIDES = 12;
    double length = 4.0 * stretch, girth = 1.0 / std::sqrt(stretch);
    // s runs from the head (0) to the tail tip (1); the body is widest at a third.
    auto spine = [&](double s) {
        double x = length * (0.5 - s);
        // The swimming wave grows towards the tail and runs backwards along the body.
        double amplitude = 0.08 + 0.45 * s * s;
        double y = amplitude * std::sin(2 * PI * (phase - s * 0.8)) + bend * 1.2 * s * s;
        return Vec3{float(x), float(y), float(FISH_LIFT)};
    };
    auto halfWidth = [&](double s) { return girth * 0.42 * std::pow(std::sin(PI * std::min(s / 0.85, 1.0)), 0.7) + 0.02; };
    auto halfHeight = [&](double s) {
        double body = girth * 0.55 * std::pow(std::sin(PI * std::min(s / 0.85, 1.0)), 0.6);
        double fin = s > 0.78 ? (s - 0.78) / 0.22 * 0.9 : 0.0;  // the tail fin fans out
        return std::max(body, fin) + 0.02;
    };
    auto point = [&](double u, double t) {
        double s = 0.02 + u * 0.98;
        Vec3 c = spine(s);
        double a = 2 * PI * t;
        double w = halfWidth(s), h = halfHeight(s);
        if (s > 0.85) w *= std::max(0.1, 1 - (s - 0.85) / 0.15);  // the fin is thin
        return Vec3{c.x, float(c.y + std::cos(a) * w), float(c.z + std::sin(a) * h)};
    };
    // u along the body towards the tail (-x), t around it from the +y side upwards; their
    // cross product points outwards, so the grid's own winding faces out.
    Mesh mesh = parametricGrid(RINGS, SIDES, point, 2, 1, false);
    return mesh;
}

ObjectDesc objectFromMesh(const Mesh& mesh, uint8_t texture) {
    ObjectDesc object;
    object.vertices = mesh.vertices;
    object.faces = mesh.faces;
    object.texture = texture;
    object.position = constantVector({0, 0, 0});
    object.rotation = constantRotation({1, 0, 0, 0});
    object.scale = constantVector({1, 1, 1});
    object.hide = alwaysVisible();
    return object;
}
