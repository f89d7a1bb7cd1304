// The data set the build made with the generator, read back with the demo's own readers:
// the whole set loads with no message, the scene files hold every object and light the demo
// reaches by index with tracks that cover the times it plays, loops close without a seam,
// pictures and masks have the shape their roles need, and the output never varies. The key
// authoring is checked against the demo's own track evaluation.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "anim/layers.h"
#include "anim/scene_update.h"
#include "assets/bmp_reader.h"
#include "assets/demo_numbers.h"
#include "assets/slot_loads.h"
#include "assets/texture_table.h"
#include "math/keyframe_tracks.h"
#include "canvas.h"
#include "assets/flare_file.h"
#include "assets/scene.h"
#include "assets/scene_file.h"
#include "data_file_path.h"
#include "data_set.h"
#include "demo_data_fixture.h"
#include "gl_test_context.h"
#include "music.h"
#include "platform/platform.h"
#include "scene_authoring.h"
#include "scratch_folder.h"
#include "timeline/compositions.h"
#include "timeline/scene_schedule.h"
#include "tools/tool_programs.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string makeTempDir(const char* prefix) { return makeScratchFolder(prefix).string(); }

// The set the build made with the make-data program, read and never written by the suite.
class MakeDataTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = DATA_SET_DIR ? DATA_SET_DIR : "";
        generated = !root.empty() && fs::exists(root + "/complete");
    }
    void SetUp() override { ASSERT_TRUE(generated) << "the build made no data set"; }

    static std::string path(const std::string& dataName) { return dataFilePath(root + "/data", dataName); }

    // A scene file loaded into a Scene of its own, released again by the caller.
    struct LoadedScene {
        Scene* scene = static_cast<Scene*>(std::calloc(1, sizeof(Scene)));
        ~LoadedScene() {
            releaseScene(scene);
            std::free(scene);
        }
    };
    static int load(const std::string& dataName, int32_t base, LoadedScene* out) {
        return loadScene(path(dataName).c_str(), out->scene, base);
    }

    static std::string root;
    static bool generated;
};
std::string MakeDataTest::root;
bool MakeDataTest::generated = false;

Vec3 evalAt(KeyTrack* track, float t) {
    Vec3 v;
    evalVectorTrack(track, &v, t);
    return v;
}

double distance(Vec3 a, Vec3 b) { return std::sqrt(double(a.x - b.x) * (a.x - b.x) + double(a.y - b.y) * (a.y - b.y) + double(a.z - b.z) * (a.z - b.z)); }

template <typename Key>
bool timesIncrease(const KeyTrack& track) {
    const Key* keys = static_cast<const Key*>(track.keys);
    if (track.keyCount < 1) return false;
    for (int k = 1; k < track.keyCount; ++k)
        if (keys[k].time <= keys[k - 1].time) return false;
    return true;
}

template <typename Key>
bool covers(const KeyTrack& track, int from, int to) {
    const Key* keys = static_cast<const Key*>(track.keys);
    return track.keyCount == 1 || (keys[0].time <= from && keys[track.keyCount - 1].time >= to);
}

struct SceneFile {
    const char* name;
    int32_t base;
    int from, to;  // scene times the demo evaluates this file at
};
const SceneFile SCENE_FILES[] = {
    {"data\\light.dat", LIGHT_TEXTURE_BASE, 100, 1350},
    {"data\\neuronal.dat", NEURONAL_TEXTURE_BASE, 0, 250},
    {"data\\aterie.dat", ATERIE_TEXTURE_BASE, 0, 1320},
    {"data\\darm.dat", DARM_TEXTURE_BASE, 0, 3000},
    {"data\\kopuli.dat", KOPULI_TEXTURE_BASE, 0, 200},
    {"data\\fisch2.dat", FISH_TEXTURE_BASE, 50, 870},
    {"data\\mirror.dat", MIRROR_TEXTURE_BASE, 50, 620},
    {"data\\morph1.dat", FISH_TEXTURE_BASE, 0, 0},
    {"data\\morph2.dat", FISH_TEXTURE_BASE, 0, 0},
    {"data\\morph3.dat", FISH_TEXTURE_BASE, 0, 0},
    {"data\\morph4.dat", FISH_TEXTURE_BASE, 0, 0},
    {"data\\morph5.dat", FISH_TEXTURE_BASE, 0, 0},
};

}  // namespace

// ---- The set as the demo loads it ----

TEST_F(MakeDataTest, DemoLoadsTheWholeSetWithoutAnyMessage) {
    GlTestContext::ensure();
    const LoadRecord record = loadDemoFixture(root);
    EXPECT_EQ(record.result, 1);
    EXPECT_TRUE(record.messages.empty()) << record.messages.front();
    // 74 slot pictures plus the lens chain read three times.
    EXPECT_EQ(record.log.size(), 74u + 3 * flareElementNames().size());
    for (const std::string& name : FIXTURE_PICTURES) EXPECT_TRUE(fs::exists(path(name))) << name;
}

namespace {

struct Rect {
    double x0, y0, x1, y1;
    bool meets(const Rect& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

// A Layer's loaded picture read back from its texture, three bytes a texel.
struct LayerPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    // Ink: any channel above 40 of 255.
    bool inked(int col, int row) const {
        const uint8_t* p = &rgb[(size_t(row) * width + col) * 3];
        return std::max({p[0], p[1], p[2]}) > 40;
    }
};
LayerPicture pictureOfLayer(int n) {
    LayerPicture picture;
    glBindTexture(GL_TEXTURE_2D, textureTable[layerTable[n].textureSlot].glName);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &picture.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &picture.height);
    picture.rgb.resize(size_t(picture.width) * picture.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    return picture;
}

// Where a Layer's picture has ink, in the Layer's own coordinates: read back from the loaded
// texture and mapped through the Layer's corners.
Rect inkOfLayer(int n) {
    const Layer& layer = layerTable[n];
    const LayerPicture picture = pictureOfLayer(n);
    const int w = picture.width, h = picture.height;
    double u0 = 1, v0 = 1, u1 = 0, v1 = 0;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            if (!picture.inked(col, row)) continue;
            u0 = std::min(u0, double(col) / w), u1 = std::max(u1, double(col + 1) / w);
            v0 = std::min(v0, double(row) / h), v1 = std::max(v1, double(row + 1) / h);
        }
    const LayerVertex& a = layer.vertices[0];
    const LayerVertex& b = layer.vertices[layer.vertexCount - 1];
    auto x = [&](double u) { return a.baseX + (b.baseX - a.baseX) * (u - a.u) / (b.u - a.u); };
    auto y = [&](double v) { return a.baseY + (b.baseY - a.baseY) * (v - a.v) / (b.v - a.v); };
    return {std::min(x(u0), x(u1)), std::min(y(v0), y(v1)), std::max(x(u0), x(u1)), std::max(y(v0), y(v1))};
}

// One text Layer draw of a composition: while scene time t lies in [from, to] it shows with
// the position the compositions give it (x' = sx x + dx, y' = sy y + dy), its deformer moving
// it by up to `wander`. Texts that cross the screen (`passing` along x or y) enter and leave
// it by design; along the other axis they stay on it, and along their path they fit it.
// Draws of one `echo` group are copies of one text laid over each other on purpose. The same
// record describes the pictures the texts must keep clear of (`passing` 'p': a picture may
// reach past the screen's edges).
struct TextDraw {
    int scene, layer;
    double from, to, wander;
    char passing;  // 0, 'x' or 'y'
    const char* echo;
    std::function<std::array<double, 4>(double)> move;  // sx, sy, dx, dy at scene time t
};

}  // namespace

