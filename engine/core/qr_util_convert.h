#pragma once
// Text conversions in the forms the ini files, editor windows and status bar show: "." as the
// decimal separator whatever the process locale, floats with two decimals, booleans "TRUE" and
// "FALSE", vectors "(x, y, z)". Owned by the utility hub, which holds the one switch telling
// whether failed conversions are reported; the conversions themselves are static.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <cstdint>
#include <string>
#include <string_view>

class QRUTILConvert : public QRObject {
public:
    explicit QRUTILConvert(QRObject* owner) : QRObject(owner, "QR UTIL Convert") {}

    // Failures report "Could not convert string ..." (while reports are on) and give 0 or false.
    static std::int32_t toInt(std::string_view text);
    static float toFloat(std::string_view text);
    static std::uint8_t toByte(std::string_view text);
    // "TRUE", "1", "ON" and "FALSE", "0", "OFF", in any letter case.
    static bool toBool(std::string_view text);

    static std::string fromInt(std::int32_t value);
    // Zeros after the sign until the text is width characters long: (7, 3) gives "007", (-7, 3) "-07".
    static std::string fromIntPadded(std::int32_t value, int width);
    // Fixed notation with exactly two decimals: 1.5 gives "1.50".
    static std::string fromFloat(float value);
    static std::string fromBool(bool value) { return value ? "TRUE" : "FALSE"; }
    static std::string fromVector3(const Vector3& value);
    static Vector3 vector2To3(const Vector2& value) { return {value.x, value.y, 0.0f}; }
    static Vector4 vector3To4(const Vector3& value) { return {value.x, value.y, value.z, 0.0f}; }

    // Whether the conversion would succeed; never reports.
    static bool isInt(std::string_view text);
    static bool isFloat(std::string_view text);
    // Exactly "TRUE" or "FALSE", letter case significant.
    static bool isBoolWord(std::string_view text) { return text == "TRUE" || text == "FALSE"; }

    // The quiet parsers behind the conversions: a decimal integer with an optional sign; a
    // decimal number with optional sign, fraction and exponent. Infinities and NaN are no numbers.
    static bool parseInt(std::string_view text, std::int32_t& value);
    static bool parseFloat(std::string_view text, float& value);

    void setReportErrors(bool report) { reportErrors_ = report; }
    bool getReportErrors() const { return reportErrors_; }

private:
    static void reportFailure(std::string_view text, std::string_view typeName, std::string_view method);

    bool reportErrors_ = true;
};
