#include "visual/device/qr_visx_vsync.h"

#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"

QRVISXVSync::QRVISXVSync(QRObject* owner) : QRObject(owner, "QR VISX VSync") {}

void QRVISXVSync::initialize()
{
    // Either extension sets the interval. Neither is an error: a server without a display to sync
    // to (a virtual or remote one) may offer none, and the game runs the same without.
    swapControl_ = SwapControl::None;
    if (auto* visual = qrVisual()) {
        auto* extensions = visual->getExtensionManager();
        if (extensions->loadExtension("GLX_EXT_swap_control", false))
            swapControl_ = SwapControl::EXT;
        else if (extensions->loadExtension("GLX_MESA_swap_control", false))
            swapControl_ = SwapControl::MESA;
    }
    setVSync(true);
}

void QRVISXVSync::setVSync(bool enabled)
{
    if (enabled != enabled_)
        logDebug(enabled ? "VSync enabled" : "VSync disabled");
    if (swapControl_ == SwapControl::EXT)
        qrGL().swapIntervalEXT(enabled ? 1 : 0);
    else if (swapControl_ == SwapControl::MESA)
        qrGL().swapIntervalMESA(enabled ? 1 : 0);
    enabled_ = enabled;
}
