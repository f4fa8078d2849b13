#include "environment_fixture.h"

#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "visual/view/qr_visx_frustum.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace {
// A camera at position, turned by yaw about Y (0 looks along -Z, 90 along -X), then pitched.
struct View {
    const char* what;
    Vector3 position;
    float yaw;
    float pitch;
    float fieldOfView;
    float farPlane;
};

std::unique_ptr<QRVISXFrustum> frustumOf(const View& view)
{
    auto frustum = std::make_unique<QRVISXFrustum>(nullptr);
    const Quaternion orientation =
        QRMATHQuaternion::fromRotationY(view.yaw) * QRMATHQuaternion::fromRotationX(view.pitch);
    const Matrix4 world = QRMATHMatrix4::rotate(QRMATHMatrix4::translation(view.position), orientation);
    frustum->extractPlanes(QRMATHMatrix4::perspective(4.0f / 3.0f, view.fieldOfView, 0.5f, view.farPlane),
                           QRMATHMatrix4::inverse(world));
    return frustum;
}

// Whether any part of the triangle lies inside the frustum: what is left after clipping it
// against each plane in turn.
bool reachesInto(const QRVISXFrustum& frustum, std::vector<Vector3> polygon)
{
    for (int index = 0; index < QRVISXFrustum::kPlaneCount && !polygon.empty(); ++index) {
        const Plane& plane = frustum.getPlane(index);
        const auto side = [&](const Vector3& p) { return plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d; };
        std::vector<Vector3> kept;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const Vector3& a = polygon[i];
            const Vector3& b = polygon[(i + 1) % polygon.size()];
            const float da = side(a);
            const float db = side(b);
            if (da >= 0.0f)
                kept.push_back(a);
            if ((da >= 0.0f) != (db >= 0.0f))
                kept.push_back(a + (b - a) * (da / (da - db)));
        }
        polygon = std::move(kept);
    }
    return !polygon.empty();
}

// Whether any triangle of the block's strips reaches into the frustum.
bool drawsIntoView(const APPENVRMain& terrain, const APPENVRBlock& block, const QRVISXFrustum& frustum)
{
    const APPENVRGridIndex start = block.getVertexRange();
    const APPENVRGridIndex end = block.getVertexRangeEnd();
    for (int x = start.x; x < end.x; ++x) {
        for (int z = start.z; z < end.z; ++z) {
            const Vector3 a = terrain.getVertexPosition(x, z);
            const Vector3 b = terrain.getVertexPosition(x, z + 1);
            const Vector3 c = terrain.getVertexPosition(x + 1, z);
            const Vector3 d = terrain.getVertexPosition(x + 1, z + 1);
            if (reachesInto(frustum, {a, b, c}) || reachesInto(frustum, {b, c, d}))
                return true;
        }
    }
    return false;
}

// The red value the heightmap picture holds at pixel (x, y).
int heightmapRed(int x, int y)
{
    return (x * 7 + y * 3) % 256;
}
} // namespace

class BlockTest : public EnvironmentFixture {
protected:
    void savePicture(const QImage& picture, const std::string& name) const
    {
        const auto path = programFolder() / "textures" / "heightmaps" / name;
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "PNG"));
    }

    // A greyscale picture of the whole world, one pixel per vertex.
    void saveHeightmap() const
    {
        QImage picture(640, 640, QImage::Format_Grayscale8);
        for (int y = 0; y < 640; ++y)
            for (int x = 0; x < 640; ++x)
                picture.scanLine(y)[x] = static_cast<uchar>(heightmapRed(x, y));
        savePicture(picture, "heightmap.png");
    }
};

TEST_F(BlockTest, RangesComeFromAreaAndBlockIndex)
{
    const APPENVRBlock* block = environment().getBlock(1, 2, 3, 1);
    EXPECT_EQ(block->getName(), "Terrain Block");
    EXPECT_EQ(block->getGroundRange().x, 70);
    EXPECT_EQ(block->getGroundRange().z, 90);
    EXPECT_EQ(block->getGroundRangeEnd().x, 80);
    EXPECT_EQ(block->getGroundRangeEnd().z, 100);
    EXPECT_EQ(block->getVertexRange().x, 280);
    EXPECT_EQ(block->getVertexRange().z, 360);
    EXPECT_EQ(block->getVertexRangeEnd().x, 320);
    EXPECT_EQ(block->getVertexRangeEnd().z, 400);
}

TEST_F(BlockTest, BoxesOnFlatLand)
{
    const APPENVRBlock* block = environment().getBlock(0, 0, 1, 0);
    EXPECT_EQ(block->getBounds().minimum, (Vector3{160.0f, 0.0f, 0.0f}));
    EXPECT_EQ(block->getBounds().maximum, (Vector3{320.0f, 0.0f, 160.0f}));
    EXPECT_EQ(block->getCullingBounds().minimum, (Vector3{150.0f, -10.0f, -10.0f}));
    EXPECT_EQ(block->getCullingBounds().maximum, (Vector3{330.0f, 50.0f, 170.0f}));
}

