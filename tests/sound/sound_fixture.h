#pragma once
// A running engine core with an initialised sound module on OpenAL Soft's wave writer: everything
// played is mixed in real time into a WAV file that tests read back once the module is gone.

#include "engine_fixture.h"

#include "core/qr_core_object.h"
#include "sound/qr_boom_main.h"

#include <filesystem>
#include <string>

// Points OpenAL Soft at a configuration with these lines. OpenAL reads its configuration once, at
// its first use, so only the first call of a test program counts.
void useOpenALConfig(const std::string& lines);

class SoundFixture : public EngineFixture {
protected:
    SoundFixture();
    ~SoundFixture() override;

    QRBOOMMain& sound() { return *sound_; }
    // Closes the device, which completes the captured file.
    void closeSound() { sound_.reset(); }
    void openSound();
    // Writes a file below the program folder ("sounds\jump.wav" style names).
    void writeSound(const std::string& name, const std::string& bytes);
    static const std::filesystem::path& captureFile();

private:
    QROwned<QRBOOMMain> sound_;
};
