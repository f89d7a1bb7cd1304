// Whole frames of the nine scenes, rendered headless through the main loop's frame function at
// chosen music positions, over the fixture data set. Every picture is one flat colour and the
// fixture's cameras look away from everything, so the colour of a screen point follows from
// each composition's Layers, fades and masks by hand; the comments give the sums. Each drawn
// scene also holds a clock light that shows the time its pass was given, and the morph keys
// differ, so the scenes' animation times and the morph and mirror wiring can be read back.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "anim/frame_clock.h"
#include "anim/frame_hooks.h"
#include "anim/layers.h"
#include "anim/scene_update.h"
#include "app/asset_setup.h"
#include "assets/demo_numbers.h"
#include "assets/scene.h"
#include "assets/texture_table.h"
#include "demo_data_fixture.h"
#include "gl_test_context.h"
#include "platform/platform.h"
#include "render/render_globals.h"
#include "render/water_effects.h"
#include "timeline/compositions.h"
#include "timeline/main_loop.h"
#include "timeline/scene_schedule.h"

namespace {

int32_t drivenPosition = 0;
int32_t answerDrivenPosition() { return drivenPosition; }

constexpr double SCENE_LENGTH_TICKS[9] = {462, 1438.5, 976.5, 896, 917, 1365, 934.5, 563.5, 427};

// Every drawn scene file gets a clock light, carried along world x at one unit per tick far to
// the side of everything: with the camera looking along +y from x = 0, its eye-space x is the
// time the scene's pass was given. Key k of morph file m has its first vertex at x = 1000 m + k.
// The lights that sprites start from stand apart, and the fish's two objects wear its two
// overlay textures.
void addClocksAndKeys(const std::string& name, SceneDesc* scene) {
    if (name == "data\\neuronal.dat") {
        scene->lights[0].position = {vectorKey(0, {1e5f, 0, 0})};
        scene->lights[1].position = {vectorKey(0, {-1e5f, 0, 0})};
    }
    if (name == "data\\aterie.dat") {
        scene->lights[7].position = {vectorKey(0, {0, 0, 5000})};
        scene->lights[8].position = {vectorKey(0, {0, 0, -5000})};
    }
    if (name == "data\\fisch2.dat") scene->objects[0].texture = 0;
    if (name.rfind("data\\morph", 0) == 0) {
        const int file = name[10] - '0';
        for (size_t k = 0; k < scene->objects.size(); ++k)
            scene->objects[k].vertices[0].x = static_cast<float>(1000 * file + k);
        return;
    }
    const Vec3 slope{4000, 0, 0};
    LightDesc clock;
    clock.position = {vectorKey(0, {0, 0, -5000}, slope, slope),
                      vectorKey(4000, {4000, 0, -5000}, slope, slope)};
    scene->lights.push_back(clock);
}

// The time the last pass of Scene slot n was given.
float passTime(int n) { return scenes[n].lights[scenes[n].lightCount - 1].eyePosition.x; }

class CompositionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { loaded = false; }

    void SetUp() override {
        GlTestContext::ensure();
        if (!loaded) {
            FixtureOptions options;
            options.editScene = addClocksAndKeys;
            const std::string folder = writeDemoFixture(options);
            const LoadRecord record = loadDemoFixture(folder);
            removeDemoFixture(folder);
            ASSERT_EQ(record.result, 1);
            ASSERT_TRUE(record.messages.empty());
            loaded = true;
        }
        timeline = START_TIMELINE;
    }

    void TearDown() override { setAudioPositionSource(nullptr); }

    // Plays the frame at scene time t the way the music reaches it: one frame near the end of
    // the scene before (which leaves the globals that scene sets), then the frame itself.
    // `exactly` places it on t itself rather than a hair after.
    static int play(int scene, double t, bool exactly = false) {
        setAudioPositionSource(answerDrivenPosition);
        beginTimeline(&timeline);
        if (scene > 0) frameAt(scene - 1, SCENE_LENGTH_TICKS[scene - 1] - 1.0);
        return frameAt(scene, t, exactly);
    }

    static int frameAt(int scene, double t, bool exactly = false) {
        const double bytes = (SCENE_START_MS[scene] + t / 0.035) * 176.4;
        drivenPosition = static_cast<int32_t>(exactly ? std::round(bytes) : bytes + 1.0);
        return timelineFrame(&timeline);
    }

    // The pixel at (x, y) in [-1, 1] of the overlay plane, origin at the screen centre.
    static Rgb at(double x, double y) {
        return GlTestContext::readPixel(static_cast<int>((x + 1.0) * 320.0),
                                        static_cast<int>((y + 1.0) * 240.0));
    }