TEST_F(BlockTest, BoxesMeasureOnlyTheBlocksOwnVertices)
{
    environment().setHeight(40, 10, 30.0f);  // first vertex of block [1][0]
    environment().setHeight(39, 10, -4.0f);  // last column of block [0][0]
    environment().updateBounds();
    const APPENVRBlock* first = environment().getBlock(0, 0, 0, 0);
    EXPECT_EQ(first->getBounds().minimum.y, -4.0f);
    EXPECT_EQ(first->getBounds().maximum.y, 0.0f) << "the far column belongs to the next block";
    EXPECT_EQ(first->getCullingBounds().maximum.y, 80.0f) << "but the block draws up to it";
    EXPECT_EQ(first->getCullingBounds().minimum.y, -14.0f);
    EXPECT_EQ(environment().getBlock(0, 0, 1, 0)->getBounds().maximum.y, 30.0f);
}

TEST_F(BlockTest, EntityListDoesNotOwnItsEntities)
{
    // Made outside a world, so it registers nowhere by itself.
    auto entity = qrNew<APPENTTMain>(nullptr, Vector3{});
    entity->setName("Paper");
    {
        auto area = qrNew<APPENVRArea>(&environment(), 0, 0);
        area->initialize();
        APPENVRBlock* block = area->getBlock(0, 0);
        block->addEntity(entity.get());
        block->addEntity(entity.get());
        EXPECT_EQ(block->getEntityCount(), 1);
        EXPECT_EQ(block->getEntity(0), entity.get());
        block->removeEntity(entity.get());
        EXPECT_EQ(block->getEntityCount(), 0);
        block->addEntity(entity.get());
    }
    EXPECT_EQ(entity->getName(), "Paper") << "freeing the block frees only its list";
}

TEST_F(BlockTest, HeightmapImportChangesOnlyThePickedBlock)
{
    saveHeightmap();
    environment().setHeight(279, 360, 9.0f);
    APPENVRBlock* block = environment().getBlock(1, 2, 3, 1);
    block->importHeightmap();
    EXPECT_TRUE(shownBoxes().empty());

    for (int x = 0; x < 640; ++x) {
        for (int z = 0; z < 640; ++z) {
            const bool inside = x >= 280 && x < 320 && z >= 360 && z < 400;
            const float expected = inside ? heightmapRed(x, z) / 255.0f * 255.0f * 0.5f : 0.0f;
            if (x == 279 && z == 360)
                ASSERT_EQ(environment().getVertex(x, z).height, 9.0f);
            else
                ASSERT_FLOAT_EQ(environment().getVertex(x, z).height, expected) << x << "," << z;
        }
    }
    EXPECT_NE(environment().getVertex(300, 380).normal, (Vector3{0.0f, 1.0f, 0.0f})) << "normals recomputed";
    EXPECT_GT(block->getBounds().maximum.y, 100.0f) << "boxes recomputed";
    EXPECT_LE(block->getBounds().maximum.y, 127.5f);
}

TEST_F(BlockTest, AMissingHeightmapFlattensTheBlock)
{
    APPENVRBlock* block = environment().getBlock(0, 0, 0, 0);
    environment().setHeight(5, 5, 20.0f);
    block->importHeightmap();
    EXPECT_EQ(environment().getVertex(5, 5).height, 0.0f);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes().front().find("File \"textures\\heightmaps\\heightmap.png\" could not be found!"),
              std::string::npos);
}

TEST_F(BlockTest, GroundmapImportSetsCellsByRedValue)
{
    // A 160 x 160 RGB picture: one pixel per cell of the world.
    QImage picture(160, 160, QImage::Format_RGB888);
    picture.fill(QColor(255, 0, 0));
    const int reds[] = {0, 128, 192, 255, 200, 127};
    for (int i = 0; i < 6; ++i)
        picture.setPixelColor(130 + i, 50, QColor(reds[i], 90, 30));
    savePicture(picture, "groundmap.png");

    environment().setGroundCell(129, 50, 1);  // the next block over, left alone
    environment().getBlock(3, 1, 1, 0)->importGroundmap();  // cells 130..139 x 40..49
    environment().getBlock(3, 1, 1, 1)->importGroundmap();  // cells 130..139 x 50..59
    EXPECT_TRUE(shownBoxes().empty());

    EXPECT_EQ(environment().getGroundCell(130, 50), 0u);
    EXPECT_EQ(environment().getGroundCell(131, 50), 1u) << "128: concrete";
    EXPECT_TRUE(environment().hasStreet(132, 50)) << "192: grass with street";
    EXPECT_TRUE(environment().isDefaultGround(132, 50));
    EXPECT_TRUE(environment().hasStreet(133, 50)) << "255: concrete with street";
    EXPECT_FALSE(environment().isDefaultGround(133, 50));
    EXPECT_EQ(environment().getGroundCell(134, 50), 0u) << "200: grass without street";
    EXPECT_EQ(environment().getGroundCell(135, 50), 0u);
    EXPECT_EQ(environment().getGroundCell(129, 50), 1u);
    EXPECT_EQ(environment().getGroundCell(128, 45), 0u);
    // (132, 50) has streets east, south and north of it, but not west (the concrete cell 131).
    EXPECT_EQ(environment().getGroundCell(132, 50) >> 8, 9u) << "street shapes recomputed";
    EXPECT_EQ(environment().getGroundCell(137, 45), (3u << 8) | 1u) << "a crossing of concrete streets";
    EXPECT_EQ(environment().getGroundCell(139, 45) >> 8, 8u) << "no street beyond the imported blocks";
}

