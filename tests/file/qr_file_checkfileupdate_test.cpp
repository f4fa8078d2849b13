#include "engine_fixture.h"

#include "core/qr_core_log.h"
#include "core/qr_core_managedobject.h"
#include "file/qr_file_checkfileupdate.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// Keeps what its file held at the last load and notes each load in a shared journal.
class ContentResource : public QRManagedObject {
public:
    ContentResource(std::vector<std::string>& journal, const std::string& name, const std::string& usedFile = {})
        : QRManagedObject(nullptr, name), journal_(journal),
          usedFileID_(usedFile.empty() ? 0 : QRFILEMain::fileNameID(usedFile))
    {
    }
    void loadFromFile(const std::string& path) override
    {
        setFileName(path);
        content = readWholeFile(qrdrive::nativePath(getFullFileName()));
        journal_.push_back(getName() + ":" + content);
    }
    bool usesFile(std::uint32_t fileID) const override { return usedFileID_ != 0 && fileID == usedFileID_; }

    std::string content;

private:
    std::vector<std::string>& journal_;
    std::uint32_t usedFileID_;
};

// Runs the Qt event loop, as the program does between frames, until done or the limit passes.
bool processEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(limit);
    while (!done() && deadline.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return done();
}

} // namespace

class CheckFileUpdateTest : public EngineFixture {
protected:
    QROwned<ContentResource> load(const std::string& name, const std::string& file, const std::string& usedFile = {})
    {
        auto resource = qrNew<ContentResource>(journal, name, usedFile);
        resource->loadFromFile(file);
        return resource;
    }
    void check() { qrFile()->getCheckFileUpdateManager()->checkFolder(programFolder().path().string()); }
    std::vector<std::string> journal;
};

TEST_F(CheckFileUpdateTest, AFileRewrittenOnDiskReloadsItsResourcesBetweenFrames)
{
    programFolder().write("shaders/a.vert", "one");
    programFolder().write("shaders/a.config", "config");
    auto configuration = load("configuration", "shaders\\a.config", "shaders\\a.vert");
    auto shader = load("shader", "Shaders\\A.vert");
    check();  // the files written above are the starting point
    journal.clear();

    programFolder().write("shaders/a.vert", "two!");
    const auto written = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point reloaded;
    ASSERT_TRUE(processEventsUntil(
        [&] {
            if (journal.empty())
                return false;
            if (reloaded == std::chrono::steady_clock::time_point())
                reloaded = std::chrono::steady_clock::now();
            return shader->content == "two!" && journal.size() >= 2;
        },
        std::chrono::seconds(10)));
    // A reload straight from the notification would catch an editor's save half-written. Qt's
    // coarse timers may fire a few percent early, hence half the period as the bound.
    EXPECT_GE(reloaded - written, std::chrono::milliseconds(QRFILECheckFileUpdatePath::kQuietPeriodMs / 2))
        << "the burst of notifications is gathered for the quiet period first";
    EXPECT_EQ(journal.at(0), "shader:two!");
    EXPECT_EQ(journal.at(1), "configuration:config") << "the dependent rebuilds after what it uses";
    EXPECT_NE(logText().find("Updating managed object \"shader\""), std::string::npos);
}

TEST_F(CheckFileUpdateTest, ChecksReloadExactlyTheFilesThatChangedOrAppeared)
{
    programFolder().write("a.txt", "1");
    auto a = load("a", "a.txt");
    auto later = load("later", "later.txt");  // not there yet
    auto log = load("log", "log.html");
    check();
    journal.clear();

    const std::filesystem::path folder = programFolder().path();
    struct Step {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> reloads;
    };
    const std::vector<Step> steps = {
        {"nothing changed", [] {}, {}},
        {"truncated by a save that has not written yet", [&] { programFolder().write("a.txt", ""); }, {}},
        {"the save finished", [&] { programFolder().write("a.txt", "22"); }, {"a:22"}},
        {"a file appeared", [&] { programFolder().write("later.txt", "new"); }, {"later:new"}},
        {"the log grew", [] { qrLog()->logInformation("a line the watcher must not reload"); }, {}},
        {"a file vanished", [&] { std::filesystem::remove(folder / "a.txt"); }, {}},
        {"and came back unchanged", [&] { programFolder().write("a.txt", "22"); }, {"a:22"}},
    };
    for (const Step& step : steps) {
        journal.clear();
        step.change();
        check();
        EXPECT_EQ(journal, step.reloads) << step.what;
    }
}
