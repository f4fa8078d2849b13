#pragma once
// The samples the game has asked for, each loaded once through the asset manager and shared by
// file name. The list holds one reference per sample and releases them all, last first, when it
// goes. Owned by the sound module.

#include "core/qr_core_object.h"

#include <string_view>

class QRRESCList;
class QRBOOMSample;

class QRBOOMSamples : public QRObject {
public:
    explicit QRBOOMSamples(QRObject* owner);
    ~QRBOOMSamples() override;

    // The sample for that file, loaded on the first request; null when the file cannot be found.
    QRBOOMSample* loadSample(std::string_view fileName);
    // The listed sample of that name (letter case and a leading "\" ignored), or null.
    QRBOOMSample* findSample(std::string_view name) const;
    void releaseSample(QRBOOMSample* sample);
    int getCount() const;

private:
    QROwned<QRRESCList> samples_;
};