TEST_F(MakeDataTest, TextsStayOnTheScreenAndApartWhileTheyShow) {
    GlTestContext::ensure();
    ASSERT_EQ(loadDemoFixture(root).result, 1);
    const double DRIFT = 0.02, WOBBLE = 0.07;
    auto still = [](double) { return std::array<double, 4>{1, 1, 0, 0}; };
    auto lightStretch = [](double t) {  // scenes 1's cuts 2 and 5, t as cut time
        return std::array<double, 4>{1, t < 20 ? 2 - t * 0.05 : 1, 0, 0};
    };
    auto v = [](double t) { return 2.5 - (t - 520) * 0.01; };
    auto c2 = [](double t) { return (t - 520) * 0.0025; };
    auto q4 = [](double t) { return t <= 100 ? 3 : 3 - (t - 200) * 0.02; };
    auto q7 = [](double t) { return t <= 300 ? 3 : 3 - (t - 300) * 0.02; };
    auto w5 = [](double t) { return std::sin(t * 0.005) * (cutAt(CUT_TABLE_B, float(t)).index % 2 ? -1 : 1); };
    auto helmet = [](double t) {  // the helmet's shift to the left
        return std::clamp(t <= 100 ? 1 : t <= 200 ? 1 - (t - 100) * 0.01 : t <= 400 ? 0 : t <= 500 ? (t - 400) * 0.01 : 1, 0.0, 1.0);
    };
    const std::vector<TextDraw> draws = {
        {0, TITLE_LOGO_LAYER, 0, 455, WOBBLE, 0, "logo", still},
        {0, TITLE_CREDITS_LAYER, 0, 455, DRIFT, 0, "credits", still},
        {0, TITLE_GROUP_LAYER, 0, 455, DRIFT, 0, "brakkwell", still},
        {0, TITLE_PRESENTS_LAYER, 0, 455, DRIFT, 0, "trace", still},
        {0, TITLE_DEEPER_LAYER, 0, 455, DRIFT, 0, "deeper", still},
        {1, LIGHT_TEXT_LAYER, 0.5, 115, 0, 0, "light", lightStretch},
        {1, LIGHT_TEXT_WIDE_LAYER, 0.5, 115, 0, 0, "light", lightStretch},
        {2, CHECK_OUR_GIFT_LAYER, 507, 976, 0, 'x', "gift", [&](double t) { return std::array<double, 4>{1, 1, v(t), 0}; }},
        {2, WE_BRING_YOU_DEMO_LAYER, 507, 976, 0, 'x', "demo", [&](double t) { return std::array<double, 4>{1, 1, -v(t), 0}; }},
        {2, DRIFT_WELLING_LAYER, 1, 976, 0, 'y', "drift", [&](double t) { return std::array<double, 4>{1, 1, 0, c2(t)}; }},
        {2, DRIFT_WELLING_LAYER, 1, 976, 0, 'y', "drift", [&](double t) { return std::array<double, 4>{1, 1, 0.15, 2 - c2(t)}; }},
        {2, DRIFT_WELLING_LAYER, 1, 976, 0, 'y', "drift", [&](double t) { return std::array<double, 4>{1, 1, 0.3, 0.7 * c2(t) - 2}; }},
        {3, FLY_OUT_TEXT_LAYER, 1, 499, 0, 0, "fly out", [](double t) { return std::array<double, 4>{1 + 0.1 * std::cos(t * 0.1), 1, 0, 0}; }},
        {3, FLY_OUT_TEXT_WIDE_LAYER, 1, 499, 0, 0, "fly out, large", [](double t) { return std::array<double, 4>{1, 1 + 0.2 * std::sin(t * 0.1), 0, 0}; }},
        {3, GREETINGS_LAYER, 461, 896, WOBBLE, 0, "greetings", [](double t) { return std::array<double, 4>{1, 1, 0, std::cos(t * 0.005) * 0.25}; }},
        {4, SCREAM_TEXT_LAYER, 0, 917, 0, 'x', "scream", [&](double t) { return std::array<double, 4>{1, 1, q4(t), 0}; }},
        {4, SCREAM_TEXT_WIDE_LAYER, 0, 917, 0, 'x', "scream", [&](double t) { return std::array<double, 4>{1, 1, 1.5 * q4(t), 0}; }},
        {5, INSIDE_TEXT_LAYER, 0, 920, 0, 0, "inside", [](double t) { return std::array<double, 4>{1, 1 + 0.1 * std::sin(t * 0.005), 0, 0}; }},
        {5, INSIDE_TEXT_WIDE_LAYER, 0, 920, 0, 0, "inside", [](double t) { return std::array<double, 4>{1 + 0.2 * std::sin(t * 0.005), 1, 0, 0}; }},
        {5, INSIDE_TEXT_WIDE_LAYER, 0, 920, 0, 0, "inside", [](double) { return std::array<double, 4>{1.5, 1, 0, 0}; }},
        {5, OUTSIDE_TEXT_LAYER, 0, 920, 0, 'y', "outside", [&](double t) { return std::array<double, 4>{1, 1, 0, w5(t)}; }},
        {5, OUTSIDE_TEXT_LAYER, 0, 920, 0, 'y', "outside", [&](double t) { return std::array<double, 4>{1, 1, 0.1, w5(t) * 0.8 + 0.4}; }},
        {7, WE_WANT_TEXT_LAYER, 0, 563, 0, 'x', "want", [&](double t) { return std::array<double, 4>{1, 1, q7(t), 0}; }},
        {7, WE_WANT_TEXT_WIDE_LAYER, 0, 563, 0, 'x', "want", [&](double t) { return std::array<double, 4>{1, 1, 1.5 * q7(t), 0}; }},
        {7, WE_WANT_TEXT_WIDEST_LAYER, 0, 563, 0, 'x', "want", [&](double t) { return std::array<double, 4>{1, 1, -0.5 * q7(t) - 2, 0}; }},
        {8, BRAKKWELL_TEXT_LAYER, 0, 350, 0, 0, "brakkwell", [](double t) { return std::array<double, 4>{1 + 0.2 * std::sin(t * 0.01), 1, 0, 0}; }},
        {8, BRAKKWELL_TEXT_WIDE_LAYER, 0, 350, 0, 0, "brakkwell", [](double t) { return std::array<double, 4>{1 - 0.2 * std::sin(t * 0.01), 1, 0, 0}; }},
        // The pictures shown with texts beside them: the helmet beside the flying text and the
        // greetings, the embryo (in every take but 2, 4 and 8) below "inside" and beside "outside".
        {3, HELMET_LAYER, 0, 896, 0, 'p', "helmet", [&](double t) { return std::array<double, 4>{1, 1, -helmet(t), 0}; }},
        {5, EMBRYO_LAYER, 0, 230, WOBBLE, 'p', "embryo", still},
        {5, EMBRYO_LAYER, 345, 460, WOBBLE, 'p', "embryo", still},
        {5, EMBRYO_LAYER, 575, 920, WOBBLE, 'p', "embryo", still},
    };
    std::map<int, Rect> ink;
    for (const TextDraw& d : draws)
        if (!ink.count(d.layer)) ink[d.layer] = inkOfLayer(d.layer);
    int failures = 0;
    for (int scene = 0; scene <= 8; ++scene)
        for (double t = 0; t <= 976 && failures < 40; t += 0.5) {
            std::vector<std::pair<const TextDraw*, Rect>> shown;
            for (const TextDraw& d : draws) {
                if (d.scene != scene || t < d.from || t > d.to) continue;
                const auto [sx, sy, dx, dy] = d.move(t);
                const Rect& r = ink[d.layer];
                Rect s{std::min(sx * r.x0, sx * r.x1) + dx - d.wander, std::min(sy * r.y0, sy * r.y1) + dy - d.wander,
                       std::max(sx * r.x0, sx * r.x1) + dx + d.wander, std::max(sy * r.y0, sy * r.y1) + dy + d.wander};
                const bool acrossX = s.x0 >= -1 && s.x1 <= 1, acrossY = s.y0 >= -1 && s.y1 <= 1;
                const bool fits = d.passing == 'p' || (d.passing == 'x'   ? acrossY && s.x1 - s.x0 <= 2
                                                       : d.passing == 'y' ? acrossX && s.y1 - s.y0 <= 2
                                                                          : acrossX && acrossY);
                if (!fits) ADD_FAILURE() << "Layer " << d.layer << " (" << d.echo << ") leaves the screen in scene " << scene
                                         << " at t = " << t << ": " << s.x0 << ", " << s.y0 << " to " << s.x1 << ", " << s.y1;
                failures += !fits;
                for (const auto& [other, o] : shown) {
                    const bool pictures = d.passing == 'p' && other->passing == 'p';
                    const bool apart = pictures || std::string(other->echo) == d.echo || !s.meets(o);
                    if (!apart) ADD_FAILURE() << "\"" << d.echo << "\" meets \"" << other->echo << "\" in scene " << scene << " at t = " << t;
                    failures += !apart;
                }
                shown.push_back({&d, s});
            }
        }
}

