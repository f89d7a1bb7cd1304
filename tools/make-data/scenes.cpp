// The twelve scenes, modelled after what each stretch of the demo shows: a rocky place under a
// light, a net of nodes with two lights at its heart, a ring-shaped artery with blood streams,
// an intestine knotted into a loop that the camera travels through, a rippling sheet under
// mirrored cupolas, a sea floor with fish, a shape over a water mirror, and the fish's key
// shapes. Paths that the demo loops are periodic, and every camera keeps a sideways
// component in its view so its right vector is always defined.
#include <algorithm>
#include <cmath>

#include "assets/demo_numbers.h"
#include "canvas.h"
#include "scene_authoring.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double TAU = 2 * PI;

Vec3 v3(double x, double y, double z) { return {float(x), float(y), float(z)}; }

// Every camera sees 90 degrees from top to bottom: the scene pass draws the translucent
// meshes and the wire overlays under the lens flares' 90-degree projection, so only with this
// field of view do they sit on the opaque meshes they belong to.
constexpr float CAMERA_FOV = 0.78539816f;  // half of 90 degrees, in radians

// A camera from sampled position and target functions, with a constant roll.
CameraDesc sampledCamera(const std::function<Vec3(double)>& position, const std::function<Vec3(double)>& target,
                         int32_t to, int32_t step, bool looped) {
    CameraDesc camera;
    camera.position = smoothVectorTrack(samplePoints(position, 0, to, step), looped);
    camera.target = smoothVectorTrack(samplePoints(target, 0, to, step), looped);
    camera.roll = constantScalar(0);
    camera.fov = constantScalar(CAMERA_FOV);
    camera.hide = alwaysVisible();
    return camera;
}

LightDesc light(uint8_t r, uint8_t g, uint8_t b, std::vector<VectorKey> position) {
    LightDesc l;
    l.colour[0] = r;
    l.colour[1] = g;
    l.colour[2] = b;
    l.position = std::move(position);
    l.hide = alwaysVisible();
    return l;
}

// ---- Rocky place under a light ----

double terrainHeight(double x, double y) {
    double r = std::hypot(x, y);
    double n = tiledFractalNoise((x + 200) / 40.0, (y + 200) / 40.0, 10, 4, 401);
    double ridge = std::exp(-std::pow((r - 105) / 35, 2)) * 26;  // a ring of rocks around the middle
    return (n - 0.5) * 22 + ridge + r * 0.08 - 8;
}

// One key of a camera that orbits a scene's middle: where the camera is (turns around the
// middle, distance from it, height) and where it aims, given relative to the camera's side
// of the middle (`aim` towards the camera, `side` to its left, at `aimHeight`).
struct OrbitKey {
    int32_t time;
    double turns, distance, height, aim, side, aimHeight;
};

// The camera through the keys: each quantity follows a smooth curve through its key values,
// sampled every 10 ticks up to the last key.
CameraDesc orbitCamera(const std::vector<OrbitKey>& keys) {
    auto curve = [&keys](double OrbitKey::*field) {
        std::vector<TimedScalar> points;
        for (const OrbitKey& k : keys) points.push_back({k.time, float(k.*field)});
        return points;
    };
    const auto turns = curve(&OrbitKey::turns), distance = curve(&OrbitKey::distance), height = curve(&OrbitKey::height);
    const auto aim = curve(&OrbitKey::aim), side = curve(&OrbitKey::side), aimHeight = curve(&OrbitKey::aimHeight);
    auto azimuth = [turns](double t) { return TAU * smoothThrough(turns, t); };
    return sampledCamera(
        [=](double t) {
            double a = azimuth(t), r = smoothThrough(distance, t);
            return v3(r * std::cos(a), r * std::sin(a), smoothThrough(height, t));
        },
        [=](double t) {
            double a = azimuth(t), r = smoothThrough(aim, t), s = smoothThrough(side, t);
            return v3(r * std::cos(a) - s * std::sin(a), r * std::sin(a) + s * std::cos(a), smoothThrough(aimHeight, t));
        },
        keys.back().time, 10, false);
}

}  // namespace

