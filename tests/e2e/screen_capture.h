#pragma once
// Screenshots of the test's X server, taken with ImageMagick's import.

#include <array>
#include <cstddef>
#include <optional>
#include <string>

class TempFolder;

struct Screenshot {
    int width = 0;
    int height = 0;
    std::string rgb; // width * height * 3 bytes, rows from the top

    std::array<int, 3> pixel(int x, int y) const;
    // Whether every channel of the pixel lies within tolerance of value.
    bool isGrey(int x, int y, int value, int tolerance = 2) const;
    // How many pixels of the whole screen are grey within tolerance of value.
    std::size_t countGrey(int value, int tolerance) const;
};

std::optional<Screenshot> captureScreen(const TempFolder& scratch);