TEST_F(MakeDataTest, EachGreetingsLineStaysInOneRowOfItsWobblingGrid) {
    // The greetings' wobble moves each row of their grid's vertices up and down as a whole,
    // squeezing some rows of cells and stretching others: a line of text that crossed from one
    // row of cells into the next would be bent there and run into its neighbours.
    GlTestContext::ensure();
    ASSERT_EQ(loadDemoFixture(root).result, 1);
    const Layer& layer = layerTable[GREETINGS_LAYER];
    const LayerPicture picture = pictureOfLayer(GREETINGS_LAYER);
    ASSERT_GT(picture.height, 0);
    auto inkedRow = [&](int row) {
        for (int col = 0; col < picture.width; ++col)
            if (picture.inked(col, row)) return true;
        return false;
    };
    int rowsWithText = 0;
    for (int k = 0; k + 1 < layer.rows; ++k) {
        const int top = int(std::lround(layer.vertices[k * layer.columns].v * picture.height));
        const int bottom = int(std::lround(layer.vertices[(k + 1) * layer.columns].v * picture.height));
        for (int row : {top, top + 1, bottom - 2, bottom - 1}) {
            if (row >= 0 && row < picture.height) {
                EXPECT_FALSE(inkedRow(row)) << "ink on the edge of cell row " << k << " at " << row;
            }
        }
        bool any = false;
        for (int row = std::max(0, top); row < std::min(bottom, picture.height) && !any; ++row) any = inkedRow(row);
        rowsWithText += any;
    }
    EXPECT_GE(rowsWithText, 5);
}

TEST_F(MakeDataTest, SameBytesOnEveryRun) {
    std::string again = makeTempDir("qd-make-data-again-");
    ASSERT_EQ(writePictures(again), 1);
    ASSERT_EQ(writeBmpPictures(again), 1);
    ASSERT_EQ(writeFlareConfig(again), 1);
    ASSERT_EQ(writeSceneFiles(again), 1);
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(again)) {
        std::string name = entry.path().filename().string();
        EXPECT_EQ(readBytes(entry.path().string()), readBytes(root + "/data/" + name)) << name;
        ++compared;
    }
    EXPECT_EQ(compared, int(pictureNames().size()) + 2 + 1 + 12);
    fs::remove_all(again);
}

// ---- Scene contracts ----

