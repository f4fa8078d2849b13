#include "engine_fixture.h"

#include "core/qr_core_managedobject.h"
#include "core/qr_mngr_main.h"
#include "core/qr_mngr_updateableresources.h"
#include "file/qr_file_main.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Records every reload by name; a reload may also run an action (destroy or create objects).
class RecordingResource : public QRManagedObject {
public:
    RecordingResource(std::vector<std::string>& journal, const std::string& name, const std::string& usedFile)
        : QRManagedObject(nullptr, name), journal_(journal), usedFileID_(usedFile.empty() ? 0 : QRFILEMain::fileNameID(usedFile))
    {
    }
    void loadFromFile(const std::string&) override
    {
        journal_.push_back(getName());
        if (onReload)
            onReload();
    }
    bool usesFile(std::uint32_t fileID) const override { return usedFileID_ != 0 && fileID == usedFileID_; }

    std::function<void()> onReload;

private:
    std::vector<std::string>& journal_;
    std::uint32_t usedFileID_;
};

} // namespace

class UpdateableResourcesTest : public EngineFixture {
protected:
    QRMNGRUpdateableResources& registry() { return *qrManagers()->getUpdateableResources(); }
    QROwned<RecordingResource> make(const std::string& name, const std::string& file, const std::string& usedFile = {})
    {
        auto resource = qrNew<RecordingResource>(journal, name, usedFile);
        resource->setFileName(file);
        return resource;
    }
    std::vector<std::string> journal;
};

TEST_F(UpdateableResourcesTest, ObjectsLoadedFromTheFileReloadBeforeThoseThatUseIt)
{
    // Registered with a dependent first, so list order alone would get it wrong.
    auto configuration = make("configuration", "shaders\\a.config", "shaders\\a.vert");
    auto shader = make("shader", "shaders\\a.vert");
    auto unrelated = make("unrelated", "shaders\\b.vert", "shaders\\b.config");
    auto copy = make("copy", "SHADERS/A.VERT");

    registry().updateResourcesForFile(programFolder().path().string() + "/shaders/a.vert");

    EXPECT_EQ(journal, (std::vector<std::string>{"shader", "copy", "configuration"}));
    EXPECT_NE(logText().find("Updating managed object \"shader\""), std::string::npos);
}

TEST_F(UpdateableResourcesTest, ObjectsDestroyedOrCreatedByAReloadAreNotTouchedByIt)
{
    auto first = make("first", "a.texture");
    auto doomedOwn = make("doomed own", "a.texture");
    auto doomedDependent = make("doomed dependent", "b.png", "a.texture");
    QROwned<RecordingResource> created;
    first->onReload = [&] {
        if (created)
            return;
        doomedOwn.reset();
        doomedDependent.reset();
        // Loaded from the new file already; reloading it again would be wasted work.
        created = make("created", "c.png", "a.texture");
    };

    registry().updateResourcesWithFileID(QRFILEMain::fileNameID("a.texture"));

    EXPECT_EQ(journal, (std::vector<std::string>{"first"}));
    EXPECT_TRUE(registry().containsResource(created.get()));
    registry().updateResourcesWithFileID(QRFILEMain::fileNameID("a.texture"));
    EXPECT_EQ(journal, (std::vector<std::string>{"first", "first", "created"}));
}
