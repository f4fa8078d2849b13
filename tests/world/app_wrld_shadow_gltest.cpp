// The shadow pass on Xvfb: a box drawn into the shadow map darkens the terrain right under it and
// nowhere else, the map's axes matching the world's.

#include "gl_context_fixture.h"

#include "environment/app_envr_main.h"
#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/text/qr_visx_util.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "world/app_wrld_shadow.h"

#include <QImage>
#include <gmock/gmock.h>

#include <filesystem>
#include <vector>

using ::testing::IsEmpty;

namespace {

void savePicture(const std::filesystem::path& path, const QImage& picture, const char* format)
{
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), format, 100));
}

class ShadowPicture : public GLContextFixture {
protected:
    ShadowPicture()
    {
        context_ = visual().generateMainRenderContext("Main RC", "Visual Device");
        const auto folder = programFolder() / "textures" / "terrain";
        QImage ground(8, 8, QImage::Format_RGB888);
        ground.fill(QColor(220, 220, 220));
        for (int i = 0; i < 5; ++i)
            savePicture(folder / ("terrain" + std::to_string(i) + ".jpg"), ground, "JPG");
        QImage neutral(8, 8, QImage::Format_RGBA8888);
        neutral.fill(QColor(128, 128, 128, 128));
        savePicture(folder / "modulation.png", neutral, "PNG");
        neutral.fill(Qt::transparent);
        savePicture(folder / "streets.png", neutral, "PNG");

        environment_ = qrNew<APPENVRMain>(nullptr);
        environment_->initialize();
        shadow_ = qrNew<APPWRLDShadow>(nullptr);
        shadow_->initialize();
        environment_->setShadow(shadow_.get());
        QRVISXMaterialVariablePool& pool = *visual().getMaterialManager()->getVariablePool();
        pool.setVector3("LightAmbient", {0.3f, 0.3f, 0.3f});
        pool.setVector3("LightDiffuse", {0.7f, 0.7f, 0.7f});
        pool.setVector3("LightDirection", {0.0f, 1.0f, 0.0f});
    }

    // The game's frame order: the shadow pass around focus with a 6 x 6 box standing at caster,
    // then the camera 60 units above focus looking straight down, then the terrain.
    void drawFrame(const Vector3& focus, const Vector3& caster)
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        qrGL().clearColor(0.0f, 0.0f, 0.0f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        shadow_->renderShadowMapAt(focus, [&] {
            visual().getUtil()->getBoxes()->drawBox(caster + Vector3{0.0f, 3.0f, 0.0f}, QRMATHQuaternion::identity(),
                                                    false, {3.0f, 3.0f, 3.0f});
        });
        QRVISXCamera3D& camera = *visual().getCameraManager()->get3DCamera();
        camera.setPosition(focus + Vector3{0.0f, 60.0f, 0.0f});
        camera.setOrientation(QRMATHQuaternion::fromRotationX(-90.0f));
        camera.setClipPlanes(0.6f, 500.0f);
        visual().getCameraManager()->activateCamera(&camera);
        environment_->render();
        qrGL().finish();
    }

    // Brightness (sum of red, green and blue) where a point of the flat ground is seen.
    int brightnessAt(const Vector3& point)
    {
        const QRVISXCamera3D& camera = *visual().getCameraManager()->get3DCamera();
        const Vector4 p = QRMATHMatrix4::transformVector4(camera.getProjectionMatrix() * camera.getViewMatrix(),
                                                          {point.x, 0.0f, point.z, 1.0f});
        const int column = static_cast<int>((p.x / p.w * 0.5f + 0.5f) * kPanelWidth);
        const int row = static_cast<int>((p.y / p.w * 0.5f + 0.5f) * kPanelHeight);
        GLubyte rgb[3] = {};
        qrGL().readBuffer(GL_BACK);
        qrGL().readPixels(column, row, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return rgb[0] + rgb[1] + rgb[2];
    }

    QRVISXRenderContext* context_ = nullptr;
    QROwned<APPENVRMain> environment_;
    QROwned<APPWRLDShadow> shadow_;
};

} // namespace

