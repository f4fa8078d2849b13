#include "visual_unit_fixture.h"

#include "visual/view/qr_visx_viewport.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class ViewPort : public VisualUnitFixture {
protected:
    QRVISXViewPort& viewPort() { return *visual_->getViewPort(); }
};

} // namespace

TEST_F(ViewPort, SetSendsOriginAndSize)
{
    viewPort().set(10, 20, 650, 500);
    EXPECT_THAT(gl_.calls(), ElementsAre("glViewport(10, 20, 640, 480)"));
    EXPECT_EQ(viewPort().getHeight(), 480);
    EXPECT_NEAR(viewPort().getAspect(), 1.3333f, 1e-4f);
}

TEST_F(ViewPort, AspectWithoutHeightOrWidthIsOne)
{
    viewPort().set(0, 0, 640, 0);
    EXPECT_EQ(viewPort().getAspect(), 1.0f);
    viewPort().set(0, 0, 0, 480);
    EXPECT_EQ(viewPort().getAspect(), 1.0f);
}

TEST_F(ViewPort, FitToRenderContextWaitsForTheVisualModule)
{
    viewPort().fitToRenderContext();
    EXPECT_THAT(gl_.calls(), IsEmpty());
    EXPECT_EQ(viewPort().getRight(), 1);
}

TEST_F(ViewPort, AlignMeasuresFromTheEdgesOfTheTwoDSpace)
{
    viewPort().set(0, 0, 800, 400);
    const Vector2 topLeft = viewPort().getAlign()->alignTopLeft(0.1f, 0.2f);
    EXPECT_FLOAT_EQ(topLeft.x, 0.1f - 2.0f);
    EXPECT_FLOAT_EQ(topLeft.y, 0.8f);
    const Vector2 bottomLeft = viewPort().getAlign()->alignBottomLeft(0.1f, 0.2f);
    EXPECT_FLOAT_EQ(bottomLeft.x, 0.1f - 2.0f);
    EXPECT_FLOAT_EQ(bottomLeft.y, -0.8f);
}
