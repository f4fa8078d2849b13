#include "engine_fixture.h"

#include "file/qr_file_file.h"
#include "resource/qr_resc_stringlist.h"

#include <gtest/gtest.h>

class StringListTest : public EngineFixture {};

TEST_F(StringListTest, FiltersApplyIgnoringCase)
{
    auto list = qrNew<QRRESCStringList>(nullptr, false, false);
    list->add("Sky");
    list->add("SKY");
    list->add("");
    list->add("ground");
    EXPECT_EQ(list->getCount(), 2);
    EXPECT_EQ(list->indexOf("GROUND"), 1);
    EXPECT_EQ(list->getLastIndex(), 1);
    EXPECT_THROW(list->get(2), std::out_of_range);

    auto copy = qrNew<QRRESCStringList>(nullptr, true, true);
    copy->add("x");
    copy->assign(*list);
    EXPECT_EQ(copy->getCount(), 2) << "assign replaces the content";
    EXPECT_FALSE(copy->getAllowDuplicates());
    copy->addAll(*copy);
    EXPECT_EQ(copy->getCount(), 2);
}

TEST_F(StringListTest, TextFilesRoundTripAndKeepTheFileName)
{
    auto list = qrNew<QRRESCStringList>(nullptr, true, true);
    list->add("first line");
    list->add("");
    list->add("third");
    list->saveToFile("lists\\..\\names.txt");
    EXPECT_EQ(shownBoxes().size(), 1u) << "the lists folder does not exist";
    list->saveToFile("\\names.txt");
    EXPECT_EQ(programFolder().read("names.txt"), "first line\r\n\r\nthird\r\n");

    auto loaded = qrNew<QRRESCStringList>(nullptr, "\\NAMES.TXT");
    EXPECT_EQ(loaded->getName(), "NAMES.TXT");
    EXPECT_EQ(loaded->getFileName(), "NAMES.TXT");
    EXPECT_EQ(loaded->getFullFileName(), programFolder().path().string() + "\\NAMES.TXT");
    ASSERT_EQ(loaded->getCount(), 3);
    EXPECT_EQ(loaded->get(1), "");
    EXPECT_EQ(loaded->get(2), "third");
}

TEST_F(StringListTest, BinaryStreamsHoldACountAndStopAtACorruptOne)
{
    auto list = qrNew<QRRESCStringList>(nullptr, true, true);
    list->add("a");
    list->add("bc");
    {
        QRFILEFile file(nullptr, "list.bin", QRFileAccess::Write, QRFileType::Binary);
        list->saveToStream(file);
    }
    EXPECT_EQ(programFolder().read("list.bin"), std::string("\x02\0\0\0\x01\0\0\0a\x02\0\0\0bc", 15));

    // A count of a billion strings in a file that holds two.
    std::string corrupt = programFolder().read("list.bin");
    corrupt[3] = 0x40;
    programFolder().write("corrupt.bin", corrupt);
    QRFILEFile file(nullptr, "corrupt.bin", QRFileAccess::Read, QRFileType::Binary);
    auto loaded = qrNew<QRRESCStringList>(nullptr, true, true);
    loaded->loadFromStream(file);
    EXPECT_EQ(loaded->getCount(), 2);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Error on reading data from stream"), std::string::npos);
}

TEST_F(StringListTest, TextStreamsReadToTheEnd)
{
    programFolder().write("lines.txt", "a\nb\r\nc");
    QRFILEFile file(nullptr, "lines.txt", QRFileAccess::Read, QRFileType::Text);
    auto loaded = qrNew<QRRESCStringList>(nullptr, true, true);
    loaded->loadFromStream(file);
    EXPECT_EQ(loaded->getCount(), 3);
}
