#include "gl_context_fixture.h"

#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/view/qr_visx_viewport.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "world/app_wrld_skybox.h"

#include <QImage>
#include <gmock/gmock.h>

#include <array>
#include <cstdlib>
#include <filesystem>

using ::testing::IsEmpty;

namespace {

using Pixel = std::array<int, 3>;

// Each face's picture is 2 x 2: its colour on the upper left, half of it on the upper right, a
// quarter and an eighth below. Along the middle row the left edge shows 0.625 of the colour and
// the right edge 0.3125 of it, when sampling clamps at the edges.
struct FacePicture {
    const char* name;
    Pixel colour;
};
constexpr FacePicture kFaces[] = {{"north", {255, 0, 0}}, {"west", {0, 255, 0}},   {"south", {0, 0, 255}},
                                  {"east", {255, 255, 0}}, {"top", {255, 0, 255}}, {"bottom", {0, 255, 255}}};

Pixel scaled(const Pixel& colour, float factor)
{
    return {static_cast<int>(colour[0] * factor + 0.5f), static_cast<int>(colour[1] * factor + 0.5f),
            static_cast<int>(colour[2] * factor + 0.5f)};
}

bool near(const Pixel& pixel, const Pixel& wanted, int tolerance)
{
    for (std::size_t i = 0; i < pixel.size(); ++i)
        if (std::abs(pixel[i] - wanted[i]) > tolerance)
            return false;
    return true;
}

// Which face a pixel shows: the channels lit in that face's colour, and only those.
bool showsFace(const Pixel& pixel, const Pixel& colour)
{
    for (std::size_t i = 0; i < pixel.size(); ++i)
        if ((colour[i] > 0) != (pixel[i] > 40) || (colour[i] == 0 && pixel[i] > 15))
            return false;
    return true;
}

class SkyBoxPicture : public GLContextFixture {
protected:
    SkyBoxPicture()
    {
        context_ = visual().generateMainRenderContext("Main RC", "Visual Device");
        const auto folder = programFolder() / "textures" / "skybox";
        std::filesystem::create_directories(folder);
        for (const auto& face : kFaces) {
            QImage picture(2, 2, QImage::Format_RGB888);
            const auto put = [&](int x, int y, float factor) {
                const Pixel c = scaled(face.colour, factor);
                picture.setPixelColor(x, y, QColor(c[0], c[1], c[2]));
            };
            put(0, 0, 1.0f);
            put(1, 0, 0.5f);
            put(0, 1, 0.25f);
            put(1, 1, 0.125f);
            picture.save(QString::fromStdString((folder / (std::string(face.name) + ".png")).string()), "PNG");
        }
        skybox_ = qrNew<APPWRLDSkybox>(nullptr);
        skybox_->initialize();
    }

    ~SkyBoxPicture() override { skybox_.reset(); }

    // One frame: grey, the camera at position turned by orientation, the sky box; and, when asked,
    // a white square ahead and below the horizon, drawn after it as the terrain would be.
    void drawFrame(const Vector3& position, const Quaternion& orientation, bool withSquare = false)
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        visual().getViewPort()->fitToRenderContext();
        qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        QRVISXCamera3D& camera = *visual().getCameraManager()->get3DCamera();
        camera.setPosition(position);
        camera.setOrientation(orientation);
        visual().getCameraManager()->activateCamera(&camera);
        skybox_->render();
        if (withSquare) {
            QRVISXTransformWorld& world = *visual().getTransform()->getWorld();
            world.reset();
            world.translate(position);
            world.rotate(orientation);
            world.apply();
            visual().getMaterialManager()->resetForMaterialUnlit();
            visual().getMaterialManager()->apply();
            qrGL().begin(GL_QUADS);
            qrGL().vertex3f(-1, -3, -10);
            qrGL().vertex3f(1, -3, -10);
            qrGL().vertex3f(1, -2, -10);
            qrGL().vertex3f(-1, -2, -10);
            qrGL().end();
        }
        qrGL().finish();
        qrGL().readBuffer(GL_BACK);
    }

    static Pixel pixel(int x, int y)
    {
        std::array<GLubyte, 3> rgb{};
        qrGL().readPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return {rgb[0], rgb[1], rgb[2]};
    }

