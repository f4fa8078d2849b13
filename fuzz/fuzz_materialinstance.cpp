// Material instances, both forms: the binary record a model carries (read, then compiled against
// the material it names), and the instance script of the content folder compiled against a real
// material. Each is then used as a model group uses it.

#include "fuzz_engine.h"

#include "resource/qr_resc_stringlist.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialinstance.h"
#include "visual/materials/qr_visx_materialmanager.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEngine& engine = FuzzEngine::get(FuzzEngine::Parts::Visual);
    engine.writeFile("materials/fuzz.instance", data, size);
    QRVISXMaterialManager* materials = qrVisual()->getMaterialManager();
    {
        auto record = qrNew<QRVISXMaterialInstance>(nullptr);
        record->loadFromFile("materials\\fuzz.instance");
        record->use();

        auto script = qrNew<QRRESCStringList>(nullptr, true, true);
        script->loadFromFile("materials\\fuzz.instance");
        auto instance = qrNew<QRVISXMaterialInstance>(nullptr);
        instance->setMaterial("materials\\model_textured.material");
        instance->getScript().addAll(*script);
        instance->compile();
        instance->use();
        materials->resetAll();
    }
    engine.endInput();
    return 0;
}
