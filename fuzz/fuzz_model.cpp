// Model files ("QOR____1" records): loaded through the file module, then drawn twice through the GL
// recorder, from client-side arrays and from buffer objects, so that a group range or an index
// that points past the vertices is read (and caught) as a real draw would read it.

#include "fuzz_engine.h"

#include "visual/geometry/qr_visx_model.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEngine& engine = FuzzEngine::get(FuzzEngine::Parts::Visual);
    engine.writeFile("models/fuzz.model", data, size);
    {
        auto model = qrNew<QRVISXModel>(nullptr);
        model->loadFromFile("models\\fuzz.model");
        for (int level = 0; level < model->getLodCount(); ++level)
            model->renderLod(level, true);
        model->generateVBO();
        model->render();
    }
    engine.endInput();
    return 0;
}
