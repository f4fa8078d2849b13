#include "entity_world_fixture.h"

#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/view/qr_visx_viewport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class CameraTest : public EntityWorldFixture {
protected:
    APPWRLDCamera& camera() { return *world().getCamera(); }
    QRVISXCamera3D& engineCamera() { return *visual_->getCameraManager()->get3DCamera(); }
};

bool allFinite(const Matrix4& m)
{
    for (float value : m.m)
        if (!std::isfinite(value))
            return false;
    return true;
}

} // namespace

TEST_F(CameraTest, BlockIndexTruncatesTowardZero)
{
    struct Case {
        Vector3 position;
        APPENVRBlockIndex expected;
    };
    const Case cases[] = {
        {{0.0f, 4.0f, 10.0f}, {0, 0, 0, 0}},     {{-100.0f, 0.0f, -159.0f}, {0, 0, 0, 0}},
        {{639.9f, 0.0f, 160.0f}, {0, 0, 3, 1}},  {{640.0f, 0.0f, 1919.0f}, {1, 2, 0, 3}},
        {{2600.0f, 0.0f, 2559.0f}, {4, 3, 0, 3}}, {{-700.0f, 0.0f, 0.0f}, {-1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        camera().setPosition(c.position);
        const APPENVRBlockIndex index = camera().getBlockIndex();
        EXPECT_EQ((std::vector<int>{index.ax, index.az, index.bx, index.bz}),
                  (std::vector<int>{c.expected.ax, c.expected.az, c.expected.bx, c.expected.bz}))
            << c.position.x << ", " << c.position.z;
    }
}

TEST_F(CameraTest, ApplyHandsThePlacementToTheEngineCameraAndRefreshesTheFrustum)
{
    EXPECT_EQ(camera().getPosition(), (Vector3{0.0f, 4.0f, 10.0f}));
    const Quaternion turned = QRMATHQuaternion::fromRotationY(90.0f);
    camera().setPosition({300.0f, 20.0f, 300.0f});
    camera().setOrientation(turned);
    camera().apply();
    EXPECT_EQ(engineCamera().getPosition(), (Vector3{300.0f, 20.0f, 300.0f}));
    EXPECT_EQ(engineCamera().getOrientation(), turned);
    EXPECT_EQ(engineCamera().getNearPlane(), 0.6f);
    EXPECT_EQ(engineCamera().getFarPlane(), 500.0f);
    EXPECT_EQ(visual_->getCameraManager()->getCurrentCamera(), &engineCamera());
    // Turned to look along -X: a point ahead is in the frustum, one behind is not.
    const QRVISXFrustum& frustum = *visual_->getCameraManager()->getFrustum();
    EXPECT_TRUE(frustum.isSphereVisible({200.0f, 20.0f, 300.0f}, 1.0f));
    EXPECT_FALSE(frustum.isSphereVisible({400.0f, 20.0f, 300.0f}, 1.0f));
    EXPECT_FALSE(frustum.isSphereVisible({-250.0f, 20.0f, 300.0f}, 1.0f)) << "beyond the far plane";
}

TEST_F(CameraTest, AViewWithoutHeightOrWidthStaysFinite)
{
    for (const auto& [width, height] : {std::pair{640, 0}, std::pair{0, 480}, std::pair{0, 0}}) {
        visual_->getViewPort()->set(0, 0, width, height);
        camera().apply();
        EXPECT_TRUE(allFinite(engineCamera().getProjectionMatrix())) << width << " x " << height;
        EXPECT_TRUE(allFinite(engineCamera().getViewMatrix())) << width << " x " << height;
    }
}

TEST_F(CameraTest, DepthStretchScalesOnlyTheViewDepth)
{
    camera().setPosition({100.0f, 5.0f, 100.0f});
    camera().setOrientation(QRMATHQuaternion::identity());
    for (const float stretch : {1.0f, 1.6f}) {
        camera().setDepthStretch(stretch);
        camera().apply();
        const Vector3 seen =
            QRMATHMatrix4::transformPoint(engineCamera().getViewMatrix(), Vector3{103.0f, 9.0f, 80.0f});
        expectPoint(seen, {3.0f, 4.0f, -20.0f * stretch});
    }
}
