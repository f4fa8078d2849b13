#include "math/qr_math_random.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

using R = QRMATHRandom;

namespace {
// Seeds whose next draw is the largest and the smallest possible: the generator's next state is
// 0xFFFFFFFF and 0 respectively.
constexpr std::uint32_t kSeedBeforeLargestDraw = 0x4d60ae66u;
constexpr std::uint32_t kSeedBeforeSmallestDraw = 0x26b05733u;
} // namespace

TEST(QRMATHRandomTest, FollowsTheLinearCongruentialRecurrence)
{
    R::setSeed(12345);
    std::vector<int> draws;
    for (int i = 0; i < 6; ++i)
        draws.push_back(R::randomInteger(0, 999));
    EXPECT_EQ(draws, (std::vector<int>{385, 289, 79, 553, 633, 341}));
    EXPECT_EQ(R::getSeed(), 1467157059u);
}

TEST(QRMATHRandomTest, RandomIntegerReachesBothEndsAndNothingElse)
{
    R::setSeed(7);
    std::set<int> seen, seenSwapped;
    for (int i = 0; i < 10000; ++i) {
        seen.insert(R::randomInteger(1, 5));
        seenSwapped.insert(R::randomInteger(5, 1));
    }
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(seenSwapped, seen);
    R::setSeed(kSeedBeforeLargestDraw);
    EXPECT_EQ(R::randomInteger(INT_MIN, INT_MAX), INT_MAX);
    R::setSeed(kSeedBeforeSmallestDraw);
    EXPECT_EQ(R::randomInteger(INT_MIN, INT_MAX), INT_MIN);
    EXPECT_EQ(R::randomInteger(4, 4), 4);
}

TEST(QRMATHRandomTest, RandomFloatStepsInHundredMillionthsOfTheRange)
{
    // Over a range of 10^8 each step is 1, and below 2^23 single precision holds every value
    // exactly: such a draw must be the very integer the same generator state gives randomInteger.
    R::setSeed(12345);
    std::vector<int> steps;
    for (int i = 0; i < 200; ++i)
        steps.push_back(R::randomInteger(0, 99999999));
    R::setSeed(12345);
    int exact = 0;
    for (const int step : steps) {
        const float value = R::randomFloat(0.0f, 1e8f);
        if (step < (1 << 23)) {
            ++exact;
            EXPECT_EQ(value, static_cast<float>(step));
        }
    }
    EXPECT_GT(exact, 5);
    EXPECT_EQ(steps[2], 7973503);
}

TEST(QRMATHRandomTest, RandomFloatReachesTheLowerEndButNeverTheUpper)
{
    R::setSeed(kSeedBeforeSmallestDraw);
    EXPECT_EQ(R::randomFloat(10.0f, 360.0f), 10.0f);
    // The largest draw is 0.99999999 of the range, which single precision would round up to 360.
    R::setSeed(kSeedBeforeLargestDraw);
    const float top = R::randomFloat(0.0f, 360.0f);
    EXPECT_LT(top, 360.0f);
    EXPECT_GT(top, 359.999f);
    R::setSeed(kSeedBeforeLargestDraw);
    EXPECT_GT(R::randomFloat(1.0f, -1.0f), -1.0f);
    R::setSeed(99);
    for (int i = 0; i < 10000; ++i) {
        const float value = R::randomFloat(0.0f, 360.0f);
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 360.0f);
    }
}