    static inline bool loaded = false;
    // What the timeline keeps between the frames a test plays.
    static inline TimelineState timeline = START_TIMELINE;
};

::testing::AssertionResult near(const Rgb& actual, int r, int g, int b) {
    constexpr int tolerance = 4;
    if (std::abs(actual.r - r) <= tolerance && std::abs(actual.g - g) <= tolerance &&
        std::abs(actual.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.r << ", " << actual.g << ", "
                                         << actual.b << "), expected (" << r << ", " << g << ", "
                                         << b << ")";
}

}  // namespace

// Centre: two half-level background copies (40) under the grey logo mask (x 0.5) plus the green
// logo (60). (0.9, -0.45) lies outside the mask, inside the blue title picture L5.
TEST_F(CompositionTest, TitleFadesInAndItsPicturesFadeOutOverTheLastThreeSeconds) {
    ASSERT_EQ(play(0, 5000 * 0.035), 1);
    EXPECT_TRUE(near(at(0, 0), 20, 80, 20));
    // Level (13000 - 5000) / 3000 = 2.67 draws like 1: the Layer colour is clamped.
    EXPECT_TRUE(near(at(0.9, -0.45), 40, 40, 90));

    play(0, 1000 * 0.035);  // fade from black at 0.35
    EXPECT_TRUE(near(at(0, 0), 7, 28, 7));

    play(0, 11500 * 0.035);  // level 0.5
    EXPECT_TRUE(near(at(0.9, -0.45), 40, 40, 65));

    play(0, 13100 * 0.035);  // level 0: only the backgrounds remain
    EXPECT_TRUE(near(at(0.9, -0.45), 40, 40, 40));
}

// The light scene's picture is always multiplied by the grey inner-world mask (x 0.5), zoomed
// over the whole screen while the scene plays.
TEST_F(CompositionTest, LightSceneTakesOpenWithAHalfWhiteFlashAndSetTheFlareDirection) {
    play(1, 120);  // cut 1, 5 ticks in: white 0.375 under the mask
    EXPECT_TRUE(near(at(0.5, 0.5), 48, 48, 48));
    play(1, 140);  // 25 ticks in: the flash is over
    EXPECT_TRUE(near(at(0.5, 0.5), 0, 0, 0));

    ASSERT_GT(scenes[LIGHT_SCENE].flareSetCount, 0);
    play(1, 10);  // animation time 110: the flare fades in
    EXPECT_EQ(scenes[LIGHT_SCENE].flareSets[0].fadeDirection, 1);
    play(1, 45);  // 145: out
    EXPECT_EQ(scenes[LIGHT_SCENE].flareSets[0].fadeDirection, 0);
    play(1, 265);  // cut 2 runs backwards: 400 - 35 = 365, out
    EXPECT_EQ(scenes[LIGHT_SCENE].flareSets[0].fadeDirection, 0);
    play(1, 300);  // 330: in
    EXPECT_EQ(scenes[LIGHT_SCENE].flareSets[0].fadeDirection, 1);
}

// The text of cut 2 (red 200 at 0.5 and 0.2 where both copies overlap, then the mask) is at
// the level the rising part of the cut left, and stays hidden without it.
TEST_F(CompositionTest, LightSceneTextKeepsTheLevelOfTheLastFrameThatSetIt) {
    play(1, 260);
    EXPECT_TRUE(near(at(0, -0.5), 0, 0, 0));
    play(1, 240);  // 10 ticks into cut 2: level 0.5
    play(1, 260);
    EXPECT_TRUE(near(at(0, -0.5), 35, 0, 0));
    timeline.compositions.lightTextLevel = 0.0f;
    play(1, 260);
    EXPECT_TRUE(near(at(0, -0.5), 0, 0, 0));
}

TEST_F(CompositionTest, LightSceneHoldsTheShrinkingTitleForItsFirstSecondAndAHalf) {
    play(1, 750 * 0.035);  // g = 0.5: backgrounds at 0.25 each, logo at 0.5 under its mask
    EXPECT_TRUE(near(at(0, 0), 10, 40, 10));
    EXPECT_TRUE(near(at(0, 0.5), 20, 20, 20));  // outside the logo, squashed to 1/8 height
    play(1, 1600 * 0.035);
    EXPECT_TRUE(near(at(0, 0.5), 0, 0, 0));
}

// From t = 1050 the scene darkens while the inner-world picture (blue 100 under the mask, plus
// red 60) comes up; from 1250 it is at full level and the next pass draws no opaque meshes.
TEST_F(CompositionTest, LightSceneEndsZoomedIntoTheInnerWorldPicture) {
    play(1, 1150);
    EXPECT_TRUE(near(at(0.5, 0.5), 30, 0, 25));
    EXPECT_NEAR(timeline.compositions.pass.sceneBrightness, 0.5f, 1e-5);
    play(1, 1300);
    EXPECT_TRUE(near(at(0.5, 0.5), 60, 0, 50));
    EXPECT_FLOAT_EQ(timeline.compositions.pass.sceneBrightness, 0.0f);
}

// At t = 20 the end picture of scene 1 (blue 100) is darkened to 0.6 and four tiles (the bottom
// row) are gone: the white text column drawn later (0.4 x t / 300) shows only there.
TEST_F(CompositionTest, DarmSceneUncoversTheEndPictureOfTheLightSceneTileByTile) {
    play(2, 20);
    EXPECT_TRUE(near(at(0.5, 0.5), 0, 0, 60));
    EXPECT_TRUE(near(at(-0.9, -0.5), 7, 7, 67));
    EXPECT_TRUE(near(at(-0.9, 0.5), 0, 0, 60));

    play(2, 45);  // every tile gone, the end picture at 0.1
    EXPECT_TRUE(near(at(-0.9, 0.5), 15, 15, 25));
    EXPECT_TRUE(near(at(0.5, 0.5), 0, 0, 10));
}

TEST_F(CompositionTest, DarmSceneShowsTheMonksAndClosesItsShutters) {
    SpriteSet& balls = scenes[DARM_SCENE].spriteSets[DARM_BALLS_SPRITE_SET];
    play(2, 100);
    EXPECT_EQ(balls.spriteCount, 0);
    play(2, 400);  // one more path ball every 114 ticks from t = 164
    EXPECT_EQ(balls.spriteCount, 3);
    play(2, 700);
    EXPECT_EQ(balls.spriteCount, 5);
    EXPECT_TRUE(near(at(0.7, 0.5), 0, 80, 0));

    play(2, 930);  // the black shutters reach y = -0.5 and 0.5
    EXPECT_TRUE(near(at(0.7, 0), 0, 80, 0));
    EXPECT_TRUE(near(at(0.7, 0.8), 0, 0, 0));
    EXPECT_TRUE(near(at(0.7, -0.8), 0, 0, 0));
}

TEST_F(CompositionTest, NeuronalSceneSlidesTheHelmetAndKeepsTheFlyingTextLevel) {
    play(3, 300);  // helmet (red 90) in place, text level never raised
    EXPECT_TRUE(near(at(-0.5, 0), 90, 0, 0));
    EXPECT_TRUE(near(at(0.6, 0), 0, 0, 0));
    EXPECT_TRUE(near(at(0.5, 0.5), 0, 0, 0));
    EXPECT_FLOAT_EQ(textureTable[NET_MAP_SLOT].wireBrightness, 0.5f);

    play(3, 50);  // level 0.5, then kept: blue 200 x (0.6 + 0.3) x 0.5
    play(3, 300);
    EXPECT_TRUE(near(at(0.5, 0.5), 0, 0, 90));

    play(3, 850);  // greetings (green 100 at 0.5), helmet leaving, all at half level
    EXPECT_TRUE(near(at(0.5, 0), 0, 25, 0));
    EXPECT_TRUE(near(at(-0.9, 0), 45, 0, 0));
    EXPECT_TRUE(near(at(0.5, 0.5), 0, 25, 0));  // the flying text is gone
}

TEST_F(CompositionTest, DarmSceneAgainFlashesWhiteAndLetsTheBirdAndTextPass) {
    play(4, 20);  // white 0.6; the bird (blue 120) still at the right edge
    EXPECT_TRUE(near(at(0.95, 0), 153, 153, 255));
    EXPECT_TRUE(near(at(0, 0), 153, 153, 153));
    EXPECT_EQ(scenes[DARM_SCENE].spriteSets[DARM_BALLS_SPRITE_SET].spriteCount, 0);

    play(4, 25);  // a quarter of the wire pulse's period
    EXPECT_NEAR(textureTable[DARM_TUBE_SLOT].wireBrightness, 0.9f, 1e-5);

    play(4, 250);  // the bird rests in the middle
    EXPECT_TRUE(near(at(0.5, 0), 0, 0, 120));
    EXPECT_TRUE(near(at(-0.6, 0), 0, 0, 0));

    play(4, 350);  // the red text at the centre, both copies: 100 x (0.4 + 0.3)
    EXPECT_TRUE(near(at(0, -0.8), 70, 0, 0));

    play(4, 850);  // fading to black
    EXPECT_TRUE(near(at(0.95, 0), 0, 0, 60));
}

TEST_F(CompositionTest, AterieSceneFadesEveryTakeAndEndsOnTheFishPictureGoingToBlack) {
    play(5, 30);  // take 0: the masked embryo (80, 0, 80) coming up at 0.6
    EXPECT_TRUE(near(at(-0.5, -0.5), 48, 0, 48));
    play(5, 80);
    EXPECT_TRUE(near(at(-0.5, -0.5), 80, 0, 80));
    play(5, 400);  // take 3: embryo at half level
    EXPECT_TRUE(near(at(-0.5, -0.5), 40, 0, 40));
    play(5, 460);  // the last tick of take 3 is black
    EXPECT_TRUE(near(at(-0.5, -0.5), 0, 0, 0));
    play(5, 520);  // take 4: the jesus picture alone
    EXPECT_TRUE(near(at(-0.5, -0.5), 120, 60, 0));
    play(5, 570);  // darkening to a quarter in its last 15 ticks
    EXPECT_TRUE(near(at(-0.5, -0.5), 60, 30, 0));
    play(5, 930);  // the fish take coming up from black
    EXPECT_TRUE(near(at(0, 0), 0, 30, 30));
    play(5, 1000);
    for (const auto& point : {std::pair{0.0, 0.0}, {-0.98, -0.98}, {0.98, 0.98}}) {
        EXPECT_TRUE(near(at(point.first, point.second), 0, 150, 150));
    }
    play(5, 1315);  // then goes down to black over ticks 1265 to 1365, pushed in all along
    for (const auto& point : {std::pair{0.0, 0.0}, {-0.98, -0.98}, {0.98, 0.98}}) {
        EXPECT_TRUE(near(at(point.first, point.second), 0, 75, 75));
    }
    play(5, 1364.9);
    EXPECT_TRUE(near(at(0, 0), 0, 0, 0));
}

// The background is the dark blue clear colour; the water texture is re-made every frame from
// the 128 x 128 surface picture (copied unchanged over the flat water picture).
TEST_F(CompositionTest, FishSceneShowsItsBackgroundBetweenFlashAndFadeAndRewarpsTheWater) {
    play(6, 20);
    EXPECT_TRUE(near(at(0, 0), 179, 179, 204));
    play(6, 500);
    EXPECT_TRUE(near(at(0, 0), 26, 26, 51));
    play(6, 885);
    EXPECT_TRUE(near(at(0, 0), 13, 13, 25));

    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, textureTable[FISH_WATER_SLOT].glName);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 128);
    std::vector<uint8_t> texels(128 * 128 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    const uint8_t* surface = surfaceColourPicture->pixels;
    EXPECT_EQ(std::vector<uint8_t>(texels.begin(), texels.begin() + 30),
              std::vector<uint8_t>(surface, surface + 30));
}

