#pragma once
// What the entity attribute dialog accepts: each field's text must be a number the entity can
// really take (a position inside the world, a size that keeps the entity visible and pickable, a
// whole number of health). Used by the dialog while the user types, so OK waits for valid values
// and nothing is read back that the entity would turn into 0 or lose.

#include <string>
#include <string_view>

class APPEDITAttributeCheck {
public:
    static constexpr float kHeightLimit = 10000.0f;
    static constexpr float kLargestSize = 100.0f;

    // Why the text cannot go into the control; "" when it can (and for controls without a rule).
    static std::string check(std::string_view control, std::string_view text);
};