TEST_F(ShadowPicture, CasterDarkensTheGroundUnderItOnly)
{
    ASSERT_NE(context_, nullptr);
    const Vector3 focus{500.0f, 0.0f, 700.0f};
    // Offsets from the focus in each quadrant: a mirrored axis would put the shadow elsewhere.
    for (const Vector3& offset : {Vector3{0.0f, 0.0f, 0.0f}, Vector3{12.0f, 0.0f, -9.0f}, Vector3{-15.0f, 0.0f, 10.0f}}) {
        SCOPED_TRACE(std::to_string(offset.x) + ", " + std::to_string(offset.z));
        const Vector3 caster = focus + offset;
        drawFrame(focus, caster);
        const int under = brightnessAt(caster);
        const int beside = brightnessAt(caster + Vector3{7.0f, 0.0f, 0.0f});
        const int mirrored = brightnessAt(focus + Vector3{-offset.x, 0.0f, offset.z} + Vector3{0.0f, 0.0f, 0.5f});
        EXPECT_LT(under * 2, beside) << under << " under the box, " << beside << " beside it";
        if (offset.x != 0.0f) {
            EXPECT_GT(mirrored, beside * 9 / 10) << "no shadow at the mirrored place";
        }
    }
    // Far outside the map (70 units from its centre) the ground reads the white border: lit.
    drawFrame(focus, focus + Vector3{80.0f, 0.0f, 0.0f});
    EXPECT_GT(brightnessAt(focus + Vector3{20.0f, 0.0f, 0.0f}), 300);
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

// The pass borrows the one 3D camera: whatever draws after it must see the view's frustum again,
// including probes beside the view that the sun's square would catch (and the other way round).
TEST_F(ShadowPicture, ViewCameraAndFrustumAreTheSameAfterThePass)
{
    ASSERT_NE(context_, nullptr);
    QRVISXCamera3D& camera = *visual().getCameraManager()->get3DCamera();
    const QRVISXFrustum& frustum = *visual().getCameraManager()->getFrustum();
    // An oblique view from a height: turned 35 degrees about y, pitched down 20.
    const Vector3 eye{812.0f, 43.0f, 611.0f};
    camera.setPosition(eye);
    camera.setOrientation(QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(35.0f), -20.0f));
    camera.setClipPlanes(0.6f, 300.0f);
    visual().getCameraManager()->activateCamera(&camera);
    const Vector3 forward = QRMATHQuaternion::rotateVector(camera.getOrientation(), {0.0f, 0.0f, -1.0f});
    const Vector3 side = QRMATHQuaternion::rotateVector(camera.getOrientation(), {1.0f, 0.0f, 0.0f});
    const std::vector<Vector3> probes = {
        eye + forward * 40.0f,                   // ahead: seen by both
        eye + side * 60.0f + Vector3{0, -30, 0}, // beside the view, inside the sun's square
        eye - forward * 30.0f,                   // behind the eye, inside the square
        eye + forward * 250.0f + side * 80.0f,   // far ahead off to the side: the view only
    };
    std::vector<bool> before;
    for (const Vector3& probe : probes)
        before.push_back(frustum.isSphereVisible(probe, 1.0f));
    const Matrix4 projection = camera.getProjectionMatrix();
    const Matrix4 view = camera.getViewMatrix();

    shadow_->renderShadowMapAt(eye, [] {});

    for (std::size_t i = 0; i < probes.size(); ++i)
        EXPECT_EQ(frustum.isSphereVisible(probes[i], 1.0f), before[i]) << "probe " << i;
    EXPECT_FALSE(camera.isOrthographic());
    EXPECT_EQ(camera.getPosition().x, eye.x);
    EXPECT_EQ(camera.getPosition().y, eye.y);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(camera.getProjectionMatrix().m[i], projection.m[i], 1e-5f) << "projection " << i;
        EXPECT_NEAR(camera.getViewMatrix().m[i], view.m[i], 1e-4f) << "view " << i;
    }
}