TEST_F(CompositionTest, MirrorSceneSlidesTheFireSpitterAndClosesItsShutters) {
    play(7, 220);  // the fire-spitter (100, 100, 0) two fifths of the way in
    EXPECT_TRUE(near(at(0.6, 0), 100, 100, 0));
    EXPECT_TRUE(near(at(0, 0), 0, 0, 0));
    play(7, 520);  // leaving again, between the closing shutters
    EXPECT_TRUE(near(at(0.85, 0), 100, 100, 0));
    EXPECT_TRUE(near(at(0.85, 0.8), 0, 0, 0));

    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, textureTable[MIRROR_WATER_SLOT].glName);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 128);
}

// The blue text at 0.7 and 0.3 (0.3 alone above y = -0.1), a half-white flash at the start and
// black from t = 350; past the end of scene 8 the loop stops on a cleared frame.
TEST_F(CompositionTest, KopuliSceneBreathesItsTextAndEndsTheDemoInBlack) {
    play(8, 10);
    EXPECT_TRUE(near(at(0, -0.5), 102, 102, 202));
    play(8, 100);
    EXPECT_TRUE(near(at(0, -0.5), 0, 0, 100));
    EXPECT_TRUE(near(at(0, 0.3), 0, 0, 30));
    play(8, 300);
    EXPECT_TRUE(near(at(0, -0.5), 0, 0, 50));
    play(8, 400);
    EXPECT_TRUE(near(at(0, -0.5), 0, 0, 0));

    setAudioPositionSource(answerDrivenPosition);
    beginTimeline(&timeline);
    drivenPosition = static_cast<int32_t>(228001 * 176.4);
    EXPECT_EQ(timelineFrame(&timeline), 0);
    EXPECT_GE(timeline.sceneIndex, 9);
    EXPECT_TRUE(near(at(0, -0.5), 0, 0, 0));
}

