#pragma once
// The settings of kipster.ini, read once when the application starts and never written.
// Owned by the application.

#include "core/qr_core_object.h"

#include <string>

class APPMAINIni : public QRObject {
public:
    explicit APPMAINIni(QRObject* owner);

    // A missing file, or a missing key, leaves the default.
    void loadSettings(const std::string& path);

    int getDisplayWidth() const { return width_; }
    int getDisplayHeight() const { return height_; }
    bool isFullscreen() const { return fullscreen_; }
    int getFrequency() const { return frequency_; }
    bool isVSyncEnabled() const { return vsync_; }
    // As written: "2x", "4x", "8x" or "16x" in any letter case; anything else means none.
    const std::string& getAntiAliasing() const { return antiAliasing_; }
    // The visual device's antialiasing level: 1 to 4 for 2x to 16x, 0 for none.
    int getAntiAliasingLevel() const;
    // [DISPLAY] Anisotropy: the textures' anisotropic filtering degree; 0 leaves the choice to the
    // texture manager (the maximum, or none on a software renderer, where it costs seconds a frame).
    int getAnisotropy() const { return anisotropy_; }
    const std::string& getStartupMode() const { return startupMode_; }
    bool startsInEditor() const;
    // [EDITOR] AutosaveInterval: seconds between the editor's recovery copies of unsaved areas.
    int getAutosaveInterval() const { return autosaveInterval_; }

private:
    int width_ = 1024;
    int height_ = 768;
    bool fullscreen_ = true;
    int frequency_ = 60;
    bool vsync_ = true;
    std::string antiAliasing_ = "None";
    int anisotropy_ = 0;
    std::string startupMode_ = "Game";
    int autosaveInterval_ = 120;
};
