#include "math/qr_math_matrix.h"
#include "math/qr_math_vector.h"
#include "visual/view/qr_visx_frustum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class Frustum : public ::testing::Test {
protected:
    // A camera at the origin looking down -Z with a 90 degree field of view, aspect 1, near 0.5, far 100.
    void usePerspective() { frustum_.extractPlanes(QRMATHMatrix4::perspective(1.0f, 90.0f, 0.5f, 100.0f), identity()); }
    // The box -1..1 on x and y, -100..100 on z.
    void useOrthographic() { frustum_.extractPlanes(QRMATHMatrix4::scaling({1.0f, 1.0f, 0.01f}), identity()); }
    static Matrix4 identity() { return QRMATHMatrix4::identity(); }

    QRVISXFrustum frustum_{nullptr};
};

} // namespace

TEST_F(Frustum, PlanesAreUnitNormalisedAndFaceInwards)
{
    usePerspective();
    for (int i = 0; i < QRVISXFrustum::kPlaneCount; ++i) {
        const Plane& plane = frustum_.getPlane(i);
        EXPECT_NEAR(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c, 1.0f, 1e-5f) << i;
    }
    const Plane& right = frustum_.getPlane(QRVISXFrustum::kRight);
    EXPECT_NEAR(right.a, -std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(right.c, -std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(frustum_.getPlane(QRVISXFrustum::kFar).d, 100.0f, 1e-2f);
}

TEST_F(Frustum, SphereTouchingAPlaneFromOutsideIsRejected)
{
    useOrthographic();
    EXPECT_FALSE(frustum_.isSphereVisible({3.0f, 0.0f, 0.0f}, 2.0f));
    EXPECT_TRUE(frustum_.isSphereVisible({2.5f, 0.0f, 0.0f}, 2.0f));
    EXPECT_TRUE(frustum_.isSphereVisible({0.0f, 0.0f, -50.0f}, 0.1f));
    EXPECT_FALSE(frustum_.isSphereVisible({0.0f, -5.0f, 0.0f}, 1.0f));
}

TEST_F(Frustum, BoxBetweenTheEyeAndTheNearPlaneIsRejectedThoughItsSphereReachesIn)
{
    usePerspective();
    const Vector3 minimum{-1.0f, -1.0f, -0.49f}, maximum{1.0f, 1.0f, -0.01f};
    const Vector3 centre{0.0f, 0.0f, -0.25f};
    ASSERT_TRUE(frustum_.isSphereVisible(centre, QRMATHVector3::length(maximum - minimum) * 0.5f));
    EXPECT_FALSE(frustum_.isBoxVisible(minimum, maximum));
}

TEST_F(Frustum, BoxStraddlingAPlaneIsAccepted)
{
    usePerspective();
    EXPECT_TRUE(frustum_.isBoxVisible({-1.0f, -1.0f, -10.0f}, {1.0f, 1.0f, -0.1f}));
    EXPECT_TRUE(frustum_.isBoxVisible({4.0f, -1.0f, -10.0f}, {20.0f, 1.0f, -5.0f}));
    EXPECT_TRUE(frustum_.isBoxVisible({-1.0f, -1.0f, -150.0f}, {1.0f, 1.0f, -50.0f}));
}

TEST_F(Frustum, BoxesOutsideAreRejected)
{
    usePerspective();
    EXPECT_FALSE(frustum_.isBoxVisible({-1.0f, -1.0f, 1.0f}, {1.0f, 1.0f, 5.0f}));
    EXPECT_FALSE(frustum_.isBoxVisible({12.0f, -1.0f, -10.0f}, {20.0f, 1.0f, -5.0f}));
    EXPECT_FALSE(frustum_.isBoxVisible({-1.0f, -1.0f, -300.0f}, {1.0f, 1.0f, -101.0f}));
}

TEST_F(Frustum, ViewMatrixMovesTheFrustumWithTheCamera)
{
    // Camera moved to x = 100: the origin is now far to its left.
    frustum_.extractPlanes(QRMATHMatrix4::perspective(1.0f, 90.0f, 0.5f, 100.0f),
                           QRMATHMatrix4::translation({-100.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(frustum_.isSphereVisible({0.0f, 0.0f, -10.0f}, 1.0f));
    EXPECT_TRUE(frustum_.isSphereVisible({100.0f, 0.0f, -10.0f}, 1.0f));
}
