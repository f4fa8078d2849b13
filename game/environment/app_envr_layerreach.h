#pragma once
// Where the earth and rock layers of the terrain shading can have any weight, read on the CPU
// from the same modulation map the terrain shader reads. Ground cells where a layer has no weight
// anywhere are drawn by a program that skips that layer's texture reads: on a software renderer
// every read costs, taken or not, and the earth and rock layers cover little of the world.
// Reloaded with the map's file, after which every block sorts its cells again. Owned by the
// environment.

#include "core/qr_core_managedobject.h"

#include <cstdint>
#include <functional>
#include <vector>

class APPENVRLayerReach : public QRManagedObject {
public:
    // What a ground cell's shading must read besides the grass, the meadow, the modulation map
    // and the shadow map; APPENVRBlockMesh groups the cells of a block by it.
    static constexpr unsigned kStreet = 1;
    static constexpr unsigned kEarth = 2;
    static constexpr unsigned kRock = 4;
    static constexpr unsigned kEverything = kStreet | kEarth | kRock;
    // Not a cell's but some of its quads': its street tile covers them completely
    // (APPENVRStreetCover), and the tile is all their shading reads.
    static constexpr unsigned kStreetTileOnly = 8;

    explicit APPENVRLayerReach(QRObject* owner);

    void loadFromFile(const std::string& path) override;
    void updateFromFile() override;
    // Told after a reload changed what the cells need.
    void setChangeObserver(std::function<void()> observer) { changed_ = std::move(observer); }
    bool isLoaded() const { return !greenest_.empty(); }

    // kEarth and kRock as ground cell (cx, cz) needs them, whose vertices are at most steepest
    // steep (1 - the unit normal's y, as the shader has it); both when the map is not loaded.
    unsigned layersOfCell(int cx, int cz, float steepest) const;

    // How much the map's blue (less 0.5) adds to the steepness the shader's rock weight reads
    // (terrain_ground.fragment).
    static constexpr float kRockBlueShare = 0.15f;

private:
    void readMap(const std::string& path);

    // The map repeats every area (40 ground cells); per cell of that repeat, the largest green
    // and blue (0..255) the shader can sample over the cell.
    std::vector<std::uint8_t> greenest_;
    std::vector<std::uint8_t> bluest_;
    std::function<void()> changed_;
};
