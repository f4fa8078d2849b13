// The terrain's level of detail on Xvfb with the real terrain shaders: over rough ground seen
// obliquely from above, blocks at all three levels meet without the clear colour showing through
// their borders, and the picture near the eye is the same with level of detail as without it,
// while far away it stays close.

#include "gl_context_fixture.h"

#include "environment/app_envr_block.h"
#include "environment/app_envr_layerreach.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/qr_visx_main.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"

#include <QImage>
#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <vector>

using ::testing::IsEmpty;

namespace {

void savePicture(const std::filesystem::path& path, const QImage& picture, const char* format)
{
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), format, 100));
}

// A picture with detail at every scale, so that a texture read from the wrong place or level shows.
QImage noise(int size, QColor base, int spread, unsigned seed)
{
    QImage picture(size, size, QImage::Format_RGBA8888);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int n = static_cast<int>((seed >> 16) % static_cast<unsigned>(2 * spread + 1)) - spread;
            picture.setPixelColor(x, y, QColor(std::clamp(base.red() + n, 0, 255), std::clamp(base.green() + n, 0, 255),
                                               std::clamp(base.blue() + n, 0, 255), std::clamp(128 + 3 * n, 0, 255)));
        }
    }
    return picture;
}

struct View {
    const char* name;
    Vector3 eye;
    float yaw;
    float pitch;
};

// Oblique views with the eye well above the ground and off every block's middle, one from high up
// over the whole range of levels and one low over the ground near the eye.
const View kViews[] = {
    {"high and oblique", {1013.0f, 70.0f, 1377.0f}, 33.0f, -32.0f},
    {"low over rough ground", {1207.0f, 46.0f, 1251.0f}, 210.0f, -8.0f},
};

class TerrainDetail : public GLContextFixture {
protected:
    TerrainDetail()
    {
        context_ = visual().generateMainRenderContext("Main RC", "Visual Device");
        const auto folder = programFolder() / "textures" / "terrain";
        const QColor layers[] = {QColor(60, 140, 40), QColor(110, 160, 60), QColor(120, 90, 50), QColor(130, 130, 125),
                                 QColor(150, 150, 150)};
        for (int i = 0; i < 5; ++i)
            savePicture(folder / ("terrain" + std::to_string(i) + ".jpg"), noise(64, layers[i], 30, 7u + static_cast<unsigned>(i)), "JPG");
        savePicture(folder / "modulation.png", noise(64, QColor(128, 128, 128), 100, 99u), "PNG");
        // Each 64-texel tile opaque in its middle and fading out over its outer 6 texels, like a
        // road with verges: some quads of a street cell are drawn from the tile alone, the others
        // blended over the ground.
        QImage atlas(256, 256, QImage::Format_RGBA8888);
        for (int x = 0; x < 256; ++x) {
            for (int y = 0; y < 256; ++y) {
                const int edge = std::min({x % 64, 63 - x % 64, y % 64, 63 - y % 64});
                atlas.setPixelColor(x, y, QColor(40 + x % 64, 40, 40 + y % 64, edge < 6 ? 40 * edge : 255));
            }
        }
        savePicture(folder / "streets.png", atlas, "PNG");

        environment_ = qrNew<APPENVRMain>(nullptr);
        environment_->initialize();
        // Rough hills: steep enough that a border at another level would leave gaps, with a
        // few streets and concrete cells for the far shading to draw.
        unsigned seed = 4242u;
        for (int x = 0; x < APPENVRMain::kStoredVertexCount; ++x) {
            for (int z = 0; z < APPENVRMain::kStoredVertexCount; ++z) {
                seed = seed * 1103515245u + 12345u;
                const float bump = static_cast<float>((seed >> 16) % 100) * 0.06f;
                environment_->setHeight(x, z, 12.0f + 10.0f * std::sin(static_cast<float>(x) * 0.21f) *
                                                          std::cos(static_cast<float>(z) * 0.17f) + bump);
            }
        }
        for (int x = 60; x < 100; ++x) {
            environment_->setStreet(x, 80);
            environment_->setStreet(x, 82);
            environment_->setGroundType(x, 84, 1);
        }
        environment_->updateStreets();
        environment_->updateNormals();
        environment_->updateBounds();
        QRVISXMaterialVariablePool& pool = *visual().getMaterialManager()->getVariablePool();
        pool.setVector3("LightAmbient", {0.4f, 0.4f, 0.4f});
        pool.setVector3("LightDiffuse", {0.6f, 0.6f, 0.6f});
        pool.setVector3("LightDirection", {0.3f, 0.8f, -0.5f});
    }

