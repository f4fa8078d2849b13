#pragma once
// Planes, point tests and segment tests: the intersection and raycast math objects, owned by the
// math utility object, stateless, static operations. A segment runs from start to end; a test
// that hits writes the point into hit and returns true.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

class QRMATHIntersection : public QRObject {
public:
    explicit QRMATHIntersection(QRObject* owner) : QRObject(owner, "QR MATH Intersection") {}

    // True when p lies inside or on the sphere.
    static bool pointInSphere(const Vector3& p, const Vector3& centre, float radius);
    // Normal (p3 - p2) x (p1 - p2), not normalised, through p1.
    static Plane planeFromPoints(const Vector3& p1, const Vector3& p2, const Vector3& p3);
    static Plane planeFromPointNormal(const Vector3& p, const Vector3& normal);
};

class QRMATHRaycast : public QRObject {
public:
    explicit QRMATHRaycast(QRObject* owner) : QRObject(owner, "QR MATH Raycast") {}

    // A segment parallel to the plane (within 0.0001) hits only when its start lies in the plane,
    // and then at its start. Both ends count.
    static bool segmentPlane(const Vector3& start, const Vector3& end, const Plane& plane, Vector3& hit);
    // The entry point; a start inside or on the sphere is itself the hit.
    static bool segmentSphere(const Vector3& start, const Vector3& end, const Vector3& centre, float radius,
                              Vector3& hit);
    // Either winding. When the segment meets the triangle's plane outside the triangle, hit still
    // holds that plane point although the result is false. A triangle without area is never hit.
    static bool segmentTriangle(const Vector3& start, const Vector3& end, const Vector3& a, const Vector3& b,
                                const Vector3& c, Vector3& hit);
    // The crossing of the box surface nearest to start, faces accepted within 0.001 of their edges;
    // on a tie the face earlier in the order -X, +X, -Y, +Y, -Z, +Z wins. A segment that lies
    // wholly inside the box crosses no face and misses.
    static bool segmentBox(const Vector3& start, const Vector3& end, const Vector3& boxMin, const Vector3& boxMax,
                           Vector3& hit);
};
