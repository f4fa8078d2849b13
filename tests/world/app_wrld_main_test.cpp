#include "entity_world_fixture.h"

#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

// The largest single allocation while a test watches, so hostile files can be shown not to make
// the program allocate what they merely claim.
namespace {
std::atomic<bool> gWatchingAllocations{false};
std::atomic<std::size_t> gLargestAllocation{0};
} // namespace

void* operator new(std::size_t size)
{
    if (gWatchingAllocations.load(std::memory_order_relaxed)) {
        std::size_t largest = gLargestAllocation.load(std::memory_order_relaxed);
        while (size > largest && !gLargestAllocation.compare_exchange_weak(largest, size)) {
        }
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

// The standard library asks for temporary buffers (stable_sort) through the nothrow form, which
// must take its memory from the same place the deletes above give it back to.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

// One stored entity: its type name, base record and whatever its type stores after that.
struct StoredEntity {
    std::string type;
    Vector3 position;
    Quaternion orientation;
    float size = 1.0f;
    std::string tail;
};

// Builds area files byte by byte from the format: little-endian words, singles, and strings as a
// 32-bit length and the bytes.
class AreaBytes {
public:
    template <class T>
    void put(T value)
    {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void put(const Vector3& v)
    {
        put(v.x);
        put(v.y);
        put(v.z);
    }
    void text(const std::string& value)
    {
        put(static_cast<std::int32_t>(value.size()));
        bytes += value;
    }

    std::string bytes;
};

std::string storedString(const std::string& value)
{
    AreaBytes out;
    out.text(value);
    return out.bytes;
}

using BlockContents = std::map<std::pair<int, int>, std::vector<StoredEntity>>;

constexpr std::size_t kBlockRecordsOffset = 1600 * 4 + 25600 * 16;

// An area with uneven ground, streets, odd normals (stored, never recomputed) and the given
// entities in its blocks. Its boxes are those of its ground (every block spans all of x % 13 and
// z % 7), since loading measures them again.
std::string areaFile(int ax, int az, const BlockContents& blocks)
{
    AreaBytes out;
    for (int x = 0; x < 40; ++x)
        for (int z = 0; z < 40; ++z)
            out.put(static_cast<std::uint32_t>(((x + z) % 2) | (x % 5 == 0 ? (1 + z % 15) << 8 : 0)));
    for (int x = 0; x < 160; ++x) {
        for (int z = 0; z < 160; ++z) {
            out.put(0.25f * static_cast<float>(x % 13) + 0.5f * static_cast<float>(ax) - static_cast<float>(z % 7));
            out.put(Vector3{0.1f * static_cast<float>(z % 3), 0.9f, 0.05f * static_cast<float>(ax + az)});
        }
    }
    for (int bx = 0; bx < 4; ++bx) {
        for (int bz = 0; bz < 4; ++bz) {
            const float x0 = 640.0f * static_cast<float>(ax) + 160.0f * static_cast<float>(bx);
            const float z0 = 640.0f * static_cast<float>(az) + 160.0f * static_cast<float>(bz);
            out.put(Vector3{x0, 0.5f * static_cast<float>(ax) - 6.0f, z0});
            out.put(Vector3{x0 + 160.0f, 0.5f * static_cast<float>(ax) + 3.0f, z0 + 160.0f});
            const auto found = blocks.find({bx, bz});
            const std::vector<StoredEntity> none;
            const std::vector<StoredEntity>& entities = found == blocks.end() ? none : found->second;
            out.put(static_cast<std::int32_t>(entities.size()));
            for (const StoredEntity& entity : entities) {
                out.text(entity.type);
                out.put(entity.position);
                out.put(entity.orientation.x);
                out.put(entity.orientation.y);
                out.put(entity.orientation.z);
                out.put(entity.orientation.w);
                out.put(entity.size);
                out.bytes += entity.tail;
            }
        }
    }
    out.put(Vector3{640.0f * static_cast<float>(ax), 0.5f * static_cast<float>(ax) - 6.0f, 640.0f * static_cast<float>(az)});
    out.put(Vector3{640.0f * static_cast<float>(ax + 1), 0.5f * static_cast<float>(ax) + 3.0f,
                    640.0f * static_cast<float>(az + 1)});
    return out.bytes;
}

const Quaternion kQuarterTurn{0.0f, 0.70710677f, 0.0f, 0.70710677f};

// Every type a saved area may hold, spread over several blocks of area (0, 0).
BlockContents firstAreaContents()
{
    return {
        {{0, 0},
         {{"Entity", {20.0f, 1.0f, 30.0f}, kQuarterTurn, 1.5f, ""},
          {"Paper", {100.0f, 2.0f, 40.0f}, {}, 1.0f, ""},
          {"Kip", {120.0f, 0.25f, 150.0f}, kQuarterTurn, 1.0f, ""}}},
        {{2, 3},
         {{"EnvironmentModel", {350.0f, 5.0f, 600.0f}, {0.1f, 0.2f, 0.3f, 0.9f}, 3.0f, storedString("")},
          {"Ad", {400.0f, 0.0f, 500.0f}, {}, 2.0f, ""}}},
        {{3, 0}, {{"CoderMonkey", {630.0f, -2.0f, 10.0f}, kQuarterTurn, 0.75f, ""}}},
    };
}

// A second area, with an entity standing exactly on a block border (kept in the block that holds it).
BlockContents secondAreaContents()
{
    return {
        {{1, 0},
         {{"Paper", {1280.0f + 200.0f, 0.0f, 640.0f + 30.0f}, {}, 1.0f, ""},
          {"EnvironmentModel", {1280.0f + 320.0f, 1.0f, 640.0f + 100.0f}, {}, 1.0f,
           storedString("models\\scenery\\bench.model")}}},
        {{3, 3}, {{"CoderMonkey", {1280.0f + 600.0f, 0.0f, 640.0f + 600.0f}, {}, 1.0f, ""}}},
    };
}

class WorldTest : public EntityWorldFixture {
protected:
    std::string readArea(int ax, int az) const { return programFolder().read(areaFileName(ax, az)); }
};

} // namespace

TEST_F(WorldTest, PartsRunInTheirOrderAndTheEditorViewLeavesOutPostProcessing)
{
    std::vector<std::string> steps;
    world().setStepObserver([&steps](std::string_view step) { steps.emplace_back(step); });
    // Away from the world, so nothing of the terrain is in view.
    world().getCamera()->setPosition({-3000.0f, 10.0f, -3000.0f});

    world().update();
    EXPECT_EQ(steps, (std::vector<std::string>{"Update Environment", "Update Entities Near Camera", "Update Camera",
                                               "Update Light", "Update Sky Box"}));
    steps.clear();
    world().render();
    EXPECT_EQ(steps, (std::vector<std::string>{"Shadow Map", "Camera", "Light", "Environment", "Sky Box", "Entities",
                                               "Water", "Post Process", "HUD"}));
    steps.clear();
    world().renderEditor();
    EXPECT_EQ(steps, (std::vector<std::string>{"Shadow Map", "Camera", "Light", "Environment Editor", "Sky Box",
                                               "Entities Editor", "Water"}));
    steps.clear();
    world().saveWorld();
    world().loadWorld();
    EXPECT_EQ(steps, (std::vector<std::string>{"Save Areas", "Load Areas", "Count Papers"}));
}

TEST_F(WorldTest, WithoutAreaFilesTheWorldStartsFlatAndEmpty)
{
    auto fresh = qrNew<APPWRLDMain>(nullptr);
    std::vector<std::string> steps;
    fresh->setStepObserver([&steps](std::string_view step) { steps.emplace_back(step); });
    fresh->initialize();
    EXPECT_EQ(steps, (std::vector<std::string>{"Initialize Environment", "Initialize Entities", "Initialize Camera",
                                               "Initialize Models", "Initialize Light", "Initialize Shadow Map",
                                               "Initialize Sky Box", "Initialize Post Process", "Initialize Water",
                                               "Initialize HUD", "Load Areas", "Count Papers"}));
    EXPECT_EQ(fresh->getEntities()->getEntityCount(), 0);
    EXPECT_EQ(fresh->getEntities()->getPaperCount(), 0);
    for (const Vector3& point :
         {Vector3{0.0f, 0.0f, 0.0f}, Vector3{1234.5f, 0.0f, 77.0f}, Vector3{2559.0f, 0.0f, 2559.0f}})
        EXPECT_EQ(fresh->getEnvironment()->getHeight(point), 0.0f);
    EXPECT_EQ(fresh->getEnvironment()->getVertex(320, 320).normal, (Vector3{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(fresh->getName(), "Game");
}

TEST_F(WorldTest, AreasWithEntitiesLoadAndSaveByteIdentical)
{
    const std::string first = areaFile(0, 0, firstAreaContents());
    const std::string second = areaFile(2, 1, secondAreaContents());
    programFolder().write(areaFileName(0, 0), first);
    programFolder().write(areaFileName(2, 1), second);

    world().loadWorld();
    EXPECT_EQ(entities().getEntityCount(), 9);
    EXPECT_EQ(entities().getPaperCount(), 2);
    const APPENVRBlock* block = environment().getBlock(0, 0, 0, 0);
    ASSERT_EQ(block->getEntityCount(), 3);
    EXPECT_EQ(block->getEntity(0)->getTypeName(), "Entity");
    EXPECT_EQ(block->getEntity(0)->getPosition(), (Vector3{20.0f, 1.0f, 30.0f}));
    EXPECT_EQ(block->getEntity(0)->getOrientation(), kQuarterTurn);
    EXPECT_EQ(block->getEntity(0)->getSize(), 1.5f);
    EXPECT_EQ(block->getEntity(2)->getTypeName(), "Kip");
    EXPECT_EQ(environment().getBlock(2, 1, 1, 0)->getEntity(1)->getPosition().x, 1600.0f)
        << "on the border, kept in the block whose record holds it";
    EXPECT_EQ(environment().getBlock(2, 1, 3, 3)->getEntity(0)->getTypeName(), "CoderMonkey");

    world().saveWorld();
    EXPECT_EQ(readArea(0, 0), first);
    EXPECT_EQ(readArea(2, 1), second);

    // Projectiles and particle effects spawned during play are never written.
    for (const char* transient : {"RedStreak", "Banana", "Pickup", "Sprite", "Explosion"})
        entities().createEntity(transient, {50.0f, 1.0f, 50.0f});
    ASSERT_EQ(block->getEntityCount(), 8);
    world().saveWorld();
    EXPECT_EQ(readArea(0, 0), first);
}

// Files made elsewhere may list a record under another block than the one its entity stands on;
// loading that block, or that area, afterwards must not take the entity away (a save would then
// lose it for good).
TEST_F(WorldTest, EntitiesListedUnderAnotherBlockSurviveTheLoadingOfTheirOwnGround)
{
    programFolder().write(areaFileName(0, 0),
                          areaFile(0, 0, {{{0, 0},
                                           {{"Paper", {250.0f, 0.0f, 330.0f}, {}, 1.0f, ""},   // block (1, 2)
                                            {"Paper", {700.0f, 0.0f, 30.0f}, {}, 1.0f, ""}}}})); // area (1, 0)
    programFolder().write(areaFileName(1, 0),
                          areaFile(1, 0, {{{3, 3}, {{"Paper", {1250.0f, 0.0f, 600.0f}, {}, 1.0f, ""}}}}));
    world().loadWorld();
    EXPECT_EQ(entities().getPaperCount(), 3);
    EXPECT_EQ(environment().getBlock(0, 0, 1, 2)->getEntityCount(), 1);
    EXPECT_EQ(environment().getBlock(1, 0, 0, 0)->getEntityCount(), 1);
}

TEST_F(WorldTest, HostileAreaFilesGiveAClearErrorAndTheOtherAreasStillLoad)
{
    const std::string good = areaFile(0, 0, {{{1, 1}, {{"Paper", {250.0f, 0.0f, 250.0f}, {}, 1.0f, ""}}}});
    const BlockContents contents = {{{0, 0},
                                     {{"Entity", {700.0f, 1.0f, 30.0f}, {}, 1.0f, ""},
                                      {"EnvironmentModel", {710.0f, 1.0f, 30.0f}, {}, 1.0f, storedString("")}}},
                                    {{3, 3},
                                     {{"Paper", {1250.0f, 0.0f, 600.0f}, {}, 1.0f, ""},
                                      {"ATypeThisProgramDoesNotKnowAtAll", {1251.0f, 0.0f, 600.0f}, {}, 1.0f, ""}}}};
    const std::string valid = areaFile(1, 0, contents);
    // The same area with an empty first block, whose count alone is then made negative.
    BlockContents withoutFirst = contents;
    withoutFirst.erase({0, 0});
    const std::string validWithoutFirst = areaFile(1, 0, withoutFirst);
    // Offsets into the first block record of area (1, 0).
    const std::size_t count = kBlockRecordsOffset + 24;
    const std::size_t firstName = count + 4;
    const std::size_t firstPosition = firstName + 4 + 6;

    struct Case {
        const char* what;
        std::function<std::string()> make;
        const char* error;
        int papers;  // the good area's paper plus what of the hostile area still loads
    };
    const auto patch = [](std::string bytes, std::size_t offset, auto value) {
        std::memcpy(bytes.data() + offset, &value, sizeof value);
        return bytes;
    };
    const auto patched = [&](std::size_t offset, auto value) { return patch(valid, offset, value); };
    const Case cases[] = {
        {"count -1", [&] { return patch(validWithoutFirst, count, std::int32_t{-1}); },
         "The block claims -1 entities", 2},
        {"count 2^31-1", [&] { return patched(count, std::numeric_limits<std::int32_t>::max()); },
         "The block claims 2147483647 entities", 1},
        {"type name of 10^9 bytes", [&] { return patched(firstName, std::int32_t{1000000000}); },
         "Error on reading data from stream", 1},
        {"entries cut short", [&] { return valid.substr(0, firstPosition + 20); }, "The block claims 2 entities", 1},
        // The last block's last record ends 24 bytes (the area box) before the file does.
        {"record cut short", [&] { return valid.substr(0, valid.size() - 24 - 32 + 20); },
         "Error on reading data from stream", 2},
        {"model name cut short", [&] { return valid.substr(0, firstPosition + 32 + 4 + 16 + 32 + 2); },
         "Error on reading data from stream", 1},
        {"NaN position", [&] { return patched(firstPosition, std::numeric_limits<float>::quiet_NaN()); },
         "not a finite number", 1},
        {"infinite size", [&] { return patched(firstPosition + 28, std::numeric_limits<float>::infinity()); },
         "not a finite number", 1},
    };
    for (const Case& c : cases) {
        const std::string hostile = c.make();
        programFolder().write(areaFileName(0, 0), good);
        programFolder().write(areaFileName(1, 0), hostile);
        auto fresh = qrNew<APPWRLDMain>(nullptr);
        fresh->getEnvironment()->initialize();
        fresh->getEntities()->initialize();
        const std::size_t boxesBefore = shownBoxes().size();

        gLargestAllocation = 0;
        gWatchingAllocations = true;
        fresh->loadWorld();
        gWatchingAllocations = false;

        ASSERT_GT(shownBoxes().size(), boxesBefore) << c.what;
        // Entities whose model files this folder lacks report those too; the area's error is among them.
        const auto box = std::find_if(shownBoxes().begin() + static_cast<std::ptrdiff_t>(boxesBefore),
                                      shownBoxes().end(),
                                      [&](const std::string& text) { return text.find(c.error) != std::string::npos; });
        EXPECT_NE(box, shownBoxes().end()) << c.what << ": " << shownBoxes()[boxesBefore];
        EXPECT_GT(gLargestAllocation.load(), 0u) << "the watch sees the loading";
        EXPECT_LE(gLargestAllocation.load(), 2 * std::max(hostile.size(), good.size())) << c.what;
        EXPECT_EQ(fresh->getEntities()->getPaperCount(), c.papers) << c.what;
        EXPECT_EQ(fresh->getEnvironment()->getBlock(0, 0, 1, 1)->getEntityCount(), 1) << c.what;
        for (int i = 0; i < fresh->getEntities()->getEntityCount(); ++i) {
            const Vector3& p = fresh->getEntities()->getEntity(i)->getPosition();
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << c.what;
        }
    }
}
