#include "sound/qr_boom_wavereader.h"

#include "file/qr_file_file.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr std::int64_t kRiffHeaderSize = 12;
constexpr std::int64_t kChunkHeaderSize = 8;
constexpr std::uint32_t kFormatSize = 16;
constexpr int kFormatPCM = 1;
constexpr int kFormatExtensible = 0xFFFE;
// OpenAL takes buffer sizes as signed 32-bit numbers.
constexpr std::uint32_t kLargestData = 0x7FFFFFFF;

std::uint32_t readLE(const std::uint8_t* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

// Moves past count bytes the caller has checked the file still holds.
bool skip(QRFILEFile& file, std::int64_t count)
{
    std::array<std::uint8_t, 4096> scratch;
    while (count > 0) {
        const std::int64_t piece = std::min<std::int64_t>(count, scratch.size());
        if (!file.read(scratch.data(), piece))
            return false;
        count -= piece;
    }
    return true;
}

std::string printable(const std::uint8_t* id)
{
    std::string text(reinterpret_cast<const char*>(id), 4);
    for (char& c : text)
        if (c < 32 || c > 126)
            c = '?';
    return text;
}

} // namespace

bool qrReadWave(QRFILEFile& file, QRBOOMWaveData& wave, std::string& error)
{
    const std::int64_t size = file.getSize();
    const auto remaining = [&] { return size - file.getPosition(); };

    std::array<std::uint8_t, kRiffHeaderSize> riff{};
    if (remaining() < kRiffHeaderSize || !file.read(riff.data(), kRiffHeaderSize)) {
        error = "the file is too short for a RIFF header";
        return false;
    }
    if (std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
        error = "it is no RIFF WAVE file";
        return false;
    }

    bool haveFormat = false;
    int formatTag = 0;
    while (remaining() >= kChunkHeaderSize) {
        std::array<std::uint8_t, kChunkHeaderSize> header{};
        if (!file.read(header.data(), kChunkHeaderSize)) {
            error = "its chunks cannot be read";
            return false;
        }
        const std::uint32_t chunkSize = readLE(header.data() + 4, 4);
        if (chunkSize > remaining()) {
            error = "its \"" + printable(header.data()) + "\" chunk claims " + std::to_string(chunkSize) +
                    " bytes, more than the file holds";
            return false;
        }
        // Chunks start on even offsets; an odd-sized chunk is followed by one pad byte.
        const std::int64_t padding = (chunkSize % 2 == 1 && remaining() > chunkSize) ? 1 : 0;

        if (std::memcmp(header.data(), "fmt ", 4) == 0) {
            if (chunkSize < kFormatSize) {
                error = "its fmt chunk is shorter than 16 bytes";
                return false;
            }
            std::array<std::uint8_t, kFormatSize> format{};
            if (!file.read(format.data(), kFormatSize) || !skip(file, chunkSize - kFormatSize + padding)) {
                error = "its fmt chunk cannot be read";
                return false;
            }
            formatTag = static_cast<int>(readLE(format.data(), 2));
            wave.channels = static_cast<int>(readLE(format.data() + 2, 2));
            wave.frequency = static_cast<int>(std::min<std::uint32_t>(readLE(format.data() + 4, 4), 0x7FFFFFFF));
            wave.bitsPerSample = static_cast<int>(readLE(format.data() + 14, 2));
            haveFormat = true;
        } else if (std::memcmp(header.data(), "data", 4) == 0) {
            if (!haveFormat) {
                error = "its data chunk comes before the fmt chunk";
                return false;
            }
            if (formatTag != kFormatPCM && formatTag != kFormatExtensible) {
                error = "its sound is not PCM (format " + std::to_string(formatTag) + ")";
                return false;
            }
            if ((wave.channels != 1 && wave.channels != 2) || (wave.bitsPerSample != 8 && wave.bitsPerSample != 16)) {
                error = "its format is unsupported: " + std::to_string(wave.channels) + " channels of " +
                        std::to_string(wave.bitsPerSample) + " bits (mono or stereo of 8 or 16 bits can be played)";
                return false;
            }
            if (wave.frequency <= 0) {
                error = "its sample rate is 0";
                return false;
            }
            if (chunkSize > kLargestData) {
                error = "its data chunk is too large to be played";
                return false;
            }
            // Whole frames only: a torn last frame cannot be played.
            const std::uint32_t frameSize = static_cast<std::uint32_t>(wave.channels * wave.bitsPerSample / 8);
            wave.data.resize(chunkSize - chunkSize % frameSize);
            if (!file.read(wave.data.data(), static_cast<std::int64_t>(wave.data.size()))) {
                error = "its data chunk cannot be read";
                return false;
            }
            return true;
        } else if (!skip(file, chunkSize + padding)) {
            error = "its chunks cannot be read";
            return false;
        }
    }
    error = "it has no data chunk";
    return false;
}
