#include "screen_capture.h"

#include "temp_folder.h"

#include <cstdlib>
#include <sstream>

std::array<int, 3> Screenshot::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return {-1, -1, -1};
    const auto offset = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    return {static_cast<unsigned char>(rgb[offset]), static_cast<unsigned char>(rgb[offset + 1]),
            static_cast<unsigned char>(rgb[offset + 2])};
}

bool Screenshot::isView(int x, int y) const
{
    const auto [r, g, b] = pixel(x, y);
    if (r < 0 || r + g + b < 30)
        return false;
    const bool widgetGrey = std::abs(r - g) < 8 && std::abs(g - b) < 8 && r > 200;
    return !widgetGrey;
}

std::optional<Screenshot> captureScreen(const TempFolder& scratch)
{
    const auto file = scratch / "screen.ppm";
    const std::string command = "import -window root -depth 8 ppm:" + file.string() + " 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    const std::string content = readWholeFile(file);
    std::istringstream header(content);
    std::string magic;
    int maximum = 0;
    Screenshot shot;
    header >> magic >> shot.width >> shot.height >> maximum;
    if (magic != "P6" || maximum != 255 || shot.width <= 0 || shot.height <= 0)
        return std::nullopt;
    const auto start = static_cast<std::size_t>(header.tellg()) + 1;
    const auto size = static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height) * 3;
    if (content.size() < start + size)
        return std::nullopt;
    shot.rgb = content.substr(start, size);
    return shot;
}
