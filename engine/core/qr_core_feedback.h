#pragma once
// Presents reported errors: always as an error line in the log, and in a modal box unless one
// is already showing. Owned by the engine core.

#include "core/qr_core_object.h"

#include <string>

class QRCOREFeedback : public QRObject {
public:
    explicit QRCOREFeedback(QRObject* owner);
    void showError(const std::string& text);
    bool isShowingError() const { return showing_; }

private:
    bool showing_ = false;
};
