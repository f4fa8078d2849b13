#include "main/app_main_formmain.h"

#include <QApplication>

#include <cfenv>

int main(int argc, char** argv)
{
    // Division by zero and overflow must yield infinities in game code, never a trap.
    fedisableexcept(FE_ALL_EXCEPT);
    // The renderer draws through GLX, so the window system is X11 (XWayland on Wayland desktops).
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    // No display name: Qt would append it to every window's title ("Edit Tools — Kipster").
    QApplication::setApplicationName("Kipster");
    TFormMain mainForm;
    return QApplication::exec();
}
