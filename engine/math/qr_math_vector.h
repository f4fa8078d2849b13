#pragma once
// Vector arithmetic: the operators of the vector records and the 3-component operations of the
// vector math object. The objects are owned by the math module and carry no state; every
// operation is static, so code that holds no math object calls them directly.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

inline Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector3 operator-(const Vector3& v) { return {-v.x, -v.y, -v.z}; }
inline Vector3 operator*(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
inline Vector3& operator+=(Vector3& a, const Vector3& b) { return a = a + b; }
inline Vector3& operator-=(Vector3& a, const Vector3& b) { return a = a - b; }

inline Vector4 operator+(const Vector4& a, const Vector4& b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
inline Vector4 operator*(const Vector4& v, float s) { return {v.x * s, v.y * s, v.z * s, v.w * s}; }

class QRMATHVector2 : public QRObject {
public:
    explicit QRMATHVector2(QRObject* owner) : QRObject(owner, "QR MATH Vector2") {}
};

class QRMATHVector3 : public QRObject {
public:
    explicit QRMATHVector3(QRObject* owner) : QRObject(owner, "QR MATH Vector3") {}

    static float length(const Vector3& v);
    static float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
    static Vector3 cross(const Vector3& a, const Vector3& b);
    // Component-wise product.
    static Vector3 multiply(const Vector3& a, const Vector3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
    // A zero-length v gives (1, 0, 0), so callers always get a usable direction.
    static Vector3 normalize(const Vector3& v);
    static float distance(const Vector3& a, const Vector3& b) { return length(b - a); }
    static float distanceSquared(const Vector3& a, const Vector3& b);
    // Unit vector from a to b; coincident points give (1, 0, 0).
    static Vector3 direction(const Vector3& a, const Vector3& b) { return normalize(b - a); }
    // Degrees in [0, 180]; 0 when either vector has zero length.
    static float angleBetween(const Vector3& a, const Vector3& b);
    // a + (b - a) * t, t not clamped.
    static Vector3 lerp(const Vector3& a, const Vector3& b, float t) { return a + (b - a) * t; }
};

class QRMATHVector4 : public QRObject {
public:
    explicit QRMATHVector4(QRObject* owner) : QRObject(owner, "QR MATH Vector4") {}
};
