#include "visual/view/qr_visx_transform.h"

#include "math/qr_math_matrix.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"

namespace {

QRVISXCamera* currentCamera()
{
    auto* visual = qrVisual();
    return visual ? visual->getCameraManager()->getCurrentCamera() : nullptr;
}

} // namespace

QRVISXTransformWorld::QRVISXTransformWorld(QRObject* owner)
    : QRObject(owner, "QR VISX Transform World"), matrix_(QRMATHMatrix4::identity())
{
}

void QRVISXTransformWorld::reset()
{
    matrix_ = QRMATHMatrix4::identity();
}

void QRVISXTransformWorld::translate(const Vector3& offset)
{
    matrix_ = QRMATHMatrix4::translate(matrix_, offset);
}

void QRVISXTransformWorld::rotate(const Quaternion& rotation)
{
    matrix_ = QRMATHMatrix4::rotate(matrix_, rotation);
}

void QRVISXTransformWorld::scale(float factor)
{
    matrix_ = QRMATHMatrix4::scaleUniform(matrix_, factor);
}

void QRVISXTransformWorld::scaleVector(const Vector3& factors)
{
    matrix_ = QRMATHMatrix4::scale(matrix_, factors);
}

void QRVISXTransformWorld::rotateY(float degrees)
{
    matrix_ = QRMATHMatrix4::multiply3(matrix_, QRMATHMatrix3::rotationY(degrees));
}

void QRVISXTransformWorld::apply()
{
    const Matrix4 modelView = getModelViewMatrix();
    qrGL().matrixMode(GL_MODELVIEW);
    qrGL().loadMatrixf(modelView.data());
}

Matrix4 QRVISXTransformWorld::getInverseMatrix() const
{
    return QRMATHMatrix4::inverse(matrix_);
}

Matrix3 QRVISXTransformWorld::getRotationMatrix() const
{
    return QRMATHMatrix3::fromMatrix4(matrix_);
}

Matrix3 QRVISXTransformWorld::getInverseRotationMatrix() const
{
    return QRMATHMatrix3::inverse(getRotationMatrix());
}

Matrix4 QRVISXTransformWorld::getModelViewMatrix() const
{
    QRVISXCamera* camera = currentCamera();
    return camera ? camera->getViewMatrix() * matrix_ : matrix_;
}

Matrix4 QRVISXTransformView::getViewMatrix() const
{
    QRVISXCamera* camera = currentCamera();
    return camera ? camera->getViewMatrix() : QRMATHMatrix4::identity();
}

Matrix4 QRVISXTransformView::getInverseViewMatrix() const
{
    return QRMATHMatrix4::inverse(getViewMatrix());
}

Vector3 QRVISXTransformView::getViewPosition() const
{
    QRVISXCamera* camera = currentCamera();
    if (auto* camera3D = dynamic_cast<QRVISXCamera3D*>(camera))
        return camera3D->getPosition();
    if (auto* camera2D = dynamic_cast<QRVISXCamera2D*>(camera))
        return {camera2D->getPosition().x, camera2D->getPosition().y, 0.0f};
    return {};
}

QRVISXTransform::QRVISXTransform(QRObject* owner) : QRObject(owner, "QR VISX Transform")
{
    world_ = qrNew<QRVISXTransformWorld>(this);
    view_ = qrNew<QRVISXTransformView>(this);
}

QRVISXTransform::~QRVISXTransform() = default;

void QRVISXTransform::initialize()
{
    world_->initialize();
    view_->initialize();
    world_->reset();
}
