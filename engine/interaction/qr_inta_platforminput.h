#pragma once
// The platform edge of the input module. Collects the window system's key, mouse-button and wheel
// events into plain state once, sums the raw mouse motion, reads and places the cursor, and starts
// SDL's joystick subsystem for game controllers. Nothing above this class sees a Qt event.
// Owned by the devices hub.

#include "core/qr_core_device.h"
#include "core/qr_core_object.h"
#include "interaction/qr_inta_xinput2rawmotion.h"

#include <array>
#include <cstdint>
#include <memory>
#include <utility>

class QObject;
class QSocketNotifier;

class QRINTAPlatformInput : public QRObject {
public:
    static constexpr int kKeyCount = 256;
    static constexpr int kButtonCount = 8;
    // Controller mappings in SDL's text format, read at start-up when present in the program folder.
    static constexpr const char* kControllerMappingFile = "gamecontrollerdb.txt";
    using KeyState = std::array<std::uint8_t, kKeyCount>;
    using ButtonState = std::array<std::uint8_t, kButtonCount>;

    explicit QRINTAPlatformInput(QRObject* owner);
    ~QRINTAPlatformInput() override;

    // False when there is no GUI application whose events could be collected.
    bool isAvailable() const { return filter_ != nullptr; }
    // True when SDL's joystick subsystem is running.
    bool hasControllers() const { return controllers_; }
    int getControllerCount() const;

    // The current keys and mouse buttons. Anything pressed since the previous read reads as down
    // once more, so a tap shorter than one frame still reaches the game.
    void readKeys(KeyState& keys);
    void readButtons(ButtonState& buttons);
    // The wheel delta (120 per notch, positive away from the user) since the previous call.
    int takeWheel();

    // Whether raw mouse motion (XInput2) can be read; without it the cursor has to be measured.
    bool hasRawMotion() const { return rawMotion_ && rawMotion_->isOpen(); }
    // The raw motion since the previous call, x right and y down, in the mouse's own counts.
    // False when there is none to read, or when a positioning device moved the pointer meanwhile.
    bool takeRawMotion(int& dx, int& dy);

    // Cursor position in global screen pixels.
    std::pair<int, int> getCursorPosition() const;
    void setCursorPosition(int x, int y);
    void setCursorVisible(bool visible);
    // Tests play a window system that ignores cursor placement (some remote and nested desktops).
    void setIgnoreCursorPlacement(bool ignore) { ignoreCursorPlacement_ = ignore; }
    // Whether the engine's main window is the active window and holds the keyboard focus.
    bool isMainWindowInFront() const;
    // The primary screen as (left, top, bottom, right), (0, 0, 1, 1) when there is none.
    static QRCOREDevice::Bounds getScreenBounds();
    // One screen pixel in view units: 1 / (half the screen height).
    static float getScreenPixelSize();

    // Entry points of the event filter: a key by its X11 keycode, the full set of mouse buttons
    // held (bit n = button n), a wheel turn, and everything let go (the application lost focus
    // and will not hear the releases).
    void keyChanged(unsigned int x11Keycode, bool down);
    void buttonsChanged(unsigned int heldButtons);
    // The same, but only letting go: no button goes down (a press outside the game's view).
    void buttonsLetGo(unsigned int heldButtons);
    void wheelTurned(int delta);
    void releaseAll();

private:
    void startControllers();
    void loadControllerMappings();
    void startRawMotion();

    KeyState keys_{};
    KeyState pressedKeys_{};
    ButtonState buttons_{};
    ButtonState pressedButtons_{};
    int wheel_ = 0;
    bool cursorHidden_ = false;
    bool ignoreCursorPlacement_ = false;
    bool controllers_ = false;
    QObject* filter_ = nullptr;
    std::unique_ptr<QRINTAXRawMotion> rawMotion_;
    QRINTARawMotionAccumulator rawAccumulator_;
    QSocketNotifier* rawNotifier_ = nullptr;
};
