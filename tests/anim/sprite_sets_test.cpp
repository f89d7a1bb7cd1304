// Sprite sets: the random helpers, the five kinds, paths, and adding sets with their warm-up.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "anim/frame_clock.h"
#include "anim/sprite_sets.h"
#include "platform/platform.h"
#include "scene_builder.h"

using scene_builder::AnimTest;
using scene_builder::TestScene;

namespace {

// Sets frameStep for one test and puts it back afterwards.
class SpriteSets : public AnimTest {
protected:
    void SetUp() override {
        AnimTest::SetUp();
        savedStep = frameStep;
        frameStep = 1.0f;
    }
    void TearDown() override {
        frameStep = savedStep;
        AnimTest::TearDown();
    }
    float savedStep = 1.0f;
};

// A path whose point i is (i, 2i, -i).
std::vector<Vec3> rampPath(int n) {
    std::vector<Vec3> path;
    for (int i = 0; i <= n; ++i)
        path.push_back({static_cast<float>(i), static_cast<float>(2 * i), static_cast<float>(-i)});
    return path;
}

int spawnCalls = 0;
int updateCalls = 0;
void countingSpawn(Sprite* sprite) {
    ++spawnCalls;
    sprite->halfSize = 0;
}
void countingUpdate(Sprite* sprite, void*) {
    ++updateCalls;
    sprite->halfSize += 1;
}

}  // namespace

TEST_F(SpriteSets, RandomValuesScaleTheFifteenBitGenerator) {
    runtimeSeedRand(7);
    std::vector<int> raw;
    for (int i = 0; i < 4; ++i) raw.push_back(runtimeRand());
    runtimeSeedRand(7);
    EXPECT_FLOAT_EQ(rnd(3), 3.0f * raw[0] / 32768);
    EXPECT_FLOAT_EQ(rndSigned(20), 40.0f * raw[1] / 32768 - 20);
    EXPECT_FLOAT_EQ(rnd(1500), static_cast<float>(1500.0 * raw[2] / 32768));
}

// Each spawn draws its random values in a fixed order (vector components x first), so the same
// seed gives the same sprites on every machine.
TEST_F(SpriteSets, SpawnsDrawTheirRandomValuesInOrder) {
    std::vector<int> raw;
    runtimeSeedRand(99);
    for (int i = 0; i < 6; ++i) raw.push_back(runtimeRand());
    auto r = [&](int i, float x) { return static_cast<float>(1.0 * x * raw[i] / 32768.0); };
    auto rs = [&](int i, float x) { return static_cast<float>(2.0 * x * raw[i] / 32768.0 - x); };
    using Fields = std::vector<float>;
    Sprite s{};
    auto spawn = [&s](SpriteSpawn function) {
        runtimeSeedRand(99);
        function(&s);
    };
    spawn(spawnDrifter);
    EXPECT_EQ((Fields{s.velocity.x, s.velocity.z, s.halfSize, s.shrink}),
              (Fields{r(0, 1) - 0.5f, r(2, 1) - 0.5f, 3 + r(3, 3), 0.03f + r(4, 0.03f)}));
    spawn(spawnBurst);
    EXPECT_EQ((Fields{s.velocity.x, s.velocity.z, s.shrink}),
              (Fields{rs(0, 20), rs(2, 20), 4 + r(3, 4)}));
    spawn(spawnPathCloud);
    EXPECT_EQ((Fields{s.offset.x, s.offset.z, s.halfSize, s.pathPosition, s.pathSpeed}),
              (Fields{rs(0, 80), rs(2, 80), 2 + r(3, 0.5f), r(4, 1500), 0.01f + r(5, 0.05f)}));
    spawn(spawnPathSwarm);
    EXPECT_EQ((Fields{s.offset.x, s.offset.y, s.offset.z, s.halfSize, s.pathPosition, s.pathSpeed}),
              (Fields{r(0, 20) - 10, r(1, 20) - 10, r(2, 20) - 10, 4 + r(3, 1), r(4, 2500),
                      0.5f + r(5, 2)}));
    spawn(spawnPathBall);
    EXPECT_EQ((Fields{s.pathPosition, s.pathSpeed}), (Fields{r(0, 2500), 2 + r(1, 4)}));
}

