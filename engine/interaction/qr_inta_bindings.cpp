#include "interaction/qr_inta_bindings.h"

#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_joypad.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace {

constexpr std::pair<int, const char*> kKeyNames[] = {
    {1, "Esc"},          {12, "-"},           {13, "="},           {14, "Backspace"},    {15, "Tab"},
    {26, "["},           {27, "]"},           {28, "Enter"},       {29, "Left Ctrl"},    {39, ";"},
    {40, "'"},           {41, "`"},           {42, "Left Shift"},  {43, "\\"},           {51, ","},
    {52, "."},           {53, "/"},           {54, "Right Shift"}, {55, "Keypad *"},     {56, "Left Alt"},
    {57, "Space"},       {58, "Caps Lock"},   {69, "Num Lock"},    {70, "Scroll Lock"},  {74, "Keypad -"},
    {78, "Keypad +"},    {87, "F11"},         {88, "F12"},         {156, "Keypad Enter"}, {157, "Right Ctrl"},
    {181, "Keypad /"},   {184, "Right Alt"},  {197, "Pause"},      {199, "Home"},        {200, "Up"},
    {201, "Page Up"},    {203, "Left"},       {205, "Right"},      {207, "End"},         {208, "Down"},
    {209, "Page Down"},  {210, "Insert"},     {211, "Delete"},
};
// Scan codes of the letter rows, left to right.
constexpr std::pair<int, const char*> kLetterRows[] = {{16, "QWERTYUIOP"}, {30, "ASDFGHJKL"}, {44, "ZXCVBNM"}};
constexpr const char* kKeypadDigits[] = {"7", "8", "9", "", "4", "5", "6", "", "1", "2", "3", "0", "."};

std::string keyName(int code)
{
    for (const auto& [scanCode, name] : kKeyNames)
        if (scanCode == code)
            return name;
    for (const auto& [first, letters] : kLetterRows) {
        const int length = static_cast<int>(std::char_traits<char>::length(letters));
        if (code >= first && code < first + length)
            return std::string(1, letters[code - first]);
    }
    if (code >= 2 && code <= 11)
        return std::to_string((code - 1) % 10);
    if (code >= 59 && code <= 68)
        return "F" + std::to_string(code - 58);
    if (code >= 71 && code <= 83 && kKeypadDigits[code - 71][0] != '\0')
        return std::string("Keypad ") + kKeypadDigits[code - 71];
    return "Key " + std::to_string(code);
}

std::string mouseName(int code)
{
    switch (code) {
    case 1000: return "Left Mouse";
    case 1001: return "Right Mouse";
    case 1002: return "Middle Mouse";
    case 1111: return "Wheel Up";
    case 1112: return "Wheel Down";
    case 1102: return "Mouse Left";
    case 1103: return "Mouse Right";
    case 1104: return "Mouse Up";
    case 1105: return "Mouse Down";
    default: break;
    }
    if (code > 1002 && code < 1008)
        return "Mouse Button " + std::to_string(code - 999);
    return "Mouse " + std::to_string(code);
}

std::string padName(int n)
{
    static constexpr const char* kButtons[] = {"A", "B", "X", "Y", "Back", "Guide", "Start", "Left Stick",
                                               "Right Stick", "Left Shoulder", "Right Shoulder", "D-Pad Up",
                                               "D-Pad Down", "D-Pad Left", "D-Pad Right"};
    static constexpr const char* kDirections[] = {"Left Stick X", "Left Stick Y", "Left Stick Left",
                                                  "Left Stick Right", "Left Stick Up", "Left Stick Down",
                                                  "Left Stick Up-Left", "Left Stick Up-Right", "Left Stick Down-Left",
                                                  "Left Stick Down-Right", "Right Stick X", "Right Stick Y",
                                                  "Left Trigger", "Right Trigger", "Right Stick Left",
                                                  "Right Stick Right", "Right Stick Up", "Right Stick Down"};
    if (n >= 0 && n < static_cast<int>(std::size(kButtons)))
        return kButtons[n];
    if (n >= 0 && n < QRINTAJoypad::kButtonCount)
        return "Button " + std::to_string(n + 1);
    if (n >= QRINTAJoypad::kAxisX && n < QRINTAJoypad::kAxisX + static_cast<int>(std::size(kDirections)))
        return kDirections[n - QRINTAJoypad::kAxisX];
    return "Input " + std::to_string(n);
}

} // namespace