    void placeCamera(const View& view)
    {
        QRVISXCamera3D& camera = *visual().getCameraManager()->get3DCamera();
        camera.setOrthographic(false);
        camera.setPosition(view.eye);
        camera.setOrientation(QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(view.yaw), view.pitch));
        camera.setFieldOfView(45.0f);
        camera.setClipPlanes(0.6f, kFar);
        visual().getCameraManager()->activateCamera(&camera);
    }

    // The terrain alone over a magenta clear, read back as colour and depth.
    void drawFrame(const View& view, bool levelOfDetail)
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        qrGL().clearColor(1.0f, 0.0f, 1.0f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        placeCamera(view);
        environment_->setLevelOfDetail(levelOfDetail);
        environment_->render();
        qrGL().finish();
        colour_.assign(static_cast<std::size_t>(kPanelWidth * kPanelHeight * 3), 0);
        depth_.assign(static_cast<std::size_t>(kPanelWidth * kPanelHeight), 0.0f);
        qrGL().readBuffer(GL_BACK);
        qrGL().pixelStorei(GL_PACK_ALIGNMENT, 1);
        qrGL().readPixels(0, 0, kPanelWidth, kPanelHeight, GL_RGB, GL_UNSIGNED_BYTE, colour_.data());
        qrGL().readPixels(0, 0, kPanelWidth, kPanelHeight, GL_DEPTH_COMPONENT, GL_FLOAT, depth_.data());
    }

    bool isClearColour(int column, int row) const
    {
        const std::size_t at = (static_cast<std::size_t>(row) * kPanelWidth + static_cast<std::size_t>(column)) * 3;
        return colour_[at] > 240 && colour_[at + 1] < 15 && colour_[at + 2] > 240;
    }

    // Distance along the view axis of the pixel's depth.
    float viewDepth(std::size_t pixel) const
    {
        const float ndc = 2.0f * depth_[pixel] - 1.0f;
        return 2.0f * kNear * kFar / (kFar + kNear - ndc * (kFar - kNear));
    }

    // The levels the blocks in view draw at.
    std::set<int> levelsInView()
    {
        std::set<int> levels;
        for (int gx = 0; gx < 16; ++gx)
            for (int gz = 0; gz < 16; ++gz) {
                const APPENVRBlock& block = *environment_->getBlock(gx / 4, gz / 4, gx % 4, gz % 4);
                const APPENVRBox& box = block.getCullingBounds();
                if (visual().getCameraManager()->getFrustum()->isBoxVisible(box.minimum, box.maximum))
                    levels.insert(block.getDetail().level);
            }
        return levels;
    }

    static constexpr float kNear = 0.6f;
    static constexpr float kFar = 500.0f;
    QRVISXRenderContext* context_ = nullptr;
    QROwned<APPENVRMain> environment_;
    std::vector<GLubyte> colour_;
    std::vector<float> depth_;
};

} // namespace

TEST_F(TerrainDetail, NoClearColourShowsThroughBlockBordersAtAnyLevel)
{
    ASSERT_NE(context_, nullptr);
    for (const View& view : kViews) {
        SCOPED_TRACE(view.name);
        drawFrame(view, true);
        if (std::string(view.name) == kViews[0].name) {
            EXPECT_EQ(levelsInView(), (std::set<int>{0, 1, 2})) << "the view spans every level";
        }
        // The ground covers each column from the bottom up to its skyline: any clear colour below
        // the highest ground pixel of a column is a hole in the ground.
        int holes = 0;
        int groundPixels = 0;
        for (int column = 0; column < kPanelWidth; ++column) {
            int top = -1;
            for (int row = kPanelHeight - 1; row >= 0 && top < 0; --row)
                if (!isClearColour(column, row))
                    top = row;
            for (int row = 0; row <= top; ++row) {
                if (isClearColour(column, row))
                    ++holes;
                else
                    ++groundPixels;
            }
        }
        EXPECT_GT(groundPixels, kPanelWidth * kPanelHeight / 3);
        EXPECT_EQ(holes, 0);
    }
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

// Tolerances: within 85 units of the eye along the view (no more than 100 units away even at the
// picture's corners, so every block there draws every height step with the full shading) no colour channel may differ by more than 2; further out the
// average colour difference stays below 12 per channel, and no more than a tenth of those pixels
// differ by more than 40 (the far field's layers show their average colours instead of their
// pictures, and coarser ground shifts a few silhouettes).
TEST_F(TerrainDetail, NearFieldIsUnchangedAndFarFieldStaysClose)
{
    ASSERT_NE(context_, nullptr);
    for (const View& view : kViews) {
        SCOPED_TRACE(view.name);
        // The environment's very first frame draws everything with the terrain shader alone (the
        // cheaper variants come with the second): the first view also holds the variants to it.
        drawFrame(view, false);
        const std::vector<GLubyte> full = colour_;
        const std::vector<float> fullDepth = depth_;
        drawFrame(view, true);
        depth_ = fullDepth;
        int nearPixels = 0;
        int nearDiffering = 0;
        int farPixels = 0;
        int farStrongly = 0;
        double farDifference = 0.0;
        for (std::size_t pixel = 0; pixel < depth_.size(); ++pixel) {
            if (depth_[pixel] >= 1.0f)
                continue;
            int largest = 0;
            int sum = 0;
            for (std::size_t c = 0; c < 3; ++c) {
                const int d = std::abs(static_cast<int>(full[pixel * 3 + c]) - static_cast<int>(colour_[pixel * 3 + c]));
                largest = std::max(largest, d);
                sum += d;
            }
            if (viewDepth(pixel) < 85.0f) {
                ++nearPixels;
                nearDiffering += largest > 2 ? 1 : 0;
            } else {
                ++farPixels;
                farDifference += sum / 3.0;
                farStrongly += largest > 40 ? 1 : 0;
            }
        }
        ASSERT_GT(nearPixels, 1000);
        ASSERT_GT(farPixels, 1000);
        EXPECT_EQ(nearDiffering, 0) << "of " << nearPixels << " near pixels";
        EXPECT_NE(environment_->getShading(false, false, APPENVRLayerReach::kStreetTileOnly),
                  environment_->getShaderConfiguration())
            << "quads under opaque street tiles have a program of their own";
        EXPECT_LT(farDifference / farPixels, 12.0);
        EXPECT_LT(farStrongly, farPixels / 10);
    }
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}
