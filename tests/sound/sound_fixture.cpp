#include "sound_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <mutex>

namespace {
const TempFolder& configFolder()
{
    static const TempFolder folder;
    return folder;
}
} // namespace

void useOpenALConfig(const std::string& lines)
{
    static std::once_flag once;
    std::call_once(once, [&] {
        configFolder().write("alsoft.conf", lines);
        setenv("ALSOFT_CONF", (configFolder() / "alsoft.conf").c_str(), 1);
    });
}

const std::filesystem::path& SoundFixture::captureFile()
{
    static const std::filesystem::path file = configFolder() / "capture.wav";
    return file;
}

SoundFixture::SoundFixture()
{
    useOpenALConfig("[general]\n"
                    "drivers=wave\n"
                    "frequency=44100\n"
                    "channels=stereo\n"
                    "sample-type=int16\n"
                    "[wave]\n"
                    "file=" + captureFile().string() + "\n");
    openSound();
}

SoundFixture::~SoundFixture()
{
    closeSound();
}

void SoundFixture::openSound()
{
    sound_ = qrNew<QRBOOMMain>(&core());
    sound_->initialize();
}

void SoundFixture::writeSound(const std::string& name, const std::string& bytes)
{
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    programFolder().write(path, bytes);
}
