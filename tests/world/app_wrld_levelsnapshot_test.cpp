#include "entity_world_fixture.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_codermonkey.h"
#include "entities/app_entt_kip.h"
#include "entities/app_entt_main.h"
#include "environment/app_envr_block.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_hud.h"
#include "world/app_wrld_levelsnapshot.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

class LevelSnapshotTest : public EntityWorldFixture {
protected:
    // Every area file the world writes, by name.
    std::map<std::string, std::string> savedAreas()
    {
        world().saveWorld();
        std::map<std::string, std::string> areas;
        for (int ax = 0; ax < 4; ++ax)
            for (int az = 0; az < 4; ++az) {
                std::ifstream in(programFolder().path() / areaFileName(ax, az), std::ios::binary);
                areas[areaFileName(ax, az)] = std::string(std::istreambuf_iterator<char>(in), {});
            }
        return areas;
    }
    std::vector<std::uint64_t> serialsOf(const APPENVRBlock& block) const
    {
        std::vector<std::uint64_t> serials;
        for (int i = 0; i < block.getEntityCount(); ++i)
            serials.push_back(block.getEntity(i)->getSerial());
        return serials;
    }
    void frames(int count, float delta)
    {
        for (int i = 0; i < count; ++i) {
            qrTime()->setDelta(delta);
            world().update();
        }
    }
};

} // namespace

TEST_F(LevelSnapshotTest, PlayNeverReachesTheAreaFilesAndTheLevelComesBackWithItsSerials)
{
    const Vector3 home{240.0f, 0.0f, 240.0f};
    auto* kip = static_cast<APPENTTKip*>(entities().createEntity("Kip", home));
    APPENTTMain* paper = entities().createEntity("Paper", home + Vector3{1.0f, 0.0f, 0.0f});
    entities().createEntity("Paper", home + Vector3{30.0f, 0.0f, 0.0f});
    auto* monkey = dynamic_cast<APPENTTCoderMonkey*>(entities().createEntity("CoderMonkey", home + Vector3{0.0f, 0.0f, 20.0f}));
    // On a block's border: it must come back into the block its record was kept in.
    APPENTTMain* border = entities().createEntity("Entity", {320.0f, 2.0f, 200.0f});
    border->setName("border post");
    const APPENVRBlock& homeBlock = *paper->getBlock();
    const std::uint64_t heroSerial = kip->getSerial();
    const std::vector<std::uint64_t> homeSerials = serialsOf(homeBlock);
    const std::map<std::string, std::string> level = savedAreas();

    entities().beginPlay();
    ASSERT_TRUE(entities().getLevelSnapshot()->isKept());
    // Play: the first paper is collected, the monkey turns, throws and dies, the hero walks off,
    // and something new stands in the world.
    frames(80, 0.05f);
    monkey->damage(500);
    frames(20, 0.05f);
    kip->setPosition(home + Vector3{100.0f, 0.0f, 100.0f});
    entities().createEntity("Ad", home + Vector3{5.0f, 0.0f, 5.0f});
    ASSERT_EQ(entities().getPaperCount(), 1);
    ASSERT_EQ(world().getHUD()->getPapersInWorld(), 1);
    ASSERT_NE(savedAreas(), level) << "play changed the world";

    EXPECT_TRUE(entities().endPlay());
    EXPECT_FALSE(entities().getLevelSnapshot()->isKept());
    EXPECT_EQ(savedAreas(), level) << "every area file as the level had it";
    EXPECT_EQ(serialsOf(*environment().getBlockAt(home)), homeSerials) << "same entities, same order";
    ASSERT_NE(entities().getHero(), nullptr);
    EXPECT_EQ(entities().getHero()->getSerial(), heroSerial);
    EXPECT_EQ(entities().getPaperCount(), 2);
    EXPECT_EQ(world().getHUD()->getPapersInWorld(), 2);
    int named = 0;
    for (int i = 0; i < entities().getEntityCount(); ++i)
        named += entities().getEntity(i)->getName() == "border post" ? 1 : 0;
    EXPECT_EQ(named, 1);

    // A second round of play starts from the level again, and nothing kept means nothing changes.
    EXPECT_TRUE(entities().endPlay());
    EXPECT_EQ(savedAreas(), level);
}
