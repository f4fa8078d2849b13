#include "math/qr_math_vector.h"

#include <algorithm>
#include <cmath>

float QRMATHVector3::length(const Vector3& v)
{
    return std::sqrt(dot(v, v));
}

Vector3 QRMATHVector3::cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - b.y * a.z, -(a.x * b.z - b.x * a.z), a.x * b.y - b.x * a.y};
}

Vector3 QRMATHVector3::normalize(const Vector3& v)
{
    const float len = length(v);
    if (len == 0.0f)
        return {1.0f, 0.0f, 0.0f};
    return {v.x / len, v.y / len, v.z / len};
}

float QRMATHVector3::distanceSquared(const Vector3& a, const Vector3& b)
{
    const Vector3 d = b - a;
    return dot(d, d);
}

float QRMATHVector3::angleBetween(const Vector3& a, const Vector3& b)
{
    const float lengths = length(a) * length(b);
    if (lengths == 0.0f)
        return 0.0f;
    // Rounding can push the cosine of (anti)parallel vectors just past +-1, where acos has no value.
    const float cosine = std::clamp(dot(a, b) / lengths, -1.0f, 1.0f);
    return std::acos(cosine) * kRadiansToDegrees;
}
