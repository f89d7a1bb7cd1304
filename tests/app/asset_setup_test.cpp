// The scene set-up loaded from a fixture data set written by the test: the loading log in
// order, a missing scene file stopping the load, a missing picture not stopping it, and scene
// files or BMP pictures that lack what the demo reaches by index being refused with one box.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/asset_setup.h"
#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "assets/slot_loads.h"
#include "demo_data_fixture.h"
#include "gl_test_context.h"
#include "platform/platform.h"
#include "render/water_effects.h"
#include "timeline/compositions.h"
#include "timeline/main_loop.h"
#include "timeline/scene_schedule.h"

namespace {

// Every slot picture in load order; the lens pictures of the flare file come in after slot 23
// (the light scene) and twice after slot 30 (the neuronal scene).
const std::vector<std::string> TITLE_AND_LIGHT = {
    "data\\logo-quelldriftlogo.jpg", "data\\logo-opacity.jpg", "data\\logo-background.jpg",
    "data\\logo-credits.jpg", "data\\logo-brakkwell.jpg", "data\\logo-quelldrift.jpg",
    "data\\logo-wearegetting.jpg", "data\\black.jpg",
    "data\\felsen.jpg", "data\\envmap2.jpg", "data\\black.jpg", "data\\atom1.jpg",
    "data\\flare2.jpg", "data\\lens1.jpg", "data\\lens2.jpg", "data\\lens3.jpg",
    "data\\lens4.jpg", "data\\innenwelt-background.jpg", "data\\innenwelt-opacity.jpg",
    "data\\innenwelt-vordergrund.jpg", "data\\black.jpg", "data\\envmap.jpg",
};
const std::vector<std::string> NEURONAL = {
    "data\\netz-map.jpg", "data\\netz-back.jpg", "data\\netz-flare.jpg",
    "data\\helmchen.jpg", "data\\helm-op.jpg", "data\\text-greetings.jpg",
};
const std::vector<std::string> LATER_STEPS = {
    "data\\aterie-map.jpg", "data\\blut2.jpg", "data\\embryo-f.jpg", "data\\fishpic.jpg",
    "data\\jesus.jpg", "data\\embryo-o.jpg", "data\\text-light.jpg", "data\\text-flyout.jpg",
    "data\\meergrund.jpg", "data\\water.jpg", "data\\ballfish.jpg", "data\\water.jpg",
    "data\\grass.jpg", "data\\waterfx.jpg",
    "data\\envmap.jpg", "data\\envmap2.jpg", "data\\flare5.jpg", "data\\netz-flare.jpg",
    "data\\flare2.jpg", "data\\flare3.jpg", "data\\flare4.jpg", "data\\black.jpg",
    "data\\monks-op.jpg", "data\\monks.jpg", "data\\text-checkourgift.jpg",
    "data\\text-webringyoudemo.jpg", "data\\text-driftwelling.jpg", "data\\black.jpg",
    "data\\fader.jpg", "data\\vogel-op.jpg", "data\\vogel.jpg", "data\\text-scream.jpg",
    "data\\feuer-opacity.jpg", "data\\feuer-spucker.jpg", "data\\text-wewant.jpg",
    "data\\text-inside.jpg", "data\\text-outside.jpg", "data\\text-brakkwell.jpg",
    "data\\envmap5.jpg", "data\\envmap4.jpg",
    "data\\ballfish.jpg", "data\\surface.jpg", "data\\ballfish.jpg",
    "data\\white.jpg", "data\\black.jpg", "data\\blue.jpg",
};

std::string logLine(const std::string& name) { return name + " 16x16 -> 16x16 "; }

void appendLines(std::vector<std::string>* out, const std::vector<std::string>& names) {
    for (const std::string& name : names) out->push_back(logLine(name));
}

class AssetSetupTest : public ::testing::Test {
protected:
    void SetUp() override { GlTestContext::ensure(); }
    void TearDown() override {
        if (!folder.empty()) removeDemoFixture(folder);
    }

    LoadRecord load(const FixtureOptions& options) {
        folder = writeDemoFixture(options);
        EXPECT_FALSE(folder.empty());
        return loadDemoFixture(folder);
    }

    std::string folder;
};

int32_t drivenPosition = 0;
int32_t answerDrivenPosition() { return drivenPosition; }

// Plays one frame at scene time t of a scene through the main loop's frame function.
int playFrameAt(int scene, double t) {
    drivenPosition = static_cast<int32_t>((SCENE_START_MS[scene] + t / 0.035) * 176.4 + 1.0);
    setAudioPositionSource(answerDrivenPosition);
    TimelineState timeline = START_TIMELINE;
    beginTimeline(&timeline);
    const int going = timelineFrame(&timeline);
    setAudioPositionSource(nullptr);
    return going;
}

}  // namespace

