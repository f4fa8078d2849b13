#include "temp_folder.h"

#include "core/qr_core_log.h"

#include <gtest/gtest.h>

namespace {
const std::string kHyphens(42, '-');
}

TEST(Log, HtmlFileStartsWithTheHeaderAndWritesEachLineAtOnce)
{
    TempFolder folder;
    auto log = qrNew<QRCORELog>(nullptr, folder.path());
    log->logPlain("plain");
    log->logInformation("info");
    log->logWarning("warn");
    log->logError("err");
    log->logDebug("dbg");
    log->logEmptyLine();
    log->logSeparator();
    const auto text = folder.read("log.html");
    const std::string expected =
        "<html>\r\n\r\n<head>\r\n<style type=\"text/css\">\r\n"
        "div     { font-family: Courier New; color:#000000; font-size: 10pt; line-height: 16px; white-space: pre; }\r\n"
        ".information { color:#0000DD; }\r\n.warning     { color:#DDDD00; }\r\n.error       { color:#FF0000; }\r\n"
        ".debug       { color:#0000DD; }\r\n</style>\r\n</head>\r\n\r\n<body>\r\n\r\n"
        "<div>plain</div>\r\n"
        "<div class = \"information\">info</div>\r\n"
        "<div class = \"warning\">warn</div>\r\n"
        "<div class = \"error\">err</div>\r\n"
        "<div class = \"debug\">dbg</div>\r\n"
        "<div>&nbsp;</div>\r\n"
        "<div>" + kHyphens + "</div>\r\n";
    EXPECT_EQ(text, expected);
    log.reset();
    EXPECT_EQ(folder.read("log.html"), expected + "\r\n</body>\r\n</html>\r\n");
}

TEST(Log, TextFormUsesPrefixesAndNoHeader)
{
    TempFolder folder;
    {
        auto log = qrNew<QRCORELog>(nullptr, folder.path(), false);
        log->logPlain("plain");
        log->logInformation("info");
        log->logWarning("warn");
        log->logError("err");
        log->logDebug("dbg");
        log->logEmptyLine();
        log->logSeparator();
    }
    EXPECT_EQ(folder.read("log.txt"), "plain\r\n[INFORMATION] info\r\n[WARNING] warn\r\n[ERROR] err\r\n"
                                      "[DEBUG] dbg\r\n\r\n" + kHyphens + "\r\n");
}

TEST(Log, DebugLinesCanBeSwitchedOffButAreStillCollected)
{
    TempFolder folder;
    auto log = qrNew<QRCORELog>(nullptr, folder.path(), false);
    log->setWriteDebugLines(false);
    log->logDebug("hidden");
    log->logPlain("shown");
    EXPECT_EQ(folder.read("log.txt"), "shown\r\n");
    EXPECT_EQ(log->getLines().size(), 2u);
}

TEST(Log, HoldCollectsUntilFlush)
{
    TempFolder folder;
    auto log = qrNew<QRCORELog>(nullptr, folder.path(), false);
    log->setHold(true);
    log->logPlain("one");
    log->logPlain("two");
    EXPECT_EQ(folder.read("log.txt"), "");
    log->flush();
    EXPECT_EQ(folder.read("log.txt"), "one\r\ntwo\r\n");
}

TEST(Log, UnwritableFolderFallsBackToMemory)
{
    auto log = qrNew<QRCORELog>(nullptr, "/nonexistent/folder/for/kipster");
    log->logPlain("still collected");
    EXPECT_TRUE(log->getFilePath().empty());
    EXPECT_EQ(log->getLines().back().text, "still collected");
}

TEST(Log, NewStemOrFormMovesTheWholeLogToThatFile)
{
    TempFolder folder;
    auto log = qrNew<QRCORELog>(nullptr, folder.path());
    log->logWarning("before");
    log->setFileStem("session");
    log->logPlain("after");
    const std::string header = folder.read("session.html").substr(0, folder.read("session.html").find("<div"));
    EXPECT_EQ(folder.read("session.html"), header + "<div class = \"warning\">before</div>\r\n<div>after</div>\r\n");
    EXPECT_EQ(folder.read("log.html"), header + "<div class = \"warning\">before</div>\r\n\r\n</body>\r\n</html>\r\n")
        << "the old document is closed";
    EXPECT_EQ(log->getFilePath(), folder / "session.html");

    log->setHold(true);
    log->logPlain("held");
    log->setHtmlOutput(false);
    EXPECT_EQ(folder.read("session.txt"), "[WARNING] before\r\nafter\r\n");
    log->flush();
    EXPECT_EQ(folder.read("session.txt"), "[WARNING] before\r\nafter\r\nheld\r\n");
    EXPECT_TRUE(folder.read("session.html").ends_with("</html>\r\n"));
    log.reset();
    EXPECT_EQ(folder.read("session.txt"), "[WARNING] before\r\nafter\r\nheld\r\n") << "no footer in text form";
}