SceneDesc lightScene() {
    SceneDesc scene;
    // The takes of scene 1 show different stretches of this animation, so each stretch is a
    // shot of its own: low under the light (ticks 100 to 215), a crane up (215 to 285), high
    // with the light in the top of the picture, clear of the text below it (285 to 450), a
    // sweep over the ring of rocks (550 to 665), a close orbit of the stone (700 to 915), and
    // a pull back and a last orbit while the scene darkens behind the inner world.
    scene.camera = orbitCamera({
        {0, 0.05, 100, 12, 0, 20, 34},   {100, 0.1, 84, 9, 0, 24, 36},    {215, 0.22, 76, 36, 0, 10, 24},
        {285, 0.36, 110, 74, 45, 0, -5}, {365, 0.47, 104, 80, 45, 0, -5}, {450, 0.58, 96, 70, 40, 0, -5},
        {500, 0.68, 125, 45, 0, 0, 15},  {550, 0.76, 135, 38, -30, 0, 18}, {665, 0.93, 130, 34, -30, 0, 16},
        {700, 1.0, 70, 30, 0, -18, 22},  {800, 1.2, 62, 18, 0, -12, 28},  {915, 1.42, 66, 55, 0, 0, 14},
        {955, 1.48, 72, 60, 0, 0, 14},   {1155, 1.75, 120, 95, 0, 0, 10}, {1250, 1.98, 95, 45, 0, 40, 20},
        {1343, 2.25, 80, 75, 0, -40, 10}, {1400, 2.35, 85, 60, 0, -10, 20},
    });
    scene.camera.roll = smoothScalarTrack(sampleScalars([](double t) { return 0.1 * std::sin(TAU * t / 520); }, 0, 1400, 50), false);
    // Ground: 640 x 640 units of rock, reaching past what the camera sees.
    scene.objects.push_back(objectFromMesh(
        parametricGrid(64, 64, [](double s, double t) {
            double x = (s - 0.5) * 640, y = (t - 0.5) * 640;
            return v3(x, y, terrainHeight(x, y));
        }, 12, 12, false), 0));
    // Boulders around the middle, resting on the ground.
    SeededRandom random = seededRandom(402);
    for (int i = 0; i < 7; ++i) {
        double a = TAU * i / 7 + nextSigned(&random) * 0.3, r = 45 + nextUniform(&random) * 50;
        double size = 7 + nextUniform(&random) * 11;
        ObjectDesc boulder = objectFromMesh(lumpySphere(size, 0.7, 10, 14, 410 + uint32_t(i)), 0);
        double x = r * std::cos(a), y = r * std::sin(a);
        boulder.position = constantVector(v3(x, y, terrainHeight(x, y) + size * 0.3));
        boulder.rotation = constantRotation(rotationAbout({0, 0, 1}, a));
        boulder.scale = constantVector(v3(1, 0.8, 0.7));
        scene.objects.push_back(boulder);
    }
    // A polished stone in the middle, turning slowly under the light.
    ObjectDesc stone = objectFromMesh(lumpySphere(12, 0.25, 12, 18, 420), 1);
    stone.position = constantVector(v3(0, 0, 12));
    stone.scale = constantVector(v3(1, 1, 1.6));
    stone.rotation = smoothRotationTrack(
        sampleRotations([](double t) { return headingRotation(TAU * t / 700, 0.2 * std::sin(TAU * t / 350)); }, 0, 1400, 25), false);
    scene.objects.push_back(stone);
    // A translucent halo ring tilting around the stone.
    ObjectDesc halo = objectFromMesh(
        parametricGrid(48, 4, [](double s, double t) {
            double a = TAU * s, w = (t - 0.5) * 3;
            double r = 26 + w;
            return v3(r * std::cos(a), r * std::sin(a), w * 0.3);
        }, 4, 1, false), 13);
    halo.position = constantVector(v3(0, 0, 20));
    halo.rotation = smoothRotationTrack(
        sampleRotations([](double t) { return headingRotation(-TAU * t / 500, 0.5 + 0.2 * std::sin(TAU * t / 700)); }, 0, 1400, 25), false);
    scene.objects.push_back(halo);
    // Light 0 hovers above the middle; three coloured lights wander near the ground.
    scene.lights.push_back(light(255, 235, 200, smoothVectorTrack(samplePoints([](double t) {
        return v3(6 * std::sin(TAU * t / 300), 6 * std::cos(TAU * t / 420), 48 + 5 * std::sin(TAU * t / 250));
    }, 0, 1400, 25), false)));
    const uint8_t colours[3][3] = {{90, 140, 255}, {255, 130, 60}, {80, 230, 190}};
    for (int i = 0; i < 3; ++i) {
        scene.lights.push_back(light(colours[i][0], colours[i][1], colours[i][2], smoothVectorTrack(samplePoints([i](double t) {
            double a = TAU * (i / 3.0 + t / 1100);
            return v3(70 * std::cos(a), 70 * std::sin(a), 15);
        }, 0, 1400, 25), false)));
    }
    return scene;
}

