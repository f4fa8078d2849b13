#include "resource/qr_resc_parser.h"

#include "core/qr_util_convert.h"
#include "core/qr_util_strings.h"
#include "resource/qr_resc_stringlist.h"

QRRESCParser::QRRESCParser(QRObject* owner, std::string_view name) : QRRESCMain(owner, name) {}

QRRESCParser::~QRRESCParser() = default;

void QRRESCParser::parse(const QRRESCStringList* script)
{
    if (!script) {
        reportError("parse", "No input script defined!");
        return;
    }
    clear();
    script_ = script;
    tokenize();
}

void QRRESCParser::tokenize()
{
    statements_.clear();
    logDebug("Generating token list from script");
    int tokens = 0;
    if (script_) {
        for (const auto& line : *script_) {
            auto statement = qrNew<QRRESCStringList>(this, true, false);
            QRUTILStrings::tokenizeInto(*statement, line, comments_, quotes_, symbols_, separators_);
            if (statement->isEmpty())
                continue;
            tokens += statement->getCount();
            statements_.push_back(std::move(statement));
        }
    }
    logDebug("Tokens generated: " + std::to_string(tokens));
}

int QRRESCParser::getTokenCount(int statement) const
{
    if (statement < 0 || statement >= getStatementCount())
        return 0;
    return statements_[static_cast<std::size_t>(statement)]->getCount();
}

const std::string* QRRESCParser::findToken(int statement, int position) const
{
    if (position < 0 || position >= getTokenCount(statement))
        return nullptr;
    return &statements_[static_cast<std::size_t>(statement)]->get(position);
}

bool QRRESCParser::getToken(int statement, int position, std::string& text) const
{
    const std::string* token = findToken(statement, position);
    if (token)
        text = *token;
    return token != nullptr;
}

bool QRRESCParser::getLowerToken(int statement, int position, std::string& text) const
{
    const std::string* token = findToken(statement, position);
    if (token)
        text = QRUTILStrings::lowerCase(*token);
    return token != nullptr;
}

bool QRRESCParser::getIntToken(int statement, int position, std::int32_t& value) const
{
    const std::string* token = findToken(statement, position);
    return token && QRUTILConvert::parseInt(*token, value);
}

bool QRRESCParser::getFloatToken(int statement, int position, float& value) const
{
    const std::string* token = findToken(statement, position);
    return token && QRUTILConvert::parseFloat(QRUTILStrings::lowerCase(*token), value);
}

bool QRRESCParser::getBoolToken(int statement, int position, bool& value) const
{
    std::string token;
    if (!getLowerToken(statement, position, token))
        return false;
    if (token == "on" || token == "true" || token == "1")
        value = true;
    else if (token == "off" || token == "false" || token == "0")
        value = false;
    else
        return false;
    return true;
}

bool QRRESCParser::tokenIs(int statement, int position, const std::string& word) const
{
    const std::string* token = findToken(statement, position);
    return token && *token == word;
}

bool QRRESCParser::keywordIs(int statement, int position, const std::string& word) const
{
    const std::string* token = findToken(statement, position);
    return token && QRUTILStrings::lowerCase(*token) == word;
}
