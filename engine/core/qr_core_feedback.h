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

    // While a group is open only its first error gets a box; the later ones, further steps of
    // the same failure, are logged. Groups nest; the outermost one counts.
    class Group {
    public:
        Group();
        ~Group();
        Group(const Group&) = delete;
        Group& operator=(const Group&) = delete;

    private:
        QRCOREFeedback* feedback_;
    };

private:
    bool showing_ = false;
    int groupDepth_ = 0;
    bool groupShown_ = false;
};
