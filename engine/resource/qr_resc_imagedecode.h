#pragma once
// A picture file's bytes decoded (through Qt's image readers) into tightly packed rows of 8-bit
// components in one of the engine's three layouts. Touches no engine object, so it runs on any
// thread: QRRESCImage2 decodes with it, and so does the start-up prefetch (QRRESCImagePrefetch).

#include <cstddef>
#include <cstdint>
#include <vector>

struct QRRESCDecodedImage {
    enum class Outcome { Decoded, Implausible, Unreadable };
    Outcome outcome = Outcome::Unreadable;
    // What the header claimed and how many bytes the file has, for the report of an implausible
    // size.
    int claimedWidth = 0;
    int claimedHeight = 0;
    std::size_t fileBytes = 0;
    int width = 0;
    int height = 0;
    // QRRESCImage2::kPixelLuminance, kPixelRGB or kPixelRGBA.
    int pixelFormat = 0;
    bool flipped = false;
    std::vector<std::uint8_t> pixels;
};

// Rows from the top, or bottom row first (OpenGL's order) with flipForGL. A header claiming more
// pixels than the bytes can hold is refused before any pixel memory is taken; out of memory
// throws std::bad_alloc.
QRRESCDecodedImage qrrescDecodeImage(const std::vector<std::uint8_t>& bytes, bool flipForGL);
