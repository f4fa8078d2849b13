#pragma once
// GLM as the independent oracle of the math tests: conversions from the engine's records,
// tolerance comparisons that print both sides, and a seeded source of test inputs.

#include "math/qr_math_types.h"

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

inline glm::vec3 toGlm(const Vector3& v) { return {v.x, v.y, v.z}; }
inline glm::vec4 toGlm(const Vector4& v) { return {v.x, v.y, v.z, v.w}; }
inline glm::quat toGlm(const Quaternion& q) { return glm::quat(q.w, q.x, q.y, q.z); }
inline glm::mat3 toGlm(const Matrix3& m) { return glm::make_mat3(m.m); }
inline glm::mat4 toGlm(const Matrix4& m) { return glm::make_mat4(m.m); }

// Element-wise |actual - expected| <= tolerance; glm::quat is compared as (x, y, z, w).
template <class Actual, class Expected>
::testing::AssertionResult near(const Actual& actual, const Expected& expected, float tolerance)
{
    const glm::length_t count = sizeof(Expected) / sizeof(float);
    const float* a = reinterpret_cast<const float*>(&actual);
    const float* e = reinterpret_cast<const float*>(&expected);
    static_assert(sizeof(Actual) == sizeof(Expected));
    for (glm::length_t i = 0; i < count; ++i) {
        if (!(std::fabs(a[i] - e[i]) <= tolerance)) {
            std::ostringstream text;
            text << "element " << i << " differs by more than " << tolerance << "\n  actual:  ";
            for (glm::length_t j = 0; j < count; ++j)
                text << a[j] << " ";
            text << "\n  expected: ";
            for (glm::length_t j = 0; j < count; ++j)
                text << e[j] << " ";
            return ::testing::AssertionFailure() << text.str();
        }
    }
    return ::testing::AssertionSuccess();
}

// Reproducible test inputs.
class Sampler {
public:
    explicit Sampler(unsigned seed = 20240601u) : engine_(seed) {}
    float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(engine_); }
    Vector3 vector(float lo, float hi) { return {uniform(lo, hi), uniform(lo, hi), uniform(lo, hi)}; }
    Matrix4 matrix(float lo, float hi)
    {
        Matrix4 m;
        for (float& element : m.m)
            element = uniform(lo, hi);
        return m;
    }

private:
    std::mt19937 engine_;
};
