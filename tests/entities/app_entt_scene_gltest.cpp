#include "gl_context_fixture.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_explosion.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/view/qr_visx_viewport.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_light.h"
#include "world/app_wrld_main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

// The game's own content, a world with its entity list, and one frame of entities drawn the way
// the game draws them, read back.
class GameScene : public GLContextFixture {
protected:
    GameScene()
    {
        context_ = visual().generateMainRenderContext("Main RC", "Visual Device");
        for (const char* folder : {"shaders", "materials", "models", "textures"})
            std::filesystem::copy(std::filesystem::path(KIPSTER_PROGRAM_FOLDER) / folder, programFolder() / folder,
                                  std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        world_ = qrNew<APPWRLDMain>(nullptr);
        world_->getEnvironment()->initialize();
        world_->getEntities()->initialize();
        world_->getLight()->initialize();
    }
    ~GameScene() override { world_.reset(); }

    std::vector<GLubyte> drawFrame()
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        visual().getViewPort()->fitToRenderContext();
        qrGL().clearColor(0.02f, 0.02f, 0.06f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        APPWRLDCamera& camera = *world_->getCamera();
        camera.setPosition(kCentre + Vector3{0.0f, 1.2f, 7.0f});
        camera.setOrientation(Quaternion{});
        camera.apply();
        world_->getLight()->apply();
        world_->getEntities()->render();
        qrGL().finish();
        std::vector<GLubyte> pixels(static_cast<std::size_t>(kPanelWidth * kPanelHeight * 3));
        qrGL().readBuffer(GL_BACK);
        qrGL().pixelStorei(GL_PACK_ALIGNMENT, 1);
        qrGL().readPixels(0, 0, kPanelWidth, kPanelHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        context_->swapBuffers();
        return pixels;
    }

    // Pixels of the given third of the picture (0 left, 1 middle, 2 right) that pass the test.
    static int count(const std::vector<GLubyte>& pixels, int third, const std::function<bool(int, int, int)>& test)
    {
        int found = 0;
        for (int y = 0; y < kPanelHeight; ++y)
            for (int x = third * kPanelWidth / 3; x < (third + 1) * kPanelWidth / 3; ++x) {
                const std::size_t at = static_cast<std::size_t>((y * kPanelWidth + x) * 3);
                found += test(pixels[at], pixels[at + 1], pixels[at + 2]) ? 1 : 0;
            }
        return found;
    }

    static constexpr Vector3 kCentre{240.0f, 0.0f, 240.0f};
    QRVISXRenderContext* context_ = nullptr;
    QROwned<APPWRLDMain> world_;
};

} // namespace

TEST_F(GameScene, AMonkeyAPaperAndAnExplosionShowTheirColours)
{
    ASSERT_NE(context_, nullptr);
    const std::size_t boxesBefore = shownBoxes().size();
    APPWRLDEntities& entities = *world_->getEntities();
    APPENTTMain* monkey = entities.createEntity("CoderMonkey", kCentre + Vector3{-3.0f, 0.0f, 0.0f});
    monkey->setOrientation(QRMATHQuaternion::fromRotationY(180.0f));
    // Of the five papers the clipboard, whose sheet is light grey.
    entities.createEntity("Paper", kCentre)->setModelByName("models\\props\\paper_5.model");
    auto* explosion = static_cast<APPENTTExplosion*>(entities.createEntity("Explosion", kCentre + Vector3{3.0f, 1.2f, 0.0f}));
    ASSERT_NE(monkey->getModel(), nullptr);
    ASSERT_NE(entities.getParticleShader(), nullptr);
    // 0.4 s into the explosion: its fireball is near its largest.
    qrTime()->setDelta(0.05f);
    for (int i = 0; i < 8; ++i)
        explosion->update();

    const std::vector<GLubyte> pixels = drawFrame();
    const auto furOrHoodie = [](int r, int g, int b) {
        return (r > g + 20 && g > b && r < 200) || (b > g + 30 && r > g + 20);
    };
    const auto paper = [](int r, int g, int b) {
        return std::min({r, g, b}) > 120 && std::max({r, g, b}) - std::min({r, g, b}) < 40;
    };
    const auto fire = [](int r, int g, int b) { return r > 200 && g > 70 && g < r - 20 && b < r / 2; };
    EXPECT_GT(count(pixels, 0, furOrHoodie), 800) << "the monkey on the left";
    EXPECT_GT(count(pixels, 1, paper), 800) << "the paper in the middle";
    EXPECT_GT(count(pixels, 2, fire), 800) << "the explosion on the right";
    EXPECT_LT(count(pixels, 0, fire), 50);
    EXPECT_LT(count(pixels, 1, fire), 50);

    EXPECT_FALSE(visual().checkGLError());
    EXPECT_EQ(logText().find("GL Error"), std::string::npos);
    EXPECT_EQ(shownBoxes().size(), boxesBefore);
}