SceneDesc neuronalScene() {
    SceneDesc scene;
    constexpr int LOOP = 250;
    constexpr double HEART_ASIDE = 600, HEART_BELOW = 450;
    // Camera: one full circle around the net per loop, bobbing up and down. It aims beside and
    // below the heart, so the two lights there and their flares shine in the upper left of the
    // picture (behind the helmet while it is in), clear of the flying text low in the middle
    // and the greetings on the right.
    scene.camera = sampledCamera(
        [](double t) {
            double a = TAU * t / LOOP;
            return v3(1900 * std::cos(a), 1900 * std::sin(a), 400 * std::sin(a * 2));
        },
        [](double t) {
            double a = TAU * t / LOOP;
            return v3(-HEART_ASIDE * std::sin(a), HEART_ASIDE * std::cos(a), 100 * std::sin(a) - HEART_BELOW);
        }, LOOP, 10, true);
    // Nodes scattered in a ball, denser towards the heart; each linked to its two nearest
    // ones. Every face costs four wire lines, the rasterizer's dearest pixels: a node is at
    // most a few dozen pixels across, where four rings of six segments (48 faces) still look
    // lumpy and round, and two links a node keep the net a net with a third fewer long lines.
    SeededRandom random = seededRandom(501);
    std::vector<Vec3> nodes;
    while (nodes.size() < 48) {
        Vec3 p = v3(nextSigned(&random), nextSigned(&random), nextSigned(&random) * 0.7);
        double r = std::sqrt(double(p.x) * p.x + double(p.y) * p.y + double(p.z) * p.z);
        if (r > 1 || r < 0.08) continue;
        double k = 1800 * std::pow(r, 1.4) / r;
        nodes.push_back(v3(p.x * k, p.y * k, p.z * k));
    }
    Mesh nodeMesh, linkMesh;
    for (size_t i = 0; i < nodes.size(); ++i) {
        appendMesh(&nodeMesh, lumpySphere(40 + 25 * nextUniform(&random), 0.4, 4, 6, 510 + uint32_t(i)), nodes[i]);
        // Links to the two nearest nodes with a higher index: each link made once.
        std::vector<std::pair<double, size_t>> nearest;
        for (size_t j = i + 1; j < nodes.size(); ++j) {
            double dx = nodes[j].x - nodes[i].x, dy = nodes[j].y - nodes[i].y, dz = nodes[j].z - nodes[i].z;
            nearest.push_back({dx * dx + dy * dy + dz * dz, j});
        }
        std::sort(nearest.begin(), nearest.end());
        for (size_t k = 0; k < nearest.size() && k < 2; ++k) appendMesh(&linkMesh, beam(nodes[i], nodes[nearest[k].second], 9), {0, 0, 0});
    }
    // Node and link objects breathe with the loop.
    auto breathing = smoothVectorTrack(samplePoints([](double t) {
        double k = 1 + 0.06 * std::sin(TAU * t / LOOP * 2);
        return v3(k, k, k);
    }, 0, LOOP, 25), true);
    ObjectDesc nodeObject = objectFromMesh(nodeMesh, 0), linkObject = objectFromMesh(linkMesh, 0);
    nodeObject.scale = breathing;
    linkObject.scale = breathing;
    scene.objects.push_back(nodeObject);
    scene.objects.push_back(linkObject);
    // A far shell of nebula behind everything.
    scene.objects.push_back(objectFromMesh(parametricGrid(24, 12, [](double s, double t) {
        double a = TAU * s, b = PI * (t - 0.5);
        return v3(9000 * std::cos(b) * std::cos(a), 9000 * std::cos(b) * std::sin(a), 9000 * std::sin(b));
    }, 3, 2, true), 1));
    // Lights 0 and 1 circle each other at the heart of the net.
    for (int i = 0; i < 2; ++i) {
        scene.lights.push_back(light(i ? 200 : 120, i ? 120 : 170, 255, smoothVectorTrack(samplePoints([i](double t) {
            double a = TAU * t / LOOP + PI * i;
            return v3(220 * std::cos(a), 220 * std::sin(a), 120 * std::sin(a * 2 + i));
        }, 0, LOOP, 10), true)));
    }
    return scene;
}

