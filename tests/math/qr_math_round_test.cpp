#include "math/qr_math_round.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(QRMATHRoundTest, FloorGoesTowardMinusInfinity)
{
    EXPECT_EQ(QRMATHRound::floor(2559.99f), 2559);
    EXPECT_EQ(QRMATHRound::floor(3.0f), 3);
    EXPECT_EQ(QRMATHRound::floor(-0.5f), -1);
    EXPECT_EQ(QRMATHRound::floor(-4.0f), -4);
    EXPECT_EQ(QRMATHRound::floor(-0.0f), 0);
}

TEST(QRMATHRoundTest, FloorOfCorruptCoordinatesStaysDefined)
{
    EXPECT_EQ(QRMATHRound::floor(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(QRMATHRound::floor(1e20f), std::numeric_limits<int>::max());
    EXPECT_EQ(QRMATHRound::floor(-std::numeric_limits<float>::infinity()), std::numeric_limits<int>::min());
}

TEST(QRMATHRoundTest, RoundToRoundsHalvesToEven)
{
    EXPECT_EQ(QRMATHRound::roundTo(2.5f, 1.0f), 2.0f);
    EXPECT_EQ(QRMATHRound::roundTo(3.5f, 1.0f), 4.0f);
    EXPECT_EQ(QRMATHRound::roundTo(-2.5f, 1.0f), -2.0f);
    EXPECT_EQ(QRMATHRound::roundTo(0.125f, 100.0f), 0.12f);  // 12.5 is exact in binary
    EXPECT_EQ(QRMATHRound::roundTo(1.236f, 100.0f), 1.24f);
}
