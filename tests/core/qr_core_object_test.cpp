#include "engine_fixture.h"

#include "temp_folder.h"

#include "core/qr_core_object.h"
#include "core/qr_util_strings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <string>

TEST(ComputeNameID, KnownValues)
{
    EXPECT_EQ(computeNameID(""), 0u);
    EXPECT_EQ(computeNameID("abc"), 0x30040042u);
    EXPECT_EQ(computeNameID("\\ABC"), 0x30040042u);
    EXPECT_EQ(computeNameID("a"), 0x10000041u);
}

TEST(ComputeNameID, OnlyTheFirstBackslashIsDropped)
{
    EXPECT_NE(computeNameID("\\\\abc"), computeNameID("abc"));
    EXPECT_EQ(computeNameID("Models\\A.model"), computeNameID("\\models\\a.MODEL"));
}

TEST(ComputeNameID, LengthLivesInTheTopFourBits)
{
    EXPECT_EQ(computeNameID(std::string(16, 'x')) >> 28, 0u);
    EXPECT_EQ(computeNameID(std::string(17, 'x')) >> 28, 1u);
    // Characters below the blank count negatively and must wrap, not saturate.
    EXPECT_EQ(computeNameID("\t") , 0x10000000u | (static_cast<std::uint32_t>(9 - 32) & 0x0FFFFFFFu));
}

namespace {

// Switches the character classes to a German Latin-1 locale built for the test, in which
// tolower folds accented capitals (0xC0 "A grave" to 0xE0); back to "C" afterwards.
class Latin1Locale {
public:
    Latin1Locale()
    {
        const std::string command = "localedef -i de_DE -f ISO-8859-1 '" + folder_.path().string() +
                                    "/de_DE.ISO-8859-1' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return;
        setenv("LOCPATH", folder_.path().c_str(), 1);
        // Through a volatile: the compiler may fold tolower of a constant as the "C" locale has it.
        volatile int capital = 0xC0;
        active_ = std::setlocale(LC_CTYPE, "de_DE.ISO-8859-1") != nullptr && std::tolower(capital) == 0xE0;
    }
    ~Latin1Locale()
    {
        std::setlocale(LC_CTYPE, "C");
        unsetenv("LOCPATH");
    }
    bool active() const { return active_; }

private:
    TempFolder folder_;
    bool active_ = false;
};

} // namespace

TEST(ComputeNameID, NamesThatCompareEqualShareTheIDUnderALatin1Locale)
{
    Latin1Locale locale;
    if (!locale.active())
        GTEST_SKIP() << "no de_DE ISO-8859-1 locale could be built (localedef and the locales data needed)";
    const struct {
        std::string a, b;
    } pairs[] = {
        {"Sky", "sKY"},
        {"\xC0" "ffchen", "\xE0" "ffchen"},  // A grave, a grave: two different names
        {"m\xC4" "chtiger", "m\xE4" "chtiger"}, // A umlaut, a umlaut
        {"\xC0\xC0", "\xC0\xC0"},
        {"Stra\xDF" "e", "STRA\xDF" "E"},
    };
    for (const auto& [a, b] : pairs) {
        const bool equal = QRUTILStrings::equals(a, b, false);
        EXPECT_EQ(computeNameID(a) == computeNameID(b), equal) << a << " / " << b;
    }
}

class ObjectTest : public EngineFixture {};

TEST_F(ObjectTest, SetNameRecomputesTheID)
{
    auto object = qrNew<QRObject>(nullptr, "first");
    object->setName("abc");
    EXPECT_EQ(object->getID(), 0x30040042u);
}

TEST_F(ObjectTest, AssignCopiesNameIDAndOwnerTogether)
{
    auto owner = qrNew<QRObject>(nullptr, "owner");
    auto source = qrNew<QRObject>(owner.get(), "source");
    auto target = qrNew<QRObject>(nullptr, "target");
    target->assign(*source);
    EXPECT_EQ(target->getName(), "source");
    EXPECT_EQ(target->getID(), computeNameID("source"));
    EXPECT_EQ(target->getOwner(), owner.get());
}

TEST_F(ObjectTest, DescriptionNamesClassAndDecimalID)
{
    auto object = qrNew<QRObject>(nullptr, "a");
    EXPECT_EQ(object->getDescription(), "Object: a (Class: QRObject ID:268435521)");
}

TEST_F(ObjectTest, WarningsCarryTheDescriptionAndErrorsTheFullHeader)
{
    auto object = qrNew<QRObject>(nullptr, "thing");
    object->logWarning("method", "careful");
    object->reportError("doIt", "it failed");
    const auto log = logText();
    EXPECT_NE(log.find("<div class = \"warning\">Object: thing (Class: QRObject ID:"), std::string::npos);
    EXPECT_NE(log.find("): careful</div>"), std::string::npos);
    const std::string error = "[ERROR] Object: thing (Class: QRObject) Method: doIt: \r\nit failed";
    EXPECT_NE(log.find("<div class = \"error\">" + error + "</div>"), std::string::npos);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0], error);
}