// ---- The artery: a ring-shaped vessel, so every stream inside it loops ----

namespace {
constexpr double ARTERY_RADIUS = 900, ARTERY_WIDTH = 150;
Vec3 arteryPoint(double angle, double sideways, double up) {
    double r = ARTERY_RADIUS + sideways;
    return v3(r * std::cos(angle), r * std::sin(angle), up);
}
}  // namespace

SceneDesc arteryScene() {
    SceneDesc scene;
    // Camera: drifts around the ring inside the vessel, half a lap in 1400 ticks.
    scene.camera = sampledCamera(
        [](double t) {
            double a = TAU * t / 2800;
            return arteryPoint(a, 30 * std::sin(TAU * t / 400), 25 * std::cos(TAU * t / 330));
        },
        [](double t) {
            double a = TAU * t / 2800 + 0.22;
            return arteryPoint(a, -20 * std::sin(TAU * t / 500), -10);
        }, 1400, 20, false);
    // Object 0: the vessel wall, bumpy and seen from inside.
    scene.objects.push_back(objectFromMesh(closedTubeInside(
        [](double s) { return arteryPoint(TAU * s, 0, 0); },
        [](double s, double a) {
            return ARTERY_WIDTH * (1 + 0.18 * (tiledFractalNoise(s * 64, a / TAU * 8, 64, 3, 601) - 0.5));
        }, 120, 18, 24, 2), 0));
    // Blood cells tumbling along the ring.
    SeededRandom random = seededRandom(602);
    Mesh cell = lumpySphere(14, 0.2, 6, 10, 603);
    for (Vec3& v : cell.vertices) v.z *= 0.35f;  // flattened discs
    for (int i = 0; i < 14; ++i) {
        ObjectDesc object = objectFromMesh(cell, 1);
        double start = nextUniform(&random) * TAU, speed = 0.4 + nextUniform(&random) * 0.5;
        double side = nextSigned(&random) * 70, up = nextSigned(&random) * 60, spin = nextSigned(&random) * 2;
        object.position = smoothVectorTrack(samplePoints([=](double t) {
            return arteryPoint(start + TAU * t / 3000 * speed, side + 15 * std::sin(t / 90.0 + i), up);
        }, 0, 3000, 50), false);
        object.rotation = smoothRotationTrack(sampleRotations([=](double t) {
            return headingRotation(start + spin * t / 300, 0.8 * std::sin(t / 200.0 + i));
        }, 0, 3000, 50), false);
        scene.objects.push_back(object);
    }
    // Lights 0 to 6: warm lamps spaced around the ring for the baked lighting.
    const uint8_t warm[7][3] = {{255, 120, 80}, {255, 80, 60}, {255, 160, 90}, {220, 60, 70},
                                {255, 110, 50}, {240, 90, 110}, {255, 140, 100}};
    for (int i = 0; i < 7; ++i) {
        double a = TAU * i / 7;
        scene.lights.push_back(light(warm[i][0], warm[i][1], warm[i][2], constantVector(arteryPoint(a, 0, 40))));
    }
    // Lights 7 and 8: the two blood streams, a lap every 600 ticks, on either side of the axis.
    for (int i = 0; i < 2; ++i) {
        double side = i ? -55 : 55;
        scene.lights.push_back(light(255, 40, 30, smoothVectorTrack(samplePoints([=](double t) {
            double a = TAU * t / 600 * (i ? -1 : 1) + i;
            return arteryPoint(a, side + 12 * std::sin(a * 5), 20 * std::cos(a * 3));
        }, 0, 3000, 15), false)));
    }
    return scene;
}

