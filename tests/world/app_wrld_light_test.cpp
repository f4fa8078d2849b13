#include "world_unit_fixture.h"

#include "visual/materials/qr_visx_materialvariablepool.h"
#include "world/app_wrld_light.h"

#include <cmath>

namespace {

class SunLight : public WorldUnitFixture {
protected:
    QRVISXMaterialVariablePool& pool() { return *visual_->getMaterialManager()->getVariablePool(); }
};

} // namespace

TEST_F(SunLight, ApplyPublishesTheSunForTheShaders)
{
    auto light = qrNew<APPWRLDLight>(nullptr);
    light->initialize();
    // A shader linked earlier registered its uniform; the sun writes into that same variable.
    QRVISXMaterialVariableVector3* direction = pool().getVector3Variable("LightDirection");

    light->apply();

    const float half = std::sqrt(0.5f);
    expectPoint(direction->getValue(), {0.0f, half, -half});
    expectPoint(pool().getVector3Variable("LightDiffuse")->getValue(), {0.7f, 0.7f, 0.7f});
    expectPoint(pool().getVector3Variable("LightAmbient")->getValue(), {0.3f, 0.3f, 0.3f});
    // Only vectors: no variable of another kind is made under these names.
    EXPECT_EQ(pool().findVariable("LightDirection", kMaterialVariableVector4), nullptr);
    EXPECT_EQ(pool().findVariable("LightDiffuse", kMaterialVariableFloat), nullptr);
}
