#include "math/qr_math_matrix.h"

#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"

#include <cmath>
#include <cstddef>
#include <iterator>

namespace {
float at(const Matrix3& m, int row, int column)
{
    return m[column * 3 + row];
}

float at(const Matrix4& m, int row, int column)
{
    return m[column * 4 + row];
}

// Signed determinant of the 3x3 that remains when row and column are struck from m.
float cofactor(const Matrix4& m, int row, int column)
{
    Matrix3 minor;
    int index = 0;
    for (int c = 0; c < 4; ++c) {
        if (c == column)
            continue;
        for (int r = 0; r < 4; ++r) {
            if (r != row)
                minor[index++] = at(m, r, c);
        }
    }
    const float sign = (row + column) % 2 == 0 ? 1.0f : -1.0f;
    return sign * QRMATHMatrix3::determinant(minor);
}

// Signed determinant of the 2x2 that remains when row and column are struck from m.
float cofactor(const Matrix3& m, int row, int column)
{
    const int r0 = row == 0 ? 1 : 0, r1 = row == 2 ? 1 : 2;
    const int c0 = column == 0 ? 1 : 0, c1 = column == 2 ? 1 : 2;
    const float sign = (row + column) % 2 == 0 ? 1.0f : -1.0f;
    return sign * (at(m, r0, c0) * at(m, r1, c1) - at(m, r0, c1) * at(m, r1, c0));
}

template <class Matrix>
Matrix timesScalar(const Matrix& m, float s)
{
    Matrix out;
    for (std::size_t i = 0; i < std::size(m.m); ++i)
        out.m[i] = m.m[i] * s;
    return out;
}

// The transposed cofactor matrix divided by det; an exactly singular matrix comes back unchanged.
template <class Matrix, int N>
Matrix adjugateInverse(const Matrix& m, float det)
{
    if (det == 0.0f)
        return m;
    Matrix adjugate;
    for (int c = 0; c < N; ++c) {
        for (int r = 0; r < N; ++r)
            adjugate[c * N + r] = cofactor(m, c, r);
    }
    return timesScalar(adjugate, 1.0f / det);
}
} // namespace

Matrix4 operator*(const Matrix4& a, const Matrix4& b)
{
    Matrix4 out;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            out[c * 4 + r] = at(a, r, 0) * at(b, 0, c) + at(a, r, 1) * at(b, 1, c) + at(a, r, 2) * at(b, 2, c) +
                             at(a, r, 3) * at(b, 3, c);
        }
    }
    return out;
}

Matrix3 QRMATHMatrix3::identity()
{
    return {{1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f}};
}

Matrix3 QRMATHMatrix3::rotationY(float angle)
{
    const float radians = angle * kDegreesToRadians;
    const float c = std::cos(radians), s = std::sin(radians);
    return {{c, 0.0f, -s, 0.0f, 1.0f, 0.0f, s, 0.0f, c}};
}

Matrix3 QRMATHMatrix3::rotationZ(float angle)
{
    const float radians = angle * kDegreesToRadians;
    const float c = std::cos(radians), s = std::sin(radians);
    return {{c, s, 0.0f, -s, c, 0.0f, 0.0f, 0.0f, 1.0f}};
}

Matrix3 QRMATHMatrix3::fromMatrix4(const Matrix4& m)
{
    return {{m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]}};
}

float QRMATHMatrix3::determinant(const Matrix3& m)
{
    return at(m, 0, 0) * cofactor(m, 0, 0) + at(m, 0, 1) * cofactor(m, 0, 1) + at(m, 0, 2) * cofactor(m, 0, 2);
}

Matrix3 QRMATHMatrix3::inverse(const Matrix3& m)
{
    return adjugateInverse<Matrix3, 3>(m, determinant(m));
}

Matrix3 QRMATHMatrix3::multiplyScalar(const Matrix3& m, float s)
{
    return timesScalar(m, s);
}

Matrix4 QRMATHMatrix4::identity()
{
    return uniformScaling(1.0f);
}

Matrix4 QRMATHMatrix4::translation(const Vector3& v)
{
    Matrix4 out = identity();
    out[12] = v.x;
    out[13] = v.y;
    out[14] = v.z;
    return out;
}

Matrix4 QRMATHMatrix4::scaling(const Vector3& v)
{
    Matrix4 out;
    out[0] = v.x;
    out[5] = v.y;
    out[10] = v.z;
    out[15] = 1.0f;
    return out;
}

Matrix4 QRMATHMatrix4::uniformScaling(float s)
{
    return scaling({s, s, s});
}

Matrix4 QRMATHMatrix4::perspective(float aspect, float fovY, float zNear, float zFar)
{
    const float f = 1.0f / std::tan(fovY * 0.5f * kDegreesToRadians);
    Matrix4 out;
    out[0] = f / aspect;
    out[5] = f;
    out[10] = (zFar + zNear) / (zNear - zFar);
    out[11] = -1.0f;
    out[14] = 2.0f * zFar * zNear / (zNear - zFar);
    return out;
}

Matrix4 QRMATHMatrix4::multiply3(const Matrix4& m, const Matrix3& r)
{
    Matrix4 out = m;
    for (int c = 0; c < 3; ++c) {
        for (int row = 0; row < 4; ++row)
            out[c * 4 + row] = at(m, row, 0) * at(r, 0, c) + at(m, row, 1) * at(r, 1, c) + at(m, row, 2) * at(r, 2, c);
    }
    return out;
}

Matrix4 QRMATHMatrix4::translate(const Matrix4& m, const Vector3& v)
{
    return m * translation(v);
}

Matrix4 QRMATHMatrix4::scale(const Matrix4& m, const Vector3& v)
{
    return m * scaling(v);
}

Matrix4 QRMATHMatrix4::scaleUniform(const Matrix4& m, float s)
{
    return m * uniformScaling(s);
}

Matrix4 QRMATHMatrix4::rotate(const Matrix4& m, const Quaternion& q)
{
    return m * QRMATHQuaternion::toMatrix4(q);
}

Vector3 QRMATHMatrix4::transformPoint(const Matrix4& m, const Vector3& p)
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Vector4 QRMATHMatrix4::transformVector4(const Matrix4& m, const Vector4& v)
{
    return {m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12] * v.w, m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13] * v.w,
            m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14] * v.w, m[3] * v.x + m[7] * v.y + m[11] * v.z + m[15] * v.w};
}

float QRMATHMatrix4::determinant(const Matrix4& m)
{
    float det = 0.0f;
    for (int c = 0; c < 4; ++c)
        det += at(m, 0, c) * cofactor(m, 0, c);
    return det;
}

Matrix4 QRMATHMatrix4::inverse(const Matrix4& m)
{
    return adjugateInverse<Matrix4, 4>(m, determinant(m));
}

Matrix4 QRMATHMatrix4::multiplyScalar(const Matrix4& m, float s)
{
    return timesScalar(m, s);
}

Vector3 QRMATHMatrix4::viewForward(const Matrix4& m)
{
    return QRMATHVector3::normalize({-m[2], -m[6], -m[10]});
}

Vector3 QRMATHMatrix4::viewUp(const Matrix4& m)
{
    return QRMATHVector3::normalize({m[1], m[5], m[9]});
}

Vector3 QRMATHMatrix4::viewRight(const Matrix4& m)
{
    return QRMATHVector3::normalize({m[0], m[4], m[8]});
}
