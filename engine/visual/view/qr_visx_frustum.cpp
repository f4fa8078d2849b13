#include "visual/view/qr_visx_frustum.h"

#include "math/qr_math_matrix.h"
#include "math/qr_math_vector.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"


namespace {

float distance(const Plane& plane, const Vector3& point)
{
    return plane.a * point.x + plane.b * point.y + plane.c * point.z + plane.d;
}

} // namespace

QRVISXFrustum::QRVISXFrustum(QRObject* cameraManager) : QRObject(cameraManager, "QR VISX Frustum Operations") {}

void QRVISXFrustum::update()
{
    auto* manager = dynamic_cast<QRVISXCameraManager*>(getOwner());
    QRVISXCamera* camera = manager ? manager->getCurrentCamera() : nullptr;
    if (camera)
        extractPlanes(camera->getProjectionMatrix(), camera->getViewMatrix());
}

void QRVISXFrustum::extractPlanes(const Matrix4& projection, const Matrix4& view)
{
    const Matrix4 clip = projection * view;
    auto row = [&](int i) { return Plane{clip[i], clip[4 + i], clip[8 + i], clip[12 + i]}; };
    auto combine = [](const Plane& p, const Plane& q, float sign) {
        return Plane{p.a + sign * q.a, p.b + sign * q.b, p.c + sign * q.c, p.d + sign * q.d};
    };
    const Plane row0 = row(0), row1 = row(1), row2 = row(2), row3 = row(3);
    planes_[kRight] = combine(row3, row0, -1.0f);
    planes_[kLeft] = combine(row3, row0, 1.0f);
    planes_[kBottom] = combine(row3, row1, 1.0f);
    planes_[kTop] = combine(row3, row1, -1.0f);
    planes_[kFar] = combine(row3, row2, -1.0f);
    planes_[kNear] = combine(row3, row2, 1.0f);
    for (Plane& plane : planes_) {
        const float length = QRMATHVector3::length({plane.a, plane.b, plane.c});
        if (length != 0.0f)
            plane = {plane.a / length, plane.b / length, plane.c / length, plane.d / length};
    }
}

bool QRVISXFrustum::isSphereVisible(const Vector3& centre, float radius) const
{
    for (const Plane& plane : planes_)
        if (distance(plane, centre) <= -radius)
            return false;
    return true;
}

bool QRVISXFrustum::isBoxVisible(const Vector3& minimum, const Vector3& maximum) const
{
    const Vector3 centre = (minimum + maximum) * 0.5f;
    const float radius = QRMATHVector3::length(maximum - minimum) * 0.5f;
    if (!isSphereVisible(centre, radius))
        return false;
    const Vector3 corners[8] = {
        {minimum.x, minimum.y, minimum.z}, {maximum.x, minimum.y, minimum.z},
        {minimum.x, maximum.y, minimum.z}, {maximum.x, maximum.y, minimum.z},
        {minimum.x, minimum.y, maximum.z}, {maximum.x, minimum.y, maximum.z},
        {minimum.x, maximum.y, maximum.z}, {maximum.x, maximum.y, maximum.z},
    };
    for (const Plane& plane : planes_) {
        bool anyInside = false;
        for (const Vector3& corner : corners) {
            if (distance(plane, corner) > 0.0f) {
                anyInside = true;
                break;
            }
        }
        if (!anyInside)
            return false;
    }
    return true;
}
