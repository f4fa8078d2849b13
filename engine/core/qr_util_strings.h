#pragma once
// String helpers shared by the engine: ASCII case handling (the case rules of names and name IDs),
// the tokenizer behind the ini files and the resource scripts, and the name ID. Owned by the
// utility hub; every operation is static so that it can be used before and after the hub.

#include "core/qr_core_object.h"

#include <cstdint>
#include <string>
#include <string_view>

class QRRESCStringList;

class QRUTILStrings : public QRObject {
public:
    explicit QRUTILStrings(QRObject* owner) : QRObject(owner, "QR UTIL Strings") {}

    static std::string upperCase(std::string_view text);
    static std::string lowerCase(std::string_view text);
    static bool equals(std::string_view a, std::string_view b, bool caseSensitive);
    // 1-based position of the last occurrence of character; -1 when there is none.
    static int lastIndexOf(std::string_view text, char character);

    // Splits text into tokens. A stop character ends the scan; a quote character toggles quoted
    // mode, in which everything but quotes (and stop characters) belongs to the token; outside
    // quotes a kept separator ends the token and becomes a token of its own, a dropped separator
    // just ends it. Empty tokens are never added. The list's own filters apply to each addition.
    static void tokenizeInto(QRRESCStringList& list, std::string_view text, std::string_view stopChars,
                             std::string_view quoteChars, std::string_view keptSeparators,
                             std::string_view droppedSeparators);
    // The same into a new list that allows duplicates and refuses empty strings.
    static QROwned<QRRESCStringList> tokenize(std::string_view text, std::string_view stopChars,
                                              std::string_view quoteChars, std::string_view keptSeparators,
                                              std::string_view droppedSeparators);

    static std::string lineBreak() { return "\r\n"; }
    static std::uint32_t computeNameID(std::string_view text) { return ::computeNameID(text); }
};