TEST_F(MakeDataTest, SceneFilesHoldEveryObjectAndLightTheDemoReachesByIndex) {
    LoadedScene light, neuronal, aterie, darm, kopuli, fish, mirror;
    ASSERT_EQ(load("data\\light.dat", LIGHT_TEXTURE_BASE, &light), 1);
    ASSERT_EQ(load("data\\neuronal.dat", NEURONAL_TEXTURE_BASE, &neuronal), 1);
    ASSERT_EQ(load("data\\aterie.dat", ATERIE_TEXTURE_BASE, &aterie), 1);
    ASSERT_EQ(load("data\\darm.dat", DARM_TEXTURE_BASE, &darm), 1);
    ASSERT_EQ(load("data\\kopuli.dat", KOPULI_TEXTURE_BASE, &kopuli), 1);
    ASSERT_EQ(load("data\\fisch2.dat", FISH_TEXTURE_BASE, &fish), 1);
    ASSERT_EQ(load("data\\mirror.dat", MIRROR_TEXTURE_BASE, &mirror), 1);
    EXPECT_GE(light.scene->lightCount, 1);
    EXPECT_GE(neuronal.scene->lightCount, 2);
    EXPECT_GE(aterie.scene->objectCount, 1);
    EXPECT_GE(aterie.scene->lightCount, 9);
    EXPECT_GE(darm.scene->lightCount, 1);
    EXPECT_NE(findObjectBySlot(darm.scene, DARM_TUBE_SLOT), nullptr);
    EXPECT_NE(findObjectBySlot(kopuli.scene, KOPULI_RIPPLED_SLOT), nullptr);
    EXPECT_GE(fish.scene->objectCount, 2);
    ASSERT_GE(mirror.scene->objectCount, 3);

    // Texture numbers name only slots that the file's own set-up step fills.
    const std::map<const Scene*, std::span<const SlotLoad>> slots = {
        {light.scene, LIGHT_SLOTS},   {neuronal.scene, NEURONAL_SLOTS}, {aterie.scene, ATERIE_MAP_SLOTS},
        {darm.scene, DARM_SLOTS},     {kopuli.scene, KOPULI_SLOTS},     {fish.scene, FISH_SLOTS},
        {mirror.scene, MIRROR_SLOTS}};
    for (const auto& [scene, loads] : slots)
        for (int i = 0; i < scene->objectCount; ++i) {
            const int32_t slot = scene->objects[i].textureSlot;
            EXPECT_TRUE(std::any_of(loads.begin(), loads.end(), [slot](const SlotLoad& l) { return l.slot == slot; }))
                << "texture slot " << slot;
        }

    // The mirror copy has the shape's vertices and faces.
    const SceneObject& shape = mirror.scene->objects[0];
    const SceneObject& copy = mirror.scene->objects[2];
    ASSERT_EQ(copy.vertexCount, shape.vertexCount);
    ASSERT_EQ(copy.faceCount, shape.faceCount);
    for (int v = 0; v < shape.vertexCount; ++v) EXPECT_EQ(distance(copy.vertices[v], shape.vertices[v]), 0.0);
    for (int f = 0; f < shape.faceCount; ++f)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(copy.faces[f].corners[c].vertex, shape.faces[f].corners[c].vertex);

    // Every morph key has the morphed objects' vertex count, and vertex k stays vertex k: the
    // keys of one ring differ from each other only a little, never by a reordering.
    const int count = fish.scene->objects[1].vertexCount;
    EXPECT_EQ(shape.vertexCount, count);
    for (int m = 1; m <= 5; ++m) {
        LoadedScene morph;
        ASSERT_EQ(load("data\\morph" + std::to_string(m) + ".dat", FISH_TEXTURE_BASE, &morph), 1);
        ASSERT_EQ(morph.scene->objectCount, 10);
        for (int k = 0; k < 10; ++k) {
            ASSERT_EQ(morph.scene->objects[k].vertexCount, count);
            for (int v = 0; v < count; ++v)
                EXPECT_LT(distance(morph.scene->objects[k].vertices[v], fish.scene->objects[1].vertices[v]), 2.5);
        }
    }
}

TEST_F(MakeDataTest, TracksHaveOrderedKeysCoveringTheTimesPlayedAndNothingStartsHidden) {
    for (const SceneFile& file : SCENE_FILES) {
        SCOPED_TRACE(file.name);
        LoadedScene loaded;
        ASSERT_EQ(load(file.name, file.base, &loaded), 1);
        Scene* s = loaded.scene;
        SceneCamera* c = s->camera;
        EXPECT_TRUE(timesIncrease<VectorKey>(c->positionTrack) && timesIncrease<VectorKey>(c->targetTrack));
        EXPECT_TRUE(timesIncrease<ScalarKey>(c->rollTrack) && timesIncrease<ScalarKey>(c->fovTrack));
        EXPECT_TRUE(covers<VectorKey>(c->positionTrack, file.from, file.to));
        EXPECT_TRUE(covers<VectorKey>(c->targetTrack, file.from, file.to));
        for (int i = 0; i < s->objectCount; ++i) {
            SceneObject& o = s->objects[i];
            EXPECT_TRUE(timesIncrease<VectorKey>(o.positionTrack) && timesIncrease<RotationKey>(o.rotationTrack) &&
                        timesIncrease<VectorKey>(o.scaleTrack) && timesIncrease<ToggleKey>(o.hideTrack));
            EXPECT_TRUE(covers<VectorKey>(o.positionTrack, file.from, file.to) &&
                        covers<RotationKey>(o.rotationTrack, file.from, file.to));
            advanceToggleTrack(&o.hideTrack, 3000);
            EXPECT_EQ(o.hideTrack.toggleState, 0) << "object " << i;
        }
        for (int i = 0; i < s->lightCount; ++i) {
            SceneLight& l = s->lights[i];
            EXPECT_TRUE(timesIncrease<VectorKey>(l.positionTrack) && timesIncrease<ToggleKey>(l.hideTrack));
            EXPECT_TRUE(covers<VectorKey>(l.positionTrack, file.from, file.to));
            advanceToggleTrack(&l.hideTrack, 3000);
            EXPECT_EQ(l.hideTrack.toggleState, 0) << "light " << i;
        }
    }
    // The artery's blood streams and the intestine's path are sampled up to 3000.
    LoadedScene aterie, darm;
    ASSERT_EQ(load("data\\aterie.dat", ATERIE_TEXTURE_BASE, &aterie), 1);
    ASSERT_EQ(load("data\\darm.dat", DARM_TEXTURE_BASE, &darm), 1);
    for (int i : {7, 8}) EXPECT_TRUE(covers<VectorKey>(aterie.scene->lights[i].positionTrack, 0, 3000));
    EXPECT_TRUE(covers<VectorKey>(darm.scene->lights[0].positionTrack, 0, 3000));
}

TEST_F(MakeDataTest, CamerasNeverLookAlongTheVerticalAxis) {
    for (const SceneFile& file : SCENE_FILES) {
        SCOPED_TRACE(file.name);
        LoadedScene loaded;
        ASSERT_EQ(load(file.name, file.base, &loaded), 1);
        SceneCamera* c = loaded.scene->camera;
        for (double t = 0; t <= std::max(file.to, 1) + 20; t += 0.5) {
            Vec3 p = evalAt(&c->positionTrack, float(t)), q = evalAt(&c->targetTrack, float(t));
            double fx = q.x - p.x, fy = q.y - p.y, fz = q.z - p.z;
            double length = std::sqrt(fx * fx + fy * fy + fz * fz);
            ASSERT_GT(length, 1.0) << "t = " << t;
            ASSERT_GT(std::hypot(fx, fy) / length, 0.2) << "t = " << t;
        }
    }
}

