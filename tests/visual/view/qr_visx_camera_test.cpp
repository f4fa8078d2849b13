#include "visual_unit_fixture.h"

#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "resource/qr_resc_list.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/view/qr_visx_viewport.h"

#include <gmock/gmock.h>

#include <cmath>

using ::testing::StartsWith;

namespace {

class Cameras : public VisualUnitFixture {
protected:
    Cameras()
    {
        visual_->getViewPort()->set(0, 0, 640, 480);
        visual_->getCameraManager()->initialize();
        gl_.clearCalls();
    }

    QRVISXCameraManager& cameras() { return *visual_->getCameraManager(); }
    QRVISXCamera3D& camera3D() { return *cameras().get3DCamera(); }
    QRVISXCamera2D& camera2D() { return *cameras().get2DCamera(); }
};

} // namespace

TEST_F(Cameras, ManagerCreates2DThen3DAndActivates3D)
{
    const std::string log = logText();
    const auto created2D = log.find("Creating 2D camera: \"2D\"");
    const auto created3D = log.find("Creating 3D camera: \"3D\"");
    ASSERT_NE(created2D, std::string::npos);
    ASSERT_NE(created3D, std::string::npos);
    EXPECT_LT(created2D, created3D);
    EXPECT_EQ(cameras().getCurrentCamera(), &camera3D());
    EXPECT_EQ(camera2D().getName(), "2D");
    EXPECT_EQ(cameras().getCameras()->getCount(), 2);
}

TEST_F(Cameras, PerspectiveProjectionFollowsTheViewportAspect)
{
    camera3D().apply();
    const Matrix4 projection = camera3D().getProjectionMatrix();
    const float f = 1.0f / std::tan(22.5f * kDegreesToRadians);
    EXPECT_NEAR(projection[0], f / (640.0f / 480.0f), 1e-5f);
    EXPECT_NEAR(projection[5], f, 1e-5f);
    EXPECT_NEAR(projection[10], (200.0f + 0.6f) / (0.6f - 200.0f), 1e-5f);
    EXPECT_NEAR(projection[14], 2.0f * 200.0f * 0.6f / (0.6f - 200.0f), 1e-5f);
    EXPECT_EQ(projection[11], -1.0f);
    EXPECT_EQ(projection[15], 0.0f);
}

TEST_F(Cameras, ApplyLoadsProjectionThenView)
{
    camera3D().setPosition({1.0f, 2.0f, 3.0f});
    camera3D().apply();
    const auto& calls = gl_.calls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "glMatrixMode(GL_PROJECTION)");
    EXPECT_THAT(calls[1], StartsWith("glLoadMatrixf("));
    EXPECT_EQ(calls[2], "glMatrixMode(GL_MODELVIEW)");
    EXPECT_EQ(calls[3], "glLoadIdentity()");
    EXPECT_EQ(calls[4], "glMatrixMode(GL_MODELVIEW)");
    EXPECT_EQ(calls[5], "glLoadMatrixf(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1)");
}

TEST_F(Cameras, ViewPutsWhatTheCameraFacesStraightAhead)
{
    // Turned 90 degrees to the left, the camera's forward (0, 0, -1) becomes (-1, 0, 0).
    camera3D().setPosition({10.0f, 0.0f, 0.0f});
    camera3D().setOrientation(QRMATHQuaternion::fromRotationY(90.0f));
    camera3D().apply();
    expectPoint(QRMATHMatrix4::transformPoint(camera3D().getViewMatrix(), {5.0f, 0.0f, 0.0f}), {0.0f, 0.0f, -5.0f});

    // An orientation that is not of unit length gives the same view.
    const Quaternion q = QRMATHQuaternion::fromRotationY(90.0f);
    camera3D().setOrientation({q.x * 2.0f, q.y * 2.0f, q.z * 2.0f, q.w * 2.0f});
    camera3D().apply();
    expectPoint(QRMATHMatrix4::transformPoint(camera3D().getViewMatrix(), {5.0f, 0.0f, 0.0f}), {0.0f, 0.0f, -5.0f});

    camera3D().setViewScale({2.0f, 1.0f, 1.0f});
    camera3D().apply();
    // World +Z is the camera's left; the view scale stretches the camera's x.
    expectPoint(QRMATHMatrix4::transformPoint(camera3D().getViewMatrix(), {10.0f, 0.0f, 1.0f}), {-2.0f, 0.0f, 0.0f});
}

