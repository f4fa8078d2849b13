#include "visual_unit_fixture.h"

#include "visual/state/qr_visx_lights.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/state/qr_visx_statemanager.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class Lights : public VisualUnitFixture {
protected:
    QRVISXGLLight& light(int index) { return *visual_->getMaterialManager()->getStateManager()->getLights()->getLight(index); }
};

} // namespace

TEST_F(Lights, EachLightStartsAsAnEnabledDirectionalLightFromAbove)
{
    light(2).initialize();
    EXPECT_THAT(gl_.calls(), ElementsAre("glDisable(GL_LIGHT2)", "glLightfv(GL_LIGHT2, GL_AMBIENT, 0, 0, 0, 0)",
                                         "glLightfv(GL_LIGHT2, GL_DIFFUSE, 1, 1, 1, 0)",
                                         "glLightfv(GL_LIGHT2, GL_SPECULAR, 1, 1, 1, 0)", "glEnable(GL_LIGHT2)",
                                         "glLightf(GL_LIGHT2, GL_LINEAR_ATTENUATION, 0)",
                                         "glLightfv(GL_LIGHT2, GL_POSITION, 0, 1, 0, 0)"));
    EXPECT_TRUE(light(2).isEnabled());
    EXPECT_EQ(light(2).getLightType(), QRVISXGLLight::kDirectional);
}

TEST_F(Lights, EnablingTwiceSendsOnce)
{
    light(0).enable();
    light(0).enable();
    light(0).disable();
    EXPECT_THAT(gl_.calls(), ElementsAre("glEnable(GL_LIGHT0)", "glDisable(GL_LIGHT0)"));
}

TEST_F(Lights, DirectionalPositionIsNormalisedPointPositionIsNot)
{
    light(1).setDirectional({0.0f, 3.0f, 4.0f});
    light(1).setLightType(QRVISXGLLight::kPoint);
    light(1).setPosition({2.0f, 3.0f, 4.0f});
    auto calls = gl_.calls();
    EXPECT_EQ(calls[2], "glLightfv(GL_LIGHT1, GL_POSITION, 0, 0.6, 0.8, 0)");
    EXPECT_EQ(calls.back(), "glLightfv(GL_LIGHT1, GL_POSITION, 2, 3, 4, 1)");
}

TEST_F(Lights, PointLightFadesOverItsRangeAndNeverGetsANegativeAttenuation)
{
    light(3).setLightType(QRVISXGLLight::kPoint);
    light(3).setRange(50.0f);
    light(3).setLightType(QRVISXGLLight::kPoint);
    light(3).setLightType(QRVISXGLLight::kNone);
    EXPECT_THAT(gl_.calls(), ElementsAre("glLightf(GL_LIGHT3, GL_LINEAR_ATTENUATION, 0)",
                                         "glLightf(GL_LIGHT3, GL_LINEAR_ATTENUATION, 0.02)"));
}