TEST_F(BlockTest, EveryBlockThatDrawsIntoTheViewAndItsAreaPassTheCulling)
{
    struct Case {
        const char* terrain;
        std::function<void(APPENVRMain&)> shape;
        std::vector<View> views;
    };
    const auto setArea = [](APPENVRMain& terrain, int ax, int az, float height) {
        for (int x = 160 * ax; x < 160 * ax + 160; ++x)
            for (int z = 160 * az; z < 160 * az + 160; ++z)
                terrain.setHeight(x, z, height);
    };
    const auto setBlock = [](APPENVRMain& terrain, int x0, int z0, float height) {
        for (int x = x0; x < x0 + 40; ++x)
            for (int z = z0; z < z0 + 40; ++z)
                terrain.setHeight(x, z, height);
    };
    const std::vector<Case> cases = {
        {"a raised area beside flat land: only the foot of the step in view",
         [&](APPENVRMain& terrain) { setArea(terrain, 1, 0, 60.0f); },
         {{"level, slightly oblique", {625.0f, 55.0f, 300.0f}, -75.0f, 0.0f, 20.0f, 20.0f},
          {"looking up at the edge", {630.0f, 40.0f, 80.0f}, -100.0f, 12.0f, 30.0f, 15.0f}}},
        {"a block sunk into flat land: its far wall seen from the pit",
         [&](APPENVRMain& terrain) { setBlock(terrain, 40, 40, -60.0f); },
         {{"from the pit's floor", {300.0f, -5.0f, 220.0f}, -80.0f, 0.0f, 20.0f, 20.0f},
          {"down the wall", {310.0f, -2.0f, 200.0f}, -90.0f, -5.0f, 25.0f, 12.0f}}},
        {"rolling hills",
         [](APPENVRMain& terrain) {
             for (int x = 0; x < 320; ++x)
                 for (int z = 0; z < 320; ++z)
                     terrain.setHeight(x, z, 40.0f * std::sin(x * 0.09f) * std::cos(z * 0.05f) + 0.3f * ((x * 7 + z * 13) % 11));
         },
         {{"over a crest", {600.0f, 45.0f, 610.0f}, 35.0f, -20.0f, 45.0f, 120.0f},
          {"low across a slope", {400.0f, 10.0f, 150.0f}, -60.0f, 8.0f, 45.0f, 80.0f},
          {"steeply down", {155.0f, 70.0f, 165.0f}, 135.0f, -60.0f, 60.0f, 90.0f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.terrain);
        environment().resetTerrain();
        c.shape(environment());
        environment().updateBounds();
        for (const View& view : c.views) {
            SCOPED_TRACE(view.what);
            const auto frustum = frustumOf(view);
            int drawing = 0;
            for (int ax = 0; ax < 4; ++ax) {
                for (int az = 0; az < 4; ++az) {
                    const APPENVRArea& area = *environment().getArea(ax, az);
                    for (int bx = 0; bx < 4; ++bx) {
                        for (int bz = 0; bz < 4; ++bz) {
                            const APPENVRBlock& block = *area.getBlock(bx, bz);
                            const APPENVRBox& culling = block.getCullingBounds();
                            // Blocks beyond the far plane are left out to keep the test quick.
                            const float dx = std::max({culling.minimum.x - view.position.x, view.position.x - culling.maximum.x, 0.0f});
                            const float dz = std::max({culling.minimum.z - view.position.z, view.position.z - culling.maximum.z, 0.0f});
                            if (std::hypot(dx, dz) > view.farPlane || !drawsIntoView(environment(), block, *frustum))
                                continue;
                            ++drawing;
                            EXPECT_TRUE(frustum->isBoxVisible(culling.minimum, culling.maximum))
                                << "block " << ax << az << bx << bz << " would leave a hole";
                            const APPENVRBox areaBox = area.getCullingBounds();
                            EXPECT_TRUE(frustum->isBoxVisible(areaBox.minimum, areaBox.maximum))
                                << "area " << ax << az << " would leave a hole";
                        }
                    }
                }
            }
            EXPECT_GT(drawing, 0) << "the view sees ground";
        }
    }
}
