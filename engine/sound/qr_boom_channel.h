#pragma once
// The channel pool: one OpenAL source per channel, as many as the device gives (at most 128).
// A sound plays on the first idle channel; when all are busy it is dropped, never cutting off
// one that is still playing. Owned by the sound module.

#include "core/qr_core_object.h"

#include <string_view>

class QRRESCList;
class QRBOOMMain;
class QRBOOMSample;

class QRBOOMChannel : public QRObject {
public:
    QRBOOMChannel(QRObject* owner, int index, unsigned int source);
    ~QRBOOMChannel() override;

    // Neither playing nor paused, and not reserved.
    bool isIdle() const;
    void play(QRBOOMSample* sample);
    // Stops and lets go of sample's buffer if this channel holds it.
    void detachSample(const QRBOOMSample* sample);

    int getIndex() const { return index_; }
    unsigned int getSource() const { return source_; }
    QRBOOMSample* getSample() const { return sample_; }
    bool isReserved() const { return reserved_; }
    void setReserved(bool reserved) { reserved_ = reserved; }

private:
    int index_;
    unsigned int source_;
    QRBOOMSample* sample_ = nullptr;
    bool reserved_ = false;
};

class QRBOOMChannels : public QRObject {
public:
    static constexpr int kMaxChannels = 128;

    explicit QRBOOMChannels(QRBOOMMain* sound);
    ~QRBOOMChannels() override;

    // Takes as many sources as OpenAL gives, up to kMaxChannels.
    void initialize() override;
    void createAllChannels();
    void removeAllChannels();

    // Plays the sample of that name from the sound module's list; null when there is no such
    // sample, it is empty, or no channel is idle.
    QRBOOMChannel* playSample(std::string_view name);
    QRBOOMChannel* play(QRBOOMSample* sample);
    void detachSample(const QRBOOMSample* sample);
    // Holds every playing sound where it is, or lets the held ones play on (a paused game).
    void setAllPaused(bool paused);

    int getCount() const;
    // Throws std::out_of_range outside 0..count-1.
    QRBOOMChannel* getChannel(int index) const;

private:
    QRBOOMMain* sound_;
    QROwned<QRRESCList> channels_;
};
