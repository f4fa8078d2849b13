#include "engine_fixture.h"

#include "file/qr_file_file.h"
#include "file/qr_file_main.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>

class FileTest : public EngineFixture {
protected:
    std::string bytesOf(const std::string& name) const { return programFolder().read(name); }
    std::vector<std::string> readLines(const std::string& name)
    {
        QRFILEFile file(nullptr, name, QRFileAccess::Read, QRFileType::Text);
        std::vector<std::string> lines;
        while (file.isOpen() && !file.isEndOfFile())
            lines.push_back(file.readLine());
        return lines;
    }
    std::size_t readErrors() const
    {
        return static_cast<std::size_t>(std::count_if(shownBoxes().begin(), shownBoxes().end(), [](const auto& box) {
            return box.find("Method: read: \r\nError on reading data from stream") != std::string::npos;
        }));
    }
};

TEST_F(FileTest, BinaryPrimitivesWriteTheDocumentedBytes)
{
    {
        QRFILEFile file(nullptr, "data\\..\\out.bin", QRFileAccess::Write, QRFileType::Binary);
        ASSERT_FALSE(file.isOpen()) << "the folder data does not exist";
    }
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("saveStreamToDrive: \r\nCould not create file"), std::string::npos);

    QRFILEFile file(nullptr, "out.bin", QRFileAccess::Write, QRFileType::Binary);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.getFileName(), programFolder().path().string() + "\\out.bin");
    file.write(std::int32_t{-2});
    file.write(std::uint32_t{0x01020304});
    file.write(1.5f);
    file.write(std::uint8_t{7});
    file.write(true);
    file.write(Vector3{1.0f, 2.0f, 3.0f});
    file.write(Quaternion{});
    file.write(std::string());
    file.write(std::string("ab"));
    file.write(std::string("QOR"), 5);
    EXPECT_EQ(bytesOf("out.bin"), "") << "nothing replaces a file before it is closed";
    ASSERT_TRUE(file.close());

    std::string expected("\xfe\xff\xff\xff\x04\x03\x02\x01\x00\x00\xc0\x3f\x07\x01", 14);
    expected += std::string("\x00\x00\x80\x3f\x00\x00\x00\x40\x00\x00\x40\x40", 12);
    expected += std::string("\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x80\x3f", 16);
    expected += std::string("\x00\x00\x00\x00", 4);
    expected += std::string("\x02\x00\x00\x00" "ab", 6);
    expected += std::string("QOR\x00\x00", 5);
    EXPECT_EQ(bytesOf("out.bin"), expected);
    EXPECT_EQ(shownBoxes().size(), 1u);
}

