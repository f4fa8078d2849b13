// Area files: the terrain section, the sixteen block records with their entity records, and the
// area's box, loaded as the world loads them, then the loaded entities measured against the terrain
// and drawn. An area file holds some 400 KB of terrain before its records, too much to mutate
// usefully, so the input is compact: the first 4 bytes are the ground cell word and the next 16
// the vertex (height, normal) that fill the whole terrain section, and the rest is written after
// it unchanged. An input shorter than those 20 bytes is written as it is (a file cut off early).

#include "fuzz_engine.h"

#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_main.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
constexpr std::size_t kPatternSize = 20;
constexpr int kCells = APPENVRMain::kCellsPerArea * APPENVRMain::kCellsPerArea;
constexpr int kVertices = APPENVRMain::kVerticesPerArea * APPENVRMain::kVerticesPerArea;

std::string areaFile(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    if (size < kPatternSize)
        return std::string(bytes, size);
    std::string file;
    file.reserve(kCells * 4 + kVertices * 16 + size - kPatternSize);
    for (int i = 0; i < kCells; ++i)
        file.append(bytes, 4);
    for (int i = 0; i < kVertices; ++i)
        file.append(bytes + 4, 16);
    file.append(bytes + kPatternSize, size - kPatternSize);
    return file;
}

APPWRLDMain& world()
{
    static APPWRLDMain* world = [] {
        APPWRLDMain* made = qrNew<APPWRLDMain>(nullptr).release();
        made->getEnvironment()->initialize();
        made->getEntities()->initialize();
        return made;
    }();
    return *world;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzEngine& engine = FuzzEngine::get(FuzzEngine::Parts::Visual);
    engine.writeFile("world/area_0_0.world", areaFile(data, size));
    APPENVRMain& environment = *world().getEnvironment();
    APPWRLDEntities& entities = *world().getEntities();
    // The land starts flat, so that what an input does depends on that input alone.
    environment.resetTerrain();
    for (int x = 0; x < APPENVRMain::kCellsPerArea; ++x)
        for (int z = 0; z < APPENVRMain::kCellsPerArea; ++z)
            environment.setGroundCell(x, z, 0);
    APPENVRArea* area = environment.getArea(0, 0);
    area->load();
    area->updateBounds();
    for (int index = 0; index < entities.getEntityCount(); ++index) {
        const Vector3& position = entities.getEntity(index)->getPosition();
        environment.getHeight(position);
        entities.modelGroundHeight(position);
    }
    entities.countPapers();
    entities.render();
    entities.renderEditor();
    // The next input starts from an empty world again.
    while (entities.getEntityCount() > 0)
        entities.removeEntity(entities.getEntity(entities.getEntityCount() - 1));
    entities.setHero(nullptr);
    engine.endInput();
    return 0;
}
