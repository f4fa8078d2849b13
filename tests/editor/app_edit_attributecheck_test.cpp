#include "editor/app_edit_attributecheck.h"

#include <gtest/gtest.h>

TEST(AttributeCheckTest, OnlyValuesTheEntityCanReallyTakePass)
{
    struct Case {
        const char* control;
        const char* text;
        const char* fault;
    };
    const Case cases[] = {
        {"EMainPositionX", "12.5", ""},
        {"EMainPositionX", "abc", "Position X: \"abc\" is not a number (write it like 12.5)"},
        {"EMainPositionZ", "", "Position Z: a number is needed"},
        {"EMainPositionX", "-0.5", "Position X: must lie within the world, 0 to 2560"},
        {"EMainPositionZ", "2560.5", "Position Z: must lie within the world, 0 to 2560"},
        {"EMainPositionY", "1e6", "Position Y: must lie between -10000 and 10000"},
        {"EMainSize", "0", "Size: must be above 0 and at most 100"},
        {"EMainSize", "0.01", ""},
        {"EMainSize", "inf", "Size: \"inf\" is not a number (write it like 12.5)"},
        {"EActorHealth", "-1", ""},
        {"EActorHealth", "4.5", "Health: \"4.5\" is not a whole number"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(APPEDITAttributeCheck::check(c.control, c.text), c.fault) << c.control << " = \"" << c.text << "\"";
}
