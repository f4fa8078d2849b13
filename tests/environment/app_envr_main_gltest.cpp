// The terrain drawn on Xvfb with the real terrain shader and read back: each street code shows its
// tile of the atlas, the right way round, grass and concrete elsewhere, and both drawing methods
// give the same picture.

#include "gl_context_fixture.h"

#include "environment/app_envr_main.h"
#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/view/qr_visx_viewport.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <QImage>
#include <gmock/gmock.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

using ::testing::IsEmpty;

namespace {

using Pixel = std::array<int, 3>;

constexpr int kTile = 16;
const QColor kGrass(0, 160, 0);
const QColor kConcrete(128, 128, 128);
const QColor kMarker(255, 255, 255);

// A distinct colour for each street code 1..15.
QColor tileColour(int code)
{
    static const std::array<QColor, 16> colours = {
        QColor(0, 0, 0),       QColor(255, 0, 0),     QColor(0, 0, 255),     QColor(255, 255, 0),
        QColor(255, 0, 255),   QColor(0, 255, 255),   QColor(128, 0, 0),     QColor(0, 0, 128),
        QColor(128, 128, 0),   QColor(128, 0, 128),   QColor(0, 128, 128),   QColor(255, 128, 0),
        QColor(128, 255, 0),   QColor(0, 128, 255),   QColor(255, 0, 128),   QColor(128, 64, 0)};
    return colours[static_cast<std::size_t>(code)];
}

bool near(const Pixel& pixel, const QColor& wanted, int tolerance = 12)
{
    return std::abs(pixel[0] - wanted.red()) <= tolerance && std::abs(pixel[1] - wanted.green()) <= tolerance &&
           std::abs(pixel[2] - wanted.blue()) <= tolerance;
}

std::string text(const Pixel& pixel)
{
    return std::to_string(pixel[0]) + ", " + std::to_string(pixel[1]) + ", " + std::to_string(pixel[2]);
}

void savePicture(const std::filesystem::path& path, const QImage& picture, const char* format)
{
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), format, 100));
}

QImage solid(const QColor& colour)
{
    QImage picture(8, 8, QImage::Format_RGB888);
    picture.fill(colour);
    return picture;
}

class TerrainPicture : public GLContextFixture {
protected:
    TerrainPicture()
    {
        context_ = visual().generateMainRenderContext("Main RC", "Visual Device");
        const auto folder = programFolder() / "textures" / "terrain";
        for (int i = 0; i < 4; ++i)
            savePicture(folder / ("terrain" + std::to_string(i) + ".jpg"), solid(kGrass), "JPG");
        savePicture(folder / "terrain4.jpg", solid(kConcrete), "JPG");
        // Neutral modulation: half in every channel leaves the ground's brightness as it is.
        QImage modulation(8, 8, QImage::Format_RGBA8888);
        modulation.fill(QColor(128, 128, 128, 128));
        savePicture(folder / "modulation.png", modulation, "PNG");
        // The atlas: tile c at column c % 4, row c / 4 from the top, in the colour of c, with its
        // upper right quarter white: that is the cell's +X, +Z quarter. Tile 0 is transparent.
        QImage atlas(4 * kTile, 4 * kTile, QImage::Format_RGBA8888);
        atlas.fill(Qt::transparent);
        for (int code = 1; code < 16; ++code)
            for (int y = 0; y < kTile; ++y)
                for (int x = 0; x < kTile; ++x)
                    atlas.setPixelColor((code % 4) * kTile + x, (code / 4) * kTile + y,
                                        x >= kTile / 2 && y < kTile / 2 ? kMarker : tileColour(code));
        savePicture(folder / "streets.png", atlas, "PNG");

        environment_ = qrNew<APPENVRMain>(nullptr);
        environment_->initialize();
        // Row z = 1: street codes 1..15 in cells x = 1..15; cell 16 is concrete; the rest grass.
        for (int code = 1; code < 16; ++code)
            environment_->setGroundCell(code, 1, static_cast<std::uint32_t>(code) << 8);
        environment_->setGroundCell(16, 1, 1);
        // Full ambient light and no sun: the picture shows the textures' own colours.
        QRVISXMaterialVariablePool& pool = *visual().getMaterialManager()->getVariablePool();
        pool.setVector3("LightAmbient", {1.0f, 1.0f, 1.0f});
        pool.setVector3("LightDiffuse", {0.0f, 0.0f, 0.0f});
        pool.setVector3("LightDirection", {0.0f, 1.0f, 0.0f});
    }

