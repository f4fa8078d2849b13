#include "glm_oracle.h"

#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"

#include <glm/gtc/matrix_transform.hpp>

using M3 = QRMATHMatrix3;
using M4 = QRMATHMatrix4;

namespace {
// A random rigid transform with scale: the kind of matrix the engine builds.
Matrix4 randomTransform(Sampler& sampler)
{
    const Quaternion q = QRMATHQuaternion::fromAxisAngle(sampler.vector(-1.0f, 1.0f), sampler.uniform(-180.0f, 180.0f));
    const Matrix4 m = M4::rotate(M4::translation(sampler.vector(-100.0f, 100.0f)), q);
    return M4::scale(m, sampler.vector(0.2f, 5.0f));
}
} // namespace

TEST(QRMATHMatrix4Test, LayoutIsColumnMajorWithTranslationIn12To14)
{
    const Matrix4 t = M4::translation({1.0f, 2.0f, 3.0f});
    EXPECT_EQ(t[12], 1.0f);
    EXPECT_EQ(t[13], 2.0f);
    EXPECT_EQ(t[14], 3.0f);
    EXPECT_TRUE(near(t, glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 2.0f, 3.0f)), 0.0f));
    EXPECT_TRUE(near(M4::identity(), glm::mat4(1.0f), 0.0f));
    EXPECT_TRUE(near(M4::scaling({2.0f, 3.0f, 4.0f}), glm::scale(glm::mat4(1.0f), glm::vec3(2.0f, 3.0f, 4.0f)), 0.0f));
    EXPECT_TRUE(near(M3::identity(), glm::mat3(1.0f), 0.0f));
    EXPECT_TRUE(near(QRMATHMatrix2::identity(), glm::mat2(1.0f), 0.0f));
}

TEST(QRMATHMatrix4Test, PerspectiveIsTheOpenGLProjection)
{
    const Matrix4 p = M4::perspective(4.0f / 3.0f, 90.0f, 1.0f, 100.0f);
    EXPECT_NEAR(p[5], 1.0f, 1e-6f);
    EXPECT_NEAR(p[0], 0.75f, 1e-6f);
    Sampler sampler;
    for (int i = 0; i < 50; ++i) {
        const float aspect = sampler.uniform(0.5f, 2.5f), fovY = sampler.uniform(20.0f, 120.0f);
        const float zNear = sampler.uniform(0.1f, 2.0f), zFar = sampler.uniform(50.0f, 5000.0f);
        EXPECT_TRUE(near(M4::perspective(aspect, fovY, zNear, zFar),
                         glm::perspective(glm::radians(fovY), aspect, zNear, zFar), 1e-4f));
    }
}

TEST(QRMATHMatrix4Test, ProductsAndTransformsMatchGlm)
{
    Sampler sampler;
    for (int i = 0; i < 100; ++i) {
        // a as the engine builds them, b with a bottom row that projective products must carry.
        const Matrix4 a = randomTransform(sampler), b = sampler.matrix(-2.0f, 2.0f);
        const glm::mat4 ga = toGlm(a), gb = toGlm(b);
        const Vector3 v = sampler.vector(-10.0f, 10.0f);
        const float s = sampler.uniform(0.1f, 4.0f);
        const Quaternion q = QRMATHQuaternion::fromAxisAngle(sampler.vector(-1.0f, 1.0f), sampler.uniform(-180.0f, 180.0f));
        const Matrix3 r = QRMATHQuaternion::toMatrix3(q);
        EXPECT_TRUE(near(a * b, ga * gb, 2e-2f));
        EXPECT_TRUE(near(M4::translate(a, v), glm::translate(ga, toGlm(v)), 1e-3f));
        EXPECT_TRUE(near(M4::scale(a, v), glm::scale(ga, toGlm(v)), 1e-3f));
        EXPECT_TRUE(near(M4::scaleUniform(a, s), glm::scale(ga, glm::vec3(s)), 1e-3f));
        EXPECT_TRUE(near(M4::rotate(a, q), ga * glm::mat4_cast(toGlm(q)), 1e-3f));
        EXPECT_TRUE(near(M4::multiply3(a, r), ga * glm::mat4(toGlm(r)), 1e-3f));
        EXPECT_TRUE(near(M4::multiply3(b, r), gb * glm::mat4(toGlm(r)), 1e-5f));
        EXPECT_TRUE(near(M4::transformVector4(b, {v.x, v.y, v.z, s}), gb * glm::vec4(toGlm(v), s), 1e-4f));
        EXPECT_TRUE(near(M4::transformPoint(a, v), glm::vec3(ga * glm::vec4(toGlm(v), 1.0f)), 1e-3f));
        const Vector4 w{v.x, v.y, v.z, s};
        EXPECT_TRUE(near(M4::transformVector4(a, w), ga * toGlm(w), 1e-3f));
        EXPECT_TRUE(near(M3::fromMatrix4(a), glm::mat3(ga), 0.0f));
        EXPECT_TRUE(near(M4::multiplyScalar(b, s), gb * s, 1e-5f));
        EXPECT_TRUE(near(M3::multiplyScalar(r, s), toGlm(r) * s, 1e-5f));
    }
}

