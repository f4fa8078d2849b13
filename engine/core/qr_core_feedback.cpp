#include "core/qr_core_feedback.h"

#include "core/qr_core_log.h"
#include "core/qr_core_messagebox.h"

QRCOREFeedback::QRCOREFeedback(QRObject* owner) : QRObject(owner, "QR CORE Feedback") {}

void QRCOREFeedback::showError(const std::string& text)
{
    const bool alreadyShowing = showing_;
    showing_ = true;
    if (auto* log = qrLog())
        log->logError(text);
    if (!alreadyShowing)
        qrShowMessageBox(QRMessageKind::Error, text);
    showing_ = false;
}
