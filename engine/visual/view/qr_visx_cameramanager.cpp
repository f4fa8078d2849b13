#include "visual/view/qr_visx_cameramanager.h"

#include "resource/qr_resc_list.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_frustum.h"

QRVISXCameraManager::QRVISXCameraManager(QRObject* owner) : QRObject(owner, "QR VISX Camera Manager")
{
    cameras_ = qrNew<QRRESCList>(this, true);
    frustum_ = qrNew<QRVISXFrustum>(this);
}

QRVISXCameraManager::~QRVISXCameraManager()
{
    currentCamera_ = nullptr;
    camera2D_ = nullptr;
    camera3D_ = nullptr;
    cameras_->clear();
}

void QRVISXCameraManager::initialize()
{
    camera2D_ = create2DCamera("2D");
    camera3D_ = create3DCamera("3D");
    activateCamera(camera3D_);
}

QRVISXCamera3D* QRVISXCameraManager::create3DCamera(std::string_view name)
{
    logDebug("Creating 3D camera: \"" + std::string(name) + "\"");
    auto camera = qrNew<QRVISXCamera3D>(this, name);
    cameras_->add(camera.get());
    return camera.release();
}

QRVISXCamera2D* QRVISXCameraManager::create2DCamera(std::string_view name)
{
    logDebug("Creating 2D camera: \"" + std::string(name) + "\"");
    auto camera = qrNew<QRVISXCamera2D>(this, name);
    cameras_->add(camera.get());
    return camera.release();
}

void QRVISXCameraManager::applyCurrentCamera()
{
    if (currentCamera_)
        currentCamera_->apply();
}

void QRVISXCameraManager::activateCamera(QRVISXCamera* camera)
{
    if (camera)
        camera->activate();
}

void QRVISXCameraManager::restoreState()
{
    applyCurrentCamera();
    frustum_->update();
}