TEST_F(FileTest, BinaryValuesReadBackFromMemoryAndFromTheDrive)
{
    {
        QRFILEFile file(nullptr, "values.bin", QRFileAccess::Write, QRFileType::Binary);
        file.write(std::int32_t{-7});
        file.write(2.25f);
        file.write(false);
        file.write(Vector4{1, 2, 3, 4});
        file.write(std::string("hello"));
        file.write(std::string());
    }
    for (std::uint32_t threshold : {QRFILEMain::kDefaultMemoryThreshold, 0u}) {
        qrFile()->setMemoryThreshold(threshold);
        QRFILEFile file(nullptr, "VALUES.BIN", QRFileAccess::Read, QRFileType::Binary);
        ASSERT_TRUE(file.isOpen());
        EXPECT_EQ(file.getLocation(), QRFileLocation::LookupPath);
        std::int32_t i = 0;
        float f = 0;
        bool b = true;
        Vector4 v;
        std::string s, empty = "stale";
        EXPECT_TRUE(file.read(i) && file.read(f) && file.read(b) && file.read(v) && file.read(s) && file.read(empty));
        EXPECT_EQ(i, -7);
        EXPECT_EQ(f, 2.25f);
        EXPECT_FALSE(b);
        EXPECT_EQ(v, (Vector4{1, 2, 3, 4}));
        EXPECT_EQ(s, "hello");
        EXPECT_EQ(empty, "");
        EXPECT_TRUE(file.isEndOfFile());
    }
    EXPECT_NE(logText().find("Copying file stream into memory"), std::string::npos);
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(FileTest, ShortReadsReportAndLeaveTheValueAlone)
{
    programFolder().write("short.bin", std::string("\x05\x00", 2));
    QRFILEFile file(nullptr, "short.bin", QRFileAccess::Read, QRFileType::Binary);
    std::int32_t value = 99;
    EXPECT_FALSE(file.read(value));
    EXPECT_EQ(value, 99);
    EXPECT_EQ(readErrors(), 1u);
    EXPECT_TRUE(file.isEndOfFile());
}

TEST_F(FileTest, CorruptStringLengthsNeverReadPastTheEndNorAllocateBeyondIt)
{
    // Length 0x7fffffff with three bytes behind it, then a negative length.
    programFolder().write("corrupt.bin", std::string("\xff\xff\xff\x7f" "abc", 7));
    programFolder().write("negative.bin", std::string("\xf0\xff\xff\xff" "xyz", 7));
    for (std::uint32_t threshold : {QRFILEMain::kDefaultMemoryThreshold, 0u}) {
        qrFile()->setMemoryThreshold(threshold);
        QRFILEFile file(nullptr, "corrupt.bin", QRFileAccess::Read, QRFileType::Binary);
        std::string text;
        EXPECT_FALSE(file.read(text));
        EXPECT_EQ(text, "abc") << "the characters that were there are kept";
        EXPECT_GE(text.capacity(), 3u);
        EXPECT_LT(text.capacity(), 64u);
        EXPECT_TRUE(file.isEndOfFile());

        QRFILEFile negative(nullptr, "negative.bin", QRFileAccess::Read, QRFileType::Binary);
        text = "stale";
        EXPECT_TRUE(negative.read(text));
        EXPECT_EQ(text, "") << "a length of zero or less is the empty string";
        EXPECT_EQ(negative.getPosition(), 4) << "and only the length is consumed";
        std::string chars;
        EXPECT_FALSE(negative.read(chars, 1 << 30));
        EXPECT_EQ(chars, "xyz");
    }
    EXPECT_EQ(readErrors(), 4u);
}

TEST_F(FileTest, TextLinesEndAtCrLfCrLfOrNulAndTheLastNeedsNoEnd)
{
    programFolder().write("lines.txt", std::string("one\r\ntwo\nthree\rfour\0five\r\n\r\nlast", 33));
    EXPECT_EQ(readLines("lines.txt"), (std::vector<std::string>{"one", "two", "three", "four", "five", "", "last"}));
    programFolder().write("crlf.txt", "a\r\nb\r\n");
    EXPECT_EQ(readLines("crlf.txt"), (std::vector<std::string>{"a", "b"}));
    programFolder().write("empty.txt", "");
    EXPECT_TRUE(readLines("empty.txt").empty());

    qrFile()->setMemoryThreshold(0);
    EXPECT_EQ(readLines("lines.txt"), (std::vector<std::string>{"one", "two", "three", "four", "five", "", "last"}));
}

TEST_F(FileTest, AFileShortenedWhileOpenEndsWhereItNowEnds)
{
    // Another program truncates a file read from the drive: reading lines to the end must stop.
    // The file is larger than what the drive stream buffers ahead.
    std::string text = std::string(100000, 'x') + "\n";
    for (int i = 0; i < 10000; ++i)
        text += "line\n";
    programFolder().write("big.txt", text);
    qrFile()->setMemoryThreshold(0);
    QRFILEFile file(nullptr, "big.txt", QRFileAccess::Read, QRFileType::Text);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.readLine().size(), 100000u);
    std::filesystem::resize_file(programFolder() / "big.txt", 100001);
    int lines = 0;
    while (!file.isEndOfFile() && lines < 20000) {
        file.readLine();
        ++lines;
    }
    EXPECT_LT(lines, 10000) << "the end of the shortened file is never reached";
    EXPECT_TRUE(file.isEndOfFile());
}

TEST_F(FileTest, TextFilesWriteCrLfAndStringsAsLines)
{
    QRFILEFile file(nullptr, "\\notes.txt", QRFileAccess::Write, QRFileType::Text);
    file.writeLine("first");
    file.write(std::string("second"));
    file.writeLine("");
    file.close();
    EXPECT_EQ(bytesOf("notes.txt"), "first\r\nsecond\r\n\r\n");

    QRFILEFile reader(nullptr, "notes.txt", QRFileAccess::Read, QRFileType::Text);
    std::string line;
    EXPECT_TRUE(reader.read(line));
    EXPECT_EQ(line, "first");
}

