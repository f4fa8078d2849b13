#pragma once
// The math value types every module computes with: plain records of single floats, passed and
// returned by value, byte layouts fixed (files store them as they lie in memory). Matrices are
// column-major: element (row r, column c) of an N x N matrix sits at index c * N + r, exactly the
// layout OpenGL loads. Every angle at every interface is in degrees.

inline constexpr float kDegreesToRadians = 0.017453292519943295769f;
inline constexpr float kRadiansToDegrees = 57.295779513082320877f;

struct Vector2 {
    float x = 0.0f, y = 0.0f;
    friend bool operator==(const Vector2&, const Vector2&) = default;
};

struct Vector3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    friend bool operator==(const Vector3&, const Vector3&) = default;
};

// Also a colour (r, g, b, a).
struct Vector4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
    friend bool operator==(const Vector4&, const Vector4&) = default;
};

// Rotation quaternion; the scalar part w comes last. Default-constructed it is the identity
// (0, 0, 0, 1); a default-constructed matrix, by contrast, is all zeros.
struct Quaternion {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
    friend bool operator==(const Quaternion&, const Quaternion&) = default;
};

struct Matrix2 {
    float m[4] = {};
    float& operator[](int index) { return m[index]; }
    float operator[](int index) const { return m[index]; }
    friend bool operator==(const Matrix2&, const Matrix2&) = default;
};

struct Matrix3 {
    float m[9] = {};
    float& operator[](int index) { return m[index]; }
    float operator[](int index) const { return m[index]; }
    friend bool operator==(const Matrix3&, const Matrix3&) = default;
};

// Translation in elements 12, 13, 14.
struct Matrix4 {
    float m[16] = {};
    float& operator[](int index) { return m[index]; }
    float operator[](int index) const { return m[index]; }
    const float* data() const { return m; }
    friend bool operator==(const Matrix4&, const Matrix4&) = default;
};

// The points p with a*p.x + b*p.y + c*p.z + d = 0; the normal (a, b, c) need not be of unit length.
struct Plane {
    float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
    friend bool operator==(const Plane&, const Plane&) = default;
};

static_assert(sizeof(Vector2) == 8 && sizeof(Vector3) == 12 && sizeof(Vector4) == 16);
static_assert(sizeof(Quaternion) == 16 && sizeof(Plane) == 16);
static_assert(sizeof(Matrix2) == 16 && sizeof(Matrix3) == 36 && sizeof(Matrix4) == 64);
