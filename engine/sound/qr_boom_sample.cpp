#include "sound/qr_boom_sample.h"

#include "file/qr_file_file.h"
#include "file/qr_file_main.h"
#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_main.h"
#include "sound/qr_boom_wavereader.h"

#include <AL/al.h>

namespace {
ALenum formatOf(const QRBOOMWaveData& wave)
{
    if (wave.channels == 1)
        return wave.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return wave.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}
} // namespace

QRBOOMSample::QRBOOMSample(QRObject* owner) : QRManagedObject(owner) {}

QRBOOMSample::~QRBOOMSample()
{
    deleteBuffer();
}

void QRBOOMSample::deleteBuffer()
{
    if (!buffer_)
        return;
    logDebug("Deleting Sample: \"" + getName() + "\"");
    // OpenAL keeps a buffer that is still attached to a source; let go of it everywhere first.
    if (auto* sound = qrSound())
        sound->getChannels()->detachSample(this);
    alDeleteBuffers(1, &buffer_);
    buffer_ = 0;
    length_ = 0.0f;
}

void QRBOOMSample::loadFromFile(const std::string& path)
{
    deleteBuffer();
    auto* files = qrFile();
    if (!files || !files->fileExists(path, false))
        return;
    setName(path);
    setFileName(path);
    logDebug("Loading WAV from file \"" + getFullFileName() + "\"");

    QRBOOMWaveData wave;
    std::string problem;
    {
        QRFILEFile file(this, path, QRFileAccess::Read, QRFileType::Binary);
        if (!file.isOpen())
            return;
        if (!qrReadWave(file, wave, problem)) {
            reportError("loadFromFile", "The WAV file \"" + path + "\" cannot be played: " + problem);
            return;
        }
    }

    frequency_ = static_cast<float>(wave.frequency);
    alGenBuffers(1, &buffer_);
    if (!alIsBuffer(buffer_)) {
        buffer_ = 0;
        return;
    }
    logDebug("Creating Sample: \"" + getName() + "\"");
    alBufferData(buffer_, formatOf(wave), wave.data.data(), static_cast<ALsizei>(wave.data.size()), wave.frequency);

    ALint bits = 0;
    ALint channels = 0;
    alGetBufferi(buffer_, AL_BITS, &bits);
    alGetBufferi(buffer_, AL_CHANNELS, &channels);
    // Frames, not single-channel samples, make up the duration of a stereo sound.
    if (bits > 0 && channels > 0)
        length_ = static_cast<float>(wave.data.size() * 8 / static_cast<std::size_t>(bits * channels)) / frequency_;
}
