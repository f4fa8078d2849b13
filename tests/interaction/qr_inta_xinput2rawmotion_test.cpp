#include "interaction/qr_inta_xinput2rawmotion.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Motion {
    double dx, dy;
    bool relative = true;
};
struct Taken {
    bool relative;
    int dx, dy;
    bool operator==(const Taken&) const = default;
};
} // namespace

TEST(RawMotionAccumulator, WholeCountsPerPollWithFractionsCarriedOver)
{
    const struct {
        const char* what;
        std::vector<std::vector<Motion>> polls; // the events that arrive before each take
        std::vector<Taken> taken;
    } cases[] = {
        {"events of one poll add up", {{{3, 1}, {4, -2}, {-1, 0}}}, {{true, 6, -1}}},
        {"nothing moved", {{}, {}}, {{true, 0, 0}, {true, 0, 0}}},
        {"slow motion is not lost",
         {{{0.4, -0.4}}, {{0.4, -0.4}}, {{0.4, -0.4}}},
         {{true, 0, 0}, {true, 0, 0}, {true, 1, -1}}},
        {"a fraction counts in its own direction", {{{1.5, 0}}, {{-1.0, 0}}}, {{true, 1, 0}, {true, 0, 0}}},
        {"a positioning device leaves the poll to the cursor",
         {{{5, 5}, {800, 600, false}}, {{2, 0}}},
         {{false, 0, 0}, {true, 2, 0}}},
    };
    for (const auto& testCase : cases) {
        QRINTARawMotionAccumulator accumulator;
        std::vector<Taken> taken;
        for (const auto& poll : testCase.polls) {
            for (const Motion& motion : poll)
                accumulator.add(motion.dx, motion.dy, motion.relative);
            Taken one{};
            one.relative = accumulator.take(one.dx, one.dy);
            taken.push_back(one);
        }
        EXPECT_EQ(taken, testCase.taken) << testCase.what;
    }
}

TEST(RawMotion, NoDisplayOpensNothing)
{
    QRINTAXRawMotion motion(nullptr);
    EXPECT_FALSE(motion.isOpen());
    EXPECT_EQ(motion.getSocket(), -1);
    QRINTARawMotionAccumulator accumulator;
    motion.drain(accumulator);
    int dx = 7, dy = 7;
    EXPECT_TRUE(accumulator.take(dx, dy));
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
}
