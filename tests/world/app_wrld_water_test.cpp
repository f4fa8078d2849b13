#include "world_unit_fixture.h"

#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadervariable.h"
#include "world/app_wrld_light.h"
#include "world/app_wrld_water.h"

#include <QImage>
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class WaterPlane : public WorldUnitFixture {
protected:
    WaterPlane() : environment_(qrNew<APPENVRMain>(nullptr)), water_(qrNew<APPWRLDWater>(nullptr))
    {
        const auto picture = programFolder() / "textures" / "water" / "water.jpg";
        std::filesystem::create_directories(picture.parent_path());
        QImage blue(8, 8, QImage::Format_RGB888);
        blue.fill(Qt::blue);
        blue.save(QString::fromStdString(picture.string()), "JPG");
        environment_->initialize();
        // The environment's own textures are not in this folder; only the water's count here.
        boxesBeforeWater_ = shownBoxes().size();
        water_->setEnvironment(environment_.get());
        water_->initialize();
    }

    // Straight down on the world's centre from high above, the whole world in view; or straight up.
    void lookAtTheWorld(bool down)
    {
        QRVISXCamera3D& camera = *visual_->getCameraManager()->get3DCamera();
        camera.setPosition({1280.0f, 2000.0f, 1280.0f});
        camera.setOrientation(QRMATHQuaternion::fromRotationX(down ? -90.0f : 90.0f));
        camera.setFieldOfView(100.0f);
        camera.setClipPlanes(1.0f, 5000.0f);
        visual_->getCameraManager()->activateCamera(&camera);
    }

    void setBlockHeight(int firstX, int firstZ, float height)
    {
        for (int x = firstX; x < firstX + APPENVRMain::kVerticesPerBlock; ++x)
            for (int z = firstZ; z < firstZ + APPENVRMain::kVerticesPerBlock; ++z)
                environment_->setHeight(x, z, height);
    }

    // The "worldoffset" in force at each call of the grid.
    std::vector<std::string> gridOffsets() const
    {
        const QRVISXShaderVariable* offset = water_->getShaderConfiguration()->findVariable("worldoffset");
        const std::string prefix = "glUniform3fv(" + std::to_string(offset->getLocation()) + ", ";
        std::string current = "not set";
        std::vector<std::string> offsets;
        for (const auto& call : gl_.calls()) {
            if (call.starts_with(prefix))
                current = call.substr(prefix.size(), call.size() - prefix.size() - 1);
            if (call.starts_with("glCallList("))
                offsets.push_back(current);
        }
        return offsets;
    }

    std::size_t newBoxes() const { return shownBoxes().size() - boxesBeforeWater_; }

    QROwned<APPENVRMain> environment_;
    QROwned<APPWRLDWater> water_;
    std::size_t boxesBeforeWater_ = 0;
};

} // namespace

TEST_F(WaterPlane, OnlyVisibleBlocksReachingBelowTheWaterLineGetTheGridAtTheirCorner)
{
    ASSERT_TRUE(water_->getShaderConfiguration()->isValid());
    // High land everywhere, then: one vertex at 2.9 in area (0, 0) block (1, 2); a whole block at
    // exactly 3 in area (2, 1) block (0, 0); a sunken block in area (3, 3) block (3, 3).
    for (int x = 0; x < APPENVRMain::kStoredVertexCount; x += APPENVRMain::kVerticesPerBlock)
        for (int z = 0; z < APPENVRMain::kStoredVertexCount; z += APPENVRMain::kVerticesPerBlock)
            setBlockHeight(x, z, 10.0f);
    environment_->setHeight(50, 90, 2.9f);
    setBlockHeight(320, 160, 3.0f);
    setBlockHeight(600, 600, -5.0f);
    environment_->updateBounds();

    lookAtTheWorld(true);
    gl_.clearCalls();
    water_->render();

    EXPECT_THAT(gridOffsets(), ElementsAre("160, 0, 320", "2400, 0, 2400"));
    EXPECT_EQ(water_->getDrawnBlockCount(), 2);
    // Blended with what lies beneath, half transparent, leaving the depth buffer as it was.
    EXPECT_THAT(gl_.calls(), Contains("glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)"));
    EXPECT_THAT(gl_.calls(), Contains("glColor4f(1, 1, 1, 0.5)"));
    EXPECT_THAT(gl_.calls(), Contains("glDepthMask(GL_FALSE)"));

    // Looking up into the sky, no block is in view.
    lookAtTheWorld(false);
    gl_.clearCalls();
    water_->render();
    EXPECT_THAT(gridOffsets(), IsEmpty());
    EXPECT_EQ(newBoxes(), 0u);
}

TEST_F(WaterPlane, TheGridIsFortyStripsOfFortyUnitSquaresAndTheShaderReadsTheSun)
{
    // The grid was compiled at initialisation; compile it again to see it.
    gl_.clearCalls();
    water_->initialize();
    std::vector<std::vector<std::string>> strips;
    for (const auto& call : gl_.calls()) {
        if (call == "glBegin(GL_TRIANGLE_STRIP)")
            strips.emplace_back();
        else if (call.starts_with("glVertex3f(") && !strips.empty())
            strips.back().push_back(call);
    }
    ASSERT_EQ(strips.size(), 40u);
    for (const auto& strip : strips)
        ASSERT_EQ(strip.size(), 82u);
    EXPECT_EQ(strips[0][0], "glVertex3f(0, 0, 0)");
    EXPECT_EQ(strips[0][1], "glVertex3f(0, 0, 1)");
    EXPECT_EQ(strips[39][80], "glVertex3f(40, 0, 39)");
    EXPECT_EQ(strips[39][81], "glVertex3f(40, 0, 40)");

    // The sun published before the water is drawn reaches the water shader's uniforms.
    auto light = qrNew<APPWRLDLight>(nullptr);
    light->apply();
    lookAtTheWorld(true);
    gl_.clearCalls();
    water_->render();
    const QRVISXShaderVariable* direction = water_->getShaderConfiguration()->findVariable("LightDirection");
    ASSERT_NE(direction, nullptr);
    EXPECT_THAT(gl_.calls(), Contains("glUniform3fv(" + std::to_string(direction->getLocation()) +
                                      ", 0, 0.707107, -0.707107)"));
    EXPECT_EQ(water_->getDrawnBlockCount(), 256);
    EXPECT_EQ(newBoxes(), 0u);
}