TEST_F(Cameras, OrthographicProjectionIsAPureScale)
{
    camera3D().setOrthographic(true);
    camera3D().setOrthoExtents({2.0f, 4.0f, 1.0f});
    camera3D().setAspectFactor(0.5f);
    camera3D().apply();
    const Matrix4 projection = camera3D().getProjectionMatrix();
    EXPECT_NEAR(projection[0], 1.0f / ((640.0f / 480.0f) * 0.5f * 2.0f), 1e-6f);
    EXPECT_EQ(projection[5], 0.25f);
    EXPECT_EQ(projection[10], 1.0f / 200.0f);
    EXPECT_EQ(projection[15], 1.0f);
    EXPECT_EQ(projection[11], 0.0f);
}

TEST_F(Cameras, TwoDCameraSpansPlusMinusAspectByPlusMinusOne)
{
    camera2D().apply();
    const Matrix4 projection = camera2D().getProjectionMatrix();
    const float aspect = 640.0f / 480.0f;
    const Vector4 corner = QRMATHMatrix4::transformVector4(projection, {aspect, 1.0f, 0.0f, 1.0f});
    EXPECT_NEAR(corner.x, 1.0f, 1e-6f);
    EXPECT_NEAR(corner.y, 1.0f, 1e-6f);
    EXPECT_EQ(projection[10], -1.0f);
    EXPECT_EQ(projection[14], 0.0f);

    camera2D().setZoom(2.0f);
    camera2D().setDepthRange(0.0f, 10.0f);
    camera2D().apply();
    EXPECT_NEAR(camera2D().getProjectionMatrix()[0], 2.0f / aspect, 1e-6f);
    EXPECT_EQ(camera2D().getProjectionMatrix()[10], -0.2f);
    EXPECT_EQ(camera2D().getProjectionMatrix()[14], -1.0f);
}

TEST_F(Cameras, TwoDViewTranslatesThenRotatesThenScales)
{
    camera2D().setPosition(2.0f, 3.0f);
    camera2D().setRotation(90.0f);
    camera2D().setScale(2.0f, 2.0f);
    camera2D().apply();
    const Matrix4 view = camera2D().getViewMatrix();
    expectPoint(QRMATHMatrix4::transformPoint(view, {2.0f, 3.0f, 0.0f}), {0.0f, 0.0f, 0.0f});
    expectPoint(QRMATHMatrix4::transformPoint(view, {3.0f, 3.0f, 0.0f}), {0.0f, 2.0f, 0.0f});
}

TEST_F(Cameras, ActivateMakesTheCameraCurrentAndRefreshesTheFrustum)
{
    camera2D().activate();
    EXPECT_EQ(cameras().getCurrentCamera(), &camera2D());
    camera3D().activate();
    EXPECT_EQ(cameras().getCurrentCamera(), &camera3D());
    const QRVISXFrustum& frustum = *cameras().getFrustum();
    for (int i = 0; i < QRVISXFrustum::kPlaneCount; ++i) {
        const Plane& plane = frustum.getPlane(i);
        EXPECT_NEAR(std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c), 1.0f, 1e-5f) << i;
    }
    // The near plane faces away from the camera at 0.6 units.
    const Plane& nearPlane = frustum.getPlane(QRVISXFrustum::kNear);
    EXPECT_NEAR(nearPlane.c, -1.0f, 1e-5f);
    EXPECT_NEAR(nearPlane.d, -0.6f, 1e-4f);
}