// ---- The intestine: a tube along a (2, 3) torus knot ----

namespace {
constexpr int INTESTINE_PERIOD = 2500;
Vec3 intestinePoint(double s) {
    double a = TAU * s;
    double r = 300 + 120 * std::cos(3 * a);
    return v3(r * std::cos(2 * a), r * std::sin(2 * a), 110 * std::sin(3 * a));
}
// A point `distance` away from the knot, at `angle` around it.
Vec3 intestineOffset(double s, double distance, double angle) {
    Vec3 c = intestinePoint(s), ahead = intestinePoint(s + 0.0005), behind = intestinePoint(s - 0.0005);
    double tx = ahead.x - behind.x, ty = ahead.y - behind.y, tz = ahead.z - behind.z;
    double tl = std::sqrt(tx * tx + ty * ty + tz * tz);
    tx /= tl, ty /= tl, tz /= tl;
    double sx = ty, sy = -tx, sl = std::hypot(sx, sy);
    sx /= sl, sy /= sl;
    double ux = sy * tz, uy = -sx * tz, uz = sx * ty - sy * tx;  // side x tangent
    double cs = std::cos(angle) * distance, sn = std::sin(angle) * distance;
    return v3(c.x + sx * cs + ux * sn, c.y + sy * cs + uy * sn, c.z + uz * sn);
}
}  // namespace

SceneDesc intestineScene() {
    SceneDesc scene;
    // The camera rides the same knot as light 0, looking a little ahead along it, but off the
    // centre line, so the swarm that hugs the path passes beside the eye instead of through it.
    // Scene 4 opens at tick 700 of this animation under a white flash: there the camera is out
    // in the dark, looking away from the knot, so the flash fades to black rather than burning
    // out over the glowing walls; it turns to the knot and dives back in by tick 860.
    auto ride = [](double t) { return intestineOffset(t / INTESTINE_PERIOD, 38, TAU * t / 700); };
    auto rideAim = [](double t) { return intestineOffset((t + 40) / INTESTINE_PERIOD, 10, TAU * (t + 40) / 700); };
    const Vec3 far = v3(1500, 300, 420);
    const double away = std::atan2(far.y, far.x);
    auto outside = [=](double t) { return v3(far.x - (t - 680) * 2, far.y, far.z); };
    // The outside camera looks along `yaw`, a little down.
    auto outsideAim = [=](double t, double yaw) {
        Vec3 p = outside(t);
        return v3(p.x + 800 * std::cos(yaw), p.y + 800 * std::sin(yaw), p.z - 150);
    };
    auto ease = [](double t, double from, double to) {
        double s = clamp01((t - from) / (to - from));
        return s * s * (3 - 2 * s);
    };
    auto blend = [](Vec3 a, Vec3 b, double s) { return v3(mix(a.x, b.x, s), mix(a.y, b.y, s), mix(a.z, b.z, s)); };
    scene.camera = sampledCamera(
        [=](double t) {
            if (t < 700) return blend(ride(t), outside(t), ease(t, 560, 680));
            return blend(outside(t), ride(t), ease(t, 770, 860));
        },
        [=](double t) {
            if (t < 700) return blend(rideAim(t), outsideAim(t, away), ease(t, 560, 680));
            if (t < 770) return outsideAim(t, away + PI * ease(t, 720, 770));
            return blend(outsideAim(t, away + PI), rideAim(t), ease(t, 770, 860));
        }, 3000, 20, false);
    scene.camera.roll = smoothScalarTrack(sampleScalars([](double t) { return 0.3 * std::sin(TAU * t / 900); }, 0, 3000, 50), false);
    // Object 0: the glowing wall, pushed out by the balls riding the path; the set-up finds it by
    // its texture.
    // 160 rings of 18 sides: rounder across than along, where the bulges (five rings each)
    // hide the steps; as many faces as before, so scene 4's wire overlay costs no more.
    scene.objects.push_back(objectFromMesh(closedTubeInside(
        intestinePoint,
        [](double s, double a) {
            return 75 * (1 + 0.25 * std::sin(s * TAU * 32) * 0.5 + 0.12 * (tiledNoise(s * 64, a / TAU * 6, 64, 701) - 0.5));
        }, 160, 18, 40, 2), DARM_TUBE_SLOT - DARM_TEXTURE_BASE));
    // Hoops around the tube every so often (texture 1).
    Mesh hoops;
    for (int i = 0; i < 24; ++i) {
        double s = i / 24.0;
        Vec3 c = intestinePoint(s), ahead = intestinePoint(s + 0.001);
        double tx = ahead.x - c.x, ty = ahead.y - c.y, tz = ahead.z - c.z, tl = std::sqrt(tx * tx + ty * ty + tz * tz);
        tx /= tl, ty /= tl, tz /= tl;
        double sx = ty, sy = -tx, sl = std::hypot(sx, sy);
        sx /= sl, sy /= sl;
        double ux = sy * tz, uy = -sx * tz, uz = sx * ty - sy * tx;  // side x tangent
        // 48 segments: the camera passes close to the hoops, where fewer show as corners.
        appendMesh(&hoops, parametricGrid(48, 2, [&](double p, double q) {
            double a = TAU * p, r = 95 + (q - 0.5) * 3;
            return v3(std::cos(a) * r * sx + std::sin(a) * r * ux, std::cos(a) * r * sy + std::sin(a) * r * uy,
                      std::sin(a) * r * uz);
        }, 4, 1, false), c);
    }
    scene.objects.push_back(objectFromMesh(hoops, 1));
    // Light 0: the path of the swarm and the balls, one loop every 2500 ticks.
    scene.lights.push_back(light(255, 200, 150, smoothVectorTrack(samplePoints(
        [](double t) { return intestinePoint(t / INTESTINE_PERIOD); }, 0, 3000, 20), false)));
    return scene;
}