    QRVISXRenderContext* context_ = nullptr;
    QROwned<APPWRLDSkybox> skybox_;
};

} // namespace

TEST_F(SkyBoxPicture, EachDirectionShowsItsFaceWhereverTheCameraStands)
{
    ASSERT_NE(context_, nullptr);
    struct View {
        const char* what;
        Vector3 position;
        Quaternion orientation;
        Pixel face;
    };
    const View views[] = {
        {"north ahead", {0, 0, 0}, QRMATHQuaternion::identity(), kFaces[0].colour},
        {"south behind", {0, 0, 0}, QRMATHQuaternion::fromRotationY(180.0f), kFaces[2].colour},
        {"north from far away", {1000, 50, -2000}, QRMATHQuaternion::identity(), kFaces[0].colour},
        {"south from far away", {1000, 50, -2000}, QRMATHQuaternion::fromRotationY(180.0f), kFaces[2].colour},
        {"west on the left", {-300, 400, 77}, QRMATHQuaternion::fromRotationY(90.0f), kFaces[1].colour},
        {"east on the right", {-300, 400, 77}, QRMATHQuaternion::fromRotationY(-90.0f), kFaces[3].colour},
        {"top above", {5, 5, 5}, QRMATHQuaternion::fromRotationX(90.0f), kFaces[4].colour},
    };
    for (const View& view : views) {
        SCOPED_TRACE(view.what);
        drawFrame(view.position, view.orientation);
        const Pixel centre = pixel(kPanelWidth / 2, kPanelHeight / 2);
        EXPECT_TRUE(showsFace(centre, view.face)) << centre[0] << " " << centre[1] << " " << centre[2];
        // The picture stands upright: its upper row shows above the horizon.
        if (view.orientation.y == 0.0f && view.orientation.x == 0.0f) {
            const Pixel above = pixel(kPanelWidth / 2, kPanelHeight / 2 + 150);
            const Pixel below = pixel(kPanelWidth / 2, kPanelHeight / 2 - 150);
            EXPECT_GT(above[0], below[0] + 40);
        }
        context_->swapBuffers();
    }
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(SkyBoxPicture, FacesMeetWithoutASeamAndLaterDrawingCoversTheSky)
{
    for (int face = 0; face < APPWRLDSkybox::kFaceCount; ++face) {
        ASSERT_NE(skybox_->getTexture(static_cast<APPWRLDSkybox::Face>(face)), nullptr);
        EXPECT_TRUE(skybox_->getTexture(static_cast<APPWRLDSkybox::Face>(face))->getHorizontalClamp());
        EXPECT_TRUE(skybox_->getTexture(static_cast<APPWRLDSkybox::Face>(face))->getVerticalClamp());
    }

    // Turned 45 degrees to the left the north-west edge of the box runs down the middle of the
    // view: north's left edge just right of it, west's right edge just left. Wrapping sampling
    // would mix each edge with the opposite one of its own picture there.
    drawFrame({10, 2, 10}, QRMATHQuaternion::fromRotationY(45.0f), true);
    const Pixel northEdge = pixel(kPanelWidth / 2 + 4, kPanelHeight / 2 + 100);
    const Pixel westEdge = pixel(kPanelWidth / 2 - 5, kPanelHeight / 2 + 100);
    const Pixel middleRow = pixel(kPanelWidth / 2 + 4, kPanelHeight / 2);
    EXPECT_TRUE(near(middleRow, scaled(kFaces[0].colour, 0.625f), 14))
        << middleRow[0] << " " << middleRow[1] << " " << middleRow[2];
    EXPECT_TRUE(showsFace(northEdge, kFaces[0].colour));
    EXPECT_TRUE(showsFace(westEdge, kFaces[1].colour));
    const Pixel westMiddle = pixel(kPanelWidth / 2 - 5, kPanelHeight / 2);
    EXPECT_TRUE(near(westMiddle, scaled(kFaces[1].colour, 0.3125f), 14))
        << westMiddle[0] << " " << westMiddle[1] << " " << westMiddle[2];

    // Nothing of the box shows through the square drawn after it.
    EXPECT_TRUE(near(pixel(kPanelWidth / 2, kPanelHeight / 2 - 145), {255, 255, 255}, 4));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}
