#include "play_fixture.h"

#include "entities/app_entt_paper.h"
#include "entities/app_entt_pickup.h"
#include "math/qr_math_quaternion.h"

#include <gtest/gtest.h>

namespace {
using PaperTest = PlayFixture;
} // namespace

TEST_F(PaperTest, CollectedOnceWhenTheHeroComesCloserThanThreeUnits)
{
    struct Case {
        float distance;
        bool collected;
    };
    for (const Case& c : {Case{3.0f, false}, Case{2.99f, true}}) {
        APPENTTKip* kip = placeHero();
        auto* paper = create<APPENTTPaper>("Paper", kHome + Vector3{0.0f, 0.0f, c.distance});
        auto* far = create<APPENTTPaper>("Paper", kHome + Vector3{60.0f, 0.0f, 0.0f});
        EXPECT_EQ(entities().countPapers(), 2);
        const int soundsBefore = played("sounds\\collect_paper.wav");
        frames(5, 0.02f);
        EXPECT_EQ(exists(paper), !c.collected) << c.distance;
        EXPECT_EQ(kip->getPapersCollected(), c.collected ? 1 : 0) << c.distance;
        EXPECT_EQ(played("sounds\\collect_paper.wav"), soundsBefore + (c.collected ? 1 : 0)) << c.distance;
        EXPECT_EQ(countOf<APPENTTPickup>(), c.collected ? 1 : 0) << c.distance;
        EXPECT_EQ(entities().countPapers(), c.collected ? 1 : 2) << c.distance;
        // 0.1 s at 120 degrees per second.
        expectPoint(far->forwardVector(),
                    QRMATHQuaternion::rotateVector(QRMATHQuaternion::fromRotationY(12.0f), {0.0f, 0.0f, -1.0f}));
        far->removeFromWorld();
        if (exists(paper))
            paper->removeFromWorld();
        kip->removeFromWorld();
        while (countOf<APPENTTPickup>() > 0)
            frame(0.1f);
    }
}