TEST_F(MakeDataTest, LoopedPathsCloseWithoutASeam) {
    struct Loop {
        const char* file;
        int32_t base;
        int light;  // -1: the camera position
        float period;
    };
    const Loop loops[] = {{"data\\neuronal.dat", NEURONAL_TEXTURE_BASE, -1, 250}, {"data\\neuronal.dat", NEURONAL_TEXTURE_BASE, 0, 250},
                          {"data\\neuronal.dat", NEURONAL_TEXTURE_BASE, 1, 250},  {"data\\kopuli.dat", KOPULI_TEXTURE_BASE, -1, 200},
                          {"data\\darm.dat", DARM_TEXTURE_BASE, 0, 2500},     {"data\\aterie.dat", ATERIE_TEXTURE_BASE, 7, 600},
                          {"data\\aterie.dat", ATERIE_TEXTURE_BASE, 8, 600}};
    for (const Loop& loop : loops) {
        SCOPED_TRACE(std::string(loop.file) + " light " + std::to_string(loop.light));
        LoadedScene loaded;
        ASSERT_EQ(load(loop.file, loop.base, &loaded), 1);
        KeyTrack* track = loop.light < 0 ? &loaded.scene->camera->positionTrack
                                         : &loaded.scene->lights[loop.light].positionTrack;
        Vec3 start = evalAt(track, 0), end = evalAt(track, loop.period);
        EXPECT_LT(distance(start, end), 0.05);
        // Across the seam the path moves on at the pace it has on either side of it.
        double step = distance(evalAt(track, 0.5f), evalAt(track, 1.5f));
        double seam = distance(evalAt(track, loop.period - 0.5f), evalAt(track, 0.5f));
        EXPECT_NEAR(seam, step, step * 0.15 + 1e-3);
    }
}

TEST_F(MakeDataTest, CamerasFrameWhatTheCompositionsLayOverThem) {
    // Scene 4 opens at tick 700 of the intestine's animation under a white flash: the camera
    // is out in the dark there, looking away from the knot, so nothing of it is in view while
    // the flash is strong.
    LoadedScene darm;
    ASSERT_EQ(load("data\\darm.dat", DARM_TEXTURE_BASE, &darm), 1);
    for (float t = 700; t <= 726; t += 2) {
        updateScene(darm.scene, t);
        const SceneObject& tube = darm.scene->objects[0];
        int inView = 0;
        for (int v = 0; v < tube.vertexCount; ++v) {
            const Vec3& e = tube.eyeVertices[v];
            inView += e.z < -1 && std::fabs(e.x) < -e.z && std::fabs(e.y) < -e.z;
        }
        EXPECT_EQ(inView, 0) << "t = " << t;
    }
    // Scene 1's takes with "light" below the middle of the picture (ticks 285 to 450 of the
    // light scene) show the stone, round which the sparks crowd, in the picture's upper part.
    LoadedScene light;
    ASSERT_EQ(load("data\\light.dat", LIGHT_TEXTURE_BASE, &light), 1);
    for (float t = 285; t <= 450; t += 5) {
        updateScene(light.scene, t);
        const Vec3 stone{0, 0, 12};
        Vec3 eye;
        eyeTransform(light.scene->camera, &stone, &eye);
        ASSERT_LT(eye.z, -1.0f) << "t = " << t;
        EXPECT_GT(eye.y / -eye.z, 0.2) << "t = " << t;
    }
    // The mirror scene's camera stays low over the water, below its ceiling.
    LoadedScene mirror;
    ASSERT_EQ(load("data\\mirror.dat", MIRROR_TEXTURE_BASE, &mirror), 1);
    for (float t = 50; t <= 620; t += 5) {
        const Vec3 p = evalAt(&mirror.scene->camera->positionTrack, t);
        EXPECT_GT(p.z, 2.0f) << "t = " << t;
        EXPECT_LT(p.z, 37.0f) << "t = " << t;
    }
}

TEST_F(MakeDataTest, TubesFaceTheirAxisSoTheCameraInsideSeesThem) {
    LoadedScene aterie;
    ASSERT_EQ(load("data\\aterie.dat", ATERIE_TEXTURE_BASE, &aterie), 1);
    const SceneObject& wall = aterie.scene->objects[0];
    int inward = 0;
    for (int f = 0; f < wall.faceCount; ++f) {
        Vec3 a = wall.vertices[wall.faces[f].corners[0].vertex], b = wall.vertices[wall.faces[f].corners[1].vertex],
             c = wall.vertices[wall.faces[f].corners[2].vertex];
        double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        double cx = (a.x + b.x + c.x) / 3, cy = (a.y + b.y + c.y) / 3, cz = (a.z + b.z + c.z) / 3;
        double r = std::hypot(cx, cy);
        // The vessel is a ring around z; its axis point nearest the face lies on that ring.
        double ax = cx / r * 900, ay = cy / r * 900;
        if (nx * (ax - cx) + ny * (ay - cy) + nz * (0 - cz) > 0) ++inward;
    }
    EXPECT_EQ(inward, wall.faceCount);
}

// ---- Pictures ----

namespace {
struct Decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;
    int brightness(double fx, double fy) const {
        int x = std::min(width - 1, int(fx * width)), y = std::min(height - 1, int(fy * height));
        const uint8_t* p = &bgr[(size_t(y) * width + x) * 3];
        return (p[0] + p[1] + p[2]) / 3;
    }
    double litFraction() const {
        size_t lit = 0;
        for (size_t i = 0; i < bgr.size(); i += 3) lit += (bgr[i] + bgr[i + 1] + bgr[i + 2]) / 3 > 150;
        return double(lit) / (bgr.size() / 3);
    }
};
Decoded decode(const std::string& path) {
    Decoded d;
    unsigned char* pixels = nullptr;
    if (decodeJpeg(path.c_str(), &d.width, &d.height, &pixels) && pixels) {
        d.bgr.assign(pixels, pixels + size_t(d.width) * d.height * 3);
        std::free(pixels);
    }
    return d;
}
}  // namespace

TEST_F(MakeDataTest, MasksKeepWhiteAroundTheirShapesAndAdditivePicturesAreBlackThere) {
    for (const char* mask : {"data\\logo-opacity.jpg", "data\\helm-op.jpg", "data\\embryo-o.jpg", "data\\monks-op.jpg",
                             "data\\vogel-op.jpg", "data\\feuer-opacity.jpg"}) {
        Decoded d = decode(path(mask));
        ASSERT_GT(d.width, 0) << mask;
        EXPECT_GT(d.brightness(0.02, 0.02), 240) << mask;
        EXPECT_LT(d.litFraction(), 0.95) << mask << " cuts nothing";
    }
    for (const char* picture : {"data\\logo-quelldriftlogo.jpg", "data\\helmchen.jpg", "data\\embryo-f.jpg", "data\\monks.jpg",
                                "data\\vogel.jpg", "data\\feuer-spucker.jpg", "data\\atom1.jpg", "data\\flare2.jpg",
                                "data\\lens1.jpg", "data\\blut2.jpg", "data\\netz-flare.jpg"}) {
        Decoded d = decode(path(picture));
        ASSERT_GT(d.width, 0) << picture;
        EXPECT_LT(d.brightness(0.01, 0.99), 8) << picture;
    }
    // The fader is white at the top and black at the bottom, with a soft edge between.
    Decoded fader = decode(path("data\\fader.jpg"));
    EXPECT_GT(fader.brightness(0.5, 0.05), 245);
    EXPECT_LT(fader.brightness(0.5, 0.95), 8);
    int middle = fader.brightness(0.5, 0.5);
    EXPECT_GT(middle, 40);
    EXPECT_LT(middle, 215);
}

