#pragma once
// Creates the standard cameras "2D" and "3D", knows the current camera and owns the frustum that
// follows it. Owned by the visual module; from initialisation on exactly one camera is current.

#include "core/qr_core_object.h"

class QRRESCList;
class QRVISXCamera;
class QRVISXCamera2D;
class QRVISXCamera3D;
class QRVISXFrustum;

class QRVISXCameraManager : public QRObject {
public:
    explicit QRVISXCameraManager(QRObject* owner);
    ~QRVISXCameraManager() override;
    // Creates "2D" and "3D" and activates "3D"; needs a current context.
    void initialize() override;

    QRVISXCamera3D* create3DCamera(std::string_view name);
    QRVISXCamera2D* create2DCamera(std::string_view name);

    QRVISXCamera* getCurrentCamera() const { return currentCamera_; }
    void setCurrentCamera(QRVISXCamera* camera) { currentCamera_ = camera; }
    QRVISXCamera3D* get3DCamera() const { return camera3D_; }
    QRVISXCamera2D* get2DCamera() const { return camera2D_; }
    void applyCurrentCamera();
    void activateCamera(QRVISXCamera* camera);
    // After a context switch: the current camera's matrices into the fresh context, and the
    // frustum refreshed for a viewport that may have changed its aspect.
    void restoreState();
    QRVISXFrustum* getFrustum() const { return frustum_.get(); }
    QRRESCList* getCameras() const { return cameras_.get(); }

private:
    QRVISXCamera* currentCamera_ = nullptr;
    QRVISXCamera2D* camera2D_ = nullptr;
    QRVISXCamera3D* camera3D_ = nullptr;
    QROwned<QRRESCList> cameras_;
    QROwned<QRVISXFrustum> frustum_;
};