TEST_F(SpriteSets, DrifterMovesByFrameStepAndRespawnsWhenItShrinksAway) {
    Sprite s{};
    spawnDrifter(&s);
    EXPECT_EQ(s.colour.x, 1);
    EXPECT_FLOAT_EQ(s.worldPosition.x, 2 * s.velocity.x);
    EXPECT_GE(s.halfSize, 3);
    EXPECT_LT(s.halfSize, 6);

    s.offset = {1, 2, 3};
    s.velocity = {0.5f, 0, -0.5f};
    s.halfSize = 1;
    s.shrink = 0.25f;
    frameStep = 2;
    updateDrifter(&s, nullptr);
    EXPECT_EQ(s.worldPosition.x, 1);  // the position before this step
    EXPECT_EQ(s.offset.x, 2);
    EXPECT_EQ(s.offset.z, 2);
    EXPECT_EQ(s.halfSize, 0.5f);

    frameStep = 0;
    updateDrifter(&s, nullptr);
    EXPECT_EQ(s.worldPosition.x, 2);
    EXPECT_EQ(s.offset.x, 2);
    EXPECT_EQ(s.halfSize, 0.5f);

    frameStep = 3;  // 0.5 - 0.75 < 0: spawned again in this call
    updateDrifter(&s, nullptr);
    EXPECT_FLOAT_EQ(s.worldPosition.x, 2 * s.velocity.x);
    EXPECT_FLOAT_EQ(s.worldPosition.y, 2 * s.velocity.y);
    EXPECT_FLOAT_EQ(s.worldPosition.z, 2 * s.velocity.z);
    EXPECT_GE(s.halfSize, 3);
}

TEST_F(SpriteSets, BurstFollowsItsOriginAndRespawnsAtIt) {
    Sprite s{};
    spawnBurst(&s);
    EXPECT_EQ(s.halfSize, 500);
    EXPECT_GE(s.shrink, 4);
    EXPECT_LT(s.shrink, 8);
    s.velocity = {1, 2, 3};
    s.shrink = 5;
    Vec3 origin{100, 0, -50};
    updateBurst(&s, &origin);
    EXPECT_EQ(s.worldPosition.x, 100);
    EXPECT_EQ(s.worldPosition.z, -50);
    EXPECT_EQ(s.offset.y, 2);
    EXPECT_EQ(s.halfSize, 495);
    origin = {0, 0, 0};
    updateBurst(&s, &origin);
    EXPECT_EQ(s.worldPosition.y, 2);

    s.halfSize = 1;
    updateBurst(&s, &origin);  // spawned again: placed at the origin, then moving
    EXPECT_EQ(s.worldPosition.x, 0);
    EXPECT_EQ(s.halfSize, 500);
    EXPECT_FLOAT_EQ(s.offset.x, s.velocity.x);
}

TEST_F(SpriteSets, PathPointInterpolatesBetweenNeighbouringSamples) {
    const std::vector<Vec3> path = rampPath(10);
    Vec3 out;
    pathPoint(path.data(), 3.25f, &out);
    EXPECT_FLOAT_EQ(out.x, 3.25f);
    EXPECT_FLOAT_EQ(out.y, 6.5f);
    EXPECT_FLOAT_EQ(out.z, -3.25f);
    std::vector<Vec3> odd = {{1, 1, 1}, {0.1f, 0.7f, 1e7f}};
    pathPoint(odd.data(), 0.0f, &out);
    EXPECT_EQ(out.x, 1);
    EXPECT_EQ(out.z, 1);
}

TEST_F(SpriteSets, PathCloudWrapsAtSixHundredAndStartsOnThePathFromBeyondIt) {
    const std::vector<Vec3> path = rampPath(3000);
    Sprite s{};
    spawnPathCloud(&s);
    EXPECT_GE(s.halfSize, 2);
    EXPECT_LT(s.halfSize, 2.5f);
    s.offset = {1, 1, 1};
    s.pathSpeed = 0.05f;
    s.pathPosition = 1000;
    updatePathCloud(&s, const_cast<Vec3*>(path.data()));
    EXPECT_EQ(s.pathPosition, 0);
    EXPECT_EQ(s.worldPosition.x, 1);
    EXPECT_EQ(s.worldPosition.z, 1);
    s.pathPosition = 10;
    s.pathSpeed = -20;  // below 0 goes to the far end
    updatePathCloud(&s, const_cast<Vec3*>(path.data()));
    EXPECT_EQ(s.pathPosition, 600);
    EXPECT_EQ(s.worldPosition.y, 1201);
}