TEST_F(MakeDataTest, TextPicturesCarryLightLettersOnBlack) {
    for (const char* text : {"data\\text-greetings.jpg", "data\\text-checkourgift.jpg", "data\\text-webringyoudemo.jpg",
                             "data\\text-driftwelling.jpg", "data\\text-light.jpg", "data\\text-flyout.jpg",
                             "data\\text-scream.jpg", "data\\text-wewant.jpg", "data\\text-inside.jpg",
                             "data\\text-outside.jpg", "data\\text-brakkwell.jpg", "data\\logo-credits.jpg",
                             "data\\logo-brakkwell.jpg", "data\\logo-quelldrift.jpg", "data\\logo-wearegetting.jpg"}) {
        Decoded d = decode(path(text));
        ASSERT_GT(d.width, 0) << text;
        EXPECT_LT(d.brightness(0.005, 0.01), 8) << text;
        // Some texts fill only the small part of their picture that their Layer shows.
        EXPECT_GT(d.litFraction(), 0.001) << text;
        EXPECT_LT(d.litFraction(), 0.5) << text;
    }
}

TEST_F(MakeDataTest, BmpPicturesAre128SquareAndTheWaterHasSlopes) {
    Picture* surface = loadDib(path("data\\surface.bmp").c_str());
    Picture* water = loadDib(path("data\\water.bmp").c_str());
    ASSERT_NE(surface, nullptr);
    ASSERT_NE(water, nullptr);
    EXPECT_EQ(surface->width, 128);
    EXPECT_EQ(surface->height, 128);
    EXPECT_EQ(water->width, 128);
    EXPECT_EQ(water->height, 128);
    int lowest = 255, highest = 0;
    for (int i = 0; i < 128 * 128; ++i) {
        lowest = std::min<int>(lowest, water->pixels[i * 3]);
        highest = std::max<int>(highest, water->pixels[i * 3]);
    }
    EXPECT_GT(highest - lowest, 60);
    for (Picture* p : {surface, water}) {
        std::free(p->pixels);
        std::free(p);
    }
}

TEST_F(MakeDataTest, FlareFileNamesAChainOfLensPicturesInShortCrLfLines) {
    std::vector<uint8_t> bytes = readBytes(path("data\\flare.cfg"));
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(bytes.back(), '\n');
    size_t lineStart = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        EXPECT_EQ(bytes[i - 1], '\r');
        EXPECT_LT(i - lineStart, 255u);
        lineStart = i + 1;
    }
    static std::vector<std::string> loaded;
    loaded.clear();
    Vec3 anchor{0, 0, 0};
    FlareSet set{};
    ASSERT_EQ(readFlareBytes(bytes.data(), bytes.size(), &anchor, [](const char* p, uint32_t* name) {
                  loaded.push_back(p);
                  *name = 1;
              }, &set), 1);
    EXPECT_GE(set.elementCount, 4);
    EXPECT_EQ(loaded, flareElementNames());
    EXPECT_GT(set.spacing, 0.0f);
    EXPECT_GT(set.fadeSpeed, 0.0f);
    for (int k = 0; k < set.elementCount; ++k) {
        EXPECT_GT(set.elements[k].halfSize, 0.0f);
        EXPECT_LE(set.elements[k].halfSize, 1.0f);
        EXPECT_GT(set.elements[k].red + set.elements[k].green + set.elements[k].blue, 0.0f);
    }
    for (const std::string& name : loaded) EXPECT_GT(decode(path(name)).width, 0) << name;
    releaseFlareSet(&set);
}

// ---- Music ----

TEST(MakeDataMusic, DecodesAsStereo44100OfTheLengthAskedFor) {
    EXPECT_GE(DataSetOptions{}.musicSeconds, 230.0);
    std::string dir = makeTempDir("qd-make-data-music-");
    ASSERT_EQ(writeMusic(dir, 3.0), 1);
    std::string file = dir + "/5tfina.mp3";
    std::vector<uint8_t> bytes = readBytes(file);
    ASSERT_GT(bytes.size(), 4u);
    // MPEG-1 layer III frame header, 44 100 Hz, not mono.
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1] & 0xFE, 0xFA);
    EXPECT_EQ((bytes[2] >> 2) & 3, 0);
    EXPECT_NE(bytes[3] >> 6, 3);
    static std::vector<int16_t> decoded;
    decoded.clear();
    ASSERT_EQ(decodeMusicFile(file.c_str(), [](const uint8_t* data, size_t count, void*) {
                  const size_t at = decoded.size();
                  decoded.resize(at + count / 2);
                  std::memcpy(&decoded[at], data, count / 2 * 2);
                  return 1;
              }, nullptr), 1);
    // Exactly the 3 s of 4-byte frames: the encoder's delay and padding are recorded in the
    // file and left out by the decoder ...
    EXPECT_EQ(decoded.size() * 2, size_t(3 * 176400));
    // ... so the decoded music lines up with the rendered music to the sample, not the
    // encoder's 1105 samples (25 ms) late.
    const std::vector<int16_t> rendered = renderMusic(3.0);
    auto match = [&](size_t lag) {
        double both = 0, one = 0, other = 0;
        for (size_t i = 0; i + lag < rendered.size() && i < decoded.size(); ++i) {
            both += double(decoded[i + lag]) * rendered[i];
            one += double(decoded[i + lag]) * decoded[i + lag];
            other += double(rendered[i]) * rendered[i];
        }
        return both / std::sqrt(one * other + 1);
    };
    EXPECT_GT(match(0), 0.9);
    EXPECT_LT(match(1105 * 2), 0.5);
    fs::remove_all(dir);
}

