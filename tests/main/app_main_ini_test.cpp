#include "engine_fixture.h"

#include "main/app_main_ini.h"

#include <gtest/gtest.h>

class SettingsTest : public EngineFixture {
protected:
    QROwned<APPMAINIni> load(const std::string& text)
    {
        programFolder().write("kipster.ini", text);
        auto settings = qrNew<APPMAINIni>(nullptr);
        settings->loadSettings("kipster.ini");
        return settings;
    }
};

TEST_F(SettingsTest, MissingFileGivesTheDefaults)
{
    auto settings = qrNew<APPMAINIni>(nullptr);
    settings->loadSettings("kipster.ini");
    EXPECT_EQ(settings->getDisplayWidth(), 1024);
    EXPECT_EQ(settings->getDisplayHeight(), 768);
    EXPECT_TRUE(settings->isFullscreen());
    EXPECT_EQ(settings->getFrequency(), 60);
    EXPECT_TRUE(settings->isVSyncEnabled());
    EXPECT_EQ(settings->getAntiAliasingLevel(), 0);
    EXPECT_EQ(settings->getAnisotropy(), 0) << "the texture manager chooses";
    EXPECT_FALSE(settings->startsInEditor());
    EXPECT_EQ(settings->getAutosaveInterval(), 120);
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(SettingsTest, PartialFileKeepsDefaultsForWhatIsMissing)
{
    auto settings = load("[DISPLAY]\r\nWidth = 800\r\nFullscreen = OFF\r\nAnisotropy = 4\r\n[MODE]\r\n[EDITOR]\r\nAutosaveInterval = 5\r\n");
    EXPECT_EQ(settings->getDisplayWidth(), 800);
    EXPECT_EQ(settings->getDisplayHeight(), 768);
    EXPECT_FALSE(settings->isFullscreen());
    EXPECT_EQ(settings->getFrequency(), 60);
    EXPECT_TRUE(settings->isVSyncEnabled());
    EXPECT_EQ(settings->getAutosaveInterval(), 5);
    EXPECT_EQ(settings->getAnisotropy(), 4);
}

TEST_F(SettingsTest, EditorStartupIgnoresCaseAndReadsOnlyTheFirstWord)
{
    EXPECT_TRUE(load("[MODE]\nStartupMode = EDITOR\n")->startsInEditor());
    EXPECT_TRUE(load("[MODE]\nStartupMode = Editor Mode\n")->startsInEditor());
    EXPECT_FALSE(load("[MODE]\nStartupMode = \"Editor Mode\"\n")->startsInEditor());
    EXPECT_FALSE(load("[MODE]\nStartupMode = Game\n")->startsInEditor());
}

TEST_F(SettingsTest, AntiAliasingLevels)
{
    EXPECT_EQ(load("[DISPLAY]\nAntiAliasing = 2x\n")->getAntiAliasingLevel(), 1);
    EXPECT_EQ(load("[DISPLAY]\nAntiAliasing = 4X\n")->getAntiAliasingLevel(), 2);
    EXPECT_EQ(load("[DISPLAY]\nAntiAliasing = 8x\n")->getAntiAliasingLevel(), 3);
    EXPECT_EQ(load("[DISPLAY]\nAntiAliasing = 16X\n")->getAntiAliasingLevel(), 4);
    EXPECT_EQ(load("[DISPLAY]\nAntiAliasing = 3x\n")->getAntiAliasingLevel(), 0);
}

TEST_F(SettingsTest, NonNumericWidthIsReportedAndBecomesZero)
{
    auto settings = load("[DISPLAY]\nWidth = wide\nHeight = 600\n");
    EXPECT_EQ(settings->getDisplayWidth(), 0);
    EXPECT_EQ(settings->getDisplayHeight(), 600);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Could not convert string \"wide\" to type QRInt"), std::string::npos);
}
