#include "main/app_main_formmain.h"

#include "core/qr_core_main.h"
#include "main/app_main_main.h"

TFormMain::TFormMain() : panelView_(new QWidget(this))
{
    setWindowTitle("Kipster");
    panelView_->setObjectName("PanelView");
    setCentralWidget(panelView_);
    // Both live until the frame driver's shut-down handler destroys them when this window closes.
    qrNew<QRCOREMain>(this, 2).release();
    qrNew<APPMAINMain>(this).release();
}