    // The terrain straight from above, orthographically, around (144, 40): cells 1..16 across.
    std::vector<GLubyte> drawFrame(APPENVRDrawing drawing)
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        qrGL().clearColor(0.0f, 0.0f, 0.0f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        QRVISXCamera3D& camera = *visual().getCameraManager()->get3DCamera();
        camera.setPosition({144.0f, 100.0f, 40.0f});
        camera.setOrientation(QRMATHQuaternion::fromRotationX(-90.0f));
        camera.setOrthographic(true);
        camera.setOrthoExtents({100.0f, 100.0f, 1.0f});
        camera.setClipPlanes(1.0f, 500.0f);
        visual().getCameraManager()->activateCamera(&camera);
        environment_->setDrawing(drawing);
        environment_->render();
        qrGL().finish();
        std::vector<GLubyte> pixels(kPanelWidth * kPanelHeight * 3);
        qrGL().readBuffer(GL_BACK);
        qrGL().pixelStorei(GL_PACK_ALIGNMENT, 1);
        qrGL().readPixels(0, 0, kPanelWidth, kPanelHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // The pixel a point on the ground lands on, through the camera's matrices and the view port.
    Pixel at(const std::vector<GLubyte>& pixels, float x, float z)
    {
        const QRVISXCamera3D& camera = *visual().getCameraManager()->get3DCamera();
        const Matrix4 clip = camera.getProjectionMatrix() * camera.getViewMatrix();
        const Vector4 p = QRMATHMatrix4::transformVector4(clip, {x, 0.0f, z, 1.0f});
        const int column = static_cast<int>((p.x / p.w * 0.5f + 0.5f) * kPanelWidth);
        const int row = static_cast<int>((p.y / p.w * 0.5f + 0.5f) * kPanelHeight);
        const std::size_t offset = (static_cast<std::size_t>(row) * kPanelWidth + static_cast<std::size_t>(column)) * 3;
        return {pixels[offset], pixels[offset + 1], pixels[offset + 2]};
    }

    QRVISXRenderContext* context_ = nullptr;
    QROwned<APPENVRMain> environment_;
};

} // namespace

TEST_F(TerrainPicture, EveryStreetCodeShowsItsAtlasTileTheRightWayRound)
{
    ASSERT_NE(context_, nullptr);
    for (const APPENVRDrawing drawing : {APPENVRDrawing::Cells, APPENVRDrawing::StaticBuffers}) {
        SCOPED_TRACE(drawing == APPENVRDrawing::Cells ? "cell by cell" : "static buffers");
        const auto pixels = drawFrame(drawing);
        for (int code = 1; code < 16; ++code) {
            SCOPED_TRACE("code " + std::to_string(code));
            const float x0 = 16.0f * static_cast<float>(code);
            // The cell's -X, -Z quarter shows the tile's colour, its +X, +Z quarter the marker.
            const Pixel low = at(pixels, x0 + 4.0f, 16.0f + 4.0f);
            const Pixel high = at(pixels, x0 + 12.0f, 16.0f + 12.0f);
            EXPECT_TRUE(near(low, tileColour(code))) << text(low);
            EXPECT_TRUE(near(high, kMarker)) << text(high);
            // Neither the +X, -Z nor the -X, +Z quarter is the marker (no mirrored axis).
            EXPECT_TRUE(near(at(pixels, x0 + 12.0f, 16.0f + 4.0f), tileColour(code)));
            EXPECT_TRUE(near(at(pixels, x0 + 4.0f, 16.0f + 12.0f), tileColour(code)));
        }
        // Without a street: grass on grass cells, concrete on the concrete cell.
        for (const float x : {24.0f, 72.0f, 200.0f}) {
            const Pixel grass = at(pixels, x, 56.0f);
            EXPECT_TRUE(near(grass, kGrass)) << text(grass);
        }
        const Pixel concrete = at(pixels, 16.0f * 16.0f + 8.0f, 24.0f);
        EXPECT_TRUE(near(concrete, kConcrete)) << text(concrete);
    }
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(TerrainPicture, BothDrawingMethodsGiveTheSamePicture)
{
    ASSERT_NE(context_, nullptr);
    for (int x = 0; x < 80; ++x)
        for (int z = 0; z < 80; ++z)
            environment_->setHeight(x, z, std::sin(static_cast<float>(x) * 0.4f) * 3.0f + std::cos(static_cast<float>(z) * 0.3f) * 2.0f);
    environment_->updateNormals();
    environment_->updateBounds();
    QRVISXMaterialVariablePool& pool = *visual().getMaterialManager()->getVariablePool();
    pool.setVector3("LightAmbient", {0.3f, 0.3f, 0.3f});
    pool.setVector3("LightDiffuse", {0.7f, 0.7f, 0.7f});
    pool.setVector3("LightDirection", {0.0f, 0.7071f, -0.7071f});

    const auto cells = drawFrame(APPENVRDrawing::Cells);
    const auto buffers = drawFrame(APPENVRDrawing::StaticBuffers);
    ASSERT_EQ(cells.size(), buffers.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (std::abs(static_cast<int>(cells[i]) - static_cast<int>(buffers[i])) > 2)
            ++differing;
    EXPECT_EQ(differing, 0u);
    EXPECT_FALSE(visual().checkGLError());
}
