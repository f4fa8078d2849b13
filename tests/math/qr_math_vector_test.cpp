#include "glm_oracle.h"

#include "math/qr_math_vector.h"

#include <glm/gtx/vector_angle.hpp>

using V = QRMATHVector3;

TEST(QRMATHVector3Test, OperationsMatchGlm)
{
    Sampler sampler;
    for (int i = 0; i < 200; ++i) {
        const Vector3 a = sampler.vector(-50.0f, 50.0f), b = sampler.vector(-50.0f, 50.0f);
        const float t = sampler.uniform(-1.0f, 2.0f);
        const glm::vec3 ga = toGlm(a), gb = toGlm(b);
        EXPECT_TRUE(near(a + b, ga + gb, 1e-5f));
        EXPECT_TRUE(near(a - b, ga - gb, 1e-5f));
        EXPECT_TRUE(near(-a, -ga, 0.0f));
        EXPECT_TRUE(near(a * t, ga * t, 1e-5f));
        EXPECT_TRUE(near(V::multiply(a, b), ga * gb, 1e-4f));
        EXPECT_TRUE(near(V::cross(a, b), glm::cross(ga, gb), 1e-3f));
        EXPECT_TRUE(near(V::normalize(a), glm::normalize(ga), 1e-6f));
        EXPECT_TRUE(near(V::direction(a, b), glm::normalize(gb - ga), 1e-6f));
        EXPECT_TRUE(near(V::lerp(a, b, t), glm::mix(ga, gb, t), 1e-4f));
        EXPECT_NEAR(V::dot(a, b), glm::dot(ga, gb), 1e-3f);
        EXPECT_NEAR(V::length(a), glm::length(ga), 1e-4f);
        EXPECT_NEAR(V::distance(a, b), glm::distance(ga, gb), 1e-4f);
        EXPECT_NEAR(V::distanceSquared(a, b), glm::dot(gb - ga, gb - ga), 1e-2f);
        EXPECT_NEAR(V::angleBetween(a, b), glm::degrees(glm::angle(glm::normalize(ga), glm::normalize(gb))), 1e-2f);
    }
}

TEST(QRMATHVector3Test, Vector4OperatorsCoverAllFourComponents)
{
    const Vector4 a{1.0f, 2.0f, 3.0f, 4.0f}, b{0.5f, -1.0f, 2.0f, -8.0f};
    EXPECT_EQ(a + b, (Vector4{1.5f, 1.0f, 5.0f, -4.0f}));
    EXPECT_EQ(a * 2.0f, (Vector4{2.0f, 4.0f, 6.0f, 8.0f}));
}

TEST(QRMATHVector3Test, CrossProductIsRightHanded)
{
    EXPECT_EQ(V::cross({1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}), (Vector3{0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(V::cross({0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}), (Vector3{0.0f, 1.0f, 0.0f}));
}

TEST(QRMATHVector3Test, DegenerateInputsHaveFixedAnswers)
{
    const Vector3 xAxis{1.0f, 0.0f, 0.0f};
    const Vector3 p{3.0f, -4.0f, 5.0f};
    EXPECT_EQ(V::normalize({0.0f, 0.0f, 0.0f}), xAxis);
    EXPECT_EQ(V::direction(p, p), xAxis);
    EXPECT_EQ(V::angleBetween({0.0f, 0.0f, 0.0f}, p), 0.0f);
    EXPECT_EQ(V::angleBetween(p, {0.0f, 0.0f, 0.0f}), 0.0f);
}

TEST(QRMATHVector3Test, AngleOfParallelVectorsIsNeverNaN)
{
    // Rounding pushes the cosine of many (anti)parallel pairs just past +-1.
    Sampler sampler;
    for (int i = 0; i < 500; ++i) {
        const Vector3 v = sampler.vector(-1000.0f, 1000.0f);
        EXPECT_NEAR(V::angleBetween(v, v * 3.0f), 0.0f, 0.05f);
        EXPECT_NEAR(V::angleBetween(v, -v), 180.0f, 0.05f);
    }
}