TEST_F(FileTest, AMissingFileIsReportedAndReadsNothing)
{
    QRFILEFile file(nullptr, "sounds\\none.wav", QRFileAccess::Read, QRFileType::Binary);
    EXPECT_FALSE(file.isOpen());
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Method: locateFile: \r\nFile \"sounds\\none.wav\" could not be found!"),
              std::string::npos);
    std::int32_t value = 5;
    std::string text = "kept";
    EXPECT_FALSE(file.read(value));
    EXPECT_FALSE(file.read(text));
    EXPECT_EQ(file.readLine(), "");
    EXPECT_TRUE(file.isEndOfFile());
    EXPECT_EQ(value, 5);
    EXPECT_EQ(shownBoxes().size(), 1u) << "a closed file does nothing";

    EXPECT_FALSE(file.open("sounds\\none.wav", QRFileAccess::Read, QRFileType::Binary, false));
    EXPECT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(file.getName(), "sounds\\none.wav");
}

TEST_F(FileTest, RewritingReplacesTheOldFileAtCloseAndOnlyWhenEverythingReachedTheDrive)
{
    programFolder().write("world/area.world", "saved work");
    {
        QRFILEFile file(nullptr, "World\\AREA.world", QRFileAccess::Write, QRFileType::Binary);
        EXPECT_EQ(file.getFileName(), programFolder().path().string() + "\\World\\AREA.world");
        file.write(std::int32_t{3});
        EXPECT_EQ(bytesOf("world/area.world"), "saved work");
    }
    EXPECT_EQ(bytesOf("world/area.world"), std::string("\x03\x00\x00\x00", 4));
    EXPECT_FALSE(std::filesystem::exists(programFolder() / "world/area.world.saving"));

    // A drive that takes no more than 1 MiB per file: the save fails and the old file stays.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 1 << 20;
    setrlimit(RLIMIT_FSIZE, &limited);
    bool closed = true;
    {
        QRFILEFile file(nullptr, "world\\area.world", QRFileAccess::Write, QRFileType::Binary);
        const std::string block(1 << 16, 'x');
        for (int i = 0; i < 32; ++i)
            file.write(static_cast<const void*>(block.data()), static_cast<std::int64_t>(block.size()));
        closed = file.close();
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(closed);
    EXPECT_EQ(bytesOf("world/area.world"), std::string("\x03\x00\x00\x00", 4));
    EXPECT_FALSE(std::filesystem::exists(programFolder() / "world/area.world.saving"));
    ASSERT_FALSE(shownBoxes().empty());
    EXPECT_NE(shownBoxes()[0].find("Method: write: \r\nError on writing data to stream"), std::string::npos);
}

TEST_F(FileTest, WritingToAFileOpenForReadingIsReported)
{
    programFolder().write("a.bin", "abcd");
    QRFILEFile file(nullptr, "a.bin", QRFileAccess::Read, QRFileType::Binary);
    EXPECT_FALSE(file.write(std::int32_t{1}));
    EXPECT_NE(shownBoxes().at(0).find("Method: write: \r\nError on writing data to stream"), std::string::npos);
    EXPECT_EQ(bytesOf("a.bin"), "abcd");
}

TEST_F(FileTest, CopyToMemoryKeepsThePositionAndOpenFromStreamCopiesTheWhole)
{
    programFolder().write("a.bin", "abcdef");
    QRFILEFile file(nullptr, "a.bin", QRFileAccess::Read, QRFileType::Binary);
    std::string first;
    file.read(first, 2);
    auto copy = file.copyToMemory();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getPosition(), 0);
    EXPECT_EQ(copy->getSize(), 6);
    EXPECT_EQ(file.getPosition(), 2);

    copy->seek(4);
    QRFILEFile fromStream(nullptr);
    ASSERT_TRUE(fromStream.openFromStream(copy.get(), QRFileType::Binary, "mem\\a.bin", QRFileLocation::Archive));
    EXPECT_EQ(fromStream.getContainer(), "mem\\a.bin");
    std::string all;
    fromStream.read(all, 6);
    EXPECT_EQ(all, "abcdef");
    EXPECT_EQ(copy->getPosition(), 4);

    QRFILEFile none(nullptr);
    EXPECT_FALSE(none.openFromStream(nullptr, QRFileType::Binary, "x", QRFileLocation::Archive));
    EXPECT_FALSE(none.isOpen());
}
