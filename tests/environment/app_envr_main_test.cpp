#include "environment_fixture.h"

#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr Vector3 kUp{0.0f, 1.0f, 0.0f};

Vector3 normalized(Vector3 v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

void expectNear(const Vector3& actual, const Vector3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
}

std::uint32_t streetCode(const APPENVRMain& environment, int x, int z)
{
    return (environment.getGroundCell(x, z) >> 8) & 0xFFu;
}
} // namespace

class EnvironmentTest : public EnvironmentFixture {};

TEST_F(EnvironmentTest, StartsFlatWithTheFarEdgeZeroFilled)
{
    EXPECT_EQ(environment().getName(), "Environment");
    for (int x = 0; x < 640; x += 13)
        for (int z = 0; z < 640; z += 7) {
            ASSERT_EQ(environment().getVertex(x, z).height, 0.0f);
            ASSERT_EQ(environment().getVertex(x, z).normal, kUp);
        }
    EXPECT_EQ(environment().getVertex(639, 639).normal, kUp);
    EXPECT_EQ(environment().getVertex(640, 3).normal, Vector3{}) << "row 640 is never reset";
    EXPECT_EQ(environment().getVertex(3, 9999).normal, Vector3{}) << "clamped to 640";
    EXPECT_EQ(environment().getHeight({1234.5f, 0.0f, 77.0f}), 0.0f);
}

TEST_F(EnvironmentTest, HeightIsBilinearInsideTheQuad)
{
    environment().setHeight(10, 20, 4.0f);
    environment().setHeight(11, 20, 8.0f);
    environment().setHeight(10, 21, 12.0f);
    environment().setHeight(11, 21, 24.0f);
    EXPECT_FLOAT_EQ(environment().getHeight({40.0f, 0.0f, 80.0f}), 4.0f);
    EXPECT_FLOAT_EQ(environment().getHeight({42.0f, 0.0f, 80.0f}), 6.0f);
    EXPECT_FLOAT_EQ(environment().getHeight({40.0f, 0.0f, 82.0f}), 8.0f);
    // (1 - 0.25) * (0.5 * 4 + 0.5 * 8) + 0.25 * (0.5 * 12 + 0.5 * 24)
    EXPECT_FLOAT_EQ(environment().getHeight({42.0f, 0.0f, 81.0f}), 9.0f);
}

TEST_F(EnvironmentTest, HeightExtrapolatesTheEdgeQuadsBeyondTheWorld)
{
    environment().setHeight(0, 0, 5.0f);
    environment().setHeight(1, 0, 7.0f);
    EXPECT_FLOAT_EQ(environment().getHeight({0.0f, 100.0f, 0.0f}), 5.0f);
    EXPECT_FLOAT_EQ(environment().getHeight({-4.0f, 0.0f, 0.0f}), 3.0f);
    for (int z = 0; z < 640; ++z) {
        environment().setHeight(638, z, 1.0f);
        environment().setHeight(639, z, 3.0f);
    }
    EXPECT_FLOAT_EQ(environment().getHeight({2556.0f, 0.0f, 40.0f}), 3.0f);
    EXPECT_FLOAT_EQ(environment().getHeight({2560.0f, 0.0f, 40.0f}), 5.0f) << "quad 638..639 with fx = 2";
    EXPECT_FLOAT_EQ(environment().getHeight({2600.0f, 0.0f, 40.0f}), 25.0f);
}

