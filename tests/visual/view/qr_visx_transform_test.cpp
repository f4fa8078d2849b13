#include "visual_unit_fixture.h"

#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_transform.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class Transform : public VisualUnitFixture {
protected:
    QRVISXTransformWorld& world() { return *visual_->getTransform()->getWorld(); }
    QRVISXTransformView& view() { return *visual_->getTransform()->getView(); }
};

} // namespace

TEST_F(Transform, TheLastOperationActsFirstOnTheVertices)
{
    world().translate({10.0f, 0.0f, 0.0f});
    world().rotateY(90.0f);
    world().scale(2.0f);
    // (1, 0, 0) scaled to (2, 0, 0), turned to (0, 0, -2), moved to (10, 0, -2).
    expectPoint(QRMATHMatrix4::transformPoint(world().getMatrix(), {1.0f, 0.0f, 0.0f}), {10.0f, 0.0f, -2.0f});

    world().reset();
    world().rotate(QRMATHQuaternion::fromRotationY(90.0f));
    world().scaleVector({1.0f, 3.0f, 1.0f});
    expectPoint(QRMATHMatrix4::transformPoint(world().getMatrix(), {1.0f, 1.0f, 0.0f}), {0.0f, 3.0f, -1.0f});
}

TEST_F(Transform, InverseQueriesUndoTheWorldMatrix)
{
    world().translate({1.0f, 2.0f, 3.0f});
    world().rotateY(30.0f);
    const Vector3 p{4.0f, 5.0f, 6.0f};
    expectPoint(QRMATHMatrix4::transformPoint(world().getInverseMatrix(),
                                              QRMATHMatrix4::transformPoint(world().getMatrix(), p)),
                p);
    const Matrix4 rotation = QRMATHMatrix4::multiply3(QRMATHMatrix4::identity(), world().getRotationMatrix());
    const Matrix4 inverseRotation =
        QRMATHMatrix4::multiply3(QRMATHMatrix4::identity(), world().getInverseRotationMatrix());
    expectPoint(QRMATHMatrix4::transformPoint(inverseRotation, QRMATHMatrix4::transformPoint(rotation, p)), p);
    EXPECT_NE(QRMATHMatrix4::transformPoint(rotation, p).x, p.x);
}

TEST_F(Transform, ApplyLoadsTheCameraViewTimesTheWorld)
{
    visual_->getCameraManager()->initialize();
    auto* camera = visual_->getCameraManager()->get3DCamera();
    camera->setPosition({0.0f, 0.0f, 5.0f});
    camera->apply();
    world().translate({1.0f, 0.0f, 0.0f});
    gl_.clearCalls();

    world().apply();
    EXPECT_THAT(gl_.calls(), ElementsAre("glMatrixMode(GL_MODELVIEW)",
                                         "glLoadMatrixf(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, -5, 1)"));
    expectPoint(QRMATHMatrix4::transformPoint(world().getModelViewMatrix(), {0.0f, 0.0f, 0.0f}), {1.0f, 0.0f, -5.0f});
}

TEST_F(Transform, ViewQueriesFollowTheCurrentCamera)
{
    EXPECT_EQ(view().getViewMatrix(), QRMATHMatrix4::identity());
    EXPECT_EQ(view().getViewPosition(), (Vector3{0.0f, 0.0f, 0.0f}));

    auto& cameras = *visual_->getCameraManager();
    cameras.initialize();
    cameras.get3DCamera()->setPosition({1.0f, 2.0f, 3.0f});
    cameras.get3DCamera()->activate();
    EXPECT_EQ(view().getViewPosition(), (Vector3{1.0f, 2.0f, 3.0f}));
    expectPoint(QRMATHMatrix4::transformPoint(view().getInverseViewMatrix(), {0.0f, 0.0f, 0.0f}), {1.0f, 2.0f, 3.0f});

    cameras.get2DCamera()->setPosition(4.0f, 5.0f);
    cameras.get2DCamera()->activate();
    EXPECT_EQ(view().getViewPosition(), (Vector3{4.0f, 5.0f, 0.0f}));
}
