// The generated world drawn by the game's own world on Xvfb, the way the game and the editor draw
// it: from five places the hero stands at (the start, the campus square, the lookout, the lake
// shore, the hills) and once from high above in the editor's view. Every view shows sky over land,
// the lake shows its water, and nothing reports an error. With KIPSTER_WORLD_SHOTS set to a folder
// the pictures are written there as world_*.png (docs/).

#include "generator_runs.h"
#include "gl_context_fixture.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_kip.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/view/qr_visx_viewport.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"

#include <QImage>

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using ::testing::IsEmpty;

namespace {

const fs::path& generatedWorld()
{
    static TempFolder folder;
    static const bool generated = runGenerator(folder.path(), {});
    EXPECT_TRUE(generated) << "the generator failed";
    return folder.path();
}

struct Shot {
    const char* name;
    Vector3 hero; // y is taken from the terrain
    float yaw, pitch;
    bool water;   // the lake or the river is in view
};

// The hero's places; yaw 0 looks along -z (north), 90 along -x, 180 along +z, 270 along +x.
const Shot kShots[] = {
    {"world_start", {1004.0f, 0.0f, 1010.0f}, 220.0f, 0.0f, false},
    {"world_campus", {1256.0f, 0.0f, 1292.0f}, 0.0f, 6.0f, false},
    {"world_lookout", {1250.0f, 0.0f, 748.0f}, 182.0f, 2.0f, false},
    {"world_lake", {560.0f, 0.0f, 1640.0f}, 172.0f, 0.0f, true},
    {"world_hills", {2080.0f, 0.0f, 1300.0f}, 300.0f, 10.0f, false},
};

class DefaultWorld : public GLContextFixture {
protected:
    DefaultWorld()
    {
        const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
        fs::copy(generatedWorld(), programFolder().path(), options);
        fs::copy(fs::path(KIPSTER_SOURCE_DIR) / "content", programFolder().path(), options);
        context_ = visual().generateMainRenderContext("Main RC", "Visual Device");
        world_ = qrNew<APPWRLDMain>(nullptr);
        world_->initialize();
    }
    ~DefaultWorld() override { world_.reset(); }

    // One game frame with the hero standing at the shot's place: the hero places the camera.
    QImage gameView(const Shot& shot)
    {
        APPENTTKip* hero = world_->getEntities()->getKip();
        EXPECT_NE(hero, nullptr);
        if (!hero)
            return {};
        Vector3 at = shot.hero;
        at.y = world_->getEnvironment()->getHeight(at);
        hero->setPosition(at);
        hero->setHeading(shot.yaw, shot.pitch);
        // Only entities near the camera update: bring it to the hero, who then places it.
        world_->getCamera()->setPosition(at);
        qrTime()->setDelta(0.02f);
        world_->update();
        return frame([this] { world_->render(); });
    }

    // The editor's view from a free camera.
    QImage editorView(const Vector3& eye, float yaw, float pitch)
    {
        world_->getCamera()->setPosition(eye);
        world_->getCamera()->setOrientation(QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(yaw), pitch));
        return frame([this] { world_->renderEditor(); });
    }

    QImage frame(const std::function<void()>& draw)
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        visual().getViewPort()->fitToRenderContext();
        qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        draw();
        qrGL().finish();
        QImage picture(kPanelWidth, kPanelHeight, QImage::Format_RGB888);
        std::vector<GLubyte> pixels(static_cast<std::size_t>(kPanelWidth * kPanelHeight * 3));
        qrGL().readBuffer(GL_BACK);
        qrGL().pixelStorei(GL_PACK_ALIGNMENT, 1);
        qrGL().readPixels(0, 0, kPanelWidth, kPanelHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        for (int y = 0; y < kPanelHeight; ++y)
            std::copy_n(pixels.data() + static_cast<std::size_t>((kPanelHeight - 1 - y) * kPanelWidth * 3), kPanelWidth * 3,
                        picture.scanLine(y));
        context_->swapBuffers();
        if (const char* folder = std::getenv("KIPSTER_WORLD_SHOTS"))
            picture.save(QString::fromLocal8Bit(folder) + "/" + QString::fromStdString(current_) + ".png");
        return picture;
    }

    // Share of the pixels in rows [y0, y1) that pass the test.
    static double share(const QImage& picture, int y0, int y1, const std::function<bool(QRgb)>& test)
    {
        int passed = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < picture.width(); ++x)
                passed += test(picture.pixel(x, y)) ? 1 : 0;
        return static_cast<double>(passed) / (picture.width() * (y1 - y0));
    }
    static bool sky(QRgb p) { return qBlue(p) > 150 && qBlue(p) > qRed(p) + 20; }
    // The water is a green teal; grass has less blue than red, sky more blue than green.
    static bool water(QRgb p) { return qBlue(p) > qRed(p) + 15 && qGreen(p) > qRed(p) + 30 && qGreen(p) >= qBlue(p); }
    static bool grey(QRgb p) { return std::abs(qRed(p) - 77) < 3 && std::abs(qGreen(p) - 77) < 3 && std::abs(qBlue(p) - 77) < 3; }

    std::string current_;
    QRVISXRenderContext* context_ = nullptr;
    QROwned<APPWRLDMain> world_;
};

} // namespace

TEST_F(DefaultWorld, FivePlacesShowSkyOverLandAndTheLakeItsWater)
{
    ASSERT_NE(context_, nullptr);
    for (const Shot& shot : kShots) {
        current_ = shot.name;
        const QImage picture = gameView(shot);
        ASSERT_FALSE(picture.isNull()) << shot.name;
        const int h = picture.height();
        EXPECT_GT(share(picture, 0, h / 8, sky), 0.3) << shot.name << ": sky at the top";
        EXPECT_LT(share(picture, h / 2, h, sky), 0.2) << shot.name << ": land below";
        EXPECT_LT(share(picture, 0, h, grey), 0.01) << shot.name << ": the whole view is drawn";
        if (shot.water) {
            EXPECT_GT(share(picture, h / 6, h, water), 0.1) << shot.name << ": water";
        }
    }
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(DefaultWorld, EditorOverviewFromHighAboveShowsTheTownAndItsSurroundings)
{
    ASSERT_NE(context_, nullptr);
    current_ = "world_overview";
    const QImage picture = editorView({1110.0f, 330.0f, 1110.0f}, 225.0f, -58.0f);
    const int h = picture.height();
    EXPECT_LT(share(picture, h / 3, h, sky), 0.05) << "looking down on land";
    EXPECT_LT(share(picture, 0, h, grey), 0.01);
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}
