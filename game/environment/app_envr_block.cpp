#include "environment/app_envr_block.h"

#include "environment/app_envr_area.h"
#include "file/qr_file_file.h"
#include "math/qr_math_vector.h"
#include "resource/qr_resc_image.h"
#include "resource/qr_resc_list.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace {
constexpr float kNoHeightBelow = 999999.0f;
constexpr Vector3 kCullingMarginBelow{10.0f, 0.0f, 10.0f};
constexpr Vector3 kCullingMarginAbove{10.0f, 50.0f, 10.0f};

const char* const kHeightmapFile = "textures\\heightmaps\\heightmap.png";
const char* const kGroundmapFile = "textures\\heightmaps\\groundmap.png";

// Ground map colours (red channel): concrete, grass with street, concrete with street; every
// other value is grass without street.
std::uint32_t groundCellForRed(long red)
{
    switch (red) {
    case 128:
        return 1;
    case 192:
        return 256;
    case 255:
        return 257;
    default:
        return 0;
    }
}
} // namespace

APPENVRBlock::APPENVRBlock(APPENVRArea* owner, int bx, int bz)
    : QRObject(owner, "Terrain Block"), area_(owner), bx_(bx), bz_(bz), entities_(qrNew<QRRESCList>(this, false))
{
}

APPENVRBlock::~APPENVRBlock() = default;

APPENVRMain& APPENVRBlock::environment() const
{
    return *area_->getEnvironment();
}

void APPENVRBlock::initialize()
{
    QRObject::initialize();
    const APPENVRAreaIndex area = area_->getIndex();
    groundStart_ = {APPENVRMain::kCellsPerArea * area.ax + APPENVRMain::kCellsPerBlock * bx_,
                    APPENVRMain::kCellsPerArea * area.az + APPENVRMain::kCellsPerBlock * bz_};
    vertexStart_ = {APPENVRMain::kVerticesPerArea * area.ax + APPENVRMain::kVerticesPerBlock * bx_,
                    APPENVRMain::kVerticesPerArea * area.az + APPENVRMain::kVerticesPerBlock * bz_};
}

QRObject* APPENVRBlock::getEntity(int index) const
{
    return entities_->get(index);
}

int APPENVRBlock::getEntityCount() const
{
    return entities_->getCount();
}

void APPENVRBlock::addEntity(QRObject* entity)
{
    entities_->add(entity);
}

void APPENVRBlock::removeEntity(QRObject* entity)
{
    entities_->remove(entity);
}

APPENVRGridIndex APPENVRBlock::getGroundRangeEnd() const
{
    return {groundStart_.x + APPENVRMain::kCellsPerBlock, groundStart_.z + APPENVRMain::kCellsPerBlock};
}

APPENVRGridIndex APPENVRBlock::getVertexRangeEnd() const
{
    return {vertexStart_.x + APPENVRMain::kVerticesPerBlock, vertexStart_.z + APPENVRMain::kVerticesPerBlock};
}

void APPENVRBlock::updateBounds()
{
    const APPENVRGridIndex end = getVertexRangeEnd();
    bounds_.minimum = {APPENVRMain::kVertexSpacing * static_cast<float>(vertexStart_.x), kNoHeightBelow,
                       APPENVRMain::kVertexSpacing * static_cast<float>(vertexStart_.z)};
    bounds_.maximum = {APPENVRMain::kVertexSpacing * static_cast<float>(end.x), -kNoHeightBelow,
                       APPENVRMain::kVertexSpacing * static_cast<float>(end.z)};
    const APPENVRMain& terrain = environment();
    for (int x = vertexStart_.x; x < end.x; ++x) {
        for (int z = vertexStart_.z; z < end.z; ++z) {
            const float height = terrain.getVertex(x, z).height;
            bounds_.minimum.y = std::min(bounds_.minimum.y, height);
            bounds_.maximum.y = std::max(bounds_.maximum.y, height);
        }
    }
    refreshCullingBounds();
}

void APPENVRBlock::refreshCullingBounds()
{
    cullingBounds_ = {bounds_.minimum - kCullingMarginBelow, bounds_.maximum + kCullingMarginAbove};
}

bool APPENVRBlock::save(QRFILEFile& file) const
{
    // Entity entries are written by the entities themselves; this program has no entity types,
    // so a block stores none.
    return file.write(bounds_.minimum) && file.write(bounds_.maximum) && file.write(std::int32_t{0});
}

APPENVRBlockLoad APPENVRBlock::load(QRFILEFile& file)
{
    Vector3 minimum = bounds_.minimum;
    Vector3 maximum = bounds_.maximum;
    if (!file.read(minimum))
        return APPENVRBlockLoad::ReadFailed;
    bounds_.minimum = minimum;
    if (!file.read(maximum))
        return APPENVRBlockLoad::ReadFailed;
    bounds_.maximum = maximum;
    // The culling box is not stored, and the one computed before loading measured other terrain:
    // a loaded hill higher than that box's margin would be culled while still in view.
    refreshCullingBounds();
    entities_->clear();
    std::int32_t count = 0;
    if (!file.read(count))
        return APPENVRBlockLoad::ReadFailed;
    // A negative count lists nothing. Entries cannot be skipped: how long a record is depends on
    // its entity type, which only the entity itself knows.
    if (count > 0) {
        reportError("load", "The block holds " + std::to_string(count) +
                                " entities, which this program cannot read; the rest of the area file is "
                                "skipped and the area will not be saved over it");
        return APPENVRBlockLoad::EntitiesUnread;
    }
    return APPENVRBlockLoad::Loaded;
}

void APPENVRBlock::importHeightmap()
{
    APPENVRMain& terrain = environment();
    {
        auto image = qrNew<QRRESCImage2>(this);
        image->loadFromFile(kHeightmapFile);
        // The picture covers the whole world, one pixel per vertex; only this block's part is used.
        const APPENVRGridIndex end = getVertexRangeEnd();
        for (int x = vertexStart_.x; x < end.x; ++x)
            for (int z = vertexStart_.z; z < end.z; ++z)
                terrain.setHeight(x, z, image->getPixelColor(x, z).x * 255.0f * 0.5f);
    }
    terrain.updateNormals();
    terrain.updateBounds();
}

void APPENVRBlock::importGroundmap()
{
    APPENVRMain& terrain = environment();
    {
        auto image = qrNew<QRRESCImage2>(this);
        image->loadFromFile(kGroundmapFile);
        const APPENVRGridIndex end = getGroundRangeEnd();
        for (int x = groundStart_.x; x < end.x; ++x)
            for (int z = groundStart_.z; z < end.z; ++z)
                terrain.setGroundCell(x, z, groundCellForRed(std::lround(image->getPixelColor(x, z).x * 255.0f)));
    }
    terrain.updateNormals();
    terrain.updateBounds();
    terrain.updateStreets();
}
