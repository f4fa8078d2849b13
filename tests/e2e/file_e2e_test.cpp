#include "kipster_process.h"
#include "x11_window.h"

#include <gtest/gtest.h>

TEST(FileSystem, AnnouncesTheProgramFolderAndItsArchivesAtStartup)
{
    KipsterProcess kipster;
    kipster.folder().write("pack.archive", "no archive format exists");
    kipster.folder().write("content/Other.ARCHIVE", "only the program folder is scanned");
    kipster.start();
    ASSERT_TRUE(kipster.waitForLog("<div>File System Initialized!</div>")) << kipster.log();

    const std::string log = kipster.log();
    const std::string folder = kipster.folder().path().string();
    const auto lookupPath = log.find("<div class = \"information\">Adding Lookup Path: \"" + folder + "\"</div>");
    const auto archive = log.find("<div class = \"information\">Adding Archive: \"pack.archive\"</div>");
    EXPECT_NE(lookupPath, std::string::npos) << log;
    EXPECT_NE(archive, std::string::npos) << log;
    EXPECT_LT(lookupPath, archive) << "the lookup path comes first";
    EXPECT_EQ(log.find("Other.ARCHIVE"), std::string::npos);
    EXPECT_EQ(log.find("class = \"error\""), std::string::npos) << log;

    const auto window = kipster.waitForMainWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(x11::sendCloseRequest(window));
    const auto exitCode = kipster.waitForExit();
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0);
}