TEST_F(AssetSetupTest, LogShowsEverySlotPictureInOrderAndTheLensPicturesThreeTimes) {
    FixtureOptions options;
    options.flareElements = 2;
    const LoadRecord record = load(options);
    ASSERT_EQ(record.result, 1);
    EXPECT_TRUE(record.messages.empty());

    std::vector<std::string> expected;
    appendLines(&expected, TITLE_AND_LIGHT);
    const std::vector<std::string> lenses = {"data\\lens1.jpg", "data\\lens2.jpg"};
    appendLines(&expected, lenses);
    appendLines(&expected, NEURONAL);
    appendLines(&expected, lenses);
    appendLines(&expected, lenses);
    appendLines(&expected, LATER_STEPS);
    EXPECT_EQ(TITLE_AND_LIGHT.size() + NEURONAL.size() + LATER_STEPS.size(), 74u);
    EXPECT_EQ(record.log, expected);
}

// The list the data sets are written from: 74 loads of 62 files, the overlay after its slot's
// own picture, and a list that does not fit refused as a whole.
TEST(SlotPictures, ListEachFileOnceInTheOrderFirstRead) {
    const char* paths[80];
    ASSERT_EQ(listSlotPictures(paths, 80), 62);
    EXPECT_STREQ(paths[0], "data\\logo-quelldriftlogo.jpg");
    EXPECT_STREQ(paths[7], "data\\black.jpg");
    EXPECT_STREQ(paths[8], "data\\felsen.jpg");
    const std::vector<std::string> names(paths, paths + 62);
    const auto floor = std::find(names.begin(), names.end(), "data\\meergrund.jpg");
    ASSERT_NE(floor, names.end());
    EXPECT_EQ(floor[1], "data\\water.jpg");
    EXPECT_EQ(names.back(), "data\\blue.jpg");
    EXPECT_EQ(listSlotPictures(paths, 61), -1);
}

TEST_F(AssetSetupTest, MissingSceneFileStopsTheLoadAfterTheEarlierStepsPictures) {
    FixtureOptions options;
    options.omit = {"data\\aterie.dat"};
    const LoadRecord record = load(options);
    EXPECT_EQ(record.result, 0);
    EXPECT_EQ(record.messages, std::vector<std::string>{"mesh-file not found"});
    std::vector<std::string> expected;
    appendLines(&expected, TITLE_AND_LIGHT);
    appendLines(&expected, NEURONAL);
    EXPECT_EQ(record.log, expected);
}

TEST_F(AssetSetupTest, MissingPictureIsReportedAndTheDemoStillPlays) {
    FixtureOptions options;
    options.omit = {"data\\jesus.jpg"};
    const LoadRecord record = load(options);
    EXPECT_EQ(record.result, 1);
    EXPECT_EQ(record.messages, std::vector<std::string>{"cannot load picture: data\\jesus.jpg"});
    EXPECT_EQ(record.log.size(), 73u);

    // The last take of scene 5 is the fish picture over the whole screen.
    EXPECT_EQ(playFrameAt(5, 1000.0), 1);
    const Rgb centre = GlTestContext::readPixel(320, 240);
    EXPECT_NEAR(centre.r, 0, 4);
    EXPECT_NEAR(centre.g, 150, 4);
    EXPECT_NEAR(centre.b, 150, 4);
}

