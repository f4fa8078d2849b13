#include "engine_fixture.h"

#include "core/qr_mngr_main.h"
#include "core/qr_mngr_updateableresources.h"
#include "file/qr_file_archivemanager.h"
#include "file/qr_file_checkfileupdate.h"
#include "file/qr_file_filemanagement.h"
#include "file/qr_file_main.h"
#include "file/qr_file_pathmanager.h"
#include "resource/qr_resc_list.h"
#include "resource/qr_resc_stringlist.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

class FileMainTest : public EngineFixture {
protected:
    QRFILEMain& files() { return *qrFile(); }
    std::string folder() const { return programFolder().path().string(); }
    bool locate(const std::string& name, QRFileLocation& location, std::string& container)
    {
        return files().locateFile(name, location, false, container);
    }
};

TEST_F(FileMainTest, StartupAnnouncesLookupPathWatcherAndArchives)
{
    const auto log = logText();
    EXPECT_NE(log.find("Adding Lookup Path: \"" + folder() + "\""), std::string::npos) << log;
    EXPECT_NE(log.find("Adding File Update Check Path: \"" + folder() + "\""), std::string::npos);
    EXPECT_NE(log.find("<div>File System Initialized!</div>"), std::string::npos);
    EXPECT_EQ(files().getProgramFolder(), folder());
    EXPECT_EQ(files().getMemoryThreshold(), 3145728u);

    // The core came up in an empty folder; a rescan finds the archives put there since.
    programFolder().write("Pack.ARCHIVE", "");
    programFolder().write("pack.archive.txt", "");
    files().getArchiveManager()->scanForArchives(folder());
    EXPECT_NE(logText().find("Adding Archive: \"Pack.ARCHIVE\""), std::string::npos) << logText();
    EXPECT_EQ(logText().find("pack.archive.txt"), std::string::npos);
    EXPECT_TRUE(files().getArchiveManager()->getArchives().isEmpty()) << "archives are only announced";
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(FileMainTest, NamesResolveUnderTheProgramFolderWhateverTheirCaseOrLeadingSeparator)
{
    programFolder().write("models/characters/Kipster.model", "k");
    QRFileLocation location = QRFileLocation::None;
    std::string container;
    for (const char* name : {"models\\characters\\Kipster.model", "\\models\\characters\\Kipster.model",
                             "Models\\Characters\\kipster.MODEL", "models/characters/Kipster.model"}) {
        container.clear();
        ASSERT_TRUE(locate(name, location, container)) << name;
        EXPECT_EQ(location, QRFileLocation::LookupPath) << name;
        EXPECT_EQ(container, folder()) << name;
    }
    EXPECT_FALSE(locate("models\\characters", location, container)) << "a folder is not a file";
    EXPECT_FALSE(locate("models\\characters\\Kip.model", location, container));
}

TEST_F(FileMainTest, AnAbsolutePathIsFoundOnTheDriveWithoutTheLookupPaths)
{
    TempFolder elsewhere;
    elsewhere.write("Data/a.bin", "x");
    QRFileLocation location = QRFileLocation::None;
    std::string container = "stale";
    ASSERT_TRUE(locate(elsewhere.path().string() + "\\data\\A.bin", location, container));
    EXPECT_EQ(location, QRFileLocation::Drive);
    EXPECT_EQ(container, "");
    EXPECT_TRUE(files().existsOnDrive(elsewhere.path().string() + "/Data/a.bin", false));
    EXPECT_FALSE(files().existsOnDrive("Data\\a.bin", false)) << "relative names are never on the drive as such";
}

TEST_F(FileMainTest, MissingFilesAreReportedOnlyWhenAsked)
{
    EXPECT_FALSE(files().fileExists("sounds\\none.wav", false));
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_FALSE(files().fileExists("sounds\\none.wav", true));
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Method: locateFile: \r\nFile \"sounds\\none.wav\" could not be found!"),
              std::string::npos)
        << shownBoxes()[0];
    EXPECT_FALSE(files().existsOnDrive("/no/such/file", true));
    EXPECT_NE(shownBoxes().back().find("doesFileExistOnDrive: \r\nFile \"/no/such/file\" not found!"),
              std::string::npos);
}

TEST_F(FileMainTest, RelativeNameTakesOffTheLookupPathOnly)
{
    EXPECT_EQ(files().relativeName(folder() + "\\models\\a.model"), "models\\a.model");
    EXPECT_EQ(files().relativeName(folder() + "/models/a.model"), "models\\a.model");
    EXPECT_EQ(files().relativeName("/elsewhere/models/a.model"), "/elsewhere/models/a.model");
    EXPECT_EQ(files().relativeName("models\\a.model"), "models\\a.model");
    EXPECT_EQ(files().relativeName(folder() + "\\"), folder() + "\\") << "the folder itself has no relative name";
    EXPECT_EQ(files().relativeName(folder() + "x\\a.model"), folder() + "x\\a.model")
        << "a sibling folder sharing the prefix is not under the lookup path";
}

TEST_F(FileMainTest, AbsolutePathPrefersAnExistingFileElseTheProgramFolder)
{
    programFolder().write("Textures/Wall.png", "w");
    EXPECT_EQ(files().absolutePath("\\textures\\wall.png"), folder() + "\\textures\\wall.png");
    EXPECT_EQ(files().absolutePath("world\\new.world\\"), folder() + "\\world\\new.world");
    EXPECT_EQ(files().absolutePath("/tmp/x.bin"), "/tmp/x.bin");
    EXPECT_EQ(files().resolveFolder("TEXTURES\\"), folder() + "\\TEXTURES");
    EXPECT_EQ(files().resolveFolder("nowhere"), "nowhere");
}

