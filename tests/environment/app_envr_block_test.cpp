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

#include <filesystem>

namespace {
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

TEST_F(BlockTest, ABlockWhoseStripsReachIntoAnObliqueViewAndItsAreaPassTheCulling)
{
    // A 60-unit step that one block's last strip draws, seen from 200 units away, turned 10 to 15
    // degrees aside and pitched so that the view's lower edge passes just above (or, for the
    // pit, just below) the flat side: only the part of the strip beyond the block's own heights
    // is in view, at stepPoint.
    struct Case {
        const char* step;
        int x0, z0, x1, z1; // vertices raised or sunk
        float height;
        Vector3 eye;
        float yaw, pitch;
        Vector3 stepPoint;
        APPENVRBlockIndex drawer;
    };
    const Case cases[] = {
        {"a raised area beside flat land", 160, 0, 320, 160, 60.0f, {420, 52, 300}, -75, 11.5f, {639.93f, 59, 241}, {0, 0, 3, 1}},
        {"a block sunk into flat land", 40, 40, 80, 80, -60.0f, {100, 1, 240}, -80, 8.5f, {319.87f, -2, 201}, {0, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        for (int x = c.x0; x < c.x1; ++x)
            for (int z = c.z0; z < c.z1; ++z)
                environment().setHeight(x, z, c.height);
        environment().updateBounds();
        QRVISXFrustum frustum(nullptr);
        const Quaternion turn = QRMATHQuaternion::fromRotationY(c.yaw) * QRMATHQuaternion::fromRotationX(c.pitch);
        frustum.extractPlanes(QRMATHMatrix4::perspective(4.0f / 3.0f, 20.0f, 0.5f, 300.0f),
                              QRMATHMatrix4::inverse(QRMATHMatrix4::rotate(QRMATHMatrix4::translation(c.eye), turn)));
        ASSERT_TRUE(frustum.isSphereVisible(c.stepPoint, 0.0f)) << "the step is in view";
        const APPENVRBlock& block = *environment().getBlock(c.drawer.ax, c.drawer.az, c.drawer.bx, c.drawer.bz);
        const APPENVRBox own = block.getBounds();
        ASSERT_FALSE(frustum.isBoxVisible(own.minimum - Vector3{10, 0, 10}, own.maximum + Vector3{10, 50, 10}))
            << "the view misses the block's own heights with the margins upwards and sideways alone";
        EXPECT_TRUE(frustum.isBoxVisible(block.getCullingBounds().minimum, block.getCullingBounds().maximum));
        const APPENVRBox area = block.getArea()->getCullingBounds();
        EXPECT_TRUE(frustum.isBoxVisible(area.minimum, area.maximum));
        environment().resetTerrain();
    }
}
