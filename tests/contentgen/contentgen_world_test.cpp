// The generated default world, loaded the way the game loads it (area files, then the paper count
// the heads-up display shows), checked against its design: it loads without an error; at least 40
// papers, every one above the terrain and outside every scenery model; at least 12 coder monkeys,
// none within 60 units of the hero's start; 22 boards; every street shape; heights from the lake's
// bed (0 to 1) to the ridge's summit (90 to 110); 3 to 8 % of the land below the water's surface
// (2); and the editor's import maps show this very land.

#include "entity_world_fixture.h"
#include "generator_runs.h"

#include "entities/app_entt_ad.h"
#include "entities/app_entt_codermonkey.h"
#include "entities/app_entt_environmentmodel.h"
#include "entities/app_entt_kip.h"
#include "entities/app_entt_paper.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "resource/qr_resc_image.h"
#include "visual/geometry/qr_visx_model.h"
#include "world/app_wrld_models.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <vector>

namespace fs = std::filesystem;
using ::testing::IsEmpty;

namespace {

constexpr float kWaterSurface = 2.0f;
constexpr float kTownHeight = 8.0f;

class GeneratedWorld : public EntityWorldFixture {
protected:
    GeneratedWorld()
    {
        EXPECT_TRUE(generatorRuns().ok);
        const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
        fs::copy(generatorRuns().plain.path(), programFolder().path(), options);
        fs::copy(fs::path(KIPSTER_SOURCE_DIR) / "content", programFolder().path(), options);
        // The fixture brought the environment up before the content was there; what counts is
        // what loading the world reports.
        boxesBefore_ = shownBoxes().size();
        logBefore_ = logText().size();
        world().loadWorld();
    }

    std::vector<std::string> boxesWhileLoading() const
    {
        return {shownBoxes().begin() + static_cast<std::ptrdiff_t>(boxesBefore_), shownBoxes().end()};
    }
    std::string logWhileLoading() const { return logText().substr(logBefore_); }

    template <class T>
    std::vector<T*> all()
    {
        std::vector<T*> found;
        for (int i = 0; i < entities().getEntityCount(); ++i)
            if (auto* entity = dynamic_cast<T*>(entities().getEntity(i)))
                found.push_back(entity);
        return found;
    }

    // The world box of a scenery model as placed: its first level's box through the placement.
    static std::pair<Vector3, Vector3> worldBox(const APPENTTEnvironmentModel& scenery)
    {
        const QRVISXModelLod& lod = *scenery.getModel()->getLod(0);
        const Vector3 &low = lod.getBoundingBoxMinimum(), &high = lod.getBoundingBoxMaximum();
        Vector3 a{1e9f, 1e9f, 1e9f}, b{-1e9f, -1e9f, -1e9f};
        for (float x : {low.x, high.x})
            for (float y : {low.y, high.y})
                for (float z : {low.z, high.z}) {
                    const Vector3 p = QRMATHMatrix4::transformPoint(scenery.getWorldMatrix(), {x, y, z});
                    a = {std::min(a.x, p.x), std::min(a.y, p.y), std::min(a.z, p.z)};
                    b = {std::max(b.x, p.x), std::max(b.y, p.y), std::max(b.z, p.z)};
                }
        return {a, b};
    }

    float heightAt(const Vector3& p) { return environment().getHeight(p); }

    std::size_t boxesBefore_ = 0, logBefore_ = 0;
};

} // namespace

TEST_F(GeneratedWorld, LoadsWithoutAnErrorWithItsHeroPapersMonkeysAndBoards)
{
    EXPECT_THAT(boxesWhileLoading(), IsEmpty());
    EXPECT_EQ(logWhileLoading().find("[ERROR]"), std::string::npos);
    EXPECT_NE(logWhileLoading().find("Loading Area File: \"world\\area_3_3.world\""), std::string::npos);

    APPENTTKip* hero = entities().getKip();
    ASSERT_NE(hero, nullptr);
    EXPECT_EQ(all<APPENTTKip>().size(), 1u);
    // The first heading looks into the town, whose middle is the crossing of its middle streets.
    const Vector3 start = hero->getPosition();
    const Vector3 forward = hero->forwardVector();
    const float tx = 82.5f * 16.0f - start.x, tz = 82.5f * 16.0f - start.z;
    const float cosine = (forward.x * tx + forward.z * tz) / std::hypot(forward.x, forward.z) / std::hypot(tx, tz);
    EXPECT_GT(cosine, std::cos(15.0f * 3.14159265f / 180.0f)) << "the town lies ahead of the start";

    EXPECT_GE(entities().getPaperCount(), 40) << "the count the heads-up display shows";
    EXPECT_EQ(entities().getPaperCount(), static_cast<int>(all<APPENTTPaper>().size()));
    const auto monkeys = all<APPENTTCoderMonkey>();
    EXPECT_GE(monkeys.size(), 12u);
    for (const APPENTTCoderMonkey* monkey : monkeys) {
        const Vector3 p = monkey->getPosition();
        EXPECT_GT(std::hypot(p.x - start.x, p.z - start.z), 60.0f) << "a monkey next to the start";
        EXPECT_GE(p.y, heightAt(p) - 0.01f);
        EXPECT_GT(p.y, kWaterSurface + 1.0f) << "a monkey in the water";
    }
    EXPECT_EQ(all<APPENTTAd>().size(), 22u);

    // Every scenery model names a model of the list, which loads.
    const auto scenery = all<APPENTTEnvironmentModel>();
    EXPECT_GT(scenery.size(), 500u);
    for (const APPENTTEnvironmentModel* model : scenery)
        ASSERT_NE(model->getModel(), nullptr) << model->getModelName();
}

