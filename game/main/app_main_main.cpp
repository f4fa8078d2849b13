#include "main/app_main_main.h"

#include <QWidget>

APPMAINMain::APPMAINMain(QWidget* mainForm) : QRAPPLMain("Kipster Application"), mainForm_(mainForm) {}

void APPMAINMain::initialize()
{
    mainForm_->resize(1024, 768);
    mainForm_->show();
    setRunning(true);
}
