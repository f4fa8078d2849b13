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
    // Whether the pixel belongs to the drawn view: neither the black of an undrawn window nor the
    // light grey of Qt's menu and status bars.
    bool isView(int x, int y) const;
};

std::optional<Screenshot> captureScreen(const TempFolder& scratch);
