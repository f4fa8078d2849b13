#include "interaction/qr_inta_platforminput.h"

#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"
#include "interaction/qr_inta_keycodes.h"
#include "interaction/qr_inta_main.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QSocketNotifier>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <SDL.h>

#include <string>

namespace {

// Whether watched is the window of the engine's main window or one inside it (the drawing panel).
// Tool windows, menus and dialogs are windows of their own: what is typed or clicked there is
// theirs, so Esc closing a menu or a dialog never reaches "Quit".
bool isMainWindow(QObject* watched)
{
    auto* core = qrCore();
    QWidget* mainForm = core ? core->getMainForm() : nullptr;
    if (!mainForm || !watched->isWindowType())
        return false;
    const QWindow* window = static_cast<QWindow*>(watched);
    while (window->parent())
        window = window->parent();
    return window == mainForm->windowHandle();
}

// Whether a point on the screen lies over the view the input module measures the mouse against:
// a click on the main window's menu bar or status bar is not meant for the game.
bool isOverView(const QPointF& global)
{
    const QRINTAMain* input = qrInput();
    if (!input)
        return true;
    const auto [left, top, bottom, right] = input->getOutputBounds();
    return global.x() >= left && global.x() < right && global.y() >= top && global.y() < bottom;
}

// Every native input event is delivered to a QWindow first and only then re-sent to widgets (and
// propagated to their parents), so looking at window receivers alone sees each event exactly once.
class InputEventFilter : public QObject {
public:
    explicit InputEventFilter(QRINTAPlatformInput* input) : input_(input) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        // A key bound to a shortcut never arrives as KeyPress; its shortcut check does.
        case QEvent::ShortcutOverride:
            if (isMainWindow(watched)) {
                const auto* key = static_cast<QKeyEvent*>(event);
                // Held keys repeat as release/press pairs; the key stays down all along.
                if (!key->isAutoRepeat())
                    input_->keyChanged(key->nativeScanCode(), event->type() != QEvent::KeyRelease);
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            if (isMainWindow(watched)) {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                // Buttons go down over the view only; wherever they are let go, they are let go.
                if (isOverView(mouse->globalPosition()))
                    input_->buttonsChanged(mouse->buttons().toInt());
                else
                    input_->buttonsLetGo(mouse->buttons().toInt());
            }
            break;
        case QEvent::Wheel:
            if (isMainWindow(watched) && isOverView(static_cast<QWheelEvent*>(event)->globalPosition()))
                input_->wheelTurned(static_cast<QWheelEvent*>(event)->angleDelta().y());
            break;
        // A key or button let go after a dialog or tool window took the focus is released there.
        case QEvent::FocusOut:
            if (isMainWindow(watched))
                input_->releaseAll();
            break;
        case QEvent::ApplicationStateChange:
            if (static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)
                input_->releaseAll();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QRINTAPlatformInput* input_;
};

} // namespace

QRINTAPlatformInput::QRINTAPlatformInput(QRObject* owner) : QRObject(owner, "QR INTA Platform Input")
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        filter_ = new InputEventFilter(this);
        QCoreApplication::instance()->installEventFilter(filter_);
        startRawMotion();
    }
    startControllers();
}

QRINTAPlatformInput::~QRINTAPlatformInput()
{
    setCursorVisible(true);
    if (filter_) {
        if (auto* application = QCoreApplication::instance())
            application->removeEventFilter(filter_);
        delete filter_;
    }
    delete rawNotifier_;
    rawMotion_.reset();
    if (controllers_)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK);
}

void QRINTAPlatformInput::startRawMotion()
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = application ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display())
        return; // not on X11: the cursor is all there is
    rawMotion_ = std::make_unique<QRINTAXRawMotion>(x11->display());
    if (!rawMotion_->isOpen()) {
        rawMotion_.reset();
        logWarning("startRawMotion", "XInput2 is unavailable; mouse motion follows the cursor");
        return;
    }
    // Read as it arrives, also between frames and while minimised, so nothing piles up unread.
    rawNotifier_ = new QSocketNotifier(rawMotion_->getSocket(), QSocketNotifier::Read);
    QObject::connect(rawNotifier_, &QSocketNotifier::activated, rawNotifier_,
                     [this] { rawMotion_->drain(rawAccumulator_); });
}

bool QRINTAPlatformInput::takeRawMotion(int& dx, int& dy)
{
    dx = dy = 0;
    if (!hasRawMotion())
        return false;
    // Xlib may have queued events while answering another request; the socket is quiet then.
    rawMotion_->drain(rawAccumulator_);
    return rawAccumulator_.take(dx, dy);
}

