// WAV files: the reader of sounds\*.wav, through the file module as the sample loads them.

#include "fuzz_engine.h"

#include "file/qr_file_file.h"
#include "sound/qr_boom_wavereader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEngine& engine = FuzzEngine::get(FuzzEngine::Parts::Core);
    engine.writeFile("sounds/fuzz.wav", data, size);
    {
        auto file = qrNew<QRFILEFile>(nullptr);
        if (file->open("sounds\\fuzz.wav", QRFileAccess::Read, QRFileType::Binary, true)) {
            QRBOOMWaveData wave;
            std::string error;
            if (qrReadWave(*file, wave, error)) {
                // What OpenAL is handed: whole frames of the format read.
                const std::size_t frame = static_cast<std::size_t>(wave.channels * wave.bitsPerSample / 8);
                if (frame == 0 || wave.data.size() % frame != 0 || wave.frequency <= 0)
                    __builtin_trap();
                volatile std::uint8_t sum = 0;
                for (std::uint8_t byte : wave.data)
                    sum = static_cast<std::uint8_t>(sum + byte);
            }
        }
    }
    engine.endInput();
    return 0;
}