TEST_F(SpriteSets, SwarmWrapsOnlyPastTheEndAndBallWrapsAtIt) {
    const std::vector<Vec3> path = rampPath(3000);
    void* user = const_cast<Vec3*>(path.data());
    Sprite swarm{};
    spawnPathSwarm(&swarm);
    EXPECT_GE(swarm.pathSpeed, 0.5f);
    EXPECT_LT(swarm.pathSpeed, 2.5f);
    swarm.offset = {0, 0, 0};
    swarm.pathPosition = 2499;
    swarm.pathSpeed = 1;
    updatePathSwarm(&swarm, user);
    EXPECT_EQ(swarm.pathPosition, 2500);
    EXPECT_EQ(swarm.worldPosition.x, 2500);
    updatePathSwarm(&swarm, user);
    EXPECT_EQ(swarm.pathPosition, 0);

    Sprite ball{};
    spawnPathBall(&ball);
    EXPECT_EQ(ball.halfSize, 128);
    ball.pathPosition = 2499.5f;
    ball.pathSpeed = 0.5f;
    updatePathBall(&ball, user);
    EXPECT_EQ(ball.pathPosition, 0);
    EXPECT_EQ(ball.worldPosition.x, 0);
    ball.pathSpeed = 4;
    frameStep = 0.5f;
    updatePathBall(&ball, user);
    EXPECT_EQ(ball.worldPosition.y, 4);
    frameStep = -1;  // the music jumped back: from the end of the path, never before its start
    updatePathBall(&ball, user);
    EXPECT_EQ(ball.pathPosition, 2500);
    EXPECT_EQ(ball.worldPosition.x, 2500);
}

TEST_F(SpriteSets, SamplePathClosesTheLoopWithTheFirstPoint) {
    TestScene ts;
    const KeyTrack track = ts.track(std::vector<VectorKey>{
        {{0, 0, 0}, 0, {0, 0, 0}, {0, 0, 0}}, {{0, 0, 0}, 100, {50, -10, 5}, {0, 0, 0}}});
    KeyTrack moving = track;
    Vec3* path = nullptr;
    samplePath(&path, &moving, 3000);
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path[0].x, 0);
    EXPECT_FLOAT_EQ(path[50].x, 25);  // halfway with flat tangents
    EXPECT_EQ(path[2999].x, 50);
    EXPECT_EQ(path[3000].x, path[0].x);
    EXPECT_EQ(path[3000].y, path[0].y);
    EXPECT_EQ(path[3000].z, path[0].z);
    std::free(path);
}

TEST_F(SpriteSets, AddingASetSpawnsOnceAndWarmsUpWithAHundredUpdates) {
    TestScene ts;
    Scene* scene = ts.finish();
    spawnCalls = updateCalls = 0;
    int origin = 0;
    ASSERT_EQ(addSpriteSet(scene, &origin, 3, countingSpawn, countingUpdate, 27), 1);
    EXPECT_EQ(scene->spriteSetCount, 1);
    const SpriteSet& set = scene->spriteSets[0];
    EXPECT_EQ(set.spriteCount, 3);
    EXPECT_EQ(set.spriteCapacity, 3);
    EXPECT_EQ(set.userValue, &origin);
    EXPECT_EQ(set.slot, &table[27]);
    EXPECT_EQ(spawnCalls, 3);
    EXPECT_EQ(updateCalls, 300);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(set.sprites[k].halfSize, 100);
}

TEST_F(SpriteSets, TheTwoHundredFiftySeventhSetIsRefusedWithAMessage) {
    TestScene ts;
    Scene* scene = ts.finish();
    for (int i = 0; i < MAX_SPRITE_SETS; ++i)
        ASSERT_EQ(addSpriteSet(scene, nullptr, 1, countingSpawn, countingUpdate, 0), 1);
    EXPECT_TRUE(scene_builder::collectedMessages().empty());
    EXPECT_EQ(addSpriteSet(scene, nullptr, 1, countingSpawn, countingUpdate, 0), 0);
    EXPECT_EQ(scene->spriteSetCount, MAX_SPRITE_SETS);
    ASSERT_EQ(scene_builder::collectedMessages().size(), 1u);
    EXPECT_NE(scene_builder::collectedMessages()[0].find("256"), std::string::npos);
    // A texture slot outside the table is refused too.
    scene->spriteSetCount = 0;
    EXPECT_EQ(addSpriteSet(scene, nullptr, 1, countingSpawn, countingUpdate, TEXTURE_SLOTS), 0);
    EXPECT_EQ(scene->spriteSetCount, 0);
    scene->spriteSetCount = MAX_SPRITE_SETS;  // so the fixture frees every allocated set
}
