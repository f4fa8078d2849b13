#include "editor/app_edit_attributecheck.h"

#include "core/qr_util_convert.h"
#include "environment/app_envr_main.h"

#include <cstdint>

namespace {
constexpr float kWorldSize = APPENVRMain::kAreaSize * APPENVRMain::kAreaCount;

std::string notANumber(const char* label, std::string_view text)
{
    if (text.empty())
        return std::string(label) + ": a number is needed";
    return std::string(label) + ": \"" + std::string(text) + "\" is not a number (write it like 12.5)";
}
} // namespace

std::string APPEDITAttributeCheck::check(std::string_view control, std::string_view text)
{
    struct Rule {
        std::string_view control;
        const char* label;
        float low;
        float high;
        bool lowIncluded;
        const char* range;
    };
    static const Rule kRules[] = {
        {"EMainPositionX", "Position X", 0.0f, kWorldSize, true, "must lie within the world, 0 to 2560"},
        {"EMainPositionY", "Position Y", -kHeightLimit, kHeightLimit, true, "must lie between -10000 and 10000"},
        {"EMainPositionZ", "Position Z", 0.0f, kWorldSize, true, "must lie within the world, 0 to 2560"},
        {"EMainSize", "Size", 0.0f, kLargestSize, false, "must be above 0 and at most 100"},
    };
    // The entity reads the fields with the same parsers: what passes here reads back exactly.
    const std::string_view value = text;
    if (control == "EActorHealth") {
        std::int32_t health = 0;
        if (!QRUTILConvert::parseInt(value, health))
            return value.empty() ? "Health: a whole number is needed"
                                 : "Health: \"" + std::string(value) + "\" is not a whole number";
        return {};
    }
    for (const Rule& rule : kRules) {
        if (rule.control != control)
            continue;
        float number = 0.0f;
        if (!QRUTILConvert::parseFloat(value, number))
            return notANumber(rule.label, value);
        const bool aboveLow = rule.lowIncluded ? number >= rule.low : number > rule.low;
        if (!aboveLow || number > rule.high)
            return std::string(rule.label) + ": " + rule.range;
        return {};
    }
    return {};
}