// Scene 1's takes show their own stretches of the light scene's animation (three backwards);
// scene 2 passes the light scene on at t + 1000 under its tiles and the darm at half speed;
// the net loops through (0, 250]; scene 4 runs the darm at 2t + 700; scene 5's takes, the fish
// takes and the kopuli loop over [0, 200) as the comments give.
TEST_F(CompositionTest, EachScenePassIsGivenItsStretchOfTheAnimation) {
    struct Pass {
        int scene;
        double t;
        int slot;
        double time;
    };
    const Pass passes[] = {
        {1, 10, LIGHT_SCENE, 110},     {1, 125, LIGHT_SCENE, 560},   {1, 240, LIGHT_SCENE, 390},
        {1, 355, LIGHT_SCENE, 810},    {1, 470, LIGHT_SCENE, 210},   {1, 580, LIGHT_SCENE, 440},
        {1, 690, LIGHT_SCENE, 710},    {1, 810, LIGHT_SCENE, 270},   {1, 925, LIGHT_SCENE, 830},
        {2, 20, LIGHT_SCENE, 1020},    {2, 20, DARM_SCENE, 10},      {2, 600, DARM_SCENE, 300},
        {3, 100, NEURONAL_SCENE, 50},  {3, 500.2, NEURONAL_SCENE, 0.1},
        {4, 100, DARM_SCENE, 900},     {4, 850, DARM_SCENE, 2400},
        {5, 10, ATERIE_SCENE, 10},     {5, 125, ATERIE_SCENE, 490},  {5, 240, ATERIE_SCENE, 260},
        {5, 355, ATERIE_SCENE, 1210},  {5, 585, ATERIE_SCENE, 345},  {5, 700, ATERIE_SCENE, 1295},
        {5, 815, ATERIE_SCENE, 460},   {6, 10, FISH_SCENE, 60},      {6, 125, FISH_SCENE, 760},
        {6, 240, FISH_SCENE, 460},     {6, 355, FISH_SCENE, 310},    {6, 470, FISH_SCENE, 760},
        {6, 580, FISH_SCENE, 610},     {6, 690, FISH_SCENE, 110},    {6, 810, FISH_SCENE, 310},
        {6, 925, FISH_SCENE, 830},     {7, 100, MIRROR_SCENE, 150},  {7, 400, MIRROR_SCENE, 450},
        {8, 150, KOPULI_SCENE, 150},
        {8, 350, KOPULI_SCENE, 150},
    };
    for (const Pass& pass : passes) {
        SCOPED_TRACE(testing::Message() << "scene " << pass.scene << " at t = " << pass.t);
        play(pass.scene, pass.t);
        EXPECT_NEAR(passTime(pass.slot), pass.time, 0.01);
    }
    // On the wraps themselves: 250 stays 250, 200 and 400 become 0.
    for (const Pass& pass : {Pass{3, 500, NEURONAL_SCENE, 250}, Pass{8, 200, KOPULI_SCENE, 0},
                             Pass{8, 400, KOPULI_SCENE, 0}}) {
        play(pass.scene, pass.t, true);
        ASSERT_EQ(sceneTime, static_cast<float>(pass.t));
        EXPECT_EQ(passTime(pass.slot), pass.time);
    }
    // The jesus and fish takes of scene 5 draw no pass.
    for (double t : {470.0, 930.0}) {
        scenes[ATERIE_SCENE].lights[scenes[ATERIE_SCENE].lightCount - 1].eyePosition.x = -1;
        play(5, t);
        EXPECT_EQ(passTime(ATERIE_SCENE), -1);
    }
}

