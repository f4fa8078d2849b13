#include "input_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

InputFixture::InputFixture()
{
    input_ = qrNew<QRINTAMain>(&core());
    input_->initialize();
    // The hidden main window gets its native window now, so events can be sent to it.
    core().getMainForm()->winId();
}

QWindow& InputFixture::window()
{
    return *core().getMainForm()->windowHandle();
}

InputFixture::~InputFixture()
{
    input_.reset();
}

void InputFixture::sendKey(QEvent::Type type, unsigned int x11Keycode, bool autoRepeat)
{
    QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, x11Keycode, 0, 0, QString(), autoRepeat);
    QCoreApplication::sendEvent(&window(), &event);
}

void InputFixture::pressKey(unsigned int x11Keycode, bool autoRepeat)
{
    sendKey(QEvent::KeyPress, x11Keycode, autoRepeat);
}

void InputFixture::releaseKey(unsigned int x11Keycode, bool autoRepeat)
{
    sendKey(QEvent::KeyRelease, x11Keycode, autoRepeat);
}

QPointF InputFixture::overView() const
{
    const auto [left, top, bottom, right] = input_->getOutputBounds();
    return QPointF((left + right) / 2, (top + bottom) / 2);
}

void InputFixture::sendButtons(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, bool inView)
{
    const QPointF global = inView ? overView() : QPointF(-100, -100);
    QMouseEvent event(type, QPointF(5, 5), global, button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&window(), &event);
}

void InputFixture::turnWheel(int angleDelta)
{
    QWheelEvent event(QPointF(5, 5), overView(), QPoint(), QPoint(0, angleDelta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&window(), &event);
}
