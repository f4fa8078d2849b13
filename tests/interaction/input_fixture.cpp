#include "input_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

InputFixture::InputFixture()
{
    input_ = qrNew<QRINTAMain>(&core());
    input_->initialize();
}

InputFixture::~InputFixture()
{
    input_.reset();
}

void InputFixture::sendKey(QEvent::Type type, unsigned int x11Keycode, bool autoRepeat)
{
    QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, x11Keycode, 0, 0, QString(), autoRepeat);
    QCoreApplication::sendEvent(&window_, &event);
}

void InputFixture::pressKey(unsigned int x11Keycode, bool autoRepeat)
{
    sendKey(QEvent::KeyPress, x11Keycode, autoRepeat);
}

void InputFixture::releaseKey(unsigned int x11Keycode, bool autoRepeat)
{
    sendKey(QEvent::KeyRelease, x11Keycode, autoRepeat);
}

void InputFixture::sendButtons(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(5, 5), QPointF(5, 5), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&window_, &event);
}

void InputFixture::turnWheel(int angleDelta)
{
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, angleDelta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&window_, &event);
}
