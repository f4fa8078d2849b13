#include "core/qr_core_messagebox.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {
QRMessagePresenter& presenter()
{
    static QRMessagePresenter instance;
    return instance;
}
} // namespace

void qrShowMessageBox(QRMessageKind kind, const std::string& text)
{
    if (presenter()) {
        presenter()(kind, text);
        return;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return;
    }
    QMessageBox box(kind == QRMessageKind::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    QApplication::applicationDisplayName(), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

QRMessagePresenter qrSetMessagePresenter(QRMessagePresenter replacement)
{
    return std::exchange(presenter(), std::move(replacement));
}
