#pragma once
// The player's side of the named actions: each action is registered with up to three default
// codes and the modes it works in (game, editor or both); the player may bind any slot to another
// code, sees which actions then share an input, and can go back to the defaults. Bindings are
// kept as text ("Forward = 17,2204,-1"). Owned by the application; the actions themselves stay
// with the input module.

#include "core/qr_core_object.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

class QRINTAAction;
class QRINTAActions;

class QRINTABindings : public QRObject {
public:
    using Codes = std::array<int, 3>;
    enum Context : unsigned { kGame = 1u, kEditor = 2u, kEverywhere = 3u };

    struct Entry {
        std::string action;
        Codes defaults;
        unsigned contexts;
    };

    QRINTABindings(QRObject* owner, QRINTAActions* actions);

    // Registers the action with its default codes (-1: none).
    QRINTAAction* addAction(std::string_view name, const Codes& defaults, unsigned contexts);
    // Sets slot 0..2 of the action; false for an unknown action or slot.
    bool bind(std::string_view action, int slot, int code);
    Codes getCodes(std::string_view action) const;
    // The other actions that share one of this action's codes while both are in use, leaving out
    // pairs that share it by design (their defaults share it too: Jump and Fly on Space).
    std::vector<std::string> findConflicts(std::string_view action) const;
    void resetToDefaults();

    // "17,2204,-1"; reading takes up to three numbers and leaves the action as it is when the
    // text holds none that could be a code.
    static std::string codesToText(const Codes& codes);
    bool bindFromText(std::string_view action, std::string_view text);

    // What the player sees for a code: "W", "Space", "Left Mouse", "Pad 1 A", "Pad 1 Left Stick Up".
    static std::string codeName(int code);

    const std::vector<Entry>& getEntries() const { return entries_; }

private:
    const Entry* findEntry(std::string_view action) const;

    QRINTAActions* actions_;
    std::vector<Entry> entries_;
};