SceneDesc cupolaScene() {
    SceneDesc scene;
    constexpr int LOOP = 200;
    // Camera: sways to and fro high above the sheet once per loop, looking down steeply
    // enough that the top of the picture still falls on the sheet, never beyond its edge.
    scene.camera = sampledCamera(
        [](double t) {
            double a = -PI / 2 + 0.35 * std::sin(TAU * t / LOOP);
            return v3(230 * std::cos(a), 230 * std::sin(a), 500 + 30 * std::cos(TAU * t / LOOP));
        },
        [](double t) { return v3(30 * std::sin(TAU * t / LOOP), 0, 0); }, LOOP, 10, true);
    // Object 0: the sheet that the ripple hook bends; the set-up finds it by its texture.
    scene.objects.push_back(objectFromMesh(parametricGrid(64, 64, [](double s, double t) {
        return v3((s - 0.5) * 2600, (t - 0.5) * 2600, 0);
    }, 7, 7, false), KOPULI_RIPPLED_SLOT - KOPULI_TEXTURE_BASE));
    // Five mirrored cupolas (texture 0, environment-mapped) standing on it.
    const double places[5][3] = {{-220, 120, 110}, {180, 200, 80}, {40, -60, 60}, {-90, -210, 45}, {260, -120, 35}};
    for (const auto& p : places) {
        ObjectDesc dome = objectFromMesh(parametricGrid(20, 8, [&](double s, double t) {
            double a = TAU * s, b = PI * 0.5 * t;
            return v3(p[2] * std::cos(b) * std::cos(a), p[2] * std::cos(b) * std::sin(a), p[2] * std::sin(b));
        }, 1, 1, false), 0);
        dome.position = constantVector(v3(p[0], p[1], 0));
        scene.objects.push_back(dome);
    }
    return scene;
}

// ---- The sea ----

namespace {
constexpr double FISH_SCALE = 20;
Vec3 fishSwim(double t) {
    double a = TAU * t / 1000;
    return v3(260 * std::cos(a), 180 * std::sin(a), 70 + 20 * std::sin(TAU * t / 330));
}
double seaFloor(double x, double y) { return (tiledFractalNoise((x + 800) / 160, (y + 800) / 160, 10, 3, 801) - 0.5) * 40; }
}  // namespace

