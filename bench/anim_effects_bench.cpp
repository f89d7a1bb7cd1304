// Time of the per-frame CPU effects, each on the amount of data the demo gives it:
//   SurfaceWarpRows / Columns  one 128 x 128 warp (16384 texels, integer table reads);
//   PathCloudSprites           6000 path-cloud sprite updates (two sets of the aterie scene);
//   PushFromSprites            a 2000-vertex tube pushed by five balls;
//   RippleTwoCentres           a 2000-vertex surface rippled, with its normals recomputed;
//   MeshMorph                  a 2000-vertex target blended from two key sets;
//   RippleMirror               a 2000-vertex mirror copy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "anim/frame_clock.h"
#include "anim/frame_hooks.h"
#include "anim/sprite_sets.h"
#include "render/mesh_morph.h"
#include "render/water_effects.h"

namespace {

constexpr int MESH_VERTICES = 2000;

// A grid mesh of MESH_VERTICES vertices (40 x 50) in eye space, with its faces.
struct GridMesh {
    std::vector<Vec3> vertices, eye, normals;
    std::vector<float> scales;
    std::vector<Face> faces;
    SceneObject object{};
    GridMesh() : vertices(MESH_VERTICES), eye(MESH_VERTICES), normals(MESH_VERTICES),
                 scales(MESH_VERTICES, 0.0f) {
        for (int i = 0; i < MESH_VERTICES; ++i)
            vertices[i] = eye[i] = {static_cast<float>(i % 40) * 10,
                                    static_cast<float>(i / 40) * 10, -300};
        for (int r = 0; r + 1 < 50; ++r) {
            for (int c = 0; c + 1 < 40; ++c) {
                const int v = 40 * r + c;
                Face a{}, b{};
                const int first[3] = {v, v + 1, v + 40};
                const int second[3] = {v + 1, v + 41, v + 40};
                for (int k = 0; k < 3; ++k) {
                    a.corners[k].vertex = first[k];
                    b.corners[k].vertex = second[k];
                }
                faces.push_back(a);
                faces.push_back(b);
            }
        }
        object.vertexCount = MESH_VERTICES;
        object.faceCount = static_cast<int32_t>(faces.size());
        object.vertices = vertices.data();
        object.eyeVertices = eye.data();
        object.normals = normals.data();
        object.normalScale = scales.data();
        object.faces = faces.data();
    }
};

void surfaceWarp(benchmark::State& state, bool columns) {
    std::vector<uint8_t> pixels(3 * WATER_TEXELS);
    Picture out{WATER_SIDE, WATER_SIDE, pixels.data()};
    std::vector<int32_t> colours(WATER_TEXELS);
    std::vector<uint16_t> offsets(WATER_TEXELS);
    for (int i = 0; i < WATER_TEXELS; ++i) {
        colours[i] = i * 977;
        offsets[i] = static_cast<uint16_t>(i * 40503u);
    }
    float t = 0;
    for (auto _ : state) {
        if (columns)
            warpSurfaceColumns(&out, colours.data(), offsets.data(), t);
        else
            warpSurfaceRows(&out, colours.data(), offsets.data(), t);
        t += 0.7f;
        benchmark::DoNotOptimize(pixels.data());
    }
}
void SurfaceWarpRows(benchmark::State& state) { surfaceWarp(state, false); }
void SurfaceWarpColumns(benchmark::State& state) { surfaceWarp(state, true); }

void PathCloudSprites(benchmark::State& state) {
    std::vector<Vec3> path(3001);
    for (int i = 0; i <= 3000; ++i) path[i] = {static_cast<float>(i), 0.5f * i, -0.25f * i};
    std::vector<Sprite> sprites(6000);
    for (Sprite& s : sprites) spawnPathCloud(&s);
    frameStep = 1.0f;
    for (auto _ : state) {
        for (Sprite& s : sprites) updatePathCloud(&s, path.data());
        benchmark::DoNotOptimize(sprites.data());
    }
}

void PushFromSprites(benchmark::State& state) {
    GridMesh mesh;
    std::vector<Sprite> balls(5);
    for (int i = 0; i < 5; ++i) balls[i].eyePosition = {40.0f + 70 * i, 200, -300};
    SpriteSet set{};
    set.sprites = balls.data();
    set.spriteCount = set.spriteCapacity = 5;
    for (auto _ : state) {
        pushFromSprites(&mesh.object, &set);
        benchmark::DoNotOptimize(mesh.eye.data());
    }
}

void RippleTwoCentres(benchmark::State& state) {
    GridMesh mesh;
    float time = 0;
    for (auto _ : state) {
        rippleTwoCentres(&mesh.object, &time);
        time += 1.5f;
        benchmark::DoNotOptimize(mesh.normals.data());
    }
}

void MeshMorph(benchmark::State& state) {
    auto block = std::make_unique<Scene[]>(16);
    std::memset(static_cast<void*>(block.get()), 0, sizeof(Scene) * 16);
    std::vector<GridMesh> keys(20);
    std::vector<SceneObject> keyObjects[2];
    for (int s = 0; s < 2; ++s) {
        for (int j = 0; j < MORPH_KEYS; ++j) keyObjects[s].push_back(keys[10 * s + j].object);
        block[11 + 2 * s].objects = keyObjects[s].data();  // Scenes 11 and 13
        block[11 + 2 * s].objectCount = MORPH_KEYS;
    }
    block[15] = block[13];
    Scene* saved = scenes;
    scenes = block.get();
    GridMesh target;
    float a = 0;
    for (auto _ : state) {
        morphObject(&target.object, a, 0.5f, 0.0f);
        a += 0.05f;
        benchmark::DoNotOptimize(target.vertices.data());
    }
    scenes = saved;
}

void RippleMirror(benchmark::State& state) {
    GridMesh source, target;
    float t = 0;
    for (auto _ : state) {
        rippleMirror(&target.object, &source.object, t);
        t += 1;
        benchmark::DoNotOptimize(target.vertices.data());
    }
}

}  // namespace

BENCHMARK(SurfaceWarpRows);
BENCHMARK(SurfaceWarpColumns);
BENCHMARK(PathCloudSprites);
BENCHMARK(PushFromSprites);
BENCHMARK(RippleTwoCentres);
BENCHMARK(MeshMorph);
BENCHMARK(RippleMirror);
