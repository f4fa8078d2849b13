// Material scripts: compiled into passes whose command streams are then run, every pass in turn
// and the default one through use(), and applied through the GL recorder as a frame would.

#include "fuzz_engine.h"

#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialmanager.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEngine& engine = FuzzEngine::get(FuzzEngine::Parts::Visual);
    engine.writeFile("materials/fuzz.material", data, size);
    QRVISXMaterialManager* materials = qrVisual()->getMaterialManager();
    {
        auto material = qrNew<QRVISXMaterial>(nullptr);
        material->loadFromFile("materials\\fuzz.material");
        for (int index = 0; index < material->getPassCount(); ++index) {
            materials->resetForMaterial();
            materials->executePass(material->getPassAt(index));
            materials->apply();
        }
        material->use();
        materials->resetAll();
    }
    engine.endInput();
    return 0;
}
