#pragma once
// The settings of kipster.ini, read when the application starts. The settings dialog changes
// them one at a time, and each change is written to the file at once (only that line changes).
// Owned by the application.

#include "core/qr_core_object.h"

#include <string>
#include <string_view>

class QRINTABindings;

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
    // [DISPLAY] MaxFPS (0: no cap) and ShowFPS.
    int getMaxFPS() const { return maxFPS_; }
    bool isShowFPS() const { return showFPS_; }
    // [SOUND] MasterVolume and EffectsVolume (0..100), Mute.
    int getMasterVolume() const { return masterVolume_; }
    int getEffectsVolume() const { return effectsVolume_; }
    bool isMuted() const { return muted_; }
    // What the sound device plays at: 0 when muted, else both volumes together.
    float getSoundGain() const;
    // [CONTROLS] MouseSensitivity (0.1..5), InvertY, ControllerDeadZone (0..0.9).
    float getMouseSensitivity() const { return mouseSensitivity_; }
    bool isInvertY() const { return invertY_; }
    float getControllerDeadZone() const { return controllerDeadZone_; }

    // Each setter keeps the value within its range and writes it to the file at once.
    void setDisplaySize(int width, int height);
    void setFullscreen(bool fullscreen);
    void setVSyncEnabled(bool enabled);
    void setAntiAliasing(const std::string& level);
    void setAnisotropy(int degree);
    void setMaxFPS(int fps);
    void setShowFPS(bool show);
    void setMasterVolume(int volume);
    void setEffectsVolume(int volume);
    void setMuted(bool muted);
    void setMouseSensitivity(float sensitivity);
    void setInvertY(bool invert);
    void setControllerDeadZone(float deadZone);

    // [BINDINGS] one line per action ("Jump = 57,2000,-1"): read into the bindings, or written
    // from them (every action, so a reset to the defaults is kept as well).
    void applyBindings(QRINTABindings& bindings) const;
    void saveBindings(const QRINTABindings& bindings);

    const std::string& getPath() const { return path_; }

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
    int maxFPS_ = 0;
    bool showFPS_ = false;
    int masterVolume_ = 100;
    int effectsVolume_ = 100;
    bool muted_ = false;
    float mouseSensitivity_ = 1.0f;
    bool invertY_ = false;
    float controllerDeadZone_ = 0.3f;
    std::string path_;

    void write(std::string_view section, std::string_view key, const std::string& value) const;
};