// Each scene sets its own drawing globals; those it leaves alone keep what the scene before it
// set, also when the music jumps: back to the title from scenes 6 and 3, on from scene 2 to 8.
// Frames in the order played, each with the far depth, wobble and translucent-fog switch.
TEST_F(CompositionTest, ScenesSetTheirDrawingGlobalsAndInheritTheRest) {
    struct Frame {
        int scene;
        float farDepth;
        int wobble, fogOff;
    };
    setAudioPositionSource(answerDrivenPosition);
    beginTimeline(&timeline);
    for (const Frame& f : {Frame{2, -100800, 0, 0}, {3, -30000, 1, 0}, {4, -1800, 0, 0},
                           {6, -1800, 0, 1}, {0, -1800, 0, 1}, {1, -1800, 0, 1}, {2, -100800, 0, 0},
                           {3, -30000, 1, 0}, {0, -1800, 0, 0}, {6, -1800, 0, 1}, {7, -1800, 0, 0},
                           {2, -100800, 0, 0}, {8, -100800, 0, 0}, {5, -1800, 0, 0}}) {
        frameAt(f.scene, 100);
        const ScenePassSettings& pass = timeline.compositions.pass;
        EXPECT_EQ((std::vector<float>{pass.farCullZ, float(pass.wobbleEnabled),
                                      float(pass.translucentFogOff)}),
                  (std::vector<float>{f.farDepth, float(f.wobble), float(f.fogOff)}))
            << "scene " << f.scene;
    }
}

