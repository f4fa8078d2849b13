#pragma once
// One sound effect loaded from a WAV file into an OpenAL buffer. Shared by file name through the
// asset manager, which owns it; the sample list only holds references. An empty sample (missing
// or unplayable file) has no buffer and plays silence.

#include "core/qr_core_managedobject.h"

class QRBOOMSample : public QRManagedObject {
public:
    explicit QRBOOMSample(QRObject* owner);
    ~QRBOOMSample() override;

    // Replaces the sound with the WAV file at path; reports files that cannot be played.
    void loadFromFile(const std::string& path) override;

    bool hasBuffer() const { return buffer_ != 0; }
    unsigned int getBuffer() const { return buffer_; }
    float getFrequency() const { return frequency_; }
    float getRolloff() const { return rolloff_; }
    void setRolloff(float rolloff) { rolloff_ = rolloff; }
    // Duration in seconds.
    float getLength() const { return length_; }

private:
    void deleteBuffer();

    unsigned int buffer_ = 0;
    float frequency_ = 0.0f;
    float rolloff_ = 1.0f;
    float length_ = 0.0f;
};
