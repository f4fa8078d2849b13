#include "engine_fixture.h"

#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_bindings.h"
#include "main/app_main_ini.h"
#include "main/app_main_iniwriter.h"

#include <gtest/gtest.h>

TEST(IniWriterTest, ChangesOneValueAndKeepsEveryOtherLine)
{
    struct Case {
        const char* what;
        const char* before;
        const char* section;
        const char* key;
        const char* after;
    };
    const Case cases[] = {
        {"replaced in place, case ignored", "; mine\n[DISPLAY]\nwidth = 800\nHeight = 600\n", "display", "Width",
         "; mine\n[DISPLAY]\nWidth = 1280\nHeight = 600\n"},
        {"added after the section's last line", "[DISPLAY]\nWidth = 800\n\n[MODE]\nStartupMode = Game\n", "DISPLAY",
         "VSync", "[DISPLAY]\nWidth = 800\nVSync = 1280\n\n[MODE]\nStartupMode = Game\n"},
        {"a missing section goes at the end", "[MODE]\nStartupMode = Game\n", "SOUND", "Mute",
         "[MODE]\nStartupMode = Game\n\n[SOUND]\nMute = 1280\n"},
        {"the same key in another section stays", "[SOUND]\nWidth = 3\n[DISPLAY]\n", "DISPLAY", "Width",
         "[SOUND]\nWidth = 3\n[DISPLAY]\nWidth = 1280\n"},
        {"line ends of the file are kept", "[DISPLAY]\r\nWidth = 800\r\n", "DISPLAY", "Height",
         "[DISPLAY]\r\nWidth = 800\r\nHeight = 1280\r\n"},
        {"an empty file", "", "DISPLAY", "Width", "[DISPLAY]\nWidth = 1280\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(APPMAINIniWriter::setValue(c.before, c.section, c.key, "1280"), c.after) << c.what;
}

class SettingsWritingTest : public EngineFixture {};

TEST_F(SettingsWritingTest, EveryChangeIsInTheFileAtOnceAndReadBackAtTheNextStart)
{
    programFolder().write("kipster.ini", "[DISPLAY]\nWidth = 800\nMaxFPS = 30\n; the player's own note\n[MODE]\nStartupMode = Game\n");
    auto settings = qrNew<APPMAINIni>(nullptr);
    settings->loadSettings("kipster.ini");
    settings->setDisplaySize(1280, 720);
    settings->setMuted(true);
    settings->setMasterVolume(140);
    settings->setMouseSensitivity(2.5f);
    settings->setControllerDeadZone(0.15f);

    auto again = qrNew<APPMAINIni>(nullptr);
    again->loadSettings("kipster.ini");
    EXPECT_EQ(again->getDisplayWidth(), 1280);
    EXPECT_EQ(again->getDisplayHeight(), 720);
    EXPECT_EQ(again->getMaxFPS(), 30);
    EXPECT_TRUE(again->isMuted());
    EXPECT_EQ(again->getMasterVolume(), 100) << "kept within 0..100";
    EXPECT_EQ(again->getSoundGain(), 0.0f) << "muted";
    EXPECT_FLOAT_EQ(again->getMouseSensitivity(), 2.5f);
    EXPECT_FLOAT_EQ(again->getControllerDeadZone(), 0.15f);
    EXPECT_FALSE(again->startsInEditor());
    EXPECT_NE(programFolder().read("kipster.ini").find("; the player's own note"), std::string::npos);
}

TEST_F(SettingsWritingTest, BindingsAreKeptAndBadLinesLeaveTheDefaults)
{
    programFolder().write("kipster.ini", "[BINDINGS]\nJump = 200,2001\nFly = nonsense\nBack = 99999\n");
    auto settings = qrNew<APPMAINIni>(nullptr);
    settings->loadSettings("kipster.ini");
    auto actions = qrNew<QRINTAActions>(nullptr);
    auto bindings = qrNew<QRINTABindings>(nullptr, actions.get());
    bindings->addAction("Jump", {57, 2000, -1}, QRINTABindings::kGame);
    bindings->addAction("Fly", {57, 2000, -1}, QRINTABindings::kGame);
    bindings->addAction("Back", {31, -1, -1}, QRINTABindings::kEverywhere);
    settings->applyBindings(*bindings);
    EXPECT_EQ(bindings->getCodes("Jump"), (QRINTABindings::Codes{200, 2001, -1}));
    EXPECT_EQ(bindings->getCodes("Fly"), (QRINTABindings::Codes{57, 2000, -1}));
    EXPECT_EQ(bindings->getCodes("Back"), (QRINTABindings::Codes{31, -1, -1}));

    bindings->bind("Back", 1, 208);
    settings->saveBindings(*bindings);
    auto restarted = qrNew<QRINTAActions>(nullptr);
    auto fresh = qrNew<QRINTABindings>(nullptr, restarted.get());
    fresh->addAction("Jump", {57, 2000, -1}, QRINTABindings::kGame);
    fresh->addAction("Back", {31, -1, -1}, QRINTABindings::kEverywhere);
    settings->applyBindings(*fresh);
    EXPECT_EQ(fresh->getCodes("Back"), (QRINTABindings::Codes{31, 208, -1}));
    EXPECT_EQ(restarted->findAction("Jump")->getCode(0), 200);
}
