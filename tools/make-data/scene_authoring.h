// Authoring the scenes: keyframe tracks made from sampled values (Hermite tangents taken from
// the neighbouring keys, quaternion control points that keep rotations smooth through every
// key, loops that close without a seam) and the procedural meshes the scenes are built from.
// Scenes are assembled as descriptions for the scene writer.
#pragma once

#include <functional>
#include <vector>

#include "scene_writer.h"

// ---- Keyframe tracks ----

struct TimedPoint {
    int32_t time;
    Vec3 value;
};
struct TimedScalar {
    int32_t time;
    float value;
};
struct TimedRotation {
    int32_t time;
    Quat value;
};

// Hermite keys through the points; each key's tangents are its neighbours' difference scaled
// to the lengths of the two segments it joins. `looped`: the last point repeats the first and
// the tangents there are taken across the seam.
std::vector<VectorKey> smoothVectorTrack(const std::vector<TimedPoint>& points, bool looped);
std::vector<ScalarKey> smoothScalarTrack(const std::vector<TimedScalar>& points, bool looped);
// Rotation keys with control quaternions a third of a segment along the local angular velocity;
// neighbouring values are first brought into one hemisphere so slerps take the short arc.
std::vector<RotationKey> smoothRotationTrack(const std::vector<TimedRotation>& points, bool looped);

// The value at time t of the curve the keys of smoothScalarTrack(points, false) describe: a
// smooth path through every point, held at the first and last values outside them. For
// planning a motion from a few key values and then sampling it densely.
double smoothThrough(const std::vector<TimedScalar>& points, double t);

// Samples f at from, from + step, ..., up to and including `to`.
std::vector<TimedPoint> samplePoints(const std::function<Vec3(double)>& f, int32_t from, int32_t to, int32_t step);
std::vector<TimedScalar> sampleScalars(const std::function<double(double)>& f, int32_t from, int32_t to, int32_t step);
std::vector<TimedRotation> sampleRotations(const std::function<Quat(double)>& f, int32_t from, int32_t to, int32_t step);

std::vector<VectorKey> constantVector(Vec3 value);
std::vector<ScalarKey> constantScalar(float value);
std::vector<RotationKey> constantRotation(Quat value);
// A hide track that never changes the visible state within the demo's times.
std::vector<ToggleKey> alwaysVisible();

// The stored quaternion that turns object space by `angle` radians about the unit `axis`
// (the scene format's matrix is the transpose of the usual one, so the vector part is negated).
Quat rotationAbout(Vec3 axis, double angle);
// Stored quaternion for heading `yaw` about z, then pitch about the new y axis.
Quat headingRotation(double yaw, double pitch);

// ---- Meshes ----

struct Mesh {
    std::vector<Vec3> vertices;
    std::vector<FaceDesc> faces;
};

// A (columns + 1) x (rows + 1) vertex grid over the parameter square; point(s, t) gives the
// position, texture coordinates are (s, t) x uvRepeat. Faces wind counter-clockwise when seen
// from the side of d/ds x d/dt, or the other way with `flip`.
Mesh parametricGrid(int columns, int rows, const std::function<Vec3(double, double)>& point, double uRepeat,
                    double vRepeat, bool flip);
// A tube around a closed curve (s in [0, 1), the curve's end meeting its start), with radius
// radius(s, angle); its faces look inwards, for a camera travelling inside.
Mesh closedTubeInside(const std::function<Vec3(double)>& curve, const std::function<double(double, double)>& radius,
                      int rings, int segments, double uRepeat, double vRepeat);
// A lumpy sphere: radius x (1 + bumpiness x noise), faces looking outwards.
Mesh lumpySphere(double radius, double bumpiness, int rings, int segments, uint32_t seed);
// A thin six-sided beam between two points, faces looking outwards.
Mesh beam(Vec3 from, Vec3 to, double radius);
// Appends `part` to `mesh`, moved by `offset`.
void appendMesh(Mesh* mesh, const Mesh& part, Vec3 offset);

// The fish: a body of rings along x (head at +x) with a tail fin, centred at z = FISH_LIFT.
// Every shape of the fish has the same vertices in the same order.
constexpr double FISH_LIFT = 1.2;
// `phase` in [0, 1) is the swimming cycle; `bend` turns the body sideways (-1 to 1);
// `stretch` lengthens (> 1) or shortens it, keeping its volume roughly constant.
Mesh fishMesh(double phase, double bend, double stretch);

// An ObjectDesc holding the mesh, with still tracks (no move, identity rotation, unit scale).
ObjectDesc objectFromMesh(const Mesh& mesh, uint8_t texture);

// ---- Checking ----

// False, with the reason in `problem`, when a track has no keys or key times that do not
// strictly increase, or a face names a vertex the object does not have.
bool sceneDescIsSound(const SceneDesc& scene, std::string* problem);

// ---- The scenes ----

SceneDesc lightScene();
SceneDesc neuronalScene();
SceneDesc arteryScene();
SceneDesc intestineScene();
SceneDesc cupolaScene();
SceneDesc seaScene();
SceneDesc mirrorScene();
// Ten key shapes of the fish: 1 swims, 2 bends left, 3 bends right, 4 stretches, 5 squashes.
SceneDesc morphScene(int variant);
