// Ini files: the engine's reader, every section and value read back, and the settings of
// kipster.ini read through the application's own settings object.

#include "fuzz_engine.h"

#include "main/app_main_ini.h"
#include "resource/qr_resc_inifile.h"
#include "resource/qr_resc_stringlist.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEngine& engine = FuzzEngine::get(FuzzEngine::Parts::Core);
    engine.writeFile("fuzz.ini", data, size);
    {
        auto ini = qrNew<QRRESCIniFile>(nullptr, "fuzz.ini");
        auto values = qrNew<QRRESCStringList>(nullptr, false, true);
        for (const std::string& section : ini->getSections()) {
            values->clear();
            ini->readSection(section, *values);
            ini->countKeys(section);
            ini->readInt(section, "Width", 0);
            ini->readBool(section, "Fullscreen", false);
        }
        auto settings = qrNew<APPMAINIni>(nullptr);
        settings->loadSettings("fuzz.ini");
        settings->getAntiAliasingLevel();
        settings->startsInEditor();
    }
    engine.endInput();
    return 0;
}