TEST(QRMATHMatrix4Test, TransformPointIgnoresTheBottomRow)
{
    Matrix4 m = M4::translation({1.0f, 2.0f, 3.0f});
    m[3] = 5.0f;
    m[15] = 2.0f;
    EXPECT_EQ(M4::transformPoint(m, {1.0f, 1.0f, 1.0f}), (Vector3{2.0f, 3.0f, 4.0f}));
}

TEST(QRMATHMatrix4Test, InverseAndDeterminantMatchGlm)
{
    Sampler sampler;
    for (int i = 0; i < 100; ++i) {
        Matrix4 m = sampler.matrix(-1.0f, 1.0f);
        for (int d = 0; d < 16; d += 5)
            m[d] += 3.0f;  // diagonally dominant, so well conditioned
        const glm::mat4 gm = toGlm(m);
        EXPECT_NEAR(M4::determinant(m), glm::determinant(gm), 1e-3f * std::fabs(glm::determinant(gm)));
        EXPECT_TRUE(near(M4::inverse(m), glm::inverse(gm), 1e-5f));
        const Matrix3 m3 = M3::fromMatrix4(m);
        EXPECT_NEAR(M3::determinant(m3), glm::determinant(glm::mat3(gm)), 1e-3f * std::fabs(glm::determinant(glm::mat3(gm))));
        EXPECT_TRUE(near(M3::inverse(m3), glm::inverse(glm::mat3(gm)), 1e-5f));
        EXPECT_TRUE(near(M4::inverse(m) * m, glm::mat4(1.0f), 1e-5f));
    }
}

TEST(QRMATHMatrix4Test, SingularMatrixIsReturnedUnchangedButANearlySingularOneIsInverted)
{
    Matrix4 singular = M4::translation({1.0f, 2.0f, 3.0f});
    singular[1] = singular[0];
    singular[5] = singular[4];
    singular[9] = singular[8];
    singular[13] = singular[12];  // row 1 equals row 0
    ASSERT_EQ(M4::determinant(singular), 0.0f);
    EXPECT_EQ(M4::inverse(singular), singular);
    const Matrix3 singular3{{1.0f, 2.0f, 3.0f, 2.0f, 4.0f, 6.0f, 0.0f, 1.0f, 5.0f}};
    ASSERT_EQ(M3::determinant(singular3), 0.0f);
    EXPECT_EQ(M3::inverse(singular3), singular3);

    const Matrix4 flat = M4::scaling({1.0f, 1.0f, 1e-6f});
    EXPECT_NEAR(M4::inverse(flat)[10], 1e6f, 1.0f);
}

TEST(QRMATHMatrix3Test, RotationsTurnCounterClockwiseAndMatchGlm)
{
    EXPECT_TRUE(near(toGlm(M3::rotationY(90.0f)) * glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0.0f, 0.0f, -1.0f), 1e-6f));
    EXPECT_TRUE(near(toGlm(M3::rotationZ(90.0f)) * glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0.0f, 1.0f, 0.0f), 1e-6f));
    Sampler sampler;
    for (int i = 0; i < 50; ++i) {
        const float angle = sampler.uniform(-720.0f, 720.0f);
        const glm::mat4 y = glm::rotate(glm::mat4(1.0f), glm::radians(angle), glm::vec3(0.0f, 1.0f, 0.0f));
        const glm::mat4 z = glm::rotate(glm::mat4(1.0f), glm::radians(angle), glm::vec3(0.0f, 0.0f, 1.0f));
        EXPECT_TRUE(near(M3::rotationY(angle), glm::mat3(y), 1e-5f));
        EXPECT_TRUE(near(M3::rotationZ(angle), glm::mat3(z), 1e-5f));
    }
}

TEST(QRMATHMatrix4Test, ViewDirectionsMatchLookAt)
{
    Sampler sampler;
    for (int i = 0; i < 50; ++i) {
        const glm::vec3 eye = toGlm(sampler.vector(-100.0f, 100.0f)), target = toGlm(sampler.vector(-100.0f, 100.0f));
        const glm::vec3 up(0.0f, 1.0f, 0.0f);
        const glm::mat4 view = glm::lookAt(eye, target, up);
        Matrix4 m;
        std::copy(glm::value_ptr(view), glm::value_ptr(view) + 16, m.m);
        const glm::vec3 forward = glm::normalize(target - eye);
        const glm::vec3 right = glm::normalize(glm::cross(forward, up));
        EXPECT_TRUE(near(M4::viewForward(m), forward, 1e-5f));
        EXPECT_TRUE(near(M4::viewRight(m), right, 1e-5f));
        EXPECT_TRUE(near(M4::viewUp(m), glm::cross(right, forward), 1e-5f));
    }
}
