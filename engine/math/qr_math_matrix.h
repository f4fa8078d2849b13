#pragma once
// Matrix operations of the math module: the 2x2, 3x3 and 4x4 matrix objects, owned by the math
// module, stateless, with static operations. Column vectors: a matrix applies to a vector as M*v,
// and the product A*B applies B first.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

// a*b: b is applied first.
Matrix4 operator*(const Matrix4& a, const Matrix4& b);

class QRMATHMatrix2 : public QRObject {
public:
    explicit QRMATHMatrix2(QRObject* owner) : QRObject(owner, "QR MATH Matrix2") {}

    static Matrix2 identity() { return {{1.0f, 0.0f, 0.0f, 1.0f}}; }
};

class QRMATHMatrix3 : public QRObject {
public:
    explicit QRMATHMatrix3(QRObject* owner) : QRObject(owner, "QR MATH Matrix3") {}

    static Matrix3 identity();
    // Rotations by angle degrees about the Y and Z axes.
    static Matrix3 rotationY(float angle);
    static Matrix3 rotationZ(float angle);
    // The upper-left 3x3 of m.
    static Matrix3 fromMatrix4(const Matrix4& m);
    static float determinant(const Matrix3& m);
    // Adjugate / determinant. There is no tolerance: only an exactly singular m (determinant 0)
    // has no inverse, and then m itself is returned.
    static Matrix3 inverse(const Matrix3& m);
    static Matrix3 multiplyScalar(const Matrix3& m, float s);
};

class QRMATHMatrix4 : public QRObject {
public:
    explicit QRMATHMatrix4(QRObject* owner) : QRObject(owner, "QR MATH Matrix4") {}

    static Matrix4 identity();
    static Matrix4 translation(const Vector3& v);
    static Matrix4 scaling(const Vector3& v);
    static Matrix4 uniformScaling(float s);
    // The OpenGL perspective projection (gluPerspective); fovY in degrees.
    static Matrix4 perspective(float aspect, float fovY, float zNear, float zFar);
    // m * [r 0; 0 1]: rotates m's first three columns by r and keeps m's translation.
    static Matrix4 multiply3(const Matrix4& m, const Matrix3& r);
    // m * translation(v), m * scaling(v), m * uniformScaling(s), m * toMatrix4(q).
    static Matrix4 translate(const Matrix4& m, const Vector3& v);
    static Matrix4 scale(const Matrix4& m, const Vector3& v);
    static Matrix4 scaleUniform(const Matrix4& m, float s);
    static Matrix4 rotate(const Matrix4& m, const Quaternion& q);
    // The upper 3x4 of m applied to (p, 1); no division by w.
    static Vector3 transformPoint(const Matrix4& m, const Vector3& p);
    static Vector4 transformVector4(const Matrix4& m, const Vector4& v);
    static float determinant(const Matrix4& m);
    // Adjugate / determinant; an exactly singular m is returned unchanged (see Matrix3).
    static Matrix4 inverse(const Matrix4& m);
    static Matrix4 multiplyScalar(const Matrix4& m, float s);
    // The world directions of a view (world-to-eye) matrix, each of unit length.
    static Vector3 viewForward(const Matrix4& m);
    static Vector3 viewUp(const Matrix4& m);
    static Vector3 viewRight(const Matrix4& m);
};
