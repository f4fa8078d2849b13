#pragma once
// A running engine core with an initialised input module; key, mouse and wheel events reach the
// main window's own window the way the window system delivers them.

#include "engine_fixture.h"

#include "core/qr_core_object.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_main.h"

#include <QWindow>

#include <Qt>

namespace x11key {
// X11 keycodes of a US keyboard.
constexpr unsigned int Escape = 9;
constexpr unsigned int W = 25;
constexpr unsigned int Space = 65;
constexpr unsigned int Up = 111;
constexpr unsigned int Left = 113;
constexpr unsigned int Right = 114;
constexpr unsigned int Down = 116;
} // namespace x11key

class InputFixture : public EngineFixture {
protected:
    InputFixture();
    ~InputFixture() override;

    QRINTAMain& input() { return *input_; }
    QRINTAActions& actions() { return *input_->getActions(); }
    QRINTAAction* addAction(std::string_view name, int code) { return actions().addAction(name, code); }
    // One frame's input update.
    void frame() { input_->update(); }

    void pressKey(unsigned int x11Keycode, bool autoRepeat = false);
    void releaseKey(unsigned int x11Keycode, bool autoRepeat = false);
    void sendKey(QEvent::Type type, unsigned int x11Keycode, bool autoRepeat = false);
    // inView: over the bound view (else over the rest of the main window, its menu or status bar).
    void sendButtons(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, bool inView = true);
    void turnWheel(int angleDelta);
    // The main window's window, where the game's input arrives.
    QWindow& window();
    // The middle of the view the mouse is measured against, in screen pixels.
    QPointF overView() const;

private:
    QROwned<QRINTAMain> input_;
};
