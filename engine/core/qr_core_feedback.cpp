#include "core/qr_core_feedback.h"

#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "core/qr_core_messagebox.h"

QRCOREFeedback::QRCOREFeedback(QRObject* owner) : QRObject(owner, "QR CORE Feedback") {}

void QRCOREFeedback::showError(const std::string& text)
{
    const bool alreadyShowing = showing_ || groupShown_;
    showing_ = true;
    if (groupDepth_ > 0)
        groupShown_ = true;
    if (auto* log = qrLog())
        log->logError(text);
    if (!alreadyShowing)
        qrShowMessageBox(QRMessageKind::Error, text);
    showing_ = false;
}

QRCOREFeedback::Group::Group()
{
    auto* core = qrCore();
    feedback_ = core ? core->getFeedback() : nullptr;
    if (feedback_)
        ++feedback_->groupDepth_;
}

QRCOREFeedback::Group::~Group()
{
    if (feedback_ && --feedback_->groupDepth_ == 0)
        feedback_->groupShown_ = false;
}
