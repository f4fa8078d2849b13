#include "glm_oracle.h"

#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"

#include <glm/gtx/quaternion.hpp>

using Q = QRMATHQuaternion;

namespace {
Quaternion randomRotation(Sampler& sampler)
{
    return Q::fromAxisAngle(sampler.vector(-1.0f, 1.0f), sampler.uniform(-360.0f, 360.0f));
}

float norm(const Quaternion& q)
{
    return std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
}
} // namespace

TEST(QRMATHQuaternionTest, ConstructionMatchesGlmAngleAxis)
{
    Sampler sampler;
    for (int i = 0; i < 100; ++i) {
        const Vector3 axis = sampler.vector(-3.0f, 3.0f);
        const float angle = sampler.uniform(-360.0f, 360.0f);
        EXPECT_TRUE(near(Q::fromAxisAngle(axis, angle),
                         glm::angleAxis(glm::radians(angle), glm::normalize(toGlm(axis))), 1e-6f));
        EXPECT_TRUE(near(Q::fromRotationX(angle), glm::angleAxis(glm::radians(angle), glm::vec3(1, 0, 0)), 1e-6f));
        EXPECT_TRUE(near(Q::fromRotationY(angle), glm::angleAxis(glm::radians(angle), glm::vec3(0, 1, 0)), 1e-6f));
    }
}

TEST(QRMATHQuaternionTest, AnAxisShorterThanAThousandthGivesTheIdentity)
{
    EXPECT_EQ(Q::fromAxisAngle({0.0f, 0.0f, 0.0f}, 90.0f), Q::identity());
    EXPECT_EQ(Q::fromAxisAngle({0.0009f, 0.0f, 0.0f}, 90.0f), Q::identity());
    EXPECT_TRUE(near(Q::fromAxisAngle({0.0011f, 0.0f, 0.0f}, 90.0f), Q::fromRotationX(90.0f), 1e-6f));
    EXPECT_EQ(Q::identity(), (Quaternion{0.0f, 0.0f, 0.0f, 1.0f}));
}

TEST(QRMATHQuaternionTest, ProductsAndLocalTurnsMatchGlm)
{
    Sampler sampler;
    for (int i = 0; i < 100; ++i) {
        const Quaternion a = randomRotation(sampler), b = randomRotation(sampler);
        const float angle = sampler.uniform(-180.0f, 180.0f);
        const glm::quat ga = toGlm(a);
        EXPECT_TRUE(near(a * b, ga * toGlm(b), 1e-6f));
        EXPECT_TRUE(near(Q::rotateX(a, angle), ga * glm::angleAxis(glm::radians(angle), glm::vec3(1, 0, 0)), 1e-6f));
        EXPECT_TRUE(near(Q::rotateY(a, angle), ga * glm::angleAxis(glm::radians(angle), glm::vec3(0, 1, 0)), 1e-6f));
        EXPECT_TRUE(near(Q::rotateZ(a, angle), ga * glm::angleAxis(glm::radians(angle), glm::vec3(0, 0, 1)), 1e-6f));
    }
}

TEST(QRMATHQuaternionTest, VectorsAndMatricesMatchGlm)
{
    Sampler sampler;
    for (int i = 0; i < 100; ++i) {
        const Quaternion q = randomRotation(sampler);
        const glm::quat gq = toGlm(q);
        const Vector3 v = sampler.vector(-10.0f, 10.0f);
        EXPECT_TRUE(near(Q::rotateVector(q, v), gq * toGlm(v), 1e-5f));
        EXPECT_TRUE(near(Q::forward(q), gq * glm::vec3(0, 0, -1), 1e-6f));
        EXPECT_TRUE(near(Q::up(q), gq * glm::vec3(0, 1, 0), 1e-6f));
        EXPECT_TRUE(near(Q::right(q), gq * glm::vec3(1, 0, 0), 1e-6f));
        EXPECT_TRUE(near(Q::toMatrix3(q), glm::mat3_cast(gq), 1e-6f));
        EXPECT_TRUE(near(Q::toMatrix4(q), glm::mat4_cast(gq), 1e-6f));
        EXPECT_TRUE(near(Q::inverse(q), glm::inverse(gq), 1e-6f));
    }
}

