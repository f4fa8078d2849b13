#include "engine_fixture.h"

#include "core/qr_core_feedback.h"
#include "core/qr_core_log.h"
#include "core/qr_core_messagebox.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::string> plainTexts(const QRCORELog& log)
{
    std::vector<std::string> texts;
    for (const auto& line : log.getLines())
        texts.push_back(line.text);
    return texts;
}
} // namespace

class CoreTest : public EngineFixture {};

TEST_F(CoreTest, InitializationLogsBannerAndModulesInOrder)
{
    const auto texts = plainTexts(*core().getLog());
    const std::vector<std::string> expectedStart = {
        "", "", "QOR CORE: Initializing...", "", "Engine:      QOR 2 Engine", "Version:     0.0.1.0"};
    ASSERT_GE(texts.size(), expectedStart.size());
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 6), expectedStart);
    const auto position = [&](const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) - texts.begin();
    };
    EXPECT_LT(position("Object Managers Initialized!"), position("Utility Classes Initialized!"));
    EXPECT_LT(position("Utility Classes Initialized!"), position("QOR CORE: Initialized!"));
    EXPECT_LT(position("QOR CORE: Initialized!"), static_cast<long>(texts.size()));
    EXPECT_TRUE(core().isInitialized());
    EXPECT_TRUE(core().isReady());
}

TEST_F(CoreTest, QuittingIsFinalAndStopsReadiness)
{
    core().requestQuit();
    EXPECT_TRUE(core().isQuitting());
    EXPECT_FALSE(core().isReady());
}

TEST_F(CoreTest, ShutDownLogsAndClosesTheDocument)
{
    shutDownCore();
    const auto log = logText();
    const auto shuttingDown = log.find("<div>QOR CORE: Shutting Down...</div>");
    ASSERT_NE(shuttingDown, std::string::npos);
    const std::string ending = "<div>" + std::string(42, '-') + "</div>\r\n\r\n</body>\r\n</html>\r\n";
    ASSERT_GE(log.size(), ending.size());
    EXPECT_EQ(log.substr(log.size() - ending.size()), ending);
    EXPECT_EQ(qrCore(), nullptr);
    EXPECT_TRUE(shownBoxes().empty()) << "a clean shut-down reports no leaks";
}

TEST_F(CoreTest, ReportErrorLeavesOutEmptyParts)
{
    core().reportError("", "", "bare", "");
    core().reportError("obj", "", "msg", "run");
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_EQ(shownBoxes()[0], "[ERROR] \r\nbare");
    EXPECT_EQ(shownBoxes()[1], "[ERROR] Object: obj Method: run: \r\nmsg");
}

TEST_F(CoreTest, AnErrorWhileABoxIsOpenIsLoggedWithoutABoxOfItsOwn)
{
    std::vector<std::string> boxes;
    bool nested = false;
    auto previous = qrSetMessagePresenter([&](QRMessageKind, const std::string& text) {
        boxes.push_back(text);
        if (!nested) {
            nested = true;
            core().reportError("", "", "inner", "");
        }
    });
    core().reportError("", "", "outer", "");
    qrSetMessagePresenter(previous);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "[ERROR] \r\nouter");
    EXPECT_NE(logText().find("<div class = \"error\">[ERROR] \r\ninner</div>"), std::string::npos);
    EXPECT_FALSE(core().getFeedback()->isShowingError());
}

TEST_F(CoreTest, AGroupOfErrorsShowsItsFirstAndLogsAll)
{
    {
        QRCOREFeedback::Group failure;
        core().reportError("", "", "cause", "");
        {
            QRCOREFeedback::Group step;
            core().reportError("", "", "consequence", "");
        }
        core().reportError("", "", "summary", "");
    }
    core().reportError("", "", "next failure", "");
    EXPECT_EQ(shownBoxes(), (std::vector<std::string>{"[ERROR] \r\ncause", "[ERROR] \r\nnext failure"}));
    for (const char* text : {"cause", "consequence", "summary"})
        EXPECT_NE(logText().find(std::string("<div class = \"error\">[ERROR] \r\n") + text + "</div>"),
                  std::string::npos)
            << text;
}