TEST(MakeDataMusic, SectionsChangeAtTheSceneStartsAndBeatsLandOnTheCuts) {
    std::vector<int16_t> music = renderMusic(162.0);
    auto loudness = [&](double from, double to) {
        double sum = 0;
        size_t a = size_t(from * MUSIC_RATE), b = size_t(to * MUSIC_RATE);
        for (size_t i = a; i < b; ++i) sum += double(music[i * 2]) * music[i * 2] + double(music[i * 2 + 1]) * music[i * 2 + 1];
        return std::sqrt(sum / double(2 * (b - a)));
    };
    // The title's music is quiet; the light scene starts on a beat with the drums.
    EXPECT_GT(loudness(13.2, 13.3), 2.0 * loudness(12.9, 13.0));
    // The bird's drums drop out under a riser before the artery's heartbeat comes in.
    EXPECT_GT(loudness(134.0, 134.5), 2.0 * loudness(133.5, 134.0));
    // Each cut of scenes 1 and 5 opens on a kick: louder than the offbeat before it.
    for (auto [start, cuts] : {std::pair{13.2, CUT_TABLE_A}, std::pair{134.0, CUT_TABLE_B}})
        for (int cut = 1; cut <= 8; ++cut) {
            double at = start + cuts[cut] / 35.0;
            EXPECT_GT(loudness(at, at + 0.05), 1.3 * loudness(at - 0.14, at - 0.09)) << start << " cut " << cut;
        }
}

// ---- Key authoring against the demo's own evaluation ----

TEST(KeyAuthoring, HermiteTangentsFollowUnevenlySpacedKeysAtConstantSpeed) {
    // Keys on a straight line at a constant speed of 2 units per tick, unevenly spaced in time.
    std::vector<TimedPoint> points;
    for (int32_t t : {0, 10, 40, 50, 120}) points.push_back({t, Vec3{float(2 * t), float(-t), 3}});
    std::vector<VectorKey> keys = smoothVectorTrack(points, false);
    KeyTrack track{int32_t(keys.size()), 0, 0, keys.data()};
    for (float t : {5.0f, 25.0f, 45.0f, 80.0f, 119.0f}) {
        Vec3 v = evalAt(&track, t);
        EXPECT_NEAR(v.x, 2 * t, 1e-3) << t;
        EXPECT_NEAR(v.y, -t, 1e-3) << t;
        EXPECT_NEAR(v.z, 3, 1e-4) << t;
    }
    std::vector<TimedScalar> scalars = {{0, 0}, {30, 3}, {40, 4}};
    std::vector<ScalarKey> scalarKeys = smoothScalarTrack(scalars, false);
    KeyTrack scalarTrack{3, 0, 0, scalarKeys.data()};
    float value;
    evalScalarTrack(&scalarTrack, &value, 35);
    EXPECT_NEAR(value, 3.5, 1e-4);
}

TEST(KeyAuthoring, LoopedTracksCarryTheirPaceAcrossTheSeam) {
    // A circle sampled every 10 ticks over one period of 100.
    auto circle = [](double t) { return Vec3{float(100 * std::cos(t * 0.0628318530718)), float(100 * std::sin(t * 0.0628318530718)), 0}; };
    std::vector<VectorKey> open = smoothVectorTrack(samplePoints(circle, 0, 100, 10), false);
    std::vector<VectorKey> looped = smoothVectorTrack(samplePoints(circle, 0, 100, 10), true);
    KeyTrack openTrack{int32_t(open.size()), 0, 0, open.data()}, loopTrack{int32_t(looped.size()), 0, 0, looped.data()};
    // Near the seam the looped track stays on the circle; the open one, with one-sided end
    // tangents, strays from it.
    for (float t : {2.0f, 98.0f}) {
        Vec3 v = evalAt(&loopTrack, t);
        EXPECT_NEAR(std::hypot(v.x, v.y), 100.0, 0.3) << t;
    }
    Vec3 stray = evalAt(&openTrack, 2.0f);
    EXPECT_GT(std::fabs(std::hypot(stray.x, stray.y) - 100.0), 0.3);
}

TEST(KeyAuthoring, PlannedCurvesAreTheOnesTheDemoEvaluates) {
    // A motion planned from a few key values and sampled densely follows the same curve the
    // demo evaluates from those keys, and holds its end values outside them.
    const std::vector<TimedScalar> points = {{0, 1}, {100, 4}, {130, -2}, {300, 0}};
    std::vector<ScalarKey> keys = smoothScalarTrack(points, false);
    KeyTrack track{int32_t(keys.size()), 0, 0, keys.data()};
    for (float t : {0.0f, 37.5f, 100.0f, 111.0f, 129.0f, 200.0f, 299.0f}) {
        float value;
        evalScalarTrack(&track, &value, t);
        EXPECT_NEAR(smoothThrough(points, t), value, 1e-3) << t;
    }
    EXPECT_EQ(smoothThrough(points, -50), 1.0);
    EXPECT_EQ(smoothThrough(points, 400), 0.0);
}

TEST(KeyAuthoring, RotationKeysTurnSmoothlyThroughEveryKey) {
    // A steady turn about z, 0.05 rad per tick, sampled every 20 ticks: between keys the
    // evaluated rotation matches the steady turn; halfway and a quarter of the way along.
    std::vector<RotationKey> keys = smoothRotationTrack(
        sampleRotations([](double t) { return rotationAbout({0, 0, 1}, 0.05 * t); }, 0, 200, 20), false);
    KeyTrack track{int32_t(keys.size()), 0, 0, keys.data()};
    for (float t : {10.0f, 45.0f, 95.0f, 150.0f}) {
        Quat q;
        evalRotationTrack(&track, &q, t);
        Quat expected = rotationAbout({0, 0, 1}, 0.05 * t);
        double d = std::fabs(q.w * expected.w + q.x * expected.x + q.y * expected.y + q.z * expected.z);
        EXPECT_GT(d, 0.9999) << t;
    }
    // The stored quaternion turns +x towards +y for a positive angle about z, in the demo's
    // matrix reading (column 0 = (1 - 2y^2 - 2z^2, 2xy - 2wz, 2xz + 2wy)).
    Quat q = rotationAbout({0, 0, 1}, 0.5);
    EXPECT_NEAR(1 - 2 * q.y * q.y - 2 * q.z * q.z, std::cos(0.5), 1e-6);
    EXPECT_NEAR(2 * q.x * q.y - 2 * q.w * q.z, std::sin(0.5), 1e-6);
}

TEST(FishMesh, EveryShapeKeepsTheVertexOrderAndFacesOutwards) {
    Mesh rest = fishMesh(0, 0, 1);
    for (Mesh shape : {fishMesh(0.3, 0, 1), fishMesh(0.7, 0.8, 1), fishMesh(0.1, -0.8, 1.3), fishMesh(0.9, 0, 0.8)}) {
        ASSERT_EQ(shape.vertices.size(), rest.vertices.size());
        ASSERT_EQ(shape.faces.size(), rest.faces.size());
    }
    // Outward faces enclose a positive volume (sum of signed tetrahedra from a point inside).
    double volume = 0;
    for (const FaceDesc& f : rest.faces) {
        Vec3 a = rest.vertices[f.corners[0].vertex], b = rest.vertices[f.corners[1].vertex], c = rest.vertices[f.corners[2].vertex];
        a.z -= float(FISH_LIFT), b.z -= float(FISH_LIFT), c.z -= float(FISH_LIFT);
        volume += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) + a.z * (b.x * c.y - b.y * c.x)) / 6;
    }
    EXPECT_GT(volume, 0.3);
    // The fish floats above the water plane z = 0 of the mirror scene.
    for (Vec3 v : rest.vertices) EXPECT_GT(v.z, 0.0f);
}