TEST_F(GeneratedWorld, EveryPaperFloatsAboveTheTerrainOutsideEverySceneryAndSomeOnlyFlyingReaches)
{
    std::vector<std::pair<Vector3, Vector3>> boxes;
    for (const APPENTTEnvironmentModel* model : all<APPENTTEnvironmentModel>())
        if (model->getModel())
            boxes.push_back(worldBox(*model));
    int flying = 0, jumping = 0;
    for (const APPENTTPaper* paper : all<APPENTTPaper>()) {
        const Vector3 p = paper->getPosition();
        const float above = p.y - std::max(heightAt(p), kWaterSurface);
        EXPECT_GT(p.y, heightAt(p)) << p.x << ", " << p.z;
        // Taken within 3 units; the highest jump rises about 6.8.
        flying += above > 10.0f ? 1 : 0;
        jumping += above > 3.5f && above < 5.0f ? 1 : 0;
        for (const auto& [low, high] : boxes)
            EXPECT_FALSE(p.x >= low.x && p.x <= high.x && p.y >= low.y && p.y <= high.y && p.z >= low.z && p.z <= high.z)
                << "a paper at " << p.x << ", " << p.y << ", " << p.z << " inside a model";
    }
    EXPECT_GE(flying, 5);
    EXPECT_GE(jumping, 3);
}

TEST_F(GeneratedWorld, TerrainUsesEveryStreetShapeWithinTheDesignedHeightsAndWater)
{
    std::set<int> codes;
    for (int x = 0; x < APPENVRMain::kCellCount; ++x)
        for (int z = 0; z < APPENVRMain::kCellCount; ++z)
            if (environment().hasStreet(x, z))
                codes.insert(static_cast<int>((environment().getGroundCell(x, z) >> 8) & 0xFFu));
    EXPECT_EQ(codes, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));

    float lowest = 1e9f, highest = -1e9f;
    int wet = 0;
    for (int x = 0; x < APPENVRMain::kStoredVertexCount; ++x)
        for (int z = 0; z < APPENVRMain::kStoredVertexCount; ++z) {
            const float h = environment().getVertex(x, z).height;
            lowest = std::min(lowest, h);
            highest = std::max(highest, h);
            wet += h < kWaterSurface ? 1 : 0;
        }
    EXPECT_GE(lowest, 0.0f);
    EXPECT_LE(lowest, 1.0f) << "the lake's bed";
    EXPECT_GE(highest, 90.0f) << "the ridge's summit";
    EXPECT_LE(highest, 110.0f);
    const double water = static_cast<double>(wet) / (APPENVRMain::kStoredVertexCount * APPENVRMain::kStoredVertexCount);
    EXPECT_GE(water, 0.03);
    EXPECT_LE(water, 0.08);
    // The campus square lies flat at the town's height, the lake's blocks get the water plane.
    EXPECT_FLOAT_EQ(heightAt({1256.0f, 0.0f, 1256.0f}), kTownHeight);
    EXPECT_LT(environment().getBlockAt({540.0f, 0.0f, 1960.0f})->getBounds().minimum.y, 3.0f);
}

TEST_F(GeneratedWorld, EditorImportMapsShowThisWorldsLand)
{
    auto heights = qrNew<QRRESCImage2>(nullptr);
    heights->loadFromFile("textures\\heightmaps\\heightmap.png");
    auto ground = qrNew<QRRESCImage2>(nullptr);
    ground->loadFromFile("textures\\heightmaps\\groundmap.png");
    ASSERT_EQ(heights->getWidth(), 640);
    ASSERT_EQ(ground->getWidth(), 160);
    float worst = 0.0f;
    for (int x = 0; x < 640; x += 3)
        for (int z = 0; z < 640; z += 3)
            worst = std::max(worst, std::fabs(heights->getPixelColor(x, z).x * 255.0f * 0.5f - environment().getVertex(x, z).height));
    EXPECT_LT(worst, 0.51f) << "half-unit steps with a one-step dither";
    for (int x = 0; x < 160; ++x)
        for (int z = 0; z < 160; ++z) {
            const int red = static_cast<int>(std::lround(ground->getPixelColor(x, z).x * 255.0f));
            const bool concrete = !environment().isDefaultGround(x, z), street = environment().hasStreet(x, z);
            ASSERT_EQ(red, street ? (concrete ? 255 : 192) : (concrete ? 128 : 0)) << x << ", " << z;
        }
}
