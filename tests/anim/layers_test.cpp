// Layer grids and the four deformers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "anim/layers.h"
#include "scene_builder.h"

using scene_builder::AnimTest;

using Layers = AnimTest;

TEST_F(Layers, TwoByTwoGridHasCornersAndCoordinatesInRowOrder) {
    Layer layer{};
    ASSERT_EQ(createLayer(&layer, -1, -0.5f, 2, 1.5f, -1, 0, 1, 3, 0, 2, 2, 17, deformStill), 1);
    EXPECT_EQ(layer.columns, 2);
    EXPECT_EQ(layer.rows, 2);
    EXPECT_EQ(layer.vertexCount, 4);
    EXPECT_EQ(layer.textureSlot, 17);
    EXPECT_EQ(layer.deformer, &deformStill);
    const float expected[4][5] = {
        {-1, -0.5f, 0, 1}, {2, -0.5f, 3, 1}, {-1, 1.5f, 0, 0}, {2, 1.5f, 3, 0}};
    for (int k = 0; k < 4; ++k) {
        const LayerVertex& v = layer.vertices[k];
        EXPECT_FLOAT_EQ(v.baseX, expected[k][0]) << k;
        EXPECT_FLOAT_EQ(v.baseY, expected[k][1]) << k;
        EXPECT_FLOAT_EQ(v.baseZ, -1) << k;
        EXPECT_FLOAT_EQ(v.u, expected[k][2]) << k;
        EXPECT_FLOAT_EQ(v.v, expected[k][3]) << k;
        EXPECT_EQ(v.spare, 0) << k;
    }
    std::free(layer.vertices);
}

TEST_F(Layers, GridsSmallerThanTwoByTwoAreRefusedWithAMessage) {
    Layer layer{};
    layer.vertexCount = 99;
    EXPECT_EQ(createLayer(&layer, 0, 0, 1, 1, -1, 0, 0, 1, 1, 1, 5, 0, deformStill), 0);
    EXPECT_EQ(createLayer(&layer, 0, 0, 1, 1, -1, 0, 0, 1, 1, 5, 0, 0, deformStill), 0);
    EXPECT_EQ(layer.vertexCount, 99);
    EXPECT_EQ(layer.vertices, nullptr);
    EXPECT_EQ(scene_builder::collectedMessages().size(), 2u);
}

TEST_F(Layers, DeformersAtTimeZeroAndTheirFixedAxes) {
    LayerVertex v{0, 0, -1, 9, 9, 9, 0, 0, 0};
    deformStill(&v, 123);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.z, -1);

    deformWobble(&v, 0);
    EXPECT_NEAR(v.x, 0.03f, 1e-6);
    EXPECT_NEAR(v.y, 0.04f, 1e-6);
    EXPECT_EQ(v.z, -1);

    deformDrift(&v, 0);
    EXPECT_NEAR(v.x, 0.01f, 1e-6);
    EXPECT_NEAR(v.y, 0.01f, 1e-6);
    EXPECT_EQ(v.z, -1);

    LayerVertex r{1, 1, -1, 0, 0, 0, 0, 0, 0};
    deformRipple(&r, 0);
    EXPECT_EQ(r.x, 1);
    EXPECT_EQ(r.y, 1);
    EXPECT_NEAR(r.z, -1 - 0.5 * std::cos(3 * std::sqrt(8.0)) - 1, 1e-6);
}

TEST_F(Layers, WobbleAndDriftMoveXByBaseXOnlyAndRepeatForTheSameTime) {
    LayerVertex a{0.3f, -0.2f, -1, 0, 0, 0, 0, 0, 0};
    LayerVertex b{0.3f, 0.7f, -1, 0, 0, 0, 0, 0, 0};
    for (Deformer deform : {deformWobble, deformDrift}) {
        deform(&a, 250);
        deform(&b, 250);
        EXPECT_EQ(a.x, b.x);
        EXPECT_NE(a.y, b.y);
        const float first[3] = {a.x, a.y, a.z};
        deform(&a, 999);
        deform(&a, 250);
        EXPECT_EQ(a.x, first[0]);
        EXPECT_EQ(a.y, first[1]);
        EXPECT_EQ(a.z, first[2]);
    }
    // Wobble's time runs at 0.001 per unit: a full period of the slow term after 1000 units
    // brings the fast term round as well.
    LayerVertex w{0.1f, 0.2f, -1, 0, 0, 0, 0, 0, 0};
    deformWobble(&w, 0);
    const float x0 = w.x, y0 = w.y;
    deformWobble(&w, 1000);
    EXPECT_NEAR(w.x, x0, 1e-5);
    EXPECT_NEAR(w.y, y0, 1e-5);
}
