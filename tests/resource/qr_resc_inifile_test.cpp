#include "engine_fixture.h"

#include "resource/qr_resc_inifile.h"
#include "resource/qr_resc_stringlist.h"

#include <gtest/gtest.h>

class IniFileTest : public EngineFixture {
protected:
    QROwned<QRRESCIniFile> load(const std::string& text)
    {
        programFolder().write("test.ini", text);
        return qrNew<QRRESCIniFile>(nullptr, "\\test.ini");
    }
};

TEST_F(IniFileTest, KeysValuesAndSectionsAsTheLinesSay)
{
    auto ini = load("[DISPLAY]\r\n"
                    "Width = 1024\r\n"
                    "Height=768\n"
                    "Width = 800\r\n"
                    "Title = \"Kipster on Linux\"\r\n"
                    "Caption = Kipster on Linux\r\n"
                    "[Mode]\r\n"
                    "Editor = TRUE\r\n"
                    "[ Broken Section ]\r\n"
                    "loose words here\r\n"
                    "Fullscreen = on\r\n");
    EXPECT_NE(logText().find("Loading Ini File: \"test.ini\""), std::string::npos);
    EXPECT_EQ(ini->readInt("DISPLAY", "Width", 0), 1024) << "the first occurrence wins";
    EXPECT_EQ(ini->readInt("display", "HEIGHT", 0), 768);
    EXPECT_EQ(ini->readString("DISPLAY", "Title", ""), "Kipster on Linux");
    EXPECT_EQ(ini->readString("DISPLAY", "Caption", ""), "Kipster") << "unquoted, only the first word";
    EXPECT_EQ(ini->readString("", "DISPLAY.Width", ""), "1024");
    EXPECT_TRUE(ini->readBool("Mode", "Editor", false));
    EXPECT_TRUE(ini->readBool("Mode", "Fullscreen", false)) << "a malformed header keeps the section";
    EXPECT_EQ(ini->readInt("Mode", "Missing", 42), 42);
    EXPECT_EQ(ini->getSections().getCount(), 2);
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(IniFileTest, SingleWordsAreNumberedWithTheSectionsKeys)
{
    auto ini = load("[MODELS]\n"
                    "models\\tree.model\n"
                    "Count = 3\n"
                    "\"models\\rock big.model\"\n"
                    "; comment\n"
                    ";comment\n"
                    "# another comment\n");
    auto list = qrNew<QRRESCStringList>(nullptr, true, true);
    ini->readSection("models", *list);
    ASSERT_EQ(list->getCount(), 4);
    EXPECT_EQ(list->get(0), "models\\tree.model");
    EXPECT_EQ(list->get(1), "3");
    EXPECT_EQ(list->get(2), "models\\rock big.model");
    EXPECT_EQ(list->get(3), ";comment") << "one token is a value, even a comment without a blank";
    EXPECT_EQ(ini->readString("MODELS", "2", ""), "models\\rock big.model");
    EXPECT_EQ(ini->countKeys("Models"), 4);
}

TEST_F(IniFileTest, MissingFilesAndKeysBeforeAnySectionGiveDefaults)
{
    auto ini = qrNew<QRRESCIniFile>(nullptr, "none.ini");
    EXPECT_TRUE(ini->isEmpty());
    EXPECT_EQ(ini->readInt("A", "b", 7), 7);
    EXPECT_TRUE(shownBoxes().empty()) << "a missing ini file is not an error";

    auto early = load("Width = 5\nloose\n[A]\nb = 1\n");
    EXPECT_EQ(early->readInt("", "Width", -1), -1);
    EXPECT_EQ(early->countKeys("A"), 1);
}

TEST_F(IniFileTest, NonNumbersReportWhenReadAsNumbers)
{
    auto ini = load("[A]\nn = many\nflag = yes\n");
    EXPECT_EQ(ini->readInt("A", "n", 5), 0);
    EXPECT_FALSE(ini->readBool("A", "flag", true));
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_NE(shownBoxes()[0].find("Could not convert string \"many\" to type QRInt"), std::string::npos);
    EXPECT_NE(shownBoxes()[1].find("Could not convert string \"yes\" to type QRBool"), std::string::npos);
}

TEST_F(IniFileTest, SavingWritesTheExactForm)
{
    auto ini = load("[DISPLAY]\nWidth = 1024\nGamma = 1.5\nFull = FALSE\nName = \"a b\"\nMode = on\n"
                    "[LIST]\nfirst\n\"second item\"\n[list]\nthird\n");
    ini->saveToFile("saved.ini");
    EXPECT_EQ(programFolder().read("saved.ini"), "\r\n\r\n"
                                                 "[DISPLAY]\r\n"
                                                 "Width = 1024\r\n"
                                                 "Gamma = 1.5\r\n"
                                                 "Full = FALSE\r\n"
                                                 "Name = \"a b\"\r\n"
                                                 "Mode = \"on\"\r\n"
                                                 "\r\n\r\n"
                                                 "[LIST]\r\n"
                                                 "\"first\"\r\n"
                                                 "\"second item\"\r\n"
                                                 "\"third\"\r\n"
                                                 "\r\n\r\n");
    EXPECT_NE(logText().find("Saving Ini File: \"saved.ini\""), std::string::npos);

    auto again = qrNew<QRRESCIniFile>(nullptr, "saved.ini");
    EXPECT_EQ(again->readString("DISPLAY", "Name", ""), "a b");
    EXPECT_EQ(again->readString("LIST", "2", ""), "third");
}

TEST_F(IniFileTest, ClearKeepsSectionsAndWriteNeedsAKnownSection)
{
    auto ini = load("[A]\nk = 1\n");
    ini->clear();
    EXPECT_TRUE(ini->isEmpty());
    ini->writeValue("B", "k", "2");
    ini->writeValue("A", "k", "3");
    EXPECT_EQ(ini->readString("B", "k", "none"), "none");
    EXPECT_EQ(ini->readString("A", "k", "none"), "3");
    ini->addSection("B");
    ini->appendValue("b", "x");
    EXPECT_EQ(ini->readString("B", "0", ""), "x");
}
