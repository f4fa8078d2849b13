// The weight maps the fixed-function terrain blends the meadow and earth layers by: white, with
// the layer's weight as alpha, on the thresholds the terrain shader blends with.

#include "engine_fixture.h"

#include "environment/app_envr_fixedterrain.h"
#include "resource/qr_resc_image.h"

#include <gtest/gtest.h>

namespace {
using Layer = APPENVRFixedTerrain::Layer;

class FixedTerrainWeights : public EngineFixture {};
} // namespace

TEST_F(FixedTerrainWeights, FollowTheShadersThresholdsPerChannel)
{
    struct Case {
        float red, green;
        float meadow, earth;
    };
    // Meadow rises from red 0.45 to 0.62, earth from green 0.62 to 0.76 up to 0.85 of the ground.
    const Case cases[] = {
        {0.0f, 0.0f, 0.0f, 0.0f},  {0.45f, 0.62f, 0.0f, 0.0f}, {0.535f, 0.69f, 0.5f, 0.425f},
        {0.62f, 0.76f, 1.0f, 0.85f}, {1.0f, 1.0f, 1.0f, 0.85f},  {0.7f, 0.3f, 1.0f, 0.0f},
    };
    auto modulation = qrNew<QRRESCImage2>(nullptr);
    modulation->generateEmptyImage(QRRESCImage2::kDataByte, QRRESCImage2::kPixelRGBA, std::size(cases), 2);
    for (int x = 0; x < static_cast<int>(std::size(cases)); ++x)
        for (int y = 0; y < 2; ++y)
            modulation->setPixelColor({cases[x].red, cases[x].green, 0.5f, 1.0f}, x, y);

    for (const Layer layer : {Layer::Meadow, Layer::Earth}) {
        auto weights = qrNew<QRRESCImage2>(nullptr);
        APPENVRFixedTerrain::makeWeightImage(*modulation, layer, *weights);
        ASSERT_TRUE(weights->isValid());
        ASSERT_EQ(weights->getWidth(), static_cast<int>(std::size(cases)));
        ASSERT_EQ(weights->getHeight(), 2);
        for (int x = 0; x < static_cast<int>(std::size(cases)); ++x) {
            SCOPED_TRACE(std::to_string(x) + (layer == Layer::Meadow ? " meadow" : " earth"));
            const Vector4 pixel = weights->getPixelColor(x, 1);
            EXPECT_EQ(pixel.x, 1.0f);
            EXPECT_EQ(pixel.y, 1.0f);
            EXPECT_EQ(pixel.z, 1.0f);
            // The modulation and the weight each pass through a byte.
            EXPECT_NEAR(pixel.w, layer == Layer::Meadow ? cases[x].meadow : cases[x].earth, 0.03f);
        }
    }
}

TEST(FixedTerrainRock, CoversSlopesFromTheShadersThreshold)
{
    struct Case {
        float normalY, rock;
    };
    // Steepness (1 - the normal's upward part) from 0.22 to 0.4 brings the rock in.
    const Case cases[] = {{1.0f, 0.0f}, {0.78f, 0.0f}, {0.69f, 0.5f}, {0.6f, 1.0f}, {0.0f, 1.0f}, {-0.5f, 1.0f}};
    for (const Case& c : cases)
        EXPECT_NEAR(APPENVRFixedTerrain::rockWeight(c.normalY), c.rock, 1e-4f) << c.normalY;
}

TEST_F(FixedTerrainWeights, AMissingModulationPictureGivesNoWeights)
{
    auto modulation = qrNew<QRRESCImage2>(nullptr);
    auto weights = qrNew<QRRESCImage2>(nullptr);
    weights->generateEmptyImage(QRRESCImage2::kDataByte, QRRESCImage2::kPixelRGBA, 2, 2);
    APPENVRFixedTerrain::makeWeightImage(*modulation, Layer::Meadow, *weights);
    EXPECT_FALSE(weights->isValid());
}
