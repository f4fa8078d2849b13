#pragma once
// Reads the PCM sound of a RIFF WAVE file through the file object. WAV files are untrusted: every
// chunk is checked against the bytes the file really holds, so nothing is read past its end and
// nothing larger than the file is allocated. Used by QRBOOMSample.

#include <cstdint>
#include <string>
#include <vector>

class QRFILEFile;

struct QRBOOMWaveData {
    int channels = 0;
    int bitsPerSample = 0;
    int frequency = 0;
    std::vector<std::uint8_t> data;
};

// Reads from the file's current position (its start). Mono or stereo, 8 or 16 bits; chunks other
// than "fmt " and "data" are skipped. False with the reason in error when the file cannot be played.
bool qrReadWave(QRFILEFile& file, QRBOOMWaveData& wave, std::string& error);
