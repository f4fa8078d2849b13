#pragma once
// Quaternion rotations: the quaternion math object, owned by the math module, stateless, with
// static operations. An orientation's forward is its rotation of (0, 0, -1), up of (0, 1, 0) and
// right of (1, 0, 0); angles are in degrees.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

// Hamilton product a*b: rotating by a*b rotates by b first, then by a.
Quaternion operator*(const Quaternion& a, const Quaternion& b);

class QRMATHQuaternion : public QRObject {
public:
    explicit QRMATHQuaternion(QRObject* owner) : QRObject(owner, "QR MATH Quaternion") {}

    static Quaternion identity() { return {0.0f, 0.0f, 0.0f, 1.0f}; }
    // Rotation by angle degrees about axis (normalised here); an axis shorter than 0.001 gives
    // the identity.
    static Quaternion fromAxisAngle(const Vector3& axis, float angle);
    static Quaternion fromRotationX(float angle);
    static Quaternion fromRotationY(float angle);
    // q * rotation about the axis: the turn happens in q's own frame.
    static Quaternion rotateX(const Quaternion& q, float angle);
    static Quaternion rotateY(const Quaternion& q, float angle);
    static Quaternion rotateZ(const Quaternion& q, float angle);
    // q*v*q^-1 for a unit q.
    static Vector3 rotateVector(const Quaternion& q, const Vector3& v);
    // The conjugate, divided by |q| when |q| exceeds 1 by more than 0.00001.
    static Quaternion inverse(const Quaternion& q);
    static Matrix3 toMatrix3(const Quaternion& q);
    static Matrix4 toMatrix4(const Quaternion& q);
    static Vector3 forward(const Quaternion& q);
    static Vector3 up(const Quaternion& q);
    static Vector3 right(const Quaternion& q);
    // The shortest-arc rotation that turns direction a into direction b. Opposite directions
    // have no single shortest arc: they get a half turn about the axis perpendicular to a that
    // lies closest to +Y, so an upright entity turning round stays upright.
    static Quaternion fromTo(const Vector3& a, const Vector3& b);
};
