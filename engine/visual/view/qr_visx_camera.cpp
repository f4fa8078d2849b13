#include "visual/view/qr_visx_camera.h"

#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/view/qr_visx_viewport.h"

#include <cmath>

QRVISXCamera::QRVISXCamera(QRObject* manager, std::string_view name)
    : QRObject(manager, name), view_(QRMATHMatrix4::identity()), projection_(QRMATHMatrix4::identity())
{
}

QRVISXCameraManager* QRVISXCamera::manager() const
{
    return dynamic_cast<QRVISXCameraManager*>(getOwner());
}

float QRVISXCamera::viewportAspect()
{
    auto* visual = qrVisual();
    return visual ? visual->getViewPort()->getAspect() : 1.0f;
}

void QRVISXCamera::apply()
{
    applyProjection();
    applyView();
}

void QRVISXCamera::activate()
{
    auto* owner = manager();
    if (owner)
        owner->setCurrentCamera(this);
    apply();
    if (owner)
        owner->getFrustum()->update();
}

void QRVISXCamera::loadProjection()
{
    QRVISXGL& gl = qrGL();
    gl.matrixMode(GL_PROJECTION);
    gl.loadMatrixf(projection_.data());
    gl.matrixMode(GL_MODELVIEW);
    gl.loadIdentity();
}

void QRVISXCamera::loadView()
{
    QRVISXGL& gl = qrGL();
    gl.matrixMode(GL_MODELVIEW);
    gl.loadMatrixf(view_.data());
}

QRVISXCamera3D::QRVISXCamera3D(QRObject* manager, std::string_view name) : QRVISXCamera(manager, name) {}

void QRVISXCamera3D::setClipPlanes(float nearPlane, float farPlane)
{
    nearPlane_ = nearPlane;
    farPlane_ = farPlane;
}

void QRVISXCamera3D::applyProjection()
{
    const float aspect = viewportAspect();
    if (orthographic_) {
        projection_ = QRMATHMatrix4::scaling({1.0f / (aspect * aspectFactor_ * orthoExtents_.x), 1.0f / orthoExtents_.y,
                                              1.0f / farPlane_});
    } else {
        projection_ = QRMATHMatrix4::perspective(aspect * aspectFactor_, fieldOfView_ / fieldOfViewDivisor_,
                                                 nearPlane_, farPlane_);
    }
    loadProjection();
}

void QRVISXCamera3D::applyView()
{
    Quaternion conjugate{-orientation_.x, -orientation_.y, -orientation_.z, orientation_.w};
    const float length = std::sqrt(conjugate.x * conjugate.x + conjugate.y * conjugate.y + conjugate.z * conjugate.z +
                                   conjugate.w * conjugate.w);
    if (std::fabs(length - 1.0f) > 1e-5f && length > 0.0f)
        conjugate = {conjugate.x / length, conjugate.y / length, conjugate.z / length, conjugate.w / length};
    Matrix4 view = QRMATHMatrix4::scaling(viewScale_);
    view = QRMATHMatrix4::rotate(view, conjugate);
    view_ = QRMATHMatrix4::translate(view, -position_);
    loadView();
}

QRVISXCamera2D::QRVISXCamera2D(QRObject* manager, std::string_view name) : QRVISXCamera(manager, name) {}

void QRVISXCamera2D::setDepthRange(float nearPlane, float farPlane)
{
    nearPlane_ = nearPlane;
    farPlane_ = farPlane;
}

void QRVISXCamera2D::applyProjection()
{
    Matrix4 projection = QRMATHMatrix4::identity();
    projection[10] = -2.0f / (farPlane_ - nearPlane_);
    projection[14] = -(farPlane_ + nearPlane_) / (farPlane_ - nearPlane_);
    projection_ = QRMATHMatrix4::scale(projection, {zoom_ / (aspectFactor_ * viewportAspect()), zoom_, 1.0f});
    loadProjection();
}

void QRVISXCamera2D::applyView()
{
    Matrix4 view = QRMATHMatrix4::scaling({scale_.x, scale_.y, 1.0f});
    view = QRMATHMatrix4::multiply3(view, QRMATHMatrix3::rotationZ(rotation_));
    view_ = QRMATHMatrix4::translate(view, {-position_.x, -position_.y, 0.0f});
    loadView();
}

QRVISXCamera3D::Settings QRVISXCamera3D::getSettings() const
{
    return {position_,  orientation_, fieldOfView_, fieldOfViewDivisor_, aspectFactor_,
            nearPlane_, farPlane_,    viewScale_,   orthographic_,       orthoExtents_};
}

void QRVISXCamera3D::setSettings(const Settings& settings)
{
    position_ = settings.position;
    orientation_ = settings.orientation;
    fieldOfView_ = settings.fieldOfView;
    fieldOfViewDivisor_ = settings.fieldOfViewDivisor;
    aspectFactor_ = settings.aspectFactor;
    nearPlane_ = settings.nearPlane;
    farPlane_ = settings.farPlane;
    viewScale_ = settings.viewScale;
    orthographic_ = settings.orthographic;
    orthoExtents_ = settings.orthoExtents;
}
