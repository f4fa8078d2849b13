#include "play_fixture.h"

#include "entities/app_entt_ad.h"
#include "math/qr_math_quaternion.h"
#include "world/app_wrld_camera.h"

#include <gtest/gtest.h>

namespace {
using AdTest = PlayFixture;
} // namespace

TEST_F(AdTest, ChangesItsPosterOnlyAfterTheCameraLookedMoreThanFiftyDegreesAway)
{
    EXPECT_EQ(APPENTTAd::posterModel(7), "models\\environment\\ads\\ad_07.model");
    EXPECT_EQ(APPENTTAd::posterModel(22), "models\\environment\\ads\\ad_22.model");
    const Vector3 eye = kHome + Vector3{0.0f, 2.0f, 0.0f};
    world().getCamera()->setPosition(eye);
    struct Case {
        float degreesAway;
        bool changes;
    };
    for (const Case& c : {Case{0.0f, false}, Case{40.0f, false}, Case{60.0f, true}, Case{180.0f, true}}) {
        // The camera looks along -Z; the board stands 20 units off that, turned about the eye.
        const Vector3 offset =
            QRMATHQuaternion::rotateVector(QRMATHQuaternion::fromRotationY(c.degreesAway), {0.0f, 0.0f, -20.0f});
        auto* ad = create<APPENTTAd>("Ad", eye + offset);
        EXPECT_EQ(ad->getHealth(), 100);
        EXPECT_TRUE(ad->isChangePending()) << "a new board chooses its poster when first drawn";
        ad->render();
        EXPECT_FALSE(ad->isChangePending());
        // Checked when the timer exceeds 0.5 s: after the fifth frame of 0.125 s, not the fourth.
        frames(4, 0.125f);
        EXPECT_FALSE(ad->isChangePending()) << c.degreesAway;
        frame(0.125f);
        EXPECT_EQ(ad->isChangePending(), c.changes) << c.degreesAway;
        ad->render();
        EXPECT_FALSE(ad->isChangePending()) << "drawing takes the new poster";
        ad->removeFromWorld();
    }
}
