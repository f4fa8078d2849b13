#include "sound/qr_boom_main.h"

#include "core/qr_core_log.h"
#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_samples.h"
#include "sound/qr_boom_world.h"

#include <AL/al.h>
#include <AL/alc.h>

namespace {
QRBOOMMain* gSound = nullptr;

const char* describeALError(ALenum error)
{
    switch (error) {
    case AL_INVALID_NAME: return "Invalid name";
    case AL_INVALID_ENUM: return "Invalid enum";
    case AL_INVALID_VALUE: return "Invalid value";
    case AL_INVALID_OPERATION: return "Invalid operation";
    case AL_OUT_OF_MEMORY: return "Out of memory";
    default: return "Unknown OpenAL error";
    }
}
} // namespace

QRBOOMMain::QRBOOMMain(QRObject* owner) : QRObject(owner, "QR BOOM Main")
{
    gSound = this;
    world_ = qrNew<QRBOOMWorld>(this);
    channels_ = qrNew<QRBOOMChannels>(this);
    samples_ = qrNew<QRBOOMSamples>(this);
}

QRBOOMMain::~QRBOOMMain()
{
    samples_.reset();
    channels_.reset();
    world_.reset();
    closeAL();
    if (gSound == this)
        gSound = nullptr;
}

void QRBOOMMain::initialize()
{
    QRObject::initialize();
    auto* log = qrLog();
    if (log) {
        log->logEmptyLine();
        log->logSeparator();
        log->logPlain("QOR BOOM: QOR BOOM Initializing...");
    }
    openAL();
    world_->initialize();
    channels_->initialize();
    samples_->initialize();
    if (log) {
        log->logPlain("QOR BOOM: QOR BOOM Initialized!");
        log->logSeparator();
        log->logEmptyLine();
    }
}

void QRBOOMMain::openAL()
{
    closeAL();
    auto* device = alcOpenDevice(nullptr);
    auto* context = device ? alcCreateContext(device, nullptr) : nullptr;
    if (context && alcMakeContextCurrent(context)) {
        device_ = device;
        context_ = context;
    } else {
        if (context)
            alcDestroyContext(context);
        if (device)
            alcCloseDevice(device);
        logWarning("openAL", "No OpenAL device could be opened; the game stays silent");
    }
    checkForALErrors();
}

void QRBOOMMain::closeAL()
{
    if (context_) {
        if (alcGetCurrentContext() == context_)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(static_cast<ALCcontext*>(context_));
    }
    if (device_)
        alcCloseDevice(static_cast<ALCdevice*>(device_));
    context_ = nullptr;
    device_ = nullptr;
}

void QRBOOMMain::setGain(float gain)
{
    gain_ = gain < 0.0f ? 0.0f : gain;
    if (context_)
        alListenerf(AL_GAIN, gain_);
}

bool QRBOOMMain::checkForALErrors()
{
    const ALenum error = alGetError();
    if (error == AL_NO_ERROR)
        return false;
    reportError("checkForALErrors", std::string("OpenAL error: ") + describeALError(error));
    return true;
}

QRBOOMMain* qrSound()
{
    return gSound;
}
