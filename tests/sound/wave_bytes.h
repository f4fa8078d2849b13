#pragma once
// Builds WAV files byte by byte, well-formed or deliberately broken, and reads PCM back out.

#include <cstdint>
#include <string>
#include <vector>

namespace wave {

std::string le16(int value);
std::string le32(std::uint32_t value);
// A chunk: id, size (the body's unless given), body.
std::string chunk(const std::string& id, const std::string& body);
std::string chunkWithSize(const std::string& id, std::uint32_t size, const std::string& body);
// A fmt chunk body of 16 bytes, then extra bytes (an 18-byte chunk has extra = 2).
std::string formatBody(int tag, int channels, int rate, int bits, int extra = 0);
// "RIFF", size, "WAVE", chunks.
std::string riff(const std::string& chunks);
// A square wave of the given amplitude (full scale is 32767 for 16 bits, 127 for 8 bits).
std::string square(int frames, int channels, int bits, int amplitude, int period = 50);
// A complete PCM file: fmt, then data.
std::string pcm(int channels, int rate, int bits, const std::string& data);

// The largest absolute 16-bit sample value in interleaved little-endian data.
int peak16(const std::vector<std::uint8_t>& data);

} // namespace wave
