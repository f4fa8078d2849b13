#include "sound/qr_boom_channel.h"

#include "core/qr_core_log.h"
#include "resource/qr_resc_list.h"
#include "sound/qr_boom_main.h"
#include "sound/qr_boom_sample.h"
#include "sound/qr_boom_samples.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <string>

QRBOOMChannel::QRBOOMChannel(QRObject* owner, int index, unsigned int source)
    : QRObject(owner, "QR BOOM Channel"), index_(index), source_(source)
{
}

QRBOOMChannel::~QRBOOMChannel()
{
    alSourceStop(source_);
    alDeleteSources(1, &source_);
}

bool QRBOOMChannel::isIdle() const
{
    if (reserved_)
        return false;
    ALint state = AL_INITIAL;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state != AL_PLAYING && state != AL_PAUSED;
}

void QRBOOMChannel::play(QRBOOMSample* sample)
{
    alSourcei(source_, AL_BUFFER, static_cast<ALint>(sample->getBuffer()));
    alSourcef(source_, AL_ROLLOFF_FACTOR, sample->getRolloff());
    alSourcePlay(source_);
    sample_ = sample;
}

void QRBOOMChannel::detachSample(const QRBOOMSample* sample)
{
    if (sample_ != sample)
        return;
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    sample_ = nullptr;
}

QRBOOMChannels::QRBOOMChannels(QRBOOMMain* sound) : QRObject(sound, "QR BOOM Channels List"), sound_(sound)
{
    channels_ = qrNew<QRRESCList>(this, true);
}

QRBOOMChannels::~QRBOOMChannels() = default;

void QRBOOMChannels::initialize()
{
    QRObject::initialize();
    createAllChannels();
}

void QRBOOMChannels::createAllChannels()
{
    removeAllChannels();
    // Without a context every OpenAL call fails; the sound module has reported that already.
    if (!alcGetCurrentContext() || sound_->checkForALErrors())
        return;
    try {
        for (int index = 0; index < kMaxChannels; ++index) {
            ALuint source = 0;
            alGenSources(1, &source);
            if (alGetError() != AL_NO_ERROR || !alIsSource(source))
                break;
            channels_->add(qrNew<QRBOOMChannel>(this, index, source).release());
        }
    } catch (...) {
        removeAllChannels();
        reportError("createAllChannels", "Could not create OpenAL sources for channels");
    }
    logDebug("Channels available: " + std::to_string(getCount()));
    alGetError();
}

void QRBOOMChannels::removeAllChannels()
{
    channels_->clear();
}

QRBOOMChannel* QRBOOMChannels::playSample(std::string_view name)
{
    auto* sample = sound_->getSamples() ? sound_->getSamples()->findSample(name) : nullptr;
    return sample ? play(sample) : nullptr;
}

QRBOOMChannel* QRBOOMChannels::play(QRBOOMSample* sample)
{
    // An empty sample has nothing to play; it must not hold on to a channel either.
    if (!sample || !sample->hasBuffer())
        return nullptr;
    for (QRObject* object : *channels_)
        if (auto* channel = static_cast<QRBOOMChannel*>(object); channel->isIdle()) {
            channel->play(sample);
            return channel;
        }
    return nullptr;
}

void QRBOOMChannels::detachSample(const QRBOOMSample* sample)
{
    for (QRObject* channel : *channels_)
        static_cast<QRBOOMChannel*>(channel)->detachSample(sample);
}

void QRBOOMChannels::setAllPaused(bool paused)
{
    for (QRObject* item : *channels_) {
        const ALuint source = static_cast<QRBOOMChannel*>(item)->getSource();
        ALint state = AL_INITIAL;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (paused && state == AL_PLAYING)
            alSourcePause(source);
        else if (!paused && state == AL_PAUSED)
            alSourcePlay(source);
    }
}

int QRBOOMChannels::getCount() const
{
    return channels_->getCount();
}

QRBOOMChannel* QRBOOMChannels::getChannel(int index) const
{
    return static_cast<QRBOOMChannel*>(channels_->get(index));
}
