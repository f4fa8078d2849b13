// Which ground cells can show the earth and rock layers, read from the modulation map: a cell
// needs a layer wherever the shader's bilinear (or a near mipmap) sample of the map could give it
// weight, including across the map's repeat, and never far from where the map has it.

#include "engine_fixture.h"

#include "environment/app_envr_layerreach.h"

#include <QImage>

#include <filesystem>

namespace {
// A 160 x 160 map (4 texels per ground cell): grey, with a 2 x 2 texel spot of the given colour
// whose lower left texel is (s, t) in OpenGL's orientation (t counted from the bottom row).
void saveMap(const std::filesystem::path& path, int s, int t, QColor spot)
{
    std::filesystem::create_directories(path.parent_path());
    QImage map(160, 160, QImage::Format_RGB888);
    map.fill(QColor(128, 100, 128));
    for (int x = s; x < s + 2; ++x)
        for (int y = t; y < t + 2; ++y)
            map.setPixelColor(x, 159 - y, spot);
    ASSERT_TRUE(map.save(QString::fromStdString(path.string()), "PNG"));
}
} // namespace

class LayerReach : public EngineFixture {};

TEST_F(LayerReach, LayersAreNeededAroundWhereTheMapGivesThemWeightOnly)
{
    const auto path = programFolder().path() / "textures" / "terrain" / "modulation.png";
    struct Case {
        const char* what;
        int s, t;
        QColor spot;
        int cx, cz;
        float steepest;
        unsigned layers;
    };
    const unsigned earth = APPENVRLayerReach::kEarth;
    const unsigned rock = APPENVRLayerReach::kRock;
    const QColor green(128, 200, 128);
    const QColor blue(128, 100, 255);
    const Case cases[] = {
        {"earth spot inside the cell", 41, 81, green, 10, 20, 0.0f, earth},
        {"the same cell a whole area further on", 41, 81, green, 50, 60, 0.0f, earth},
        {"the cell beside, within the filter's reach", 41, 81, green, 11, 20, 0.0f, earth},
        {"two cells off: no earth", 41, 81, green, 12, 22, 0.0f, 0},
        {"spot at the map's last column reaches the first cell", 158, 81, green, 0, 20, 0.0f, earth},
        {"flat ground: no rock even under the bluest map", 41, 81, blue, 10, 20, 0.0f, 0},
        {"steep ground: rock", 41, 81, blue, 30, 30, 0.3f, rock},
        {"moderate slope where the map is blue", 41, 81, blue, 10, 20, 0.16f, rock},
        {"the same slope where it is not", 41, 81, blue, 30, 30, 0.16f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        saveMap(path, c.s, c.t, c.spot);
        auto reach = qrNew<APPENVRLayerReach>(nullptr);
        reach->loadFromFile("textures\\terrain\\modulation.png");
        ASSERT_TRUE(reach->isLoaded());
        EXPECT_EQ(reach->layersOfCell(c.cx, c.cz, c.steepest), c.layers);
    }
}

TEST_F(LayerReach, WithoutAMapEveryLayerIsRead)
{
    auto reach = qrNew<APPENVRLayerReach>(nullptr);
    reach->loadFromFile("textures\\terrain\\missing.png");
    EXPECT_FALSE(reach->isLoaded());
    EXPECT_EQ(reach->layersOfCell(3, 4, 0.0f), APPENVRLayerReach::kEarth | APPENVRLayerReach::kRock);
}