void QRINTAPlatformInput::startControllers()
{
    // SDL would otherwise turn SIGINT and SIGTERM into quit events that nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Controllers are read in the background like the other devices.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // The game-controller layer brings the joystick layer up with it and reads controllers known
    // to its mapping database in one standard layout.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        logWarning("startControllers", std::string("Game controllers are unavailable: ") + SDL_GetError());
        return;
    }
    // Joysticks are polled; queued events would only pile up unread.
    SDL_JoystickEventState(SDL_IGNORE);
    SDL_GameControllerEventState(SDL_IGNORE);
    controllers_ = true;
    loadControllerMappings();
}

void QRINTAPlatformInput::loadControllerMappings()
{
    // SDL carries a database of its own; a newer community file beside the program adds to it.
    auto* files = qrFile();
    if (!files || !files->fileExists(kControllerMappingFile, false))
        return;
    const std::string path = qrdrive::nativePath(files->absolutePath(kControllerMappingFile)).string();
    const int added = SDL_GameControllerAddMappingsFromFile(path.c_str());
    if (added < 0)
        logWarning("loadControllerMappings", std::string("Controller mappings could not be read: ") + SDL_GetError());
    else if (auto* log = qrLog())
        log->logInformation("Controller mappings loaded: " + std::to_string(added));
}

int QRINTAPlatformInput::getControllerCount() const
{
    return controllers_ ? SDL_NumJoysticks() : 0;
}

void QRINTAPlatformInput::readKeys(KeyState& keys)
{
    for (int i = 0; i < kKeyCount; ++i)
        keys[i] = (keys_[i] || pressedKeys_[i]) ? 0x80 : 0;
    pressedKeys_.fill(0);
}

void QRINTAPlatformInput::readButtons(ButtonState& buttons)
{
    for (int i = 0; i < kButtonCount; ++i)
        buttons[i] = (buttons_[i] || pressedButtons_[i]) ? 0x80 : 0;
    pressedButtons_.fill(0);
}

int QRINTAPlatformInput::takeWheel()
{
    const int wheel = wheel_;
    wheel_ = 0;
    return wheel;
}

std::pair<int, int> QRINTAPlatformInput::getCursorPosition() const
{
    const QPoint position = QCursor::pos();
    return {position.x(), position.y()};
}

void QRINTAPlatformInput::setCursorPosition(int x, int y)
{
    if (!ignoreCursorPlacement_)
        QCursor::setPos(x, y);
}

void QRINTAPlatformInput::setCursorVisible(bool visible)
{
    if (visible == !cursorHidden_ || !filter_)
        return;
    if (visible)
        QGuiApplication::restoreOverrideCursor();
    else
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    cursorHidden_ = !visible;
}

bool QRINTAPlatformInput::isMainWindowInFront() const
{
    auto* core = qrCore();
    QWidget* mainForm = core ? core->getMainForm() : nullptr;
    return mainForm && mainForm->isActiveWindow() && mainForm->windowHandle() &&
           QGuiApplication::focusWindow() == mainForm->windowHandle();
}

QRCOREDevice::Bounds QRINTAPlatformInput::getScreenBounds()
{
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen)
        return {0, 0, 1, 1};
    const QRect geometry = screen->geometry();
    return {geometry.left(), geometry.top(), geometry.top() + geometry.height(), geometry.left() + geometry.width()};
}

float QRINTAPlatformInput::getScreenPixelSize()
{
    const auto [left, top, bottom, right] = getScreenBounds();
    return 1.0f / (static_cast<float>(bottom - top) * 0.5f);
}

void QRINTAPlatformInput::keyChanged(unsigned int x11Keycode, bool down)
{
    const int code = qrKeyCodeFromX11(x11Keycode);
    if (code <= 0 || code >= kKeyCount)
        return;
    if (down)
        pressedKeys_[code] = 1;
    keys_[code] = down ? 1 : 0;
}

void QRINTAPlatformInput::buttonsChanged(unsigned int heldButtons)
{
    for (int i = 0; i < kButtonCount; ++i) {
        const bool down = (heldButtons >> i) & 1u;
        if (down && !buttons_[i])
            pressedButtons_[i] = 1;
        buttons_[i] = down ? 1 : 0;
    }
}

void QRINTAPlatformInput::buttonsLetGo(unsigned int heldButtons)
{
    for (int i = 0; i < kButtonCount; ++i)
        if (!((heldButtons >> i) & 1u))
            buttons_[i] = 0;
}

void QRINTAPlatformInput::wheelTurned(int delta)
{
    wheel_ += delta;
}

void QRINTAPlatformInput::releaseAll()
{
    keys_.fill(0);
    buttons_.fill(0);
}
