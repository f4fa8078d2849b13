// Font scripts: read, then text measured and drawn through the GL recorder at both scale modes and
// every alignment, with Latin-1, UTF-8 and stray bytes.

#include "fuzz_engine.h"

#include "visual/text/qr_visx_font.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEngine& engine = FuzzEngine::get(FuzzEngine::Parts::Visual);
    engine.writeFile("fonts/fuzz.font", data, size);
    {
        auto font = qrNew<QRVISXFont>(nullptr);
        font->loadFromFile("fonts\\fuzz.font");
        const std::string text = "Papers: 12 M\xC3\xA4" "chtig \xFF\x80 \xE2\x82\xAC";
        for (bool absolute : {false, true}) {
            font->getTextWidth(text, absolute, 0.1f);
            for (int alignment = 0; alignment < 3; ++alignment)
                font->renderText(text, {0.5f, 0.5f}, 0.05f, absolute, {1.0f, 1.0f, 1.0f, 1.0f}, 3, alignment);
        }
        font->getCellSize();
    }
    engine.endInput();
    return 0;
}