SceneDesc seaScene() {
    SceneDesc scene;
    // Camera: keeps the fish in view from outside its loop, but drifts round it (from behind
    // its flank to ahead of its face), up and down (from above to below, looking up at the
    // moving surface) and in and out, at three different paces: every take of scene 6, which
    // shows its own stretch of this animation, frames the fish another way.
    scene.camera = sampledCamera(
        [](double t) {
            Vec3 f = fishSwim(t), ahead = fishSwim(t + 1);
            double dx = ahead.x - f.x, dy = ahead.y - f.y, d = std::hypot(dx, dy);
            dx /= d, dy /= d;
            // Outward normal of the loop at the fish: the direction turned a quarter clockwise.
            double nx = dy, ny = -dx;
            double around = 0.15 + 0.95 * std::sin(TAU * t / 600), distance = 100 + 30 * std::sin(TAU * t / 380);
            double cx = std::cos(around) * nx + std::sin(around) * dx, cy = std::cos(around) * ny + std::sin(around) * dy;
            return v3(f.x + cx * distance, f.y + cy * distance, f.z + 10 + 28 * std::sin(TAU * t / 450));
        },
        [](double t) {
            Vec3 f = fishSwim(t);
            return v3(f.x, f.y, f.z + 18 - 8 * std::sin(TAU * t / 450));
        }, 1000, 10, false);
    // Object 0 (texture 0): the sea floor with caustics scrolling over it.
    scene.objects.push_back(objectFromMesh(parametricGrid(50, 50, [](double s, double t) {
        double x = (s - 0.5) * 1600, y = (t - 0.5) * 1600;
        return v3(x, y, seaFloor(x, y));
    }, 10, 10, false), 0));
    // Object 1 (texture 1): the morphing fish, swimming a wide loop and heading where it goes.
    ObjectDesc fish = objectFromMesh(fishMesh(0, 0, 1), 1);
    fish.position = smoothVectorTrack(samplePoints([](double t) {
        Vec3 p = fishSwim(t);
        return v3(p.x, p.y, p.z - FISH_LIFT * FISH_SCALE);
    }, 0, 1000, 20), false);
    fish.rotation = smoothRotationTrack(sampleRotations([](double t) {
        Vec3 a = fishSwim(t - 1), b = fishSwim(t + 1);
        return headingRotation(std::atan2(b.y - a.y, b.x - a.x), 0);
    }, 0, 1000, 20), false);
    fish.scale = constantVector(v3(FISH_SCALE, FISH_SCALE, FISH_SCALE));
    scene.objects.push_back(fish);
    // Seaweed (texture 2): crossed strips standing on the floor.
    SeededRandom random = seededRandom(802);
    Mesh weed;
    for (int i = 0; i < 40; ++i) {
        double x = nextSigned(&random) * 500, y = nextSigned(&random) * 500, h = 60 + nextUniform(&random) * 90;
        double a = nextUniform(&random) * PI;
        for (int k = 0; k < 2; ++k) {
            double d = a + k * PI / 2;
            appendMesh(&weed, parametricGrid(1, 4, [&](double s, double t) {
                double w = (s - 0.5) * 30;
                return v3(std::cos(d) * w + 8 * t * t * std::sin(t * 4), std::sin(d) * w, t * h);
            }, 1, 1, false), v3(x, y, seaFloor(x, y) - 2));
        }
    }
    scene.objects.push_back(objectFromMesh(weed, 2));
    // The water surface above (texture 3, the moving water), near enough that the fog leaves
    // it visible behind the fish instead of a flat backdrop.
    ObjectDesc surface = objectFromMesh(parametricGrid(24, 24, [](double s, double t) {
        return v3((s - 0.5) * 2400, (t - 0.5) * 2400, 185 + 25 * std::sin(s * 19) * std::cos(t * 23));
    }, 12, 12, true), 3);
    scene.objects.push_back(surface);
    // A small school of fish (texture 1) on slower loops.
    for (int i = 0; i < 5; ++i) {
        ObjectDesc other = objectFromMesh(fishMesh(i * 0.2, 0, 1), 1);
        double radius = 150 + 40 * i, height = 105 + 12 * i, phase = i * 1.3, period = 1400 + 150 * i;
        auto swim = [=](double t) {
            double a = -TAU * t / period + phase;
            return v3(radius * std::cos(a), radius * 1.2 * std::sin(a), height + 10 * std::sin(a * 3));
        };
        other.position = smoothVectorTrack(samplePoints(swim, 0, 1000, 25), false);
        other.rotation = smoothRotationTrack(sampleRotations([=](double t) {
            Vec3 a = swim(t - 1), b = swim(t + 1);
            return headingRotation(std::atan2(b.y - a.y, b.x - a.x), 0);
        }, 0, 1000, 25), false);
        other.scale = constantVector(v3(8, 8, 8));
        scene.objects.push_back(other);
    }
    return scene;
}