// Scene files that lack an object or light the demo reaches by index, or whose meshes do not
// fit the morph and mirror, are refused with one box naming the file and what is missing.
TEST_F(AssetSetupTest, SceneFilesLackingWhatTheDemoNamesAreRefusedWithOneBox) {
    struct Case {
        const char* file;
        std::function<void(SceneDesc*)> edit;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"data\\light.dat", [](SceneDesc* s) { s->lights.clear(); },
         "data\\light.dat: light 0 missing"},
        {"data\\neuronal.dat", [](SceneDesc* s) { s->lights.pop_back(); },
         "data\\neuronal.dat: light 1 missing"},
        {"data\\aterie.dat", [](SceneDesc* s) { s->lights.pop_back(); },
         "data\\aterie.dat: light 8 missing"},
        {"data\\aterie.dat", [](SceneDesc* s) { s->objects.clear(); },
         "data\\aterie.dat: object 0 missing"},
        {"data\\fisch2.dat", [](SceneDesc* s) { s->objects.pop_back(); },
         "data\\fisch2.dat: object 1 missing"},
        {"data\\morph4.dat", [](SceneDesc* s) { s->objects.pop_back(); },
         "data\\morph4.dat: object 9 missing"},
        {"data\\darm.dat", [](SceneDesc* s) { s->objects[0].texture = 2; },
         "data\\darm.dat: no object with texture 40"},
        {"data\\kopuli.dat", [](SceneDesc* s) { s->objects[0].texture = 0; },
         "data\\kopuli.dat: no object with texture 71"},
        {"data\\mirror.dat", [](SceneDesc* s) { s->objects.pop_back(); },
         "data\\mirror.dat: object 2 missing"},
        {"data\\mirror.dat", [](SceneDesc* s) { s->objects[0].vertices.push_back({0, 0, 1}); },
         "data\\mirror.dat: mirror object 2 has 3 vertices, fewer than the 4 of object 0"},
        {"data\\fisch2.dat", [](SceneDesc* s) { s->objects[1].vertices.push_back({0, 0, 1}); },
         "data\\morph1.dat: key object 0 has 3 vertices, fewer than the 4 of the morphed "
         "object of data\\fisch2.dat"},
        {"data\\mirror.dat",
         [](SceneDesc* s) {
             s->objects[0].vertices.push_back({0, 0, 1});
             s->objects[2].vertices.push_back({0, 0, 1});
         },
         "data\\morph1.dat: key object 0 has 3 vertices, fewer than the 4 of the morphed "
         "object of data\\mirror.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        FixtureOptions options;
        options.editScene = [&c](const std::string& name, SceneDesc* scene) {
            if (name == c.file) c.edit(scene);
        };
        const LoadRecord record = load(options);
        removeDemoFixture(folder);
        folder.clear();
        EXPECT_EQ(record.result, 0);
        EXPECT_EQ(record.messages, std::vector<std::string>{c.message});
    }
}

TEST_F(AssetSetupTest, MissingOrWronglySizedBmpPictureFailsTheLoad) {
    FixtureOptions missing;
    missing.omit = {"data\\water.bmp"};
    LoadRecord record = load(missing);
    EXPECT_EQ(record.result, 0);
    ASSERT_EQ(record.messages.size(), 1u);
    EXPECT_EQ(record.messages[0], "Failed to open DIB file data\\water.bmp.\n");
    EXPECT_EQ(record.log.size(), 74u);
    removeDemoFixture(folder);

    FixtureOptions small;
    small.surfaceSide = 64;
    record = load(small);
    EXPECT_EQ(record.result, 0);
    EXPECT_EQ(record.messages,
              std::vector<std::string>{"data\\surface.bmp is 64 x 64, not 128 x 128"});
}

TEST_F(AssetSetupTest, MirrorCopyIsDarkenedAndWoundTheOtherWay) {
    const LoadRecord record = load(FixtureOptions{});
    ASSERT_EQ(record.result, 1);
    const Scene& mirror = scenes[MIRROR_SCENE];
    ASSERT_EQ(mirror.objectCount, 3);
    const Face& source = mirror.objects[0].faces[0];
    const Face& copy = mirror.objects[2].faces[0];
    EXPECT_EQ(source.corners[1].vertex, 1);
    EXPECT_EQ(source.corners[2].vertex, 2);
    EXPECT_FLOAT_EQ(source.corners[0].red, 1.0f);
    EXPECT_EQ(copy.corners[0].vertex, 0);
    EXPECT_EQ(copy.corners[1].vertex, 2);
    EXPECT_EQ(copy.corners[2].vertex, 1);
    for (const Corner& corner : copy.corners) {
        EXPECT_FLOAT_EQ(corner.red, 0.65f);
        EXPECT_FLOAT_EQ(corner.green, 0.65f);
        EXPECT_FLOAT_EQ(corner.blue, 0.65f);
    }
    // The water tables are built from the 128 x 128 pictures: a flat water picture gives no
    // displacement, and the colour table holds the surface picture's first pixel.
    ASSERT_NE(offsetTable, nullptr);
    ASSERT_NE(colourTable, nullptr);
    EXPECT_EQ(offsetTable[0], 0);
    EXPECT_EQ(offsetTable[16383], 0);
    const uint8_t* first = surfaceColourPicture->pixels;
    EXPECT_EQ(colourTable[0], first[0] * 65536 + first[1] * 256 + first[2]);
}
