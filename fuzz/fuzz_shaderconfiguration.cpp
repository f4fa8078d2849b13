// Shader configuration scripts: compiled, linked through the GL recorder against the GLSL sources
// of the content folder, then made current and applied with their variables as a frame would.

#include "fuzz_engine.h"

#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEngine& engine = FuzzEngine::get(FuzzEngine::Parts::Visual);
    engine.writeFile("shaders/fuzz.shader", data, size);
    QRVISXMaterialManager* materials = qrVisual()->getMaterialManager();
    QRVISXShaderManager* shaders = materials->getShaderManager();
    {
        auto configuration = qrNew<QRVISXShaderConfiguration>(nullptr);
        configuration->loadFromFile("shaders\\fuzz.shader");
        shaders->setConfiguration(configuration.get());
        materials->applyAll(true);
        configuration->generateInGL();
        materials->applyAll(false);
        materials->resetAll();
    }
    engine.endInput();
    return 0;
}