SceneDesc mirrorScene() {
    SceneDesc scene;
    // Camera: low over the water, so the copy below the surface reads as the fish's mirror
    // image, circling against the fish's own turn (so it shows the fish from every side) and
    // pushing in and out; the scene's black fog hides whatever lies more
    // than a few lengths away, so a glowing ceiling hangs close above the water to fill the
    // top of the picture.
    scene.camera = orbitCamera({
        {0, 0.3, 130, 30, 0, 0, 7},   {60, 0.24, 110, 20, 0, 0, 7}, {160, 0.12, 50, 5, 0, 0, 9},   {230, 0.04, 78, 24, 0, 0, 5},
        {300, -0.04, 84, 12, 0, 0, 8}, {380, -0.12, 80, 10, 0, 0, 8}, {460, -0.2, 70, 7, 0, 0, 8}, {510, -0.25, 60, 10, 0, 0, 9},
        {570, -0.3, 75, 36, 0, 0, 2},  {640, -0.36, 90, 20, 0, 0, 6}, {700, -0.42, 92, 12, 0, 0, 8},
    });
    constexpr double SCALE = 14;
    auto turning = smoothRotationTrack(sampleRotations([](double t) { return headingRotation(TAU * t / 900, 0); }, 0, 700, 25), false);
    // Object 0: the shape the morph drives, floating above the water plane z = 0.
    ObjectDesc shape = objectFromMesh(fishMesh(0, 0, 1), 0);
    shape.rotation = turning;
    shape.scale = constantVector(v3(SCALE, SCALE, SCALE));
    // Object 1: the water surface.
    ObjectDesc water = objectFromMesh(parametricGrid(24, 24, [](double s, double t) {
        return v3((s - 0.5) * 500, (t - 0.5) * 500, 0);
    }, 4, 4, false), 1);
    // Object 2: the mirror copy: the same mesh and transform; the demo rewrites its vertices
    // with z negated every frame, so it hangs below the surface.
    ObjectDesc mirror = shape;
    mirror.texture = 2;
    // Object 3: the ceiling, a slow swell of the same moving water light, facing down.
    ObjectDesc ceiling = objectFromMesh(parametricGrid(24, 24, [](double s, double t) {
        double x = (s - 0.5) * 500, y = (t - 0.5) * 500;
        return v3(x, y, 42 + 5 * std::sin(x * 0.03) * std::cos(y * 0.025));
    }, 5, 5, true), 1);
    scene.objects.push_back(shape);
    scene.objects.push_back(water);
    scene.objects.push_back(mirror);
    scene.objects.push_back(ceiling);
    return scene;
}

SceneDesc morphScene(int variant) {
    SceneDesc scene = minimalScene();
    scene.camera.position = constantVector(v3(0, -12, 3));
    scene.camera.target = constantVector(v3(0, 0, float(FISH_LIFT)));
    scene.camera.hide = alwaysVisible();
    for (int k = 0; k < 10; ++k) {
        double phase = k / 10.0, bend = 0, stretch = 1;
        if (variant == 2) bend = -0.8;
        if (variant == 3) bend = 0.8;
        if (variant == 4) stretch = 1.3;
        if (variant == 5) stretch = 0.8;
        scene.objects.push_back(objectFromMesh(fishMesh(phase, bend, stretch), 0));
    }
    return scene;
}
