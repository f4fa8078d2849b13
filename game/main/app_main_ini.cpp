#include "main/app_main_ini.h"

#include "core/qr_util_strings.h"
#include "resource/qr_resc_inifile.h"

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