// Scene 6 morphs the fish scene's second object, pulled by the sway weight (0.75 at u = 150
// towards the set of key file 3, -1 at u = 460 wholly to key file 2); scene 7 morphs the mirror
// scene's first object along the ring alone and mirrors it, rippled by the scene time, into
// its third.
TEST_F(CompositionTest, MorphAndMirrorWriteTheirTargetsWithTheSwayWeight) {
    const Scene& fish = scenes[FISH_SCENE];
    play(6, 100);  // key position 30: key 0 of the ring (1000) towards key 0 of file 3 (3000)
    EXPECT_NEAR(fish.objects[1].vertices[0].x, 2500, 0.1);
    play(6, 240);  // key position 92: key 2 of file 2
    EXPECT_NEAR(fish.objects[1].vertices[0].x, 2002, 0.1);
    EXPECT_EQ(fish.objects[0].vertices[0].x, 0);
    // The sway weight between every two neighbouring entries of the curve the takes reach
    // (u from 50 to 865): at u, key u / 5 of the ring, pulled by the weight towards file 3
    // (positive) or file 2 (negative).
    const std::pair<double, double> sways[] = {
        {25, 2505},    // u = 75: 0.75 of the way from 0 to 1
        {790, 1902},   // u = 210: 0.45, a tenth of the way from 0.5 to 0
        {395, 1500},   // u = 350: -0.5, half way from 0 to -1
        {455, 2002},   // u = 410: -1 and -1
        {305, 1880},   // u = 525: -0.875, a quarter of the way from -1 to -0.5
        {620, 1250},   // u = 650: -0.25, half way from -0.5 to 0
        {675, 1001},   // u = 705: 0 and 0
        {215, 2000},   // u = 850: 0.5, half way from 0 to 1
    };
    for (const auto& [t, x] : sways) {
        play(6, t);
        EXPECT_NEAR(fish.objects[1].vertices[0].x, x, 0.1) << "t = " << t;
    }

    const Scene& mirror = scenes[MIRROR_SCENE];
    play(7, 100);  // u = 150: key position 30
    const Vec3 source = mirror.objects[0].vertices[0];
    EXPECT_NEAR(source.x, 1000, 0.01);
    const Vec3 copy = mirror.objects[2].vertices[0];
    EXPECT_NEAR(copy.x, source.x + 0.1 * std::sin(5.0), 1e-3);
    EXPECT_NEAR(copy.y, 0.1 * std::cos(4.0 * source.x + 5.0), 1e-3);
    EXPECT_EQ(mirror.objects[1].vertices[0].x, 0);
}

