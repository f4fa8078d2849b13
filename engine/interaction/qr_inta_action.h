#pragma once
// Named actions: what game and editor code ask instead of reading devices. An action has up to
// three binding codes and, after each frame's update, knows whether it is held, was just pressed
// or was just released, and its analog value. QRINTAActions owns them, in registration order;
// it is owned by the input module.

#include "core/qr_core_object.h"

#include <array>

class QRRESCList;
class QRINTADevices;

class QRINTAAction : public QRObject {
public:
    static constexpr int kNoBinding = -1;
    static constexpr int kCodeSlots = 3;

    QRINTAAction(QRObject* owner, std::string_view name, int code);

    // Moves this frame's state to the previous frame and reads every bound code.
    void update(const QRINTADevices& devices);

    bool isHeld() const { return pressed_; }
    bool isJustPressed() const { return pressed_ && !wasPressed_; }
    bool isJustReleased() const { return wasPressed_ && !pressed_; }
    float getValue() const { return value_; }

    // Slots 0..2; throws std::out_of_range for any other slot.
    int getCode(int slot) const { return codes_.at(slot); }
    void setCode(int slot, int code) { codes_.at(slot) = code; }

private:
    std::array<int, kCodeSlots> codes_{kNoBinding, kNoBinding, kNoBinding};
    bool pressed_ = false;
    bool wasPressed_ = false;
    float value_ = 0.0f;
};

class QRINTAActions : public QRObject {
public:
    explicit QRINTAActions(QRObject* owner);
    ~QRINTAActions() override;

    QRINTAAction* addAction(std::string_view name, int code);
    // The first action of that name (letter case ignored), or null.
    QRINTAAction* findAction(std::string_view name) const;
    void clearActions();
    int getCount() const;
    // Updates every action in registration order.
    void update(const QRINTADevices& devices);

private:
    QROwned<QRRESCList> actions_;
};
