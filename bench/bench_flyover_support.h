#pragma once
// What the flyover benchmarks share: a temporary program folder that mirrors the real one (so the
// engine's log lands elsewhere), the frame figures (median and 90th percentile), letting Qt handle
// the window system's events, and saving the frame just drawn as a picture.

#include <filesystem>
#include <string>
#include <vector>

struct FlyoverFigures {
    double median = 0.0;
    double percentile90 = 0.0;
};

FlyoverFigures flyoverFigures(std::vector<double> times);
// A folder whose entries link to programFolder's; empty when it could not be made.
std::filesystem::path mirrorProgramFolder(const std::filesystem::path& programFolder);
void processWindowEvents();
// The back buffer of the current view port, read before the buffers are swapped.
void saveFramePicture(const std::string& path);
