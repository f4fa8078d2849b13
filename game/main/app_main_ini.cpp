#include "main/app_main_ini.h"

#include "core/qr_util_strings.h"
#include "interaction/qr_inta_bindings.h"
#include "main/app_main_iniwriter.h"
#include "resource/qr_resc_inifile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
constexpr float kMinSensitivity = 0.1f;
constexpr float kMaxSensitivity = 5.0f;
constexpr float kMaxDeadZone = 0.9f;

// Numbers with "." whatever the locale; anything else keeps the fallback.
float readFloat(const QRRESCIniFile& ini, const std::string& section, const std::string& key, float fallback)
{
    const std::string text = ini.readString(section, key, "");
    float value = fallback;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && std::isfinite(value) ? value : fallback;
}

std::string floatText(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", static_cast<double>(value));
    return text;
}

const char* boolText(bool value)
{
    return value ? "TRUE" : "FALSE";
}
} // namespace

APPMAINIni::APPMAINIni(QRObject* owner) : QRObject(owner, "Ini Settings") {}

void APPMAINIni::loadSettings(const std::string& path)
{
    auto ini = qrNew<QRRESCIniFile>(this, path);
    width_ = ini->readInt("DISPLAY", "Width", width_);
    height_ = ini->readInt("DISPLAY", "Height", height_);
    fullscreen_ = ini->readBool("DISPLAY", "Fullscreen", fullscreen_);
    frequency_ = ini->readInt("DISPLAY", "Frequency", frequency_);
    vsync_ = ini->readBool("DISPLAY", "VSync", vsync_);
    antiAliasing_ = ini->readString("DISPLAY", "AntiAliasing", antiAliasing_);
    anisotropy_ = ini->readInt("DISPLAY", "Anisotropy", anisotropy_);
    startupMode_ = ini->readString("MODE", "StartupMode", startupMode_);
    autosaveInterval_ = ini->readInt("EDITOR", "AutosaveInterval", autosaveInterval_);
    maxFPS_ = std::max(0, ini->readInt("DISPLAY", "MaxFPS", maxFPS_));
    showFPS_ = ini->readBool("DISPLAY", "ShowFPS", showFPS_);
    masterVolume_ = std::clamp(ini->readInt("SOUND", "MasterVolume", masterVolume_), 0, 100);
    effectsVolume_ = std::clamp(ini->readInt("SOUND", "EffectsVolume", effectsVolume_), 0, 100);
    muted_ = ini->readBool("SOUND", "Mute", muted_);
    mouseSensitivity_ =
        std::clamp(readFloat(*ini, "CONTROLS", "MouseSensitivity", mouseSensitivity_), kMinSensitivity, kMaxSensitivity);
    invertY_ = ini->readBool("CONTROLS", "InvertY", invertY_);
    controllerDeadZone_ =
        std::clamp(readFloat(*ini, "CONTROLS", "ControllerDeadZone", controllerDeadZone_), 0.0f, kMaxDeadZone);
    path_ = path;
}

float APPMAINIni::getSoundGain() const
{
    if (muted_)
        return 0.0f;
    return static_cast<float>(masterVolume_) / 100.0f * static_cast<float>(effectsVolume_) / 100.0f;
}

void APPMAINIni::write(std::string_view section, std::string_view key, const std::string& value) const
{
    // Settings made before any file was read (tests) stay in memory.
    if (!path_.empty())
        APPMAINIniWriter::writeValue(path_, section, key, value);
}

void APPMAINIni::setDisplaySize(int width, int height)
{
    width_ = std::max(320, width);
    height_ = std::max(240, height);
    write("DISPLAY", "Width", std::to_string(width_));
    write("DISPLAY", "Height", std::to_string(height_));
}

void APPMAINIni::setFullscreen(bool fullscreen)
{
    fullscreen_ = fullscreen;
    write("DISPLAY", "Fullscreen", boolText(fullscreen_));
}

void APPMAINIni::setVSyncEnabled(bool enabled)
{
    vsync_ = enabled;
    write("DISPLAY", "VSync", boolText(vsync_));
}

void APPMAINIni::setAntiAliasing(const std::string& level)
{
    antiAliasing_ = level;
    write("DISPLAY", "AntiAliasing", antiAliasing_);
}

void APPMAINIni::setAnisotropy(int degree)
{
    anisotropy_ = std::clamp(degree, 0, 16);
    write("DISPLAY", "Anisotropy", std::to_string(anisotropy_));
}

void APPMAINIni::setMaxFPS(int fps)
{
    maxFPS_ = std::clamp(fps, 0, 1000);
    write("DISPLAY", "MaxFPS", std::to_string(maxFPS_));
}

void APPMAINIni::setShowFPS(bool show)
{
    showFPS_ = show;
    write("DISPLAY", "ShowFPS", boolText(showFPS_));
}

void APPMAINIni::setMasterVolume(int volume)
{
    masterVolume_ = std::clamp(volume, 0, 100);
    write("SOUND", "MasterVolume", std::to_string(masterVolume_));
}

void APPMAINIni::setEffectsVolume(int volume)
{
    effectsVolume_ = std::clamp(volume, 0, 100);
    write("SOUND", "EffectsVolume", std::to_string(effectsVolume_));
}

void APPMAINIni::setMuted(bool muted)
{
    muted_ = muted;
    write("SOUND", "Mute", boolText(muted_));
}

void APPMAINIni::setMouseSensitivity(float sensitivity)
{
    mouseSensitivity_ = std::clamp(std::isfinite(sensitivity) ? sensitivity : 1.0f, kMinSensitivity, kMaxSensitivity);
    write("CONTROLS", "MouseSensitivity", floatText(mouseSensitivity_));
}

void APPMAINIni::setInvertY(bool invert)
{
    invertY_ = invert;
    write("CONTROLS", "InvertY", boolText(invertY_));
}

void APPMAINIni::setControllerDeadZone(float deadZone)
{
    controllerDeadZone_ = std::clamp(std::isfinite(deadZone) ? deadZone : 0.3f, 0.0f, kMaxDeadZone);
    write("CONTROLS", "ControllerDeadZone", floatText(controllerDeadZone_));
}

void APPMAINIni::applyBindings(QRINTABindings& bindings) const
{
    if (path_.empty())
        return;
    auto ini = qrNew<QRRESCIniFile>(nullptr, path_);
    for (const QRINTABindings::Entry& entry : bindings.getEntries()) {
        const std::string text = ini->readString("BINDINGS", entry.action, "");
        // A line that names no code leaves the action as registered.
        if (!text.empty())
            bindings.bindFromText(entry.action, text);
    }
}

void APPMAINIni::saveBindings(const QRINTABindings& bindings)
{
    for (const QRINTABindings::Entry& entry : bindings.getEntries())
        write("BINDINGS", entry.action, QRINTABindings::codesToText(bindings.getCodes(entry.action)));
}

int APPMAINIni::getAntiAliasingLevel() const
{
    const auto level = QRUTILStrings::lowerCase(antiAliasing_);
    if (level == "2x")
        return 1;
    if (level == "4x")
        return 2;
    if (level == "8x")
        return 3;
    if (level == "16x")
        return 4;
    return 0;
}

bool APPMAINIni::startsInEditor() const
{
    return QRUTILStrings::lowerCase(startupMode_) == "editor";
}
