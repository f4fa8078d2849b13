#include "visual/device/rendercontexts/qr_visx_glx.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

namespace qrglx {

DisplayHandle display()
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = application ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

} // namespace qrglx
