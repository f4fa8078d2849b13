// Pictures with their texture scripts: the input is a 16-bit little-endian script length, the
// ".texture" script and then the picture file. Loaded as the texture manager loads a texture
// (script first, picture decoded, uploaded through the GL recorder, which reads every byte it is
// handed) and then reloaded in place as after an edit.

#include "fuzz_engine.h"

#include "resource/qr_resc_image.h"
#include "visual/textures/qr_visx_texture.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEngine& engine = FuzzEngine::get(FuzzEngine::Parts::Visual);
    std::size_t scriptSize = 0;
    if (size >= 2)
        scriptSize = std::min<std::size_t>(data[0] | (data[1] << 8), size - 2);
    const std::uint8_t* script = data + 2;
    const std::uint8_t* picture = size >= 2 ? script + scriptSize : data;
    const std::size_t pictureSize = size - static_cast<std::size_t>(picture - data);
    std::error_code ignored;
    if (size >= 2)
        engine.writeFile("textures/fuzz.texture", script, scriptSize);
    else
        std::filesystem::remove(engine.programFolder() / "textures" / "fuzz.texture", ignored);
    engine.writeFile("textures/fuzz.png", picture, pictureSize);
    {
        auto texture = qrNew<QRVISXTexture2>(nullptr);
        texture->loadFromFile("textures\\fuzz.png");
        texture->updateFromFile();
        // The editor's map import reads pictures pixel by pixel, edges included.
        auto image = qrNew<QRRESCImage2>(nullptr);
        image->loadFromFile("textures\\fuzz.png");
        for (int y : {-1, 0, image->getHeight() - 1, image->getHeight()})
            for (int x : {-1, 0, image->getWidth() - 1, image->getWidth()})
                image->getPixelColor(x, y);
    }
    engine.endInput();
    return 0;
}
