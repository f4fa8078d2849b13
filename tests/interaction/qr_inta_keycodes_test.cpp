#include "interaction/qr_inta_keycodes.h"

#include <gtest/gtest.h>

TEST(KeyCodes, MainBlockKeypadAndFunctionKeysKeepTheirScanCodes)
{
    EXPECT_EQ(qrKeyCodeFromX11(9), 1);   // Escape
    EXPECT_EQ(qrKeyCodeFromX11(23), 15); // Tab
    EXPECT_EQ(qrKeyCodeFromX11(25), 17); // W
    EXPECT_EQ(qrKeyCodeFromX11(26), 18); // E
    EXPECT_EQ(qrKeyCodeFromX11(37), 29); // left Ctrl
    EXPECT_EQ(qrKeyCodeFromX11(38), 30); // A
    EXPECT_EQ(qrKeyCodeFromX11(50), 42); // left Shift
    EXPECT_EQ(qrKeyCodeFromX11(65), 57); // Space
    EXPECT_EQ(qrKeyCodeFromX11(71), 63); // F5
    EXPECT_EQ(qrKeyCodeFromX11(79), 71); // keypad 7
    EXPECT_EQ(qrKeyCodeFromX11(96), 88); // F12
}

TEST(KeyCodes, ExtendedKeysGetTheirExtendedScanCodes)
{
    EXPECT_EQ(qrKeyCodeFromX11(111), 200); // Up
    EXPECT_EQ(qrKeyCodeFromX11(113), 203); // Left
    EXPECT_EQ(qrKeyCodeFromX11(114), 205); // Right
    EXPECT_EQ(qrKeyCodeFromX11(116), 208); // Down
    EXPECT_EQ(qrKeyCodeFromX11(104), 156); // keypad Enter
    EXPECT_EQ(qrKeyCodeFromX11(105), 157); // right Ctrl
    EXPECT_EQ(qrKeyCodeFromX11(106), 181); // keypad /
    EXPECT_EQ(qrKeyCodeFromX11(108), 184); // right Alt
    EXPECT_EQ(qrKeyCodeFromX11(110), 199); // Home
    EXPECT_EQ(qrKeyCodeFromX11(112), 201); // Page Up
    EXPECT_EQ(qrKeyCodeFromX11(115), 207); // End
    EXPECT_EQ(qrKeyCodeFromX11(117), 209); // Page Down
    EXPECT_EQ(qrKeyCodeFromX11(118), 210); // Insert
    EXPECT_EQ(qrKeyCodeFromX11(119), 211); // Delete
    EXPECT_EQ(qrKeyCodeFromX11(127), 197); // Pause
    EXPECT_EQ(qrKeyCodeFromX11(133), 219); // left Windows
    EXPECT_EQ(qrKeyCodeFromX11(135), 221); // Menu
}

TEST(KeyCodes, KeysWithoutScanCodeReadZero)
{
    EXPECT_EQ(qrKeyCodeFromX11(0), 0);
    EXPECT_EQ(qrKeyCodeFromX11(8), 0);
    EXPECT_EQ(qrKeyCodeFromX11(98), 0);  // evdev 90, Katakana
    EXPECT_EQ(qrKeyCodeFromX11(255), 0);
    EXPECT_EQ(qrKeyCodeFromX11(100000), 0);
}
