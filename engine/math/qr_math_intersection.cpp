#include "math/qr_math_intersection.h"

#include "math/qr_math_vector.h"

#include <cmath>

namespace {
constexpr float kParallelTolerance = 0.0001f;
constexpr float kBoxFaceTolerance = 0.001f;

Vector3 normalOf(const Plane& plane)
{
    return {plane.a, plane.b, plane.c};
}

// Signed (unnormalised) distance of p from the plane.
float planeValue(const Plane& plane, const Vector3& p)
{
    return QRMATHVector3::dot(normalOf(plane), p) + plane.d;
}

bool withinBox(const Vector3& p, const Vector3& boxMin, const Vector3& boxMax)
{
    return p.x >= boxMin.x - kBoxFaceTolerance && p.x <= boxMax.x + kBoxFaceTolerance &&
           p.y >= boxMin.y - kBoxFaceTolerance && p.y <= boxMax.y + kBoxFaceTolerance &&
           p.z >= boxMin.z - kBoxFaceTolerance && p.z <= boxMax.z + kBoxFaceTolerance;
}
} // namespace

bool QRMATHIntersection::pointInSphere(const Vector3& p, const Vector3& centre, float radius)
{
    return QRMATHVector3::distanceSquared(p, centre) <= radius * radius;
}

Plane QRMATHIntersection::planeFromPoints(const Vector3& p1, const Vector3& p2, const Vector3& p3)
{
    return planeFromPointNormal(p1, QRMATHVector3::cross(p3 - p2, p1 - p2));
}

Plane QRMATHIntersection::planeFromPointNormal(const Vector3& p, const Vector3& normal)
{
    return {normal.x, normal.y, normal.z, -QRMATHVector3::dot(normal, p)};
}

bool QRMATHRaycast::segmentPlane(const Vector3& start, const Vector3& end, const Plane& plane, Vector3& hit)
{
    const Vector3 dir = end - start;
    const float denom = QRMATHVector3::dot(normalOf(plane), dir);
    const float startValue = planeValue(plane, start);
    if (std::fabs(denom) < kParallelTolerance) {
        if (std::fabs(startValue) >= kParallelTolerance)
            return false;
        hit = start;
        return true;
    }
    const float t = startValue / -denom;
    if (t < 0.0f || t > 1.0f)
        return false;
    hit = start + dir * t;
    return true;
}

bool QRMATHRaycast::segmentSphere(const Vector3& start, const Vector3& end, const Vector3& centre, float radius,
                                  Vector3& hit)
{
    if (QRMATHIntersection::pointInSphere(start, centre, radius)) {
        hit = start;
        return true;
    }
    const float len = QRMATHVector3::distance(start, end);
    const Vector3 dir = QRMATHVector3::direction(start, end);
    const Vector3 m = start - centre;
    const float b = 2.0f * QRMATHVector3::dot(dir, m);
    const float disc = b * b * 0.25f - (QRMATHVector3::dot(m, m) - radius * radius);
    if (disc < 0.0f)
        return false;
    // The start lies outside, so the nearer root is the entry point.
    const float t = -b * 0.5f - std::sqrt(disc);
    if (t < 0.0f || t > len)
        return false;
    hit = start + dir * t;
    return true;
}

bool QRMATHRaycast::segmentTriangle(const Vector3& start, const Vector3& end, const Vector3& a, const Vector3& b,
                                    const Vector3& c, Vector3& hit)
{
    const Plane plane = QRMATHIntersection::planeFromPoints(a, b, c);
    const Vector3 n = normalOf(plane);
    // A triangle without area (a repeated or collinear corner, common in meshes) has a zero normal:
    // every segment would count as lying in its "plane" and pass every edge test, so a picking or
    // ground ray would hit it at its own start from anywhere.
    if (n == Vector3{})
        return false;
    if (!segmentPlane(start, end, plane, hit))
        return false;
    // Each edge plane contains the edge and the triangle normal; the triangle lies on its
    // non-negative side whichever way the corners wind.
    const Vector3 corners[3][2] = {{b, a}, {c, b}, {a, c}};
    for (const auto& [from, to] : corners) {
        const Plane edgePlane = QRMATHIntersection::planeFromPointNormal(to, QRMATHVector3::cross(to - from, n));
        if (planeValue(edgePlane, hit) < 0.0f)
            return false;
    }
    return true;
}

bool QRMATHRaycast::segmentBox(const Vector3& start, const Vector3& end, const Vector3& boxMin, const Vector3& boxMax,
                               Vector3& hit)
{
    const Plane faces[6] = {
        QRMATHIntersection::planeFromPointNormal(boxMin, {-1.0f, 0.0f, 0.0f}),
        QRMATHIntersection::planeFromPointNormal(boxMax, {1.0f, 0.0f, 0.0f}),
        QRMATHIntersection::planeFromPointNormal(boxMin, {0.0f, -1.0f, 0.0f}),
        QRMATHIntersection::planeFromPointNormal(boxMax, {0.0f, 1.0f, 0.0f}),
        QRMATHIntersection::planeFromPointNormal(boxMin, {0.0f, 0.0f, -1.0f}),
        QRMATHIntersection::planeFromPointNormal(boxMax, {0.0f, 0.0f, 1.0f}),
    };
    // The first accepted face always counts: a fixed "far" starting distance would drop crossings
    // more than a few thousand units away while still reporting a hit.
    bool found = false;
    float bestDistance = 0.0f;
    for (const Plane& face : faces) {
        Vector3 point;
        if (!segmentPlane(start, end, face, point) || !withinBox(point, boxMin, boxMax))
            continue;
        const float distance = QRMATHVector3::distanceSquared(start, point);
        if (!found || distance < bestDistance) {
            bestDistance = distance;
            hit = point;
            found = true;
        }
    }
    return found;
}
