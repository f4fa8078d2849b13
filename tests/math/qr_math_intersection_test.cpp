#include "glm_oracle.h"

#include "math/qr_math_intersection.h"
#include "math/qr_math_vector.h"

#include <glm/gtx/intersect.hpp>

using I = QRMATHIntersection;
using R = QRMATHRaycast;

namespace {
const Plane kGround = I::planeFromPointNormal({0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
const Vector3 kBoxMin{0.0f, 0.0f, 0.0f}, kBoxMax{10.0f, 5.0f, 10.0f};
} // namespace

TEST(QRMATHIntersectionTest, PlanesKeepTheirUnnormalisedNormal)
{
    const Plane p = I::planeFromPoints({0.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 3.0f});
    EXPECT_EQ(p, (Plane{0.0f, -6.0f, 0.0f, 0.0f}));  // (p3 - p2) x (p1 - p2)
    EXPECT_EQ(I::planeFromPointNormal({1.0f, 2.0f, 3.0f}, {0.0f, 2.0f, 0.0f}), (Plane{0.0f, 2.0f, 0.0f, -4.0f}));
    EXPECT_TRUE(I::pointInSphere({3.0f, 4.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 5.0f));  // on the surface
    EXPECT_FALSE(I::pointInSphere({3.0f, 4.1f, 0.0f}, {0.0f, 0.0f, 0.0f}, 5.0f));
}

TEST(QRMATHRaycastTest, SegmentPlaneCountsBothEnds)
{
    Vector3 hit;
    EXPECT_TRUE(R::segmentPlane({1.0f, 2.0f, 3.0f}, {1.0f, 0.0f, 3.0f}, kGround, hit));  // t = 1
    EXPECT_EQ(hit, (Vector3{1.0f, 0.0f, 3.0f}));
    EXPECT_TRUE(R::segmentPlane({1.0f, 0.0f, 3.0f}, {1.0f, 5.0f, 3.0f}, kGround, hit));  // t = 0
    EXPECT_EQ(hit, (Vector3{1.0f, 0.0f, 3.0f}));
    EXPECT_FALSE(R::segmentPlane({1.0f, 2.0f, 3.0f}, {1.0f, 0.01f, 3.0f}, kGround, hit));  // stops short
    EXPECT_FALSE(R::segmentPlane({1.0f, 2.0f, 3.0f}, {1.0f, 4.0f, 3.0f}, kGround, hit));   // points away
    const Plane tilted = I::planeFromPointNormal({0.0f, 1.0f, 0.0f}, {3.0f, 6.0f, 0.0f});
    EXPECT_TRUE(R::segmentPlane({0.0f, 5.0f, 0.0f}, {0.0f, -5.0f, 0.0f}, tilted, hit));
    EXPECT_TRUE(near(hit, glm::vec3(0.0f, 1.0f, 0.0f), 1e-6f));
}

TEST(QRMATHRaycastTest, SegmentParallelToAPlaneHitsOnlyWhenItLiesInIt)
{
    Vector3 hit;
    EXPECT_TRUE(R::segmentPlane({1.0f, 0.0f, 1.0f}, {9.0f, 0.0f, 4.0f}, kGround, hit));
    EXPECT_EQ(hit, (Vector3{1.0f, 0.0f, 1.0f}));
    EXPECT_FALSE(R::segmentPlane({1.0f, 0.5f, 1.0f}, {9.0f, 0.5f, 4.0f}, kGround, hit));
}

TEST(QRMATHRaycastTest, SegmentSphereReportsTheEntryPoint)
{
    const Vector3 centre{0.0f, 0.0f, 0.0f};
    Vector3 hit;
    EXPECT_TRUE(R::segmentSphere({0.5f, 0.0f, 0.0f}, {100.0f, 0.0f, 0.0f}, centre, 1.0f, hit));  // starts inside
    EXPECT_EQ(hit, (Vector3{0.5f, 0.0f, 0.0f}));
    EXPECT_TRUE(R::segmentSphere({-10.0f, 0.0f, 0.0f}, {10.0f, 0.0f, 0.0f}, centre, 1.0f, hit));
    EXPECT_EQ(hit, (Vector3{-1.0f, 0.0f, 0.0f}));  // the nearer root
    EXPECT_TRUE(R::segmentSphere({-10.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, centre, 1.0f, hit));  // ends on it
    EXPECT_FALSE(R::segmentSphere({-10.0f, 0.0f, 0.0f}, {-1.5f, 0.0f, 0.0f}, centre, 1.0f, hit));
    EXPECT_FALSE(R::segmentSphere({-10.0f, 0.0f, 0.0f}, {-20.0f, 0.0f, 0.0f}, centre, 1.0f, hit));
    EXPECT_FALSE(R::segmentSphere({-10.0f, 1.01f, 0.0f}, {10.0f, 1.01f, 0.0f}, centre, 1.0f, hit));

    Sampler sampler;
    for (int i = 0; i < 200; ++i) {
        const Vector3 start = sampler.vector(-20.0f, 20.0f), end = sampler.vector(-20.0f, 20.0f);
        const float radius = sampler.uniform(1.0f, 8.0f);
        if (I::pointInSphere(start, centre, radius))
            continue;
        glm::vec3 position, normal;
        const glm::vec3 dir = glm::normalize(toGlm(end - start));
        const bool oracle = glm::intersectRaySphere(toGlm(start), dir, toGlm(centre), radius, position, normal) &&
                            glm::distance(toGlm(start), position) <= QRMATHVector3::distance(start, end);
        if (oracle && std::fabs(glm::distance(toGlm(end), position)) < 1e-3f)
            continue;  // too close to the end to call
        ASSERT_EQ(R::segmentSphere(start, end, centre, radius, hit), oracle);
        if (oracle) {
            EXPECT_TRUE(near(hit, position, 1e-3f));
        }
    }
}

TEST(QRMATHRaycastTest, SegmentTriangleAcceptsEitherWindingAndItsEdges)
{
    const Vector3 a{0.0f, 0.0f, 0.0f}, b{4.0f, 0.0f, 0.0f}, c{0.0f, 0.0f, 4.0f};
    Vector3 hit;
    EXPECT_TRUE(R::segmentTriangle({1.0f, 5.0f, 1.0f}, {1.0f, -5.0f, 1.0f}, a, b, c, hit));
    EXPECT_EQ(hit, (Vector3{1.0f, 0.0f, 1.0f}));
    EXPECT_TRUE(R::segmentTriangle({1.0f, 5.0f, 1.0f}, {1.0f, -5.0f, 1.0f}, a, c, b, hit));
    EXPECT_TRUE(R::segmentTriangle({2.0f, 5.0f, 0.0f}, {2.0f, -5.0f, 0.0f}, a, b, c, hit));  // on edge a-b
    EXPECT_TRUE(R::segmentTriangle({2.0f, 5.0f, 2.0f}, {2.0f, -5.0f, 2.0f}, a, b, c, hit));  // on edge b-c
    EXPECT_FALSE(R::segmentTriangle({3.0f, 5.0f, 3.0f}, {3.0f, -5.0f, 3.0f}, a, b, c, hit));
    EXPECT_EQ(hit, (Vector3{3.0f, 0.0f, 3.0f})) << "the plane point stays in hit";
    EXPECT_FALSE(R::segmentTriangle({1.0f, 5.0f, 1.0f}, {1.0f, 0.5f, 1.0f}, a, b, c, hit));
}

TEST(QRMATHRaycastTest, SegmentTriangleWithoutAreaIsNeverHit)
{
    // Meshes carry such triangles; a ray far away from one must not hit it at its own start.
    const Vector3 start{50.0f, 5.0f, 50.0f}, end{50.0f, -5.0f, 50.0f};
    const Vector3 a{0.0f, 0.0f, 0.0f}, b{1.0f, 0.0f, 0.0f}, c{2.0f, 0.0f, 0.0f};
    Vector3 hit;
    EXPECT_FALSE(R::segmentTriangle(start, end, a, b, c, hit));  // collinear corners
    EXPECT_FALSE(R::segmentTriangle(start, end, a, a, c, hit));  // a repeated corner
    EXPECT_FALSE(R::segmentTriangle({1.0f, 5.0f, 0.0f}, {1.0f, -5.0f, 0.0f}, a, b, c, hit));  // through it
}

TEST(QRMATHRaycastTest, SegmentTriangleAgreesWithBarycentricConstruction)
{
    // Segments built to meet the triangle's plane at known barycentric coordinates (u, v) and
    // segment parameter t; inputs within a margin of a boundary are left out as too close to call.
    Sampler sampler;
    int hits = 0;
    for (int i = 0; i < 400; ++i) {
        const Vector3 a = sampler.vector(-10.0f, 10.0f), b = sampler.vector(-10.0f, 10.0f), c = sampler.vector(-10.0f, 10.0f);
        const float u = sampler.uniform(-0.5f, 1.2f), v = sampler.uniform(-0.5f, 1.2f), t = sampler.uniform(-0.5f, 1.5f);
        const glm::vec3 normal = glm::cross(toGlm(b - a), toGlm(c - a));
        const Vector3 dir = sampler.vector(-5.0f, 5.0f);
        const float margin = 0.02f;
        if (glm::length(normal) < 1.0f || std::fabs(glm::dot(glm::normalize(normal), glm::normalize(toGlm(dir)))) < 0.2f ||
            std::fabs(u) < margin || std::fabs(v) < margin || std::fabs(u + v - 1.0f) < margin ||
            std::fabs(t) < margin || std::fabs(t - 1.0f) < margin)
            continue;
        const Vector3 point = a + (b - a) * u + (c - a) * v;
        const Vector3 start = point - dir * t;
        const bool expected = u > 0.0f && v > 0.0f && u + v < 1.0f && t > 0.0f && t < 1.0f;
        Vector3 hit;
        ASSERT_EQ(R::segmentTriangle(start, start + dir, a, b, c, hit), expected) << "u " << u << " v " << v << " t " << t;
        ASSERT_EQ(R::segmentTriangle(start, start + dir, a, c, b, hit), expected);
        if (expected) {
            ++hits;
            EXPECT_TRUE(near(hit, toGlm(point), 1e-3f));
        }
    }
    EXPECT_GT(hits, 20);
}

TEST(QRMATHRaycastTest, SegmentBoxReportsTheFaceNearestTheStart)
{
    Vector3 hit;
    EXPECT_TRUE(R::segmentBox({-5.0f, 2.0f, 5.0f}, {15.0f, 2.0f, 5.0f}, kBoxMin, kBoxMax, hit));
    EXPECT_EQ(hit, (Vector3{0.0f, 2.0f, 5.0f}));
    EXPECT_TRUE(R::segmentBox({15.0f, 2.0f, 5.0f}, {-5.0f, 2.0f, 5.0f}, kBoxMin, kBoxMax, hit));
    EXPECT_EQ(hit, (Vector3{10.0f, 2.0f, 5.0f}));
    EXPECT_TRUE(R::segmentBox({5.0f, 20.0f, 5.0f}, {6.0f, -20.0f, 5.0f}, kBoxMin, kBoxMax, hit));
    EXPECT_TRUE(near(hit, glm::vec3(5.375f, 5.0f, 5.0f), 1e-5f));  // +Y face
    EXPECT_TRUE(R::segmentBox({5.0f, 2.0f, 5.0f}, {5.0f, 2.0f, 50.0f}, kBoxMin, kBoxMax, hit));  // from inside
    EXPECT_EQ(hit, (Vector3{5.0f, 2.0f, 10.0f}));
    EXPECT_FALSE(R::segmentBox({2.0f, 2.0f, 2.0f}, {8.0f, 3.0f, 8.0f}, kBoxMin, kBoxMax, hit));  // wholly inside
    EXPECT_FALSE(R::segmentBox({-5.0f, 2.0f, 5.0f}, {-1.0f, 2.0f, 5.0f}, kBoxMin, kBoxMax, hit));
}

TEST(QRMATHRaycastTest, SegmentBoxAcceptsFacesWithinAThousandthOfTheirEdges)
{
    Vector3 hit;
    EXPECT_TRUE(R::segmentBox({-5.0f, 5.0009f, 5.0f}, {15.0f, 5.0009f, 5.0f}, kBoxMin, kBoxMax, hit));
    EXPECT_NEAR(hit.x, 0.0f, 1e-6f);
    EXPECT_FALSE(R::segmentBox({-5.0f, 5.002f, 5.0f}, {15.0f, 5.002f, 5.0f}, kBoxMin, kBoxMax, hit));
    // A segment lying in the top face plane meets it at its start.
    EXPECT_TRUE(R::segmentBox({5.0f, 5.0f, 5.0f}, {50.0f, 5.0f, 5.0f}, kBoxMin, kBoxMax, hit));
    EXPECT_EQ(hit, (Vector3{5.0f, 5.0f, 5.0f}));
}

TEST(QRMATHRaycastTest, SegmentBoxFindsFarBoxes)
{
    // An editor pick ray across the whole world meets boxes thousands of units away.
    Vector3 hit;
    const Vector3 farMin{4000.0f, 0.0f, 0.0f}, farMax{4640.0f, 50.0f, 640.0f};
    EXPECT_TRUE(R::segmentBox({0.0f, 10.0f, 100.0f}, {5000.0f, 10.0f, 100.0f}, farMin, farMax, hit));
    EXPECT_EQ(hit, (Vector3{4000.0f, 10.0f, 100.0f}));
}
