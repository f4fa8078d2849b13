#include "visual/device/qr_visx_resolution.h"

#include "core/qr_appl_main.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "visual/device/qr_visx_xrandr.h"
#include "visual/device/rendercontexts/qr_visx_glx.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

QWidget* mainForm()
{
    auto* core = qrCore();
    return core ? core->getMainForm() : nullptr;
}

qrxrandr::ScreenSize screenSize()
{
    if (auto* display = qrglx::display())
        return qrxrandr::currentScreenSize(display);
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qrxrandr::ScreenSize{screen->size().width(), screen->size().height()} : qrxrandr::ScreenSize{};
}

// Changing a top-level's frame flag hides it; bring it back the way it was.
void setBorderless(QWidget* form, bool borderless)
{
    if (form->windowFlags().testFlag(Qt::FramelessWindowHint) == borderless)
        return;
    const bool visible = form->isVisible();
    form->setWindowFlag(Qt::FramelessWindowHint, borderless);
    if (visible)
        form->show();
}

} // namespace

QRVISXResolution::QRVISXResolution(QRObject* owner) : QRObject(owner, "QR VISX Resolution")
{
    const auto screen = screenSize();
    startScreenWidth_ = screen.width;
    startScreenHeight_ = screen.height;
    if (QWidget* form = mainForm())
        windowedBorderless_ = form->windowFlags().testFlag(Qt::FramelessWindowHint);
}

QRVISXResolution::~QRVISXResolution()
{
    shuttingDown_ = true;
    restoreDesktopMode();
}

void QRVISXResolution::setResolution(int width, int height, int frequency)
{
    if (fullScreenModeSet_) {
        const auto screen = screenSize();
        if (screen.width != currentWidth_ || screen.height != currentHeight_) {
            currentWidth_ = 0;
            currentHeight_ = 0;
        }
    }
    if (width == currentWidth_ && height == currentHeight_ && frequency == currentFrequency_)
        return;
    void* display = qrglx::display();
    if (!qrxrandr::isModeAvailable(display, width, height, frequency)) {
        reportError("setResolution", "Resolution not available");
        return;
    }
    currentWidth_ = width;
    currentHeight_ = height;
    currentFrequency_ = frequency;
    fullScreenModeSet_ = true;
    if (!qrxrandr::setMode(display, width, height, frequency)) {
        if (auto* log = qrLog())
            log->logError("Could not set display mode " + formatMode(width, height, frequency));
        return;
    }
    QWidget* form = mainForm();
    if (shuttingDown_ || !form)
        return;
    setBorderless(form, true);
    form->setGeometry(0, 0, width, height);
    form->update();
    form->repaint();
    if (auto* application = qrApplication())
        application->onResize();
}

void QRVISXResolution::setWindowed(int width, int height)
{
    restoreDesktopMode();
    if (QWidget* form = mainForm()) {
        setBorderless(form, windowedBorderless_);
        form->resize(width, height);
        if (const QScreen* screen = form->screen())
            form->move(screen->geometry().center() - form->frameGeometry().center() + form->pos());
    }
    fullScreenModeSet_ = false;
}

void QRVISXResolution::restoreDesktopMode()
{
    auto screen = screenSize();
    if (screen.width != startScreenWidth_ || screen.height != startScreenHeight_)
        setResolution(startScreenWidth_, startScreenHeight_, 0);
    screen = screenSize();
    currentWidth_ = screen.width;
    currentHeight_ = screen.height;
    fullScreenModeSet_ = false;
}

std::string QRVISXResolution::formatMode(int width, int height, int frequency)
{
    return std::to_string(width) + "*" + std::to_string(height) + " @" + std::to_string(frequency) + "Hz";
}
