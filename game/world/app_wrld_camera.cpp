#include "world/app_wrld_camera.h"

#include "math/qr_math_quaternion.h"
#include "math/qr_math_round.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/qr_visx_main.h"

namespace {
constexpr float kNearPlane = 0.6f;
constexpr float kFarPlane = 500.0f;

// Whole units first, then truncating divisions; floor saturates, so a wild coordinate still gives
// indices that callers range-check.
void splitCoordinate(float coordinate, int& area, int& block)
{
    area = QRMATHRound::floor(coordinate) / static_cast<int>(APPENVRMain::kAreaSize);
    block = QRMATHRound::floor(coordinate - APPENVRMain::kAreaSize * static_cast<float>(area)) /
            static_cast<int>(APPENVRMain::kBlockSize);
}
} // namespace

APPWRLDCamera::APPWRLDCamera(QRObject* owner) : QRObject(owner, "Camera") {}

Vector3 APPWRLDCamera::getForward() const
{
    return QRMATHQuaternion::forward(orientation_);
}

APPENVRBlockIndex APPWRLDCamera::getBlockIndex() const
{
    APPENVRBlockIndex index;
    splitCoordinate(position_.x, index.ax, index.bx);
    splitCoordinate(position_.z, index.az, index.bz);
    return index;
}

void APPWRLDCamera::apply()
{
    QRVISXMain* visual = qrVisual();
    if (!visual)
        return;
    QRVISXCamera3D* camera = visual->getCameraManager()->get3DCamera();
    if (!camera)
        return;
    camera->setPosition(position_);
    camera->setOrientation(orientation_);
    camera->setClipPlanes(kNearPlane, kFarPlane);
    camera->setViewScale({1.0f, 1.0f, depthStretch_});
    camera->activate();
}
