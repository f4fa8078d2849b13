#include "math/qr_math_quaternion.h"

#include "math/qr_math_vector.h"

#include <cmath>

namespace {
// Below this 1 + a.b the directions count as opposite: about 0.08 degrees from a half turn, where
// the cross product has lost most of its significant bits.
constexpr float kOppositeTolerance = 0.000001f;

Quaternion fromAxisAngleUnit(const Vector3& unitAxis, float angle)
{
    const float half = angle * 0.5f * kDegreesToRadians;
    const float s = std::sin(half);
    return {unitAxis.x * s, unitAxis.y * s, unitAxis.z * s, std::cos(half)};
}
} // namespace

Quaternion operator*(const Quaternion& a, const Quaternion& b)
{
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion QRMATHQuaternion::fromAxisAngle(const Vector3& axis, float angle)
{
    if (QRMATHVector3::dot(axis, axis) < 0.000001f)
        return identity();
    return fromAxisAngleUnit(QRMATHVector3::normalize(axis), angle);
}

Quaternion QRMATHQuaternion::fromRotationX(float angle)
{
    return fromAxisAngle({1.0f, 0.0f, 0.0f}, angle);
}

Quaternion QRMATHQuaternion::fromRotationY(float angle)
{
    return fromAxisAngle({0.0f, 1.0f, 0.0f}, angle);
}

Quaternion QRMATHQuaternion::rotateX(const Quaternion& q, float angle)
{
    return q * fromAxisAngle({1.0f, 0.0f, 0.0f}, angle);
}

Quaternion QRMATHQuaternion::rotateY(const Quaternion& q, float angle)
{
    return q * fromAxisAngle({0.0f, 1.0f, 0.0f}, angle);
}

Quaternion QRMATHQuaternion::rotateZ(const Quaternion& q, float angle)
{
    return q * fromAxisAngle({0.0f, 0.0f, 1.0f}, angle);
}

Vector3 QRMATHQuaternion::rotateVector(const Quaternion& q, const Vector3& v)
{
    // v' = v + w*t + u x t with u the vector part and t = 2 (u x v): q*v*q^-1 multiplied out.
    const Vector3 u{q.x, q.y, q.z};
    const Vector3 t = QRMATHVector3::cross(u, v) * 2.0f;
    return v + t * q.w + QRMATHVector3::cross(u, t);
}

Quaternion QRMATHQuaternion::inverse(const Quaternion& q)
{
    Quaternion out{-q.x, -q.y, -q.z, q.w};
    const float norm = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (norm - 1.0f > 0.00001f)
        out = {out.x / norm, out.y / norm, out.z / norm, out.w / norm};
    return out;
}

Matrix3 QRMATHQuaternion::toMatrix3(const Quaternion& q)
{
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float xw = q.x * q.w, yw = q.y * q.w, zw = q.z * q.w;
    return {{1.0f - 2.0f * (yy + zz), 2.0f * (xy + zw), 2.0f * (xz - yw),  //
             2.0f * (xy - zw), 1.0f - 2.0f * (xx + zz), 2.0f * (yz + xw),  //
             2.0f * (xz + yw), 2.0f * (yz - xw), 1.0f - 2.0f * (xx + yy)}};
}

Matrix4 QRMATHQuaternion::toMatrix4(const Quaternion& q)
{
    const Matrix3 r = toMatrix3(q);
    return {{r[0], r[1], r[2], 0.0f, r[3], r[4], r[5], 0.0f, r[6], r[7], r[8], 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}};
}

Vector3 QRMATHQuaternion::forward(const Quaternion& q)
{
    return rotateVector(q, {0.0f, 0.0f, -1.0f});
}

Vector3 QRMATHQuaternion::up(const Quaternion& q)
{
    return rotateVector(q, {0.0f, 1.0f, 0.0f});
}

Vector3 QRMATHQuaternion::right(const Quaternion& q)
{
    return rotateVector(q, {1.0f, 0.0f, 0.0f});
}

Quaternion QRMATHQuaternion::fromTo(const Vector3& a, const Vector3& b)
{
    const Vector3 from = QRMATHVector3::normalize(a);
    const Vector3 to = QRMATHVector3::normalize(b);
    const float onePlusCos = 1.0f + QRMATHVector3::dot(from, to);
    if (onePlusCos < kOppositeTolerance) {
        // Half turn: +Y with its component along a removed, or +X when a is vertical.
        Vector3 reference{0.0f, 1.0f, 0.0f};
        if (std::fabs(from.y) > 0.99f)
            reference = {1.0f, 0.0f, 0.0f};
        const Vector3 axis = reference - from * QRMATHVector3::dot(reference, from);
        return fromAxisAngleUnit(QRMATHVector3::normalize(axis), 180.0f);
    }
    const Vector3 c = QRMATHVector3::cross(from, to);
    const float s = std::sqrt(2.0f * onePlusCos);
    return {c.x / s, c.y / s, c.z / s, s * 0.5f};
}