QRINTABindings::QRINTABindings(QRObject* owner, QRINTAActions* actions)
    : QRObject(owner, "QR INTA Bindings"), actions_(actions)
{
}

QRINTAAction* QRINTABindings::addAction(std::string_view name, const Codes& defaults, unsigned contexts)
{
    QRINTAAction* action = actions_->addAction(name, defaults[0]);
    for (int slot = 1; slot < QRINTAAction::kCodeSlots; ++slot)
        action->setCode(slot, defaults[static_cast<std::size_t>(slot)]);
    entries_.push_back({std::string(name), defaults, contexts});
    return action;
}

const QRINTABindings::Entry* QRINTABindings::findEntry(std::string_view action) const
{
    for (const Entry& entry : entries_)
        if (entry.action == action)
            return &entry;
    return nullptr;
}

bool QRINTABindings::bind(std::string_view action, int slot, int code)
{
    QRINTAAction* found = findEntry(action) ? actions_->findAction(action) : nullptr;
    if (!found || slot < 0 || slot >= QRINTAAction::kCodeSlots)
        return false;
    found->setCode(slot, code < 0 ? QRINTAAction::kNoBinding : code);
    return true;
}

QRINTABindings::Codes QRINTABindings::getCodes(std::string_view action) const
{
    Codes codes{QRINTAAction::kNoBinding, QRINTAAction::kNoBinding, QRINTAAction::kNoBinding};
    if (const QRINTAAction* found = findEntry(action) ? actions_->findAction(action) : nullptr)
        for (int slot = 0; slot < QRINTAAction::kCodeSlots; ++slot)
            codes[static_cast<std::size_t>(slot)] = found->getCode(slot);
    return codes;
}

std::vector<std::string> QRINTABindings::findConflicts(std::string_view action) const
{
    std::vector<std::string> conflicts;
    const Entry* entry = findEntry(action);
    if (!entry)
        return conflicts;
    const Codes codes = getCodes(action);
    const auto holds = [](const Codes& set, int code) { return std::find(set.begin(), set.end(), code) != set.end(); };
    for (const Entry& other : entries_) {
        if (&other == entry || !(other.contexts & entry->contexts))
            continue;
        const Codes otherCodes = getCodes(other.action);
        for (const int code : codes) {
            if (code == QRINTAAction::kNoBinding || !holds(otherCodes, code))
                continue;
            if (holds(entry->defaults, code) && holds(other.defaults, code))
                continue;
            conflicts.push_back(other.action);
            break;
        }
    }
    return conflicts;
}

void QRINTABindings::resetToDefaults()
{
    for (const Entry& entry : entries_)
        for (int slot = 0; slot < QRINTAAction::kCodeSlots; ++slot)
            bind(entry.action, slot, entry.defaults[static_cast<std::size_t>(slot)]);
}

std::string QRINTABindings::codesToText(const Codes& codes)
{
    // One word: the ini format reads a value up to its first blank.
    return std::to_string(codes[0]) + "," + std::to_string(codes[1]) + "," + std::to_string(codes[2]);
}

bool QRINTABindings::bindFromText(std::string_view action, std::string_view text)
{
    Codes codes{QRINTAAction::kNoBinding, QRINTAAction::kNoBinding, QRINTAAction::kNoBinding};
    int slot = 0;
    bool any = false;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (at < end && slot < QRINTAAction::kCodeSlots) {
        if (*at == ' ' || *at == ',' || *at == '\t') {
            ++at;
            continue;
        }
        int code = 0;
        const auto [next, error] = std::from_chars(at, end, code);
        if (error != std::errc() || code < -1 || code > 9999)
            return false;
        codes[static_cast<std::size_t>(slot++)] = code;
        any = any || code >= 0;
        at = next;
    }
    if (!any || !findEntry(action))
        return false;
    for (int i = 0; i < QRINTAAction::kCodeSlots; ++i)
        bind(action, i, codes[static_cast<std::size_t>(i)]);
    return true;
}

std::string QRINTABindings::codeName(int code)
{
    if (code < 0)
        return "";
    if (code < 1000)
        return keyName(code);
    if (code < 2000)
        return mouseName(code);
    const int pad = (code - 2000) / 1000;
    return "Pad " + std::to_string(pad + 1) + " " + padName((code - 2000) % 1000);
}
