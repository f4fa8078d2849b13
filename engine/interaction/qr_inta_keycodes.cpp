#include "interaction/qr_inta_keycodes.h"

#include <array>
#include <utility>

namespace {

// X11 keycodes are Linux evdev codes + 8. Evdev numbers the main block, the keypad and F1..F12
// (codes 1..88) exactly like the PC scan codes; everything the keyboard sends with an extended
// prefix got a different evdev number and is looked up here.
constexpr unsigned int kX11Offset = 8;
constexpr unsigned int kLastPlainEvdevCode = 88;

constexpr std::array<std::pair<unsigned int, int>, 50> kExtendedKeys = {{
    {89, 115},  // RO -> ABNT_C1
    {92, 121},  // HENKAN -> CONVERT
    {93, 112},  // KATAKANAHIRAGANA -> KANA
    {94, 123},  // MUHENKAN -> NOCONVERT
    {96, 156},  // keypad Enter
    {97, 157},  // right Ctrl
    {98, 181},  // keypad /
    {99, 183},  // SysRq / Print
    {100, 184}, // right Alt
    {102, 199}, // Home
    {103, 200}, // Up
    {104, 201}, // Page Up
    {105, 203}, // Left
    {106, 205}, // Right
    {107, 207}, // End
    {108, 208}, // Down
    {109, 209}, // Page Down
    {110, 210}, // Insert
    {111, 211}, // Delete
    {113, 160}, // Mute
    {114, 174}, // Volume Down
    {115, 176}, // Volume Up
    {116, 222}, // Power
    {117, 141}, // keypad =
    {119, 197}, // Pause
    {121, 179}, // keypad ,
    {124, 125}, // Yen
    {125, 219}, // left Windows
    {126, 220}, // right Windows
    {127, 221}, // Menu
    {128, 232}, // browser Stop
    {140, 161}, // Calculator
    {142, 223}, // Sleep
    {143, 227}, // Wake
    {155, 236}, // Mail
    {156, 230}, // browser Favorites
    {157, 235}, // My Computer
    {158, 234}, // browser Back
    {159, 233}, // browser Forward
    {163, 153}, // next track
    {164, 162}, // play / pause
    {165, 144}, // previous track
    {166, 164}, // media stop
    {172, 178}, // browser Home
    {173, 231}, // browser Refresh
    {183, 100}, // F13
    {184, 101}, // F14
    {185, 102}, // F15
    {217, 229}, // browser Search
    {226, 237}, // media Select
}};

} // namespace

int qrKeyCodeFromX11(unsigned int x11Keycode)
{
    if (x11Keycode <= kX11Offset)
        return 0;
    const unsigned int evdev = x11Keycode - kX11Offset;
    if (evdev <= kLastPlainEvdevCode)
        return static_cast<int>(evdev);
    for (const auto& [code, scanCode] : kExtendedKeys)
        if (code == evdev)
            return scanCode;
    return 0;
}
