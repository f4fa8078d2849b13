#include "play_fixture.h"

#include "entities/app_entt_codermonkey.h"
#include "entities/app_entt_paper.h"
#include "main/app_main_progressfile.h"
#include "main/app_main_progresskeeper.h"
#include "world/app_wrld_hud.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>

namespace {

constexpr Vector3 kPaperA{250.0f, 0.0f, 250.0f};
constexpr Vector3 kPaperB{230.0f, 0.0f, 260.0f};
constexpr Vector3 kMonkey{260.0f, 0.0f, 230.0f};
constexpr Vector3 kWalkedTo{300.5f, 0.0f, 170.25f};

std::vector<char> bytesOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::filesystem::path& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

class ProgressTest : public PlayFixture {
protected:
    // The level as it loads: the hero at home, two papers and a monkey.
    void buildLevel()
    {
        placeHero();
        create<APPENTTPaper>("Paper", kPaperA);
        create<APPENTTPaper>("Paper", kPaperB);
        create<APPENTTCoderMonkey>("CoderMonkey", kMonkey);
    }
    // A restart: everything goes and the level loads again.
    void restart()
    {
        while (entities().getEntityCount() > 0)
            entities().removeEntity(entities().getEntity(entities().getEntityCount() - 1));
        buildLevel();
    }
    APPENTTMain* entityAt(const char* type, const Vector3& position) const
    {
        for (int i = 0; i < world_->getEntities()->getEntityCount(); ++i) {
            APPENTTMain* entity = world_->getEntities()->getEntity(i);
            if (entity->getTypeName() == type && QRMATHVector3::distance(entity->getPosition(), position) < 0.01f)
                return entity;
        }
        return nullptr;
    }
    // The level's content is not all in the test's folder; only the progress's own reports count.
    bool reportedProgress() const
    {
        for (const std::string& box : shownBoxes())
            if (box.find("progress") != std::string::npos)
                return true;
        return false;
    }
    std::filesystem::path progressPath() const { return programFolder().path() / APPMAINProgressFile::kFileName; }

    // Plays on the level: walks, turns Turbo-Kip, collects paper A and a second paper, defeats the
    // monkey, and spends time.
    void play(APPMAINProgressKeeper& keeper)
    {
        APPENTTKip* kip = entities().getKip();
        kip->setPosition(kWalkedTo);
        kip->setPersonality(APPENTTKip::kTurboKip);
        kip->setHeading(75.0f, -5.0f);
        entityAt("Paper", kPaperA)->removeFromWorld();
        kip->collectPaper();
        kip->collectPaper();
        static_cast<APPENTTCoderMonkey*>(entityAt("CoderMonkey", kMonkey))->damage(1000);
        keeper.advance(42.5f);
    }
};

TEST_F(ProgressTest, FileKeepsEverythingThePlayerAchieved)
{
    APPMAINProgress saved;
    saved.worldDigest = 0x0123456789ABCDEFull;
    saved.heroPosition = {12.5f, 3.25f, 2000.0f};
    saved.heroYaw = -123.5f;
    saved.heroPitch = 7.0f;
    saved.personality = 1;
    saved.level = 4;
    saved.papersCollected = 21;
    saved.health = -30;
    saved.timePlayed = 3723.0f;
    saved.finished = true;
    saved.collectedPapers = {{1, 2, 3}, {4, 5, 6}};
    saved.defeatedMonkeys = {{7, 8, 9}};
    const std::size_t boxes = shownBoxes().size();
    auto file = qrNew<APPMAINProgressFile>(nullptr);
    ASSERT_TRUE(file->save(saved));
    const auto loaded = file->load();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->worldDigest, saved.worldDigest);
    EXPECT_EQ(loaded->heroPosition.z, 2000.0f);
    EXPECT_EQ(loaded->heroYaw, -123.5f);
    EXPECT_EQ(loaded->heroPitch, 7.0f);
    EXPECT_EQ(loaded->personality, 1);
    EXPECT_EQ(loaded->level, 4);
    EXPECT_EQ(loaded->papersCollected, 21);
    EXPECT_EQ(loaded->health, -30);
    EXPECT_EQ(loaded->timePlayed, 3723.0f);
    EXPECT_TRUE(loaded->finished);
    ASSERT_EQ(loaded->collectedPapers.size(), 2u);
    EXPECT_EQ(loaded->collectedPapers[1].y, 5.0f);
    ASSERT_EQ(loaded->defeatedMonkeys.size(), 1u);
    EXPECT_EQ(loaded->defeatedMonkeys[0].z, 9.0f);
    EXPECT_EQ(shownBoxes().size(), boxes);
    EXPECT_EQ(std::filesystem::exists(programFolder().path() / "world"), false) << "never inside world/";
}