// ---- Checks and painting helpers ----

TEST(SceneChecks, RefuseEmptyTracksUnorderedKeysAndFacesOutsideTheMesh) {
    SceneDesc good = minimalScene();
    good.camera.hide = alwaysVisible();
    Mesh quad = parametricGrid(1, 1, [](double s, double t) { return Vec3{float(s), float(t), 0}; }, 1, 1, false);
    good.objects.push_back(objectFromMesh(quad, 0));
    std::string problem;
    EXPECT_TRUE(sceneDescIsSound(good, &problem)) << problem;

    SceneDesc noHideKey = good;
    noHideKey.objects[0].hide.clear();
    EXPECT_FALSE(sceneDescIsSound(noHideKey, &problem));

    SceneDesc sameTime = good;
    sameTime.camera.position = {vectorKey(0, {0, 0, 10}), vectorKey(20, {1, 0, 10}), vectorKey(20, {2, 0, 10})};
    EXPECT_FALSE(sceneDescIsSound(sameTime, &problem));

    SceneDesc badFace = good;
    badFace.objects[0].faces[1].corners[2].vertex = 4;  // the quad has vertices 0 to 3
    EXPECT_FALSE(sceneDescIsSound(badFace, &problem));
    badFace.objects[0].faces[1].corners[2].vertex = -1;
    EXPECT_FALSE(sceneDescIsSound(badFace, &problem));

    SceneDesc lightWithoutPath = good;
    lightWithoutPath.lights.push_back(LightDesc{});
    EXPECT_FALSE(sceneDescIsSound(lightWithoutPath, &problem));
}

TEST(PictureFiles, BmpReadsBackThroughTheDemoReaderWithPaddedRows) {
    // Five pixels a row need one byte of padding per row in the file.
    Canvas canvas = makeCanvas(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            float* p = pixelAt(&canvas, x, y);
            p[0] = x / 4.0f;
            p[1] = y / 2.0f;
            p[2] = 1.0f;
        }
    std::string dir = makeTempDir("qd-make-data-bmp-");
    ASSERT_EQ(saveBmp(canvas, dir + "/p.bmp"), 1);
    EXPECT_EQ(readBytes(dir + "/p.bmp").size(), 54u + 3 * 16);
    Picture* picture = loadDib((dir + "/p.bmp").c_str());
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->width, 5);
    ASSERT_EQ(picture->height, 3);
    // The reader keeps the file's bottom-up row order: its first row is the canvas's last.
    const uint8_t* bottomRight = &picture->pixels[4 * 3];
    EXPECT_EQ(bottomRight[0], 255);
    EXPECT_EQ(bottomRight[1], 255);
    EXPECT_EQ(bottomRight[2], 255);
    const uint8_t* topLeft = &picture->pixels[(2 * 5) * 3];
    EXPECT_EQ(topLeft[0], 0);
    EXPECT_EQ(topLeft[1], 0);
    EXPECT_EQ(topLeft[2], 255);
    std::free(picture->pixels);
    std::free(picture);
    fs::remove_all(dir);
}

TEST(Canvas, NoiseTilesAtItsPeriodSoTexturesRepeatWithoutSeams) {
    for (double x : {0.0, 0.3, 2.7, 5.99})
        for (double y : {0.0, 1.5, 4.2}) {
            EXPECT_DOUBLE_EQ(tiledNoise(x, y, 6, 9), tiledNoise(x + 6, y, 6, 9));
            EXPECT_DOUBLE_EQ(tiledNoise(x, y, 6, 9), tiledNoise(x, y - 6, 6, 9));
            EXPECT_NEAR(tiledFractalNoise(x, y, 6, 4, 9), tiledFractalNoise(x + 6, y + 6, 6, 4, 9), 1e-12);
        }
    // Two generators with one seed give one sequence.
    SeededRandom a = seededRandom(42), b = seededRandom(42);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(nextUniform(&a), nextUniform(&b));
}

TEST(Canvas, ShapesCoverTheirWholeAreaWithoutSeams) {
    // Shapes are painted only within the box they can reach: a long thin ellipse and a slanted
    // capsule keep their whole soft-edged area (pi a b; 2 r l + pi r^2).
    auto area = [](const Coverage& c) {
        double sum = 0;
        for (float v : c.values) sum += v;
        return sum;
    };
    Coverage ellipse = makeCoverage(200, 100);
    coverEllipse(&ellipse, 100, 50, 80, 4);
    EXPECT_NEAR(area(ellipse), 3.14159265 * 80 * 4, 0.02 * 3.14159265 * 80 * 4);
    Coverage capsule = makeCoverage(200, 200);
    coverCapsule(&capsule, 30, 40, 170, 150, 6);
    const double length = std::hypot(140.0, 110.0);
    EXPECT_NEAR(area(capsule), 2 * 6 * length + 3.14159265 * 36, 0.02 * (2 * 6 * length + 3.14159265 * 36));
    // A convex quadrilateral is whole inside, along its diagonals too, where two triangles
    // painted edge to edge would leave a seam of half coverage.
    Coverage quad = makeCoverage(100, 100);
    const double xs[4] = {30, 70, 90, 10}, ys[4] = {10, 10, 90, 90};
    coverConvex(&quad, xs, ys, 4);
    for (double f = 0.1; f < 0.95; f += 0.1) {
        EXPECT_EQ(quad.values[size_t(10 + 80 * f) * 100 + size_t(30 + 60 * f)], 1.0f) << f;
        EXPECT_EQ(quad.values[size_t(10 + 80 * f) * 100 + size_t(70 - 60 * f)], 1.0f) << f;
    }
    EXPECT_EQ(quad.values[5 * 100 + 50], 0.0f);
    EXPECT_EQ(quad.values[50 * 100 + 2], 0.0f);
}

TEST(Canvas, QuarterTurnPutsTheLeftEdgeAtTheBottom) {
    // Vertical texts are painted along a wide strip and turned, so they read bottom to top.
    Canvas strip = makeCanvas(4, 2);
    pixelAt(&strip, 0, 0)[0] = 1;  // top-left of the strip
    Canvas turned = rotateQuarter(strip);
    ASSERT_EQ(turned.width, 2);
    ASSERT_EQ(turned.height, 4);
    EXPECT_EQ(pixelAt(&turned, 0, 3)[0], 1.0f);  // bottom-left of the turned picture
    float total = 0;
    for (float v : turned.pixels) total += v;
    EXPECT_EQ(total, 1.0f);
}
