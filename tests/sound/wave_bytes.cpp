#include "wave_bytes.h"

#include <cstdlib>

namespace wave {

std::string le16(int value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string le32(std::uint32_t value)
{
    return le16(static_cast<int>(value & 0xFFFF)) + le16(static_cast<int>(value >> 16));
}

std::string chunkWithSize(const std::string& id, std::uint32_t size, const std::string& body)
{
    return id + le32(size) + body;
}

std::string chunk(const std::string& id, const std::string& body)
{
    return chunkWithSize(id, static_cast<std::uint32_t>(body.size()), body);
}

std::string formatBody(int tag, int channels, int rate, int bits, int extra)
{
    const int blockAlign = channels * bits / 8;
    return le16(tag) + le16(channels) + le32(static_cast<std::uint32_t>(rate)) +
           le32(static_cast<std::uint32_t>(rate * blockAlign)) + le16(blockAlign) + le16(bits) +
           std::string(static_cast<std::size_t>(extra), '\0');
}

std::string riff(const std::string& chunks)
{
    return "RIFF" + le32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

std::string square(int frames, int channels, int bits, int amplitude, int period)
{
    std::string data;
    for (int frame = 0; frame < frames; ++frame) {
        const int value = (frame / (period / 2)) % 2 == 0 ? amplitude : -amplitude;
        for (int channel = 0; channel < channels; ++channel)
            data += bits == 8 ? std::string(1, static_cast<char>(128 + value)) : le16(value);
    }
    return data;
}

std::string pcm(int channels, int rate, int bits, const std::string& data)
{
    return riff(chunk("fmt ", formatBody(1, channels, rate, bits)) + chunk("data", data));
}

int peak16(const std::vector<std::uint8_t>& data)
{
    int peak = 0;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const auto value = static_cast<std::int16_t>(data[i] | (data[i + 1] << 8));
        peak = std::max(peak, std::abs(static_cast<int>(value)));
    }
    return peak;
}

} // namespace wave
