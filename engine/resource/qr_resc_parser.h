#pragma once
// Splits a resource script (a string list, one statement a line) into statements of tokens and
// gives typed access to them. Every script compiler derives from it. Syntax: "#" starts a comment
// (inside quotes too); blank, tab, "," and ";" separate tokens; ":" "=" "(" ")" "[" "]" "{" "}"
// are tokens of their own; double quotes group anything else into one token. Lines without
// tokens are no statements. Keywords compare lower-cased, values keep their case.

#include "resource/qr_resc_main.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QRRESCStringList;

class QRRESCParser : public QRRESCMain {
public:
    QRRESCParser(QRObject* owner, std::string_view name);
    ~QRRESCParser() override;

    // Reports "No input script defined!" without a script; the script is not owned.
    void parse(const QRRESCStringList* script);
    void tokenize();

    void clear() override { statements_.clear(); }
    bool isEmpty() const override { return statements_.empty(); }

    int getStatementCount() const { return static_cast<int>(statements_.size()); }
    int getTokenCount(int statement) const;

    // False when the statement or position does not exist; outputs are left alone on failure.
    bool getToken(int statement, int position, std::string& text) const;
    bool getLowerToken(int statement, int position, std::string& text) const;
    bool getIntToken(int statement, int position, std::int32_t& value) const;
    bool getFloatToken(int statement, int position, float& value) const;
    // "on", "true", "1" and "off", "false", "0", in any letter case.
    bool getBoolToken(int statement, int position, bool& value) const;
    // The raw token equals word exactly.
    bool tokenIs(int statement, int position, const std::string& word) const;
    // The lower-cased token equals word (which is given in lower case).
    bool keywordIs(int statement, int position, const std::string& word) const;

    const QRRESCStringList* getScript() const { return script_; }

protected:
    std::string separators_ = " \t,;";
    std::string symbols_ = ":=()[]{}";
    std::string quotes_ = "\"";
    std::string comments_ = "#";

private:
    const std::string* findToken(int statement, int position) const;

    const QRRESCStringList* script_ = nullptr;
    std::vector<QROwned<QRRESCStringList>> statements_;
};
