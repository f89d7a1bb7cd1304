// Time of one scene render pass of a few thousand triangles and sprites in the headless
// context, split into the parts that are ours and the part the GL driver takes:
//   UpdateOnly       the per-frame update alone (our code, no GL);
//   AllFacesCulled   the whole pass with every face and sprite rejected by the depth tests, so
//                    our loops and tests run but almost no vertex reaches the driver;
//   Submit           the whole pass, timing only until the last call returns;
//   SubmitAndFinish  the whole pass until glFinish returns (the driver has drawn everything).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "anim/scene_update.h"
#include "app/asset_tables.h"
#include "platform/platform.h"
#include "render/lens_flares.h"
#include "render/render_globals.h"
#include "render/scene_pass.h"
#include "scene_fixture.h"
#include "shell/gl_window.h"

namespace {

constexpr int QUADS_PER_OBJECT = 250;  // 500 triangles
constexpr int OBJECTS = 6;             // 3000 triangles: 4 opaque, 1 two-pass, 1 translucent
constexpr int SPRITES = 2000;

void still(Sprite*, void*) {}

GLuint flatTexture(uint8_t r, uint8_t g, uint8_t b) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const uint8_t texel[12] = {r, g, b, r, g, b, r, g, b, r, g, b};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

struct BenchScene {
    std::unique_ptr<SceneFixture> fixture = std::make_unique<SceneFixture>();
    std::vector<Sprite> sprites = std::vector<Sprite>(SPRITES);
    FlareElement flareElements[4]{};
    Vec3 anchor{3, 2, -20};

    BenchScene() {
        textureTable[1].glName = flatTexture(200, 180, 160);
        textureTable[2].glName = flatTexture(60, 60, 60);
        textureTable[2].overlayGlName = flatTexture(90, 90, 120);
        textureTable[2].flags = SLOT_SCROLL_OVERLAY;
        textureTable[3].glName = flatTexture(80, 120, 160);
        textureTable[3].translucency = 1.0f;
        textureTable[3].wireBrightness = 0.3f;
        textureTable[4].glName = flatTexture(255, 255, 255);
        textureTable[4].translucency = 1.0f;
        textureTable[99].glName = flatTexture(100, 100, 255);
        textureTable[99].translucency = 1.0f;
        const int32_t slots[OBJECTS] = {1, 1, 1, 1, 2, 3};
        for (int i = 0; i < OBJECTS; ++i) {
            const float y = -9.0f + 3.0f * static_cast<float>(i);
            fixture->addQuads(-9, y, 9, y + 2.5f, -10.0f - static_cast<float>(i), slots[i],
                                   QUADS_PER_OBJECT);
        }
        for (int i = 0; i < SPRITES; ++i) {
            sprites[i].worldPosition = SceneFixture::worldFromEye(
                {static_cast<float>(i % 50) * 0.4f - 10.0f, static_cast<float>(i / 50) * 0.5f - 10.0f,
                 -12.0f});
            sprites[i].colour = {0.1f, 0.1f, 0.1f};
            sprites[i].halfSize = 0.3f;
        }
        Scene* scene = &fixture->scene;
        scene->spriteSets[scene->spriteSetCount++] =
            SpriteSet{sprites.data(), SPRITES, nullptr, still, nullptr, &textureTable[4], SPRITES};
        for (FlareElement& e : flareElements) e = FlareElement{textureTable[4].glName, 0.1f, 0.3f, 0.3f, 0.3f};
        scene->flareSets[scene->flareSetCount++] =
            FlareSet{4, 1, flareElements, &anchor, 0.5f, 1.0f, 0.2f, 0.01f, 1};
        scene->fogDensity = 0.002f;
    }
};

BenchScene* benchScene = nullptr;

bool setUp() {
    if (benchScene) return true;
    if (!platformCreateHeadlessContext(640, 480, 1) || !allocateTables()) return false;
    nearCullZ = -0.1f;
    initGlState(640, 480);
    benchScene = new BenchScene();
    return true;
}

void clearFrame() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void UpdateOnly(benchmark::State& state) {
    if (!setUp()) return state.SkipWithError("no headless context");
    float t = 0.0f;
    for (auto _ : state) updateScene(&benchScene->fixture->scene, t += 0.1f);
}

void AllFacesCulled(benchmark::State& state) {
    if (!setUp()) return state.SkipWithError("no headless context");
    const float savedNear = nearCullZ;
    nearCullZ = -1e30f;  // nothing is in front: every face and sprite is tested and dropped
    float t = 0.0f;
    for (auto _ : state) {
        clearFrame();
        renderScene(&benchScene->fixture->scene, t += 0.1f, START_PASS_SETTINGS);
        glFinish();
    }
    nearCullZ = savedNear;
}

void Submit(benchmark::State& state) {
    if (!setUp()) return state.SkipWithError("no headless context");
    float t = 0.0f;
    for (auto _ : state) {
        clearFrame();
        renderScene(&benchScene->fixture->scene, t += 0.1f, START_PASS_SETTINGS);
        state.PauseTiming();
        glFinish();
        state.ResumeTiming();
    }
}

void SubmitAndFinish(benchmark::State& state) {
    if (!setUp()) return state.SkipWithError("no headless context");
    float t = 0.0f;
    for (auto _ : state) {
        clearFrame();
        renderScene(&benchScene->fixture->scene, t += 0.1f, START_PASS_SETTINGS);
        glFinish();
    }
}

}  // namespace

BENCHMARK(UpdateOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(AllFacesCulled)->Unit(benchmark::kMicrosecond);
BENCHMARK(Submit)->Unit(benchmark::kMicrosecond);
BENCHMARK(SubmitAndFinish)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