TEST_F(EnvironmentTest, BlockLookupClampsTheAreaButNotTheBlock)
{
    const auto where = [&](float x, float z) {
        const APPENVRBlock* block = environment().getBlockAt({x, 0.0f, z});
        const APPENVRAreaIndex area = block->getArea()->getIndex();
        const APPENVRGridIndex index = block->getIndex();
        return std::vector<int>{area.ax, area.az, index.x, index.z};
    };
    EXPECT_EQ(where(-10.0f, -10.0f), (std::vector<int>{0, 0, 3, 3}));
    EXPECT_EQ(where(2600.0f, 2600.0f), (std::vector<int>{3, 3, 0, 0}));
    EXPECT_EQ(where(639.9f, 0.0f), (std::vector<int>{0, 0, 3, 0}));
    EXPECT_EQ(where(640.0f, 0.0f), (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(where(1000.0f, 2000.0f), (std::vector<int>{1, 3, 2, 0}));
    EXPECT_EQ(where(-1e30f, NAN), (std::vector<int>{0, 0, 0, 0})) << "absurd coordinates still find a block";

    const APPENVRBlockIndex raw = environment().getBlockIndex({-10.0f, 0.0f, 2600.0f});
    EXPECT_EQ(raw.ax, -1);
    EXPECT_EQ(raw.az, 4);
    EXPECT_EQ(environment().getArea(9, -3), environment().getArea(3, 0));
    EXPECT_EQ(environment().getBlock(1, 1, -2, 7), environment().getArea(1, 1)->getBlock(0, 3));
}

TEST_F(EnvironmentTest, VertexPositionReadsClampedHeightsAtUnclampedPlaces)
{
    environment().setHeight(639, 0, 9.0f);
    EXPECT_EQ(environment().getVertexPosition(641, -1), (Vector3{2564.0f, 9.0f, -4.0f}));
    environment().setHeight(640, 0, 1.0f);
    EXPECT_EQ(environment().getVertex(640, 0).height, 0.0f) << "the far edge is not stored, so not edited";
}

TEST_F(EnvironmentTest, NormalsFollowTheSlope)
{
    // Rises one unit per vertex step (4 units) along X.
    for (int x = 0; x < 640; ++x)
        for (int z = 0; z < 640; ++z)
            environment().setHeight(x, z, static_cast<float>(x));
    environment().updateNormalsInRange(100, 100, 102, 102);
    expectNear(environment().getVertex(101, 101).normal, normalized({-1.0f, 4.0f, 0.0f}));
    EXPECT_EQ(environment().getVertex(103, 101).normal, kUp) << "outside the range nothing changes";
    EXPECT_EQ(environment().getVertex(99, 101).normal, kUp);

    environment().updateNormals();
    expectNear(environment().getVertex(300, 0).normal, normalized({-1.0f, 4.0f, 0.0f}));
    // The edges repeat their own height beyond the world, so only the inner side slopes there.
    expectNear(environment().getVertex(0, 300).normal, normalized({-4.0f, 32.0f, 0.0f}));
    expectNear(environment().getVertex(639, 300).normal, normalized({-4.0f, 32.0f, 0.0f}));
    EXPECT_EQ(environment().getVertex(640, 300).normal, Vector3{});
}

TEST_F(EnvironmentTest, NormalsOnFlatLandPointUp)
{
    environment().setHeight(5, 5, 3.0f);
    environment().updateNormals();
    environment().setHeight(5, 5, 0.0f);
    environment().updateNormalsInRange(-50, -50, 2000, 2000);
    for (int x = 0; x < 640; x += 9)
        for (int z = 0; z < 640; z += 11)
            ASSERT_EQ(environment().getVertex(x, z).normal, kUp);
    EXPECT_EQ(environment().getVertex(5, 5).normal, kUp);
}

TEST_F(EnvironmentTest, StreetShapesFollowTheNeighbours)
{
    // Expected shape for every neighbour pattern W, E, S, N (W = x - 1, S = z - 1).
    const std::uint32_t expected[16] = {1, 12, 13, 2, 15, 5, 7, 9, 14, 4, 6, 8, 1, 10, 11, 3};
    for (int pattern = 0; pattern < 16; ++pattern) {
        const int x = 10 + 4 * pattern;
        const int z = 50;
        environment().setStreet(x, z);
        if (pattern & 8)
            environment().setStreet(x - 1, z);
        if (pattern & 4)
            environment().setStreet(x + 1, z);
        if (pattern & 2)
            environment().setStreet(x, z - 1);
        if (pattern & 1)
            environment().setStreet(x, z + 1);
        environment().updateStreetsInRange(x, z, x, z);
        EXPECT_EQ(streetCode(environment(), x, z), expected[pattern]) << "pattern " << pattern;
    }
}

TEST_F(EnvironmentTest, PlusJunctionAndWorldEdges)
{
    for (int d = -1; d <= 1; ++d) {
        environment().setStreet(80 + d, 80);
        environment().setStreet(80, 80 + d);
    }
    environment().setStreet(0, 0);
    environment().setStreet(159, 0);
    environment().setStreet(159, 1);
    environment().setStreet(30, 30);
    environment().updateStreets();
    EXPECT_EQ(streetCode(environment(), 80, 80), 3u);
    EXPECT_EQ(streetCode(environment(), 79, 80), 15u);
    EXPECT_EQ(streetCode(environment(), 81, 80), 14u);
    EXPECT_EQ(streetCode(environment(), 80, 79), 12u);
    EXPECT_EQ(streetCode(environment(), 80, 81), 13u);
    EXPECT_EQ(streetCode(environment(), 30, 30), 1u) << "an isolated cell";
    EXPECT_EQ(streetCode(environment(), 0, 0), 1u) << "no street beyond the world";
    EXPECT_EQ(streetCode(environment(), 159, 0), 12u);
    EXPECT_EQ(streetCode(environment(), 159, 1), 13u);
    EXPECT_EQ(environment().getGroundCell(81, 81), 0u) << "cells without street are left alone";
}

TEST_F(EnvironmentTest, GroundTypeAndStreetAreKeptApart)
{
    environment().setGroundType(40, 40, 1);
    environment().setStreet(40, 40);
    EXPECT_EQ(environment().getGroundCell(40, 40), 0xFFFFFF01u) << "a new street marks bits 8..31";
    environment().updateStreetsInRange(39, 39, 41, 41);
    EXPECT_EQ(environment().getGroundCell(40, 40), (1u << 8) | 1u) << "the shape replaces bits 8..31";
    EXPECT_TRUE(environment().hasStreet(40, 40));
    EXPECT_FALSE(environment().isDefaultGround(40, 40));

    environment().setGroundType(40, 40, 0);
    EXPECT_EQ(environment().getGroundCell(40, 40), 1u << 8) << "changing the ground keeps the street";
    EXPECT_TRUE(environment().isDefaultGround(40, 40));
    environment().setGroundType(40, 40, 1);
    environment().deleteStreet(40, 40);
    EXPECT_EQ(environment().getGroundCell(40, 40), 1u) << "deleting the street keeps the ground";
    EXPECT_FALSE(environment().hasStreet(40, 40));

    environment().setGroundCell(200, 5, 0xFFFFFFFFu);
    EXPECT_FALSE(environment().hasStreet(200, 5)) << "cells beyond the grid are grass without street";
    EXPECT_TRUE(environment().isDefaultGround(-1, 5));
}

TEST_F(EnvironmentTest, BoxesCoverTheTerrain)
{
    environment().setHeight(170, 330, 12.0f);
    environment().setHeight(171, 331, -3.0f);
    environment().updateBounds();
    const APPENVRArea* area = environment().getArea(1, 2);
    EXPECT_EQ(area->getBounds().minimum, (Vector3{640.0f, -3.0f, 1280.0f}));
    EXPECT_EQ(area->getBounds().maximum, (Vector3{1280.0f, 12.0f, 1920.0f}));
    EXPECT_EQ(environment().getArea(0, 0)->getBounds().minimum, (Vector3{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(environment().getArea(0, 0)->getBounds().maximum, (Vector3{640.0f, 0.0f, 640.0f}));
}