TEST_F(ProgressTest, DamagedFileIsReportedAndAFreshGameStarts)
{
    APPMAINProgress saved;
    saved.collectedPapers = {{1, 2, 3}};
    saved.defeatedMonkeys = {{4, 5, 6}};
    auto file = qrNew<APPMAINProgressFile>(nullptr);
    ASSERT_TRUE(file->save(saved));
    const std::vector<char> good = bytesOf(progressPath());
    // Offsets: digest 8, position 16, personality 36, level 40, papers list count 57.
    const auto put = [](std::size_t at, auto value) {
        return [at, value](std::vector<char>& bytes) { std::memcpy(bytes.data() + at, &value, sizeof(value)); };
    };
    struct Case {
        const char* what;
        std::function<void(std::vector<char>&)> damage;
    };
    const Case cases[] = {
        {"empty", [](std::vector<char>& b) { b.clear(); }},
        {"cut in the header", [](std::vector<char>& b) { b.resize(30); }},
        {"cut in the lists", [](std::vector<char>& b) { b.resize(b.size() - 5); }},
        {"another kind of file", [](std::vector<char>& b) { b[0] = 'X'; }},
        {"position not a number", put(16, std::numeric_limits<float>::quiet_NaN())},
        {"no such personality", put(36, std::int32_t{2})},
        {"no such level", put(40, std::int32_t{6})},
        {"a list longer than the file", put(57, std::int32_t{0x7FFFFFFF})},
        {"a negative list", put(57, std::int32_t{-1})},
    };
    const auto reports = [this] {
        const std::string log = logText();
        int count = 0;
        for (auto at = log.find("a new game starts"); at != std::string::npos; at = log.find("a new game starts", at + 1))
            ++count;
        return count;
    };
    for (const Case& c : cases) {
        std::vector<char> bytes = good;
        c.damage(bytes);
        writeBytes(progressPath(), bytes);
        const int before = reports();
        EXPECT_FALSE(file->load().has_value()) << c.what;
        EXPECT_EQ(reports(), before + 1) << c.what << ": one clear report";
    }
}

TEST_F(ProgressTest, PlayIsResumedAfterARestartOfTheSameWorld)
{
    buildLevel();
    auto keeper = qrNew<APPMAINProgressKeeper>(nullptr, &world());
    keeper->takeInventory();
    play(*keeper);
    EXPECT_FALSE(std::filesystem::exists(progressPath())) << "saved once a minute of play";
    keeper->advance(20.0f);
    ASSERT_TRUE(std::filesystem::exists(progressPath())) << "a minute of play has passed";
    keeper->advance(1.5f);
    ASSERT_TRUE(keeper->save());

    restart();
    world().getHUD()->setLevelTitle("Student");
    auto resumed = qrNew<APPMAINProgressKeeper>(nullptr, &world());
    resumed->takeInventory();
    ASSERT_TRUE(resumed->resume());
    const APPENTTKip* kip = entities().getKip();
    EXPECT_EQ(kip->getPosition().x, kWalkedTo.x);
    EXPECT_EQ(kip->getPosition().z, kWalkedTo.z);
    EXPECT_EQ(kip->getYaw(), 75.0f);
    EXPECT_EQ(kip->getPitch(), -5.0f);
    EXPECT_EQ(kip->getPersonality(), APPENTTKip::kTurboKip);
    EXPECT_EQ(kip->getPapersCollected(), 2);
    EXPECT_EQ(kip->getLevel(), 1);
    EXPECT_EQ(world().getHUD()->getLevelTitle(), "Bachelor");
    EXPECT_EQ(world().getHUD()->getPapersCollected(), 2);
    EXPECT_EQ(entityAt("Paper", kPaperA), nullptr) << "collected";
    EXPECT_NE(entityAt("Paper", kPaperB), nullptr) << "still lying there";
    EXPECT_EQ(entityAt("CoderMonkey", kMonkey), nullptr) << "defeated, even though it was still dying";
    EXPECT_FLOAT_EQ(resumed->getTimePlayed(), 64.0f);
    EXPECT_FALSE(reportedProgress());
}

TEST_F(ProgressTest, ProgressMadeOnAnotherWorldIsNotResumed)
{
    buildLevel();
    auto keeper = qrNew<APPMAINProgressKeeper>(nullptr, &world());
    keeper->takeInventory();
    play(*keeper);
    ASSERT_TRUE(keeper->save());

    // The editor saved an area since: the world is another one.
    programFolder().write(areaFileName(2, 1), "a different area");
    restart();
    auto resumed = qrNew<APPMAINProgressKeeper>(nullptr, &world());
    resumed->takeInventory();
    EXPECT_NE(resumed->getWorldDigest(), keeper->getWorldDigest());
    EXPECT_FALSE(resumed->resume());
    EXPECT_EQ(entities().getKip()->getPosition().x, kHome.x);
    EXPECT_EQ(entities().getKip()->getPapersCollected(), 0);
    EXPECT_NE(entityAt("Paper", kPaperA), nullptr);
    EXPECT_NE(entityAt("CoderMonkey", kMonkey), nullptr);
    EXPECT_EQ(resumed->getTimePlayed(), 0.0f);
    EXPECT_FALSE(reportedProgress()) << "another world is no fault";
}
