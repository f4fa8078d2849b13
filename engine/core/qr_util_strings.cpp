#include "core/qr_util_strings.h"

#include "resource/qr_resc_stringlist.h"

#include <algorithm>

namespace {
char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool inSet(std::string_view set, char c)
{
    return set.find(c) != std::string_view::npos;
}
} // namespace

std::string QRUTILStrings::upperCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), upperAscii);
    return result;
}

std::string QRUTILStrings::lowerCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lowerAscii);
    return result;
}

bool QRUTILStrings::equals(std::string_view a, std::string_view b, bool caseSensitive)
{
    if (caseSensitive)
        return a == b;
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

int QRUTILStrings::lastIndexOf(std::string_view text, char character)
{
    const auto position = text.rfind(character);
    return position == std::string_view::npos ? -1 : static_cast<int>(position) + 1;
}

void QRUTILStrings::tokenizeInto(QRRESCStringList& list, std::string_view text, std::string_view stopChars,
                                 std::string_view quoteChars, std::string_view keptSeparators,
                                 std::string_view droppedSeparators)
{
    list.clear();
    std::string token;
    bool inQuote = false;
    const auto flush = [&] {
        if (!token.empty())
            list.add(token);
        token.clear();
    };
    for (const char c : text) {
        if (inSet(stopChars, c))
            break;
        if (inSet(quoteChars, c)) {
            flush();
            inQuote = !inQuote;
            continue;
        }
        if (inQuote) {
            token += c;
        } else if (inSet(keptSeparators, c)) {
            flush();
            list.add(std::string(1, c));
        } else if (inSet(droppedSeparators, c)) {
            flush();
        } else {
            token += c;
        }
    }
    flush();
}

QROwned<QRRESCStringList> QRUTILStrings::tokenize(std::string_view text, std::string_view stopChars,
                                                  std::string_view quoteChars, std::string_view keptSeparators,
                                                  std::string_view droppedSeparators)
{
    auto list = qrNew<QRRESCStringList>(nullptr, true, false);
    tokenizeInto(*list, text, stopChars, quoteChars, keptSeparators, droppedSeparators);
    return list;
}
