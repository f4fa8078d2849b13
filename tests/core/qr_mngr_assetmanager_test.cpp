#include "engine_fixture.h"

#include "core/qr_mngr_assetmanager.h"

#include <gtest/gtest.h>

namespace {

struct Counters {
    int loads = 0;
    int destroyed = 0;
};
Counters gCounters;

class CountingResource : public QRManagedObject {
public:
    explicit CountingResource(QRObject* owner) : QRManagedObject(owner) {}
    ~CountingResource() override { ++gCounters.destroyed; }
    void loadFromFile(const std::string& path) override
    {
        ++gCounters.loads;
        setFileName(path);
    }
};

} // namespace

class AssetManagerTest : public EngineFixture {
protected:
    AssetManagerTest()
    {
        gCounters = {};
        programFolder().write("textures/wall.png", "x");
    }
    QRMNGRAssetManager& assets() { return *qrAssets(); }
};

TEST_F(AssetManagerTest, SamePathInOtherCaseOrWithSeparatorsSharesOneResource)
{
    auto* first = assets().acquire<CountingResource>("textures\\wall.png");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(assets().acquire<CountingResource>("TEXTURES\\WALL.PNG"), first);
    EXPECT_EQ(assets().acquire<CountingResource>("\\textures\\wall.png\\"), first);
    EXPECT_EQ(gCounters.loads, 1);
    EXPECT_EQ(assets().findAssetOfResource(first)->referenceCount, 3);
}

TEST_F(AssetManagerTest, LastReleaseDestroysAndClearsTheCallersPointer)
{
    auto* first = assets().acquire<CountingResource>("textures\\wall.png");
    auto* second = assets().acquire<CountingResource>("textures\\wall.png");
    assets().release(first);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(gCounters.destroyed, 0);
    EXPECT_EQ(assets().findAsset("textures\\wall.png")->getResource(), second);
    assets().release(second);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(gCounters.destroyed, 1);
    EXPECT_EQ(assets().getCount(), 0);
}

TEST_F(AssetManagerTest, ForeignAndNullReleasesAreHarmless)
{
    CountingResource* none = nullptr;
    assets().release(none);
    auto foreign = qrNew<CountingResource>(nullptr);
    CountingResource* pointer = foreign.get();
    assets().release(pointer);
    EXPECT_EQ(pointer, nullptr);
    EXPECT_EQ(gCounters.destroyed, 0) << "a resource the manager does not hold stays alive";
}

TEST_F(AssetManagerTest, AnEntryWhoseNameHashesToTheKeyAlsoMatches)
{
    auto* first = assets().acquire<CountingResource>("textures\\wall.png");
    first->setName("sky");
    programFolder().write("sky", "x");
    EXPECT_EQ(assets().acquire<CountingResource>("sky"), first);
}

TEST_F(AssetManagerTest, AResourceOfAnotherClassUnderTheKeyIsNotHandedOutAndKeepsItsCount)
{
    class OtherResource : public QRManagedObject {
    public:
        explicit OtherResource(QRObject* owner) : QRManagedObject(owner) {}
    };
    auto* wall = assets().acquire<CountingResource>("textures\\wall.png");
    EXPECT_EQ(assets().acquire<OtherResource>("TEXTURES\\wall.png"), nullptr);
    EXPECT_EQ(assets().findAssetOfResource(wall)->referenceCount, 1);
    assets().release(wall);
    EXPECT_EQ(gCounters.destroyed, 1) << "the failed request must not keep the resource alive";
}

TEST_F(AssetManagerTest, AMissingFileIsReportedAndGivesNothing)
{
    EXPECT_EQ(assets().acquire<CountingResource>("textures\\none.png"), nullptr);
    EXPECT_EQ(gCounters.loads, 0);
    EXPECT_EQ(assets().getCount(), 0);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("File \"textures\\none.png\" could not be found!"), std::string::npos);
}

TEST_F(AssetManagerTest, LoadedResourcesRememberTheRelativeAndTheFullName)
{
    auto* wall = assets().acquire<CountingResource>("TEXTURES\\Wall.png");
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->getFileName(), "TEXTURES\\Wall.png");
    EXPECT_EQ(wall->getFullFileName(), programFolder().path().string() + "\\TEXTURES\\Wall.png");
    wall->setFileName(programFolder().path().string() + "\\textures\\wall.png");
    EXPECT_EQ(wall->getFileName(), "textures\\wall.png");
    EXPECT_EQ(wall->getFileID(), computeNameID("textures\\wall.png"));
}

TEST_F(AssetManagerTest, EitherSeparatorAndTheAbsoluteFormShareOneResource)
{
    auto* first = assets().acquire<CountingResource>("textures\\wall.png");
    ASSERT_NE(first, nullptr);
    for (const std::string& spelling : {std::string("textures/wall.png"), std::string("TEXTURES\\WALL.PNG"),
                                        std::string("Textures/Wall.png/"),
                                        programFolder().path().string() + "/textures/wall.png"})
        EXPECT_EQ(assets().acquire<CountingResource>(spelling), first) << spelling;
    EXPECT_EQ(gCounters.loads, 1);
    EXPECT_EQ(assets().findAsset("textures/WALL.png"), assets().findAssetOfResource(first));
}

namespace {
// Holds another asset, as a material holds its textures, and gives it back when destroyed.
class HoldingResource : public CountingResource {
public:
    explicit HoldingResource(QRObject* owner) : CountingResource(owner) {}
    ~HoldingResource() override
    {
        if (auto* assets = qrAssets())
            assets->release(held);
    }
    void loadFromFile(const std::string& path) override
    {
        CountingResource::loadFromFile(path);
        held = qrAssets()->acquire<CountingResource>("textures\\wall.png");
    }
    CountingResource* held = nullptr;
};
} // namespace

TEST_F(AssetManagerTest, ShutDownWithHeldAssetsThatReleaseOthersIsClean)
{
    programFolder().write("materials/a.material", "m");
    programFolder().write("materials/b.material", "m");
    // The texture is held from outside as well, and a second holder comes after it.
    auto* texture = assets().acquire<CountingResource>("textures\\wall.png");
    auto* first = assets().acquire<HoldingResource>("materials\\a.material");
    auto* second = assets().acquire<HoldingResource>("materials\\b.material");
    ASSERT_TRUE(texture && first && second);
    EXPECT_EQ(assets().findAssetOfResource(texture)->referenceCount, 3);

    shutDownCore();

    EXPECT_EQ(gCounters.destroyed, 3);
    for (const std::string& box : shownBoxes())
        EXPECT_EQ(box.find("Possible memory leak"), std::string::npos) << box;
}
