#include "core/qr_util_convert.h"

#include "core/qr_core_main.h"
#include "core/qr_util_main.h"
#include "core/qr_util_strings.h"

#include <charconv>
#include <cctype>
#include <cmath>

namespace {
// Takes off one leading "+"; false when what follows cannot start an unsigned number.
bool stripPlus(std::string_view& text)
{
    if (text.empty() || text.front() != '+')
        return true;
    text.remove_prefix(1);
    return !text.empty() && text.front() != '-' && text.front() != '+';
}
} // namespace

bool QRUTILConvert::parseInt(std::string_view text, std::int32_t& value)
{
    if (!stripPlus(text) || text.empty())
        return false;
    std::int32_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

bool QRUTILConvert::parseFloat(std::string_view text, float& value)
{
    if (!stripPlus(text) || text.empty())
        return false;
    // from_chars would also take "inf", "nan" and hexadecimal digits; a number begins with a
    // digit or a point, after its sign.
    const std::string_view unsigned_ = text.front() == '-' ? text.substr(1) : text;
    if (unsigned_.empty() || !(std::isdigit(static_cast<unsigned char>(unsigned_.front())) || unsigned_.front() == '.'))
        return false;
    float parsed = 0.0f;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

void QRUTILConvert::reportFailure(std::string_view text, std::string_view typeName, std::string_view method)
{
    const auto* utilities = qrUtilities();
    const QRUTILConvert* self = utilities ? utilities->getConvert() : nullptr;
    if (self && !self->reportErrors_)
        return;
    const std::string message =
        "Could not convert string \"" + std::string(text) + "\" to type " + std::string(typeName);
    if (self)
        self->reportError(method, message);
    else
        QRCOREMain::reportErrorFrom("QR UTIL Convert", "QRUTILConvert", message, method);
}

std::int32_t QRUTILConvert::toInt(std::string_view text)
{
    std::int32_t value = 0;
    if (!parseInt(text, value))
        reportFailure(text, "QRInt", "toInt");
    return value;
}

float QRUTILConvert::toFloat(std::string_view text)
{
    float value = 0.0f;
    if (!parseFloat(text, value))
        reportFailure(text, "QRFloat", "toFloat");
    return value;
}

std::uint8_t QRUTILConvert::toByte(std::string_view text)
{
    std::int32_t value = 0;
    if (!parseInt(text, value) || value < 0 || value > 255) {
        reportFailure(text, "QRByte", "toByte");
        return 0;
    }
    return static_cast<std::uint8_t>(value);
}

bool QRUTILConvert::toBool(std::string_view text)
{
    const std::string upper = QRUTILStrings::upperCase(text);
    if (upper == "TRUE" || upper == "1" || upper == "ON")
        return true;
    if (upper != "FALSE" && upper != "0" && upper != "OFF")
        reportFailure(text, "QRBool", "toBool");
    return false;
}

std::string QRUTILConvert::fromInt(std::int32_t value)
{
    return std::to_string(value);
}

std::string QRUTILConvert::fromIntPadded(std::int32_t value, int width)
{
    std::string digits = std::to_string(value);
    const bool negative = value < 0;
    if (static_cast<int>(digits.size()) < width)
        digits.insert(negative ? 1 : 0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

std::string QRUTILConvert::fromFloat(float value)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    std::string text = error == std::errc() ? std::string(buffer, end) : std::string("0.00");
    // A tiny negative value rounds to zero, which has no sign.
    if (text == "-0.00")
        text = "0.00";
    return text;
}

std::string QRUTILConvert::fromVector3(const Vector3& value)
{
    return "(" + fromFloat(value.x) + ", " + fromFloat(value.y) + ", " + fromFloat(value.z) + ")";
}

bool QRUTILConvert::isInt(std::string_view text)
{
    std::int32_t ignored = 0;
    return parseInt(text, ignored);
}

bool QRUTILConvert::isFloat(std::string_view text)
{
    float ignored = 0.0f;
    return parseFloat(text, ignored);
}