TEST_F(FileMainTest, PathTextOperations)
{
    EXPECT_EQ(QRFILEMain::extractFolder("models\\characters\\kip.model"), "models\\characters");
    EXPECT_EQ(QRFILEMain::extractFolder("kip.model"), "");
    EXPECT_EQ(QRFILEMain::extractExtension("models\\kip.model"), "model");
    EXPECT_EQ(QRFILEMain::extractExtension("models.v2\\kip"), "");
    EXPECT_EQ(QRFILEMain::changeExtension("textures\\wall.png", "tex"), "textures\\wall.tex");
    EXPECT_EQ(QRFILEMain::changeExtension("tex.d\\wall", "tex"), "tex.d\\wall.tex");
    EXPECT_EQ(QRFILEMain::includeTrailingSeparator("a"), "a\\");
    EXPECT_EQ(QRFILEMain::includeTrailingSeparator("a\\"), "a\\");
    EXPECT_EQ(QRFILEMain::includeTrailingSeparator(""), "");
    EXPECT_EQ(QRFILEMain::excludeTrailingSeparator("a\\"), "a");
    EXPECT_EQ(QRFILEMain::excludeTrailingSeparator("/"), "/");
    EXPECT_EQ(QRFILEMain::canonicalName("\\models\\a.model\\"), "models\\a.model");
    EXPECT_EQ(QRFILEMain::canonicalName("/abs/a"), "/abs/a");
    EXPECT_EQ(QRFILEMain::fileNameID("textures/a.png"), computeNameID("textures\\a.png"));
    EXPECT_EQ(QRFILEMain::fileNameID("\\TEXTURES\\A.PNG\\"), computeNameID("textures\\a.png"));
    EXPECT_NE(QRFILEMain::fileNameID("/abs/a"), QRFILEMain::fileNameID("abs\\a")) << "absolute stays apart";
    EXPECT_TRUE(QRFILEMain::isAbsolute("/abs"));
    EXPECT_FALSE(QRFILEMain::isAbsolute("\\models"));
}

TEST_F(FileMainTest, ListFilesMatchesMasksWithoutCaseAndSkipsFolders)
{
    programFolder().write("world/area_1_0.world", "");
    programFolder().write("world/AREA_0_0.WORLD", "");
    programFolder().write("world/area.world.bak", "");
    programFolder().write("world/sub.world/inner", "");
    auto worlds = files().getFileManagement()->listFiles("World", "world");
    ASSERT_EQ(worlds->getCount(), 2);
    EXPECT_EQ(worlds->get(0), "AREA_0_0.WORLD");
    EXPECT_EQ(worlds->get(1), "area_1_0.world");
    EXPECT_EQ(files().getFileManagement()->listFilesMatching("world", "area_?_0.*")->getCount(), 2);
    EXPECT_EQ(files().getFileManagement()->listFiles("missing", "world")->getCount(), 0);
    EXPECT_TRUE(QRFILEFileManagement::matchesMask("a.b.c", "*.c"));
    EXPECT_FALSE(QRFILEFileManagement::matchesMask("a.cd", "*.c"));
}

namespace {
class CountingUpdateManager : public QRFILECheckFileUpdateManager {
public:
    using QRFILECheckFileUpdateManager::QRFILECheckFileUpdateManager;
    void checkFolder(const std::string& folder) override { checked.push_back(folder); }
    std::vector<std::string> checked;
};
} // namespace

TEST_F(FileMainTest, ChangesInWatchedFoldersArriveThroughTheEventLoop)
{
    programFolder().write("content/textures/a.png", "1");
    auto manager = qrNew<CountingUpdateManager>(nullptr);
    manager->addWatchedFolder(folder() + "\\content\\");
    EXPECT_TRUE(manager->isWatched(folder() + "\\CONTENT"));
    manager->addWatchedFolder(folder() + "\\content");
    const std::string announced = "Adding File Update Check Path: \"" + folder() + "\\content";
    EXPECT_EQ(logText().find(announced), logText().rfind(announced)) << "a folder is watched once";

    programFolder().write("content/textures/a.png", "changed");
    EXPECT_TRUE(manager->checked.empty()) << "nothing arrives inside a frame";
    for (int i = 0; i < 100 && manager->checked.empty(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(manager->checked.empty()) << "a change in a subfolder is noticed";
    EXPECT_EQ(manager->checked.front(), folder() + "\\content");
}

namespace {
class ReloadCounter : public QRManagedObject {
public:
    explicit ReloadCounter(QRObject* owner) : QRManagedObject(owner) {}
    void loadFromFile(const std::string& path) override
    {
        ++loads;
        setFileName(path);
    }
    int loads = 0;
};
} // namespace

TEST_F(FileMainTest, AChangedFileReloadsTheObjectsLoadedFromItWhateverFormItIsNamedIn)
{
    programFolder().write("models/a.model", "m");
    auto object = qrNew<ReloadCounter>(nullptr);
    object->loadFromFile("Models\\A.model");
    qrManagers()->getUpdateableResources()->updateResourcesForFile(folder() + "/models/a.model");
    EXPECT_EQ(object->loads, 2);
    qrManagers()->getUpdateableResources()->updateResourcesForFile("models\\b.model");
    EXPECT_EQ(object->loads, 2);
}
