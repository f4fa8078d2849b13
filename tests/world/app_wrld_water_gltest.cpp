#include "gl_context_fixture.h"

#include "core/qr_time_main.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/view/qr_visx_viewport.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "world/app_wrld_light.h"
#include "world/app_wrld_water.h"

#include <QImage>
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

class WaterPicture : public GLContextFixture {
protected:
    WaterPicture()
    {
        context_ = visual().generateMainRenderContext("Main RC", "Visual Device");
        // A checker board of bright and dark blue, so that the picture's movement shows.
        const auto path = programFolder() / "textures" / "water" / "water.jpg";
        std::filesystem::create_directories(path.parent_path());
        QImage checker(64, 64, QImage::Format_RGB888);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                checker.setPixelColor(x, y, ((x / 8 + y / 8) % 2) ? QColor(0, 0, 255) : QColor(0, 0, 96));
        checker.save(QString::fromStdString(path.string()), "JPG", 95);

        environment_ = qrNew<APPENVRMain>(nullptr);
        environment_->initialize();
        // The environment's own textures are not in this folder; only the water's count here.
        boxesBeforeWater_ = shownBoxes().size();
        light_ = qrNew<APPWRLDLight>(nullptr);
        water_ = qrNew<APPWRLDWater>(nullptr);
        water_->setEnvironment(environment_.get());
        water_->initialize();
        qrTime()->setClock([this] { return clock_; });
        qrTime()->resetTime();
    }

    ~WaterPicture() override
    {
        if (qrTime())
            qrTime()->setClock({});
    }

    // In frames of at most 0.2 s: the timer caps a single frame's delta.
    void passTime(std::uint32_t milliseconds)
    {
        while (milliseconds > 0) {
            const std::uint32_t step = std::min<std::uint32_t>(milliseconds, 200);
            clock_ += step;
            milliseconds -= step;
            qrTime()->updateTime();
        }
    }

    // One frame of the game's order: red ground already drawn, the camera 28 units above the flat
    // land's water looking straight down, the sun, the water. Returns the frame's pixels.
    std::vector<GLubyte> drawFrame()
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        visual().getViewPort()->fitToRenderContext();
        qrGL().clearColor(1.0f, 0.0f, 0.0f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        QRVISXCamera3D& camera = *visual().getCameraManager()->get3DCamera();
        camera.setPosition({80.0f, 30.0f, 80.0f});
        camera.setOrientation(QRMATHQuaternion::fromRotationX(-90.0f));
        visual().getCameraManager()->activateCamera(&camera);
        light_->apply();
        water_->render();
        qrGL().finish();
        std::vector<GLubyte> pixels(static_cast<std::size_t>(kPanelWidth * kPanelHeight * 3));
        qrGL().readBuffer(GL_BACK);
        qrGL().pixelStorei(GL_PACK_ALIGNMENT, 1);
        qrGL().readPixels(0, 0, kPanelWidth, kPanelHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        context_->swapBuffers();
        return pixels;
    }

    static int differingPixels(const std::vector<GLubyte>& a, const std::vector<GLubyte>& b)
    {
        int count = 0;
        for (std::size_t i = 0; i < a.size(); i += 3)
            if (std::abs(a[i] - b[i]) > 24 || std::abs(a[i + 1] - b[i + 1]) > 24 || std::abs(a[i + 2] - b[i + 2]) > 24)
                ++count;
        return count;
    }

    QRVISXRenderContext* context_ = nullptr;
    std::uint32_t clock_ = 10'000;
    QROwned<APPENVRMain> environment_;
    QROwned<APPWRLDLight> light_;
    QROwned<APPWRLDWater> water_;
    std::size_t boxesBeforeWater_ = 0;
};

} // namespace

TEST_F(WaterPicture, TheSurfaceBlendsOverTheGroundAndMovesWithTime)
{
    ASSERT_NE(context_, nullptr);
    ASSERT_TRUE(water_->getShaderConfiguration()->isValid());
    passTime(1000);
    const std::vector<GLubyte> first = drawFrame();
    EXPECT_GT(water_->getDrawnBlockCount(), 0);

    // Every pixel holds both the red ground beneath and the blue water over it.
    int blended = 0;
    for (std::size_t i = 0; i < first.size(); i += 3)
        blended += (first[i] > 100 && first[i] < 190 && first[i + 1] < 40 && first[i + 2] > 25) ? 1 : 0;
    EXPECT_EQ(blended, kPanelWidth * kPanelHeight);
    const std::size_t centre = static_cast<std::size_t>((kPanelHeight / 2 * kPanelWidth + kPanelWidth / 2) * 3);
    EXPECT_NEAR(first[centre], 128, 30);

    // The same moment gives the same picture; a later one moves the water.
    EXPECT_EQ(differingPixels(first, drawFrame()), 0);
    passTime(2500);
    const std::vector<GLubyte> later = drawFrame();
    EXPECT_GT(differingPixels(first, later), kPanelWidth * kPanelHeight / 10);
    EXPECT_EQ(shownBoxes().size(), boxesBeforeWater_);
}