TEST(QRMATHQuaternionTest, InverseDividesByTheNormOnlyWhenItExceedsOne)
{
    const Quaternion q = Q::fromAxisAngle({1.0f, 2.0f, 3.0f}, 40.0f);
    const Quaternion conjugate{-q.x, -q.y, -q.z, q.w};
    const Quaternion longer{q.x * 2.0f, q.y * 2.0f, q.z * 2.0f, q.w * 2.0f};
    EXPECT_TRUE(near(Q::inverse(longer), conjugate, 1e-6f));
    const Quaternion shorter{q.x * 0.5f, q.y * 0.5f, q.z * 0.5f, q.w * 0.5f};
    EXPECT_EQ(Q::inverse(shorter), (Quaternion{-shorter.x, -shorter.y, -shorter.z, shorter.w}));
}

TEST(QRMATHQuaternionTest, YawThenLocalPitchLooksLeftAndUp)
{
    // The cameras' orientation: yaw about the world's vertical, then pitch about the local X axis.
    const Quaternion q = Q::rotateX(Q::fromRotationY(90.0f), 45.0f);
    const float h = std::sqrt(0.5f);
    EXPECT_TRUE(near(Q::forward(q), glm::vec3(-h, h, 0.0f), 1e-6f));
    EXPECT_TRUE(near(Q::right(q), glm::vec3(0.0f, 0.0f, -1.0f), 1e-6f));
    EXPECT_TRUE(near(QRMATHMatrix4::transformPoint(Q::toMatrix4(q), {0.0f, 0.0f, -1.0f}), glm::vec3(-h, h, 0.0f), 1e-6f));
}

TEST(QRMATHQuaternionTest, FromToIsTheShortestArc)
{
    Sampler sampler;
    for (int i = 0; i < 200; ++i) {
        const Vector3 a = sampler.vector(-5.0f, 5.0f), b = sampler.vector(-5.0f, 5.0f);
        const glm::vec3 from = glm::normalize(toGlm(a)), to = glm::normalize(toGlm(b));
        if (glm::dot(from, to) < -0.99f)
            continue;
        const Quaternion q = Q::fromTo(a, b);
        EXPECT_TRUE(near(q, glm::rotation(from, to), 1e-5f));
        EXPECT_TRUE(near(Q::rotateVector(q, QRMATHVector3::normalize(a)), to, 1e-5f));
    }
}

TEST(QRMATHQuaternionTest, FromToOppositeDirectionsIsAnUprightHalfTurn)
{
    Sampler sampler;
    for (int i = 0; i < 100; ++i) {
        Vector3 a = sampler.vector(-1.0f, 1.0f);
        if (i % 2 == 0)
            a.y = 0.0f;  // a coder monkey facing exactly away from the hero
        if (i == 1)
            a = {0.0f, 2.0f, 0.0f};  // straight up: no horizontal turn exists
        const Vector3 b = a * -3.0f;
        const Quaternion q = Q::fromTo(a, b);
        EXPECT_NEAR(norm(q), 1.0f, 1e-5f);
        EXPECT_TRUE(near(Q::rotateVector(q, QRMATHVector3::normalize(a)), toGlm(QRMATHVector3::normalize(b)), 1e-5f));
        if (a.y == 0.0f) {
            EXPECT_TRUE(near(Q::up(q), glm::vec3(0.0f, 1.0f, 0.0f), 1e-5f));
        }
    }
    // Just inside the opposite tolerance the guarded turn still lands on b.
    const Vector3 almost{0.0005f, 0.0f, 1.0f};
    const Quaternion q = Q::fromTo({0.0f, 0.0f, -1.0f}, almost);
    EXPECT_TRUE(near(Q::forward(q), toGlm(QRMATHVector3::normalize(almost)), 1e-3f));
}
