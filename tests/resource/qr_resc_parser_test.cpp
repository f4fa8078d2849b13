#include "engine_fixture.h"

#include "resource/qr_resc_parser.h"
#include "resource/qr_resc_stringlist.h"

#include <gtest/gtest.h>

class ParserTest : public EngineFixture {
protected:
    std::vector<std::vector<std::string>> statementsOf(std::initializer_list<std::string> lines)
    {
        script = qrNew<QRRESCStringList>(nullptr, true, true);
        for (const auto& line : lines)
            script->add(line);
        parser->parse(script.get());
        std::vector<std::vector<std::string>> result;
        for (int s = 0; s < parser->getStatementCount(); ++s) {
            result.emplace_back();
            std::string token;
            for (int t = 0; parser->getToken(s, t, token); ++t)
                result.back().push_back(token);
        }
        return result;
    }
    using Statements = std::vector<std::vector<std::string>>;

    QROwned<QRRESCStringList> script;
    QROwned<QRRESCParser> parser = qrNew<QRRESCParser>(nullptr, "Test Parser");
};

TEST_F(ParserTest, SymbolsSeparatorsQuotesAndComments)
{
    EXPECT_EQ(statementsOf({"pass base:", "pass base :"}),
              (Statements{{"pass", "base", ":"}, {"pass", "base", ":"}}));
    EXPECT_EQ(statementsOf({"set texture2d \"my tex\" #x"}), (Statements{{"set", "texture2d", "my tex"}}));
    EXPECT_EQ(statementsOf({"name \"a#b\""}), (Statements{{"name", "a"}})) << "a comment starts inside quotes too";
    EXPECT_EQ(statementsOf({"1,2;3", "a=b"}), (Statements{{"1", "2", "3"}, {"a", "=", "b"}}));
    EXPECT_EQ(statementsOf({"set color (1.0, 1.0, 1.0, 0.5)"}),
              (Statements{{"set", "color", "(", "1.0", "1.0", "1.0", "0.5", ")"}}));
    EXPECT_EQ(statementsOf({"x\"q(r\"y", "a \"\" b", "open \"quote: left"}),
              (Statements{{"x", "q(r", "y"}, {"a", "b"}, {"open", "quote: left"}}));
    EXPECT_EQ(statementsOf({"dup dup"}), (Statements{{"dup", "dup"}}));
}

TEST_F(ParserTest, EmptyLinesAreNoStatements)
{
    EXPECT_EQ(statementsOf({"first", " , ,\t", "# only a comment", "", "second"}),
              (Statements{{"first"}, {"second"}}));
    EXPECT_FALSE(parser->isEmpty());
    EXPECT_NE(logText().find("Tokens generated: 2"), std::string::npos);
    statementsOf({"  "});
    EXPECT_TRUE(parser->isEmpty());
}

TEST_F(ParserTest, TypedAccessorsLeaveTheOutputAloneOnFailure)
{
    statementsOf({"Set AlphaThreshold 0.5 -3 ON Yes 1e2 abc +7"});
    std::string text = "kept";
    EXPECT_TRUE(parser->getLowerToken(0, 1, text));
    EXPECT_EQ(text, "alphathreshold");
    EXPECT_FALSE(parser->getToken(0, 9, text));
    EXPECT_FALSE(parser->getToken(0, -1, text));
    EXPECT_FALSE(parser->getToken(1, 0, text));
    EXPECT_EQ(text, "alphathreshold");

    float f = 9;
    EXPECT_TRUE(parser->getFloatToken(0, 2, f));
    EXPECT_EQ(f, 0.5f);
    EXPECT_TRUE(parser->getFloatToken(0, 6, f));
    EXPECT_EQ(f, 100.0f);
    EXPECT_FALSE(parser->getFloatToken(0, 7, f));
    EXPECT_EQ(f, 100.0f);

    std::int32_t i = 9;
    EXPECT_TRUE(parser->getIntToken(0, 3, i));
    EXPECT_EQ(i, -3);
    EXPECT_TRUE(parser->getIntToken(0, 8, i));
    EXPECT_EQ(i, 7);
    EXPECT_FALSE(parser->getIntToken(0, 2, i));
    EXPECT_EQ(i, 7);

    bool b = false;
    EXPECT_TRUE(parser->getBoolToken(0, 4, b));
    EXPECT_TRUE(b);
    EXPECT_FALSE(parser->getBoolToken(0, 5, b)) << "Yes is no bool word";

    EXPECT_TRUE(parser->keywordIs(0, 0, "set"));
    EXPECT_FALSE(parser->tokenIs(0, 0, "set"));
    EXPECT_TRUE(parser->tokenIs(0, 0, "Set"));
    EXPECT_FALSE(parser->keywordIs(0, 20, "set"));
}

TEST_F(ParserTest, ParsingWithoutAScriptIsReported)
{
    parser->parse(nullptr);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Method: parse: \r\nNo input script defined!"), std::string::npos);
}
