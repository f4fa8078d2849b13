#pragma once
// What the flyover benchmarks share: a temporary program folder that mirrors the real one (so the
// engine's log lands elsewhere), the engine brought up in a window, the frame figures (median and
// 90th percentile), letting Qt handle the window system's events, and saving the frame just drawn
// as a picture.

#include "core/qr_core_object.h"

#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

struct FlyoverFigures {
    double median = 0.0;
    double percentile90 = 0.0;
};

FlyoverFigures flyoverFigures(std::vector<double> times);
// Makes a folder whose entries link to programFolder's the engine's program folder, and prints
// errors instead of showing boxes that would stop the run. Empty when the folder could not be made.
std::filesystem::path useMirroredProgramFolder(const std::filesystem::path& programFolder);

class QRCOREMain;
class QRVISXMain;

// The core and the visual module as the program brings them up, drawing into a window of their
// own as "Visual Device" with "Main RC" active and without v-sync. Needs the QApplication.
class FlyoverEngine {
public:
    FlyoverEngine(const char* title, int width, int height);
    ~FlyoverEngine();
    // Null when "Main RC" could not be made.
    QRVISXMain* getVisual() const { return ready_ ? visual_.get() : nullptr; }

private:
    QWidget mainForm_;
    QROwned<QRCOREMain> core_;
    QWidget window_;
    QROwned<QRVISXMain> visual_;
    bool ready_ = false;
};
void processWindowEvents();
// The back buffer of the current view port, read before the buffers are swapped.
void saveFramePicture(const std::string& path);