// What the set-up gives each scene, seen in what its frames do: the fog its pass sets (a scene
// without fog leaves the last density), its slots' environment and overlay coordinates, its
// hooks at work, its sprite sets, and Layers that fit their masks and larger copies.
TEST_F(CompositionTest, SetUpGivesEachSceneWhatItsFramesUse) {
    using Floats = std::vector<float>;
    glFogf(GL_FOG_DENSITY, 0.123f);
    const std::pair<int, Floats> fogs[] = {
        {1, {0.123f, 0, 0, 0, 0}},      {3, {0.00005f, 0, 0, 0, 0}}, {4, {0.00005f, 0, 0, 0, 0}},
        {5, {0.001f, 0, 0, 0, 0}},      {6, {0.005f, 0.1f, 0.1f, 0.2f, 0.5f}},
        {7, {0.01f, 0, 0, 0, 0}},       {8, {0.01f, 0, 0, 0, 0}}};
    for (const auto& [scene, fog] : fogs) {
        play(scene, 10);
        GLfloat density = 0, colour[4];
        glGetFloatv(GL_FOG_DENSITY, &density);
        glGetFloatv(GL_FOG_COLOR, colour);
        EXPECT_EQ((Floats{density, colour[0], colour[1], colour[2], colour[3]}), fog)
            << "scene " << scene;
    }

    // A hook at work: the object's eye-space vertices are the hook run on the plain ones.
    auto expectHooked = [](int n, FrameHookFunction hook, void* user) {
        SceneObject plain = scenes[n].objects[0];
        std::vector<Vec3> eye(plain.vertexCount);
        for (int k = 0; k < plain.vertexCount; ++k)
            eyeTransform(scenes[n].camera, &plain.vertices[k], &eye[k]);
        plain.eyeVertices = eye.data();
        hook(&plain, user);
        for (int k = 0; k < plain.vertexCount; ++k) {
            EXPECT_NEAR(scenes[n].objects[0].eyeVertices[k].x, eye[k].x, 0.1) << "slot " << n;
            EXPECT_NEAR(scenes[n].objects[0].eyeVertices[k].z, eye[k].z, 0.1) << "slot " << n;
        }
    };
    play(2, 700);  // the darm tube, sphere-mapped, pushed by the five balls
    expectHooked(DARM_SCENE, pushFromSprites,
                 &scenes[DARM_SCENE].spriteSets[DARM_BALLS_SPRITE_SET]);
    EXPECT_EQ(scenes[DARM_SCENE].objects[0].faces[0].corners[0].u, 0.5f);
    play(5, 125);  // the aterie sways by the scene time, not by its animation time 490
    expectHooked(ATERIE_SCENE, swayObject, &sceneTime);
    play(8, 250);
    expectHooked(KOPULI_SCENE, rippleTwoCentres, &sceneTime);
    play(6, 100);  // overlay coordinates: object x times 0.03 and 0.7, less 0.005 u (150)
    EXPECT_NEAR(scenes[FISH_SCENE].objects[0].faces[0].corners[1].u2, 0.03 - 0.75, 1e-5);
    EXPECT_NEAR(scenes[FISH_SCENE].objects[1].faces[0].corners[1].u2, 0.7 - 0.75, 1e-5);

    // Sprite sets: how many, which texture, which kind (told by its sizes) and where from.
    struct Sprites {
        int scene, set, count, slot;
        float smallest, largest, x, z, reach;
    };
    const Sprites sets[] = {
        {LIGHT_SCENE, 0, 1500, LIGHT_DRIFTER_SLOT, 0, 6, 0, 0, 100},
        {NEURONAL_SCENE, 0, 100, NET_BURST_SLOT, 0, 500, 1e5f, 0, 4500},
        {NEURONAL_SCENE, 1, 100, NET_BURST_SLOT, 0, 500, -1e5f, 0, 4500},
        {ATERIE_SCENE, 0, 3000, ATERIE_BLOOD_SLOT, 2, 2.5f, 0, 5000, 140},
        {ATERIE_SCENE, 1, 3000, ATERIE_BLOOD_SLOT, 2, 2.5f, 0, -5000, 140},
        {DARM_SCENE, 0, 300, DARM_FLARE2_SLOT, 4, 5, 0, 0, 18},
        {DARM_SCENE, 1, 5, DARM_BALL_SLOT, 128, 128, 0, 0, 0},
        {DARM_SCENE, 2, 300, DARM_FLARE3_SLOT, 4, 5, 0, 0, 18},
        {DARM_SCENE, 3, 300, DARM_FLARE4_SLOT, 4, 5, 0, 0, 18},
        {DARM_SCENE, 4, 1500, DARM_FLARE5_SLOT, 4, 5, 0, 0, 18},
    };
    for (const Sprites& e : sets) {
        const SpriteSet& set = scenes[e.scene].spriteSets[e.set];
        int strays = 0;
        for (int k = 0; k < set.spriteCapacity; ++k) {
            const Vec3& p = set.sprites[k].worldPosition;
            const float size = set.sprites[k].halfSize;
            strays += size < e.smallest || size > e.largest ||
                      std::hypot(p.x - e.x, p.y, p.z - e.z) > e.reach;
        }
        EXPECT_EQ((std::vector<int>{set.spriteCapacity, int(set.slot - textureTable), strays}),
                  (std::vector<int>{e.count, e.slot, 0}))
            << "scene slot " << e.scene << ", set " << e.set;
    }
    std::vector<int> setCounts;
    for (int n : {LIGHT_SCENE, NEURONAL_SCENE, ATERIE_SCENE, DARM_SCENE})
        setCounts.push_back(scenes[n].spriteSetCount);
    EXPECT_EQ(setCounts, (std::vector<int>{1, 2, 2, 5}));

    // A mask and its picture cover the same grid and move alike (the second shutter shows the
    // picture turned by half a turn); the larger copy of a text contains the smaller.
    const std::pair<int, int> masked[] = {
        {TITLE_LOGO_MASK_LAYER, TITLE_LOGO_LAYER}, {INNER_WORLD_MASK_LAYER, INNER_WORLD_LAYER},
        {INNER_WORLD_MASK_LAYER, INNER_WORLD_FRAME_LAYER}, {MONKS_MASK_LAYER, MONKS_LAYER},
        {HELMET_MASK_LAYER, HELMET_LAYER}, {BIRD_MASK_LAYER, BIRD_LAYER},
        {EMBRYO_MASK_LAYER, EMBRYO_LAYER}, {FIRE_SPITTER_MASK_LAYER, FIRE_SPITTER_LAYER},
        {LOWER_SHUTTER_LAYER, UPPER_SHUTTER_LAYER}};
    for (const auto& [mask, picture] : masked) {
        const Layer &a = *layerAt(mask), &b = *layerAt(picture);
        ASSERT_EQ(a.vertexCount, b.vertexCount) << picture;
        EXPECT_EQ(a.deformer, b.deformer) << picture;
        const bool turned = picture == UPPER_SHUTTER_LAYER;
        for (int k = 0; k < a.vertexCount; ++k) {
            const LayerVertex &v = a.vertices[k], &w = b.vertices[k];
            const Floats expected{v.baseX, v.baseY, turned ? 1 - v.u : v.u,
                                  turned ? 0.99f - v.v : v.v};
            EXPECT_EQ((Floats{w.baseX, w.baseY, w.u, w.v}), expected) << picture;
        }
    }
    auto bounds = [](int n) {
        Floats b{1e9f, 1e9f, -1e9f, -1e9f};
        for (int k = 0; k < layerAt(n)->vertexCount; ++k) {
            const LayerVertex& v = layerAt(n)->vertices[k];
            b = {std::min(b[0], v.baseX), std::min(b[1], v.baseY), std::max(b[2], v.baseX),
                 std::max(b[3], v.baseY)};
        }
        return b;
    };
    // Pictures that fill the screen leave none of its edge uncovered, also while they wobble.
    for (int n : {TITLE_BACKGROUND_LAYER, TITLE_WIDE_BACKGROUND_LAYER, INNER_WORLD_LAYER,
                  INNER_WORLD_MASK_LAYER, INNER_WORLD_FRAME_LAYER, EMBRYO_LAYER, EMBRYO_MASK_LAYER,
                  JESUS_LAYER, FISH_PICTURE_LAYER, LOWER_SHUTTER_LAYER, UPPER_SHUTTER_LAYER}) {
        const Layer& layer = *layerAt(n);
        std::vector<LayerVertex> drawn(layer.vertices, layer.vertices + layer.vertexCount);
        const Floats edge = bounds(n);
        float reach = 0;  // how far into the screen an edge of the picture comes
        for (float time = 0; time < 1000; time += 7) {
            for (LayerVertex& v : drawn) {
                layer.deformer(&v, time);
                reach = std::max({reach, v.baseX == edge[0] ? v.x + 1 : 0,
                                  v.baseY == edge[1] ? v.y + 1 : 0,
                                  v.baseX == edge[2] ? 1 - v.x : 0,
                                  v.baseY == edge[3] ? 1 - v.y : 0});
            }
        }
        EXPECT_EQ(reach, 0) << n;
    }
    const std::pair<int, int> copies[] = {
        {TITLE_BACKGROUND_LAYER, TITLE_WIDE_BACKGROUND_LAYER},
        {LIGHT_TEXT_LAYER, LIGHT_TEXT_WIDE_LAYER}, {FLY_OUT_TEXT_LAYER, FLY_OUT_TEXT_WIDE_LAYER},
        {SCREAM_TEXT_LAYER, SCREAM_TEXT_WIDE_LAYER}, {WE_WANT_TEXT_LAYER, WE_WANT_TEXT_WIDE_LAYER},
        {WE_WANT_TEXT_WIDE_LAYER, WE_WANT_TEXT_WIDEST_LAYER},
        {INSIDE_TEXT_LAYER, INSIDE_TEXT_WIDE_LAYER},
        {BRAKKWELL_TEXT_LAYER, BRAKKWELL_TEXT_WIDE_LAYER}};
    for (const auto& [small, large] : copies) {
        const Floats s = bounds(small), l = bounds(large);
        EXPECT_TRUE(l[0] < s[0] && l[1] < s[1] && l[2] > s[2] && l[3] > s[3]) << large;
        EXPECT_EQ(layerAt(small)->textureSlot, layerAt(large)->textureSlot) << large;
    }
}
