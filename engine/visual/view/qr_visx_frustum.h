#pragma once
// The view frustum of the current camera as six unit-normalised planes (right, left, bottom, top,
// far, near; inside is positive), and the sphere and box tests that cull what cannot be seen.
// Owned by the camera manager.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <array>

class QRVISXFrustum : public QRObject {
public:
    enum PlaneIndex { kRight, kLeft, kBottom, kTop, kFar, kNear, kPlaneCount };

    explicit QRVISXFrustum(QRObject* cameraManager);

    // From the current camera's matrices as computed by its last apply.
    void update();
    // Planes from projection x view.
    void extractPlanes(const Matrix4& projection, const Matrix4& view);
    bool isSphereVisible(const Vector3& centre, float radius) const;
    bool isBoxVisible(const Vector3& minimum, const Vector3& maximum) const;

    const Plane& getPlane(int index) const { return planes_.at(static_cast<std::size_t>(index)); }

private:
    std::array<Plane, kPlaneCount> planes_{};
};
