#pragma once
// The sound module: opens the default OpenAL device with one context, keeps the channel pool and
// the list of samples, and reports OpenAL errors. Created and owned by the application; reachable
// through qrSound() while it lives. Without a device every play is silent.

#include "core/qr_core_object.h"

class QRBOOMWorld;
class QRBOOMChannels;
class QRBOOMSamples;

class QRBOOMMain : public QRObject {
public:
    explicit QRBOOMMain(QRObject* owner);
    // Samples first (their buffers), then the channels (their sources), then the device.
    ~QRBOOMMain() override;

    void initialize() override;
    // Reads and clears OpenAL's error state; reports and returns true when there was an error.
    bool checkForALErrors();

    QRBOOMWorld* getWorld() const { return world_.get(); }
    QRBOOMChannels* getChannels() const { return channels_.get(); }
    QRBOOMSamples* getSamples() const { return samples_.get(); }
    bool hasDevice() const { return context_ != nullptr; }
    // The loudness of everything played (0 silent, 1 as recorded): the listener's gain.
    void setGain(float gain);
    float getGain() const { return gain_; }

private:
    void openAL();
    void closeAL();

    QROwned<QRBOOMWorld> world_;
    QROwned<QRBOOMChannels> channels_;
    QROwned<QRBOOMSamples> samples_;
    void* device_ = nullptr;
    void* context_ = nullptr;
    float gain_ = 1.0f;
};

// The process-wide sound module, or null before its creation and after its destruction.
QRBOOMMain* qrSound();
