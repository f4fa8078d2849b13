#include "core/qr_util_strings.h"
#include "resource/qr_resc_stringlist.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::string> tokens(std::string_view text, std::string_view stop, std::string_view quote,
                                std::string_view kept, std::string_view dropped)
{
    auto list = QRUTILStrings::tokenize(text, stop, quote, kept, dropped);
    return {list->begin(), list->end()};
}
using Tokens = std::vector<std::string>;
} // namespace

TEST(UtilStrings, TokenizerQuotingRules)
{
    EXPECT_EQ(tokens("Width = 1024", "", "\"", "=[]", " \t"), (Tokens{"Width", "=", "1024"}));
    EXPECT_EQ(tokens("Width=1024", "", "\"", "=[]", " \t"), (Tokens{"Width", "=", "1024"}));
    EXPECT_EQ(tokens("a \"b = c\" d", "", "\"", "=", " "), (Tokens{"a", "b = c", "d"}));
    EXPECT_EQ(tokens("x \"\" y", "", "\"", "", " "), (Tokens{"x", "y"})) << "empty quotes give nothing";
    EXPECT_EQ(tokens("ab\"cd\"ef", "", "\"", "", " "), (Tokens{"ab", "cd", "ef"})) << "a quote splits a word";
    EXPECT_EQ(tokens("a a # b", "#", "\"", "", " "), (Tokens{"a", "a"}));
    EXPECT_EQ(tokens("\"x # y\"", "#", "\"", "", " "), (Tokens{"x "})) << "stop characters end quotes too";
    EXPECT_EQ(tokens("[S]", "", "\"", "[]", ""), (Tokens{"[", "S", "]"}));
}

TEST(UtilStrings, TokenizeIntoAppliesTheListsFilters)
{
    auto unique = qrNew<QRRESCStringList>(nullptr, false, false);
    unique->add("stale");
    QRUTILStrings::tokenizeInto(*unique, "a A b", "", "", "", " ");
    EXPECT_EQ(Tokens(unique->begin(), unique->end()), (Tokens{"a", "b"}));
}

TEST(UtilStrings, CaseAndPositions)
{
    EXPECT_EQ(QRUTILStrings::upperCase("Kip ä"), "KIP ä");
    EXPECT_TRUE(QRUTILStrings::equals("Models", "MODELS", false));
    EXPECT_FALSE(QRUTILStrings::equals("Models", "MODELS", true));
    EXPECT_EQ(QRUTILStrings::lastIndexOf("a\\b\\c", '\\'), 4);
    EXPECT_EQ(QRUTILStrings::lastIndexOf("abc", '\\'), -1);
    EXPECT_EQ(QRUTILStrings::lineBreak(), "\r\n");
    EXPECT_EQ(QRUTILStrings::computeNameID("\\ABC"), 0x30040042u);
}
