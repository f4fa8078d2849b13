#pragma once
// The environment: the resident terrain of the whole 2560 x 2560 world. It holds the height field
// (641 x 641 vertices every 4 units, each with its normal) and the 160 x 160 ground cells (ground
// type and street shape), answers height and block queries, loads and saves the 16 areas that
// store the terrain, and holds the terrain shader and textures its blocks draw with. Owned by the
// world container; areas and blocks only index into its grids.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class APPENVRArea;
class APPENVRBlock;
class APPENVRFixedTerrain;
class APPENVRLayerReach;
class APPENVRStreetCover;
class APPWRLDEntities;
class APPWRLDShadow;
class QRVISXShaderConfiguration;
class QRVISXTexture2;

// One height-field sample; the same 16 bytes in memory and in an area file.
struct APPENVRVertex {
    float height = 0.0f;
    Vector3 normal;
};
static_assert(sizeof(APPENVRVertex) == 16);

// An axis-aligned box as (minimum, maximum).
struct APPENVRBox {
    Vector3 minimum;
    Vector3 maximum;
};

// How many of the three numbers are NaN or infinite (area files are checked for them).
inline int countNonFinite(const Vector3& value)
{
    return !std::isfinite(value.x) + !std::isfinite(value.y) + !std::isfinite(value.z);
}

// A position in the vertex or ground-cell grid.
struct APPENVRGridIndex {
    int x = 0;
    int z = 0;
};

// A rectangle of grid indices; the ends are exclusive.
struct APPENVRGridRange {
    int x0 = 0;
    int z0 = 0;
    int x1 = 0;
    int z1 = 0;
};

struct APPENVRAreaIndex {
    int ax = 0;
    int az = 0;
};

struct APPENVRBlockIndex {
    int ax = 0;
    int az = 0;
    int bx = 0;
    int bz = 0;
};

// How terrain blocks send their geometry: cell by cell in immediate mode, or from static buffer
// objects built once per block and rebuilt after edits (the same vertices and picture).
enum class APPENVRDrawing {
    Cells,
    StaticBuffers,
};

class APPENVRMain : public QRObject {
public:
    // Vertices per side; the last row and column (640) are never stored or edited.
    static constexpr int kVertexCount = 641;
    static constexpr int kStoredVertexCount = 640;
    static constexpr int kCellCount = 160;
    static constexpr int kAreaCount = 4;
    static constexpr int kBlocksPerArea = 4;
    static constexpr int kVerticesPerArea = 160;
    static constexpr int kCellsPerArea = 40;
    static constexpr int kVerticesPerBlock = 40;
    static constexpr int kCellsPerBlock = 10;
    static constexpr int kVerticesPerCell = 4;
    static constexpr float kVertexSpacing = 4.0f;
    static constexpr float kAreaSize = 640.0f;
    static constexpr float kBlockSize = 160.0f;
    // The map the ground layers blend by; its alpha varies the ground's brightness.
    static constexpr const char* kModulationFile = "textures\\terrain\\modulation.png";
    // The street tiles, 4 x 4 in one picture.
    static constexpr const char* kStreetsFile = "textures\\terrain\\streets.png";

    // Ground cell word: bits 0..7 the ground type, 8..15 the street shape code; a freshly marked
    // street has bits 8..31 all set until the next street pass gives it its shape.
    static constexpr std::uint32_t kGroundTypeMask = 0xFFu;
    static constexpr std::uint32_t kNewStreetBits = 0xFFFFFF00u;

    explicit APPENVRMain(QRObject* owner);
    ~APPENVRMain() override;

    // Sets up the areas' index ranges, flattens the terrain and computes every box. Areas are
    // loaded separately (loadAreas) once the world is built.
    void initialize() override;
    // Height 0 and normal (0, 1, 0) for every stored vertex.
    void resetTerrain();
    void updateBounds();
    void updateNormals();
    // Inclusive ranges, limited to the stored vertices.
    void updateNormalsInRange(int x0, int z0, int x1, int z1);
    void updateStreets();
    // Inclusive ranges, limited to the grid; only cells with a street change.
    void updateStreetsInRange(int x0, int z0, int x1, int z1);

    // Not clamped: positions outside the world give indices outside 0..3.
    APPENVRAreaIndex getAreaIndex(const Vector3& position) const;
    APPENVRBlockIndex getBlockIndex(const Vector3& position) const;
    // Indices are clamped, so these always answer.
    APPENVRArea* getArea(int ax, int az) const;
    APPENVRBlock* getBlock(int ax, int az, int bx, int bz) const;
    // The block containing position; outside the world the area is clamped to the edge area while
    // the block index comes from the unclamped area (x = -10 gives area 0, block 3).
    APPENVRBlock* getBlockAt(const Vector3& position) const;

    // Indices clamped to 0..640.
    const APPENVRVertex& getVertex(int x, int z) const;
    // Both only touch stored vertices (0..639); other indices are ignored.
    void setHeight(int x, int z, float height);
    void setVertex(int x, int z, const APPENVRVertex& vertex);
    // (4x, height, 4z) with the height read at the indices clamped to 0..639.
    Vector3 getVertexPosition(int x, int z) const;
    // Bilinear over the quad under position; beyond the edges it extrapolates the edge quad.
    float getHeight(const Vector3& position) const;

    // Cell queries and edits take valid cell indices (0..159).
    bool isDefaultGround(int x, int z) const;
    bool hasStreet(int x, int z) const;
    std::uint32_t getGroundCell(int x, int z) const;
    void setGroundCell(int x, int z, std::uint32_t word);
    // Changes the ground type and keeps the street.
    void setGroundType(int x, int z, std::uint8_t groundType);
    // Marks the cell as a new street (ground type kept); the next street pass shapes it.
    void setStreet(int x, int z);
    // Removes the street and keeps the ground type.
    void deleteStreet(int x, int z);

    void saveAreas();
    void loadAreas();
    // Told after an area's own file was written completely (copies written elsewhere do not
    // count); the editor learns here which edits are saved.
    using AreaSavedObserver = std::function<void(const APPENVRArea& area)>;
    void setAreaSavedObserver(AreaSavedObserver observer) { areaSaved_ = std::move(observer); }
    void notifyAreaSaved(const APPENVRArea& area) const;
    // How many times an area was loaded: whatever remembers terrain or entities from before a
    // load (the editor's undo history) sees that they were replaced.
    std::uint32_t getAreaLoadCount() const { return areaLoads_; }
    void countAreaLoad() { ++areaLoads_; }
    // The per-frame step; the terrain does not change by itself.
    void update() {}
    // The world's entity list, through which loading blocks create their entities; null for an
    // environment outside a world.
    APPWRLDEntities* getEntityList() const;

    // Game-view and editor-view terrain drawing (the editor form outlines every drawn block).
    void render();
    void renderEditor();
    // What block drawing binds: the terrain shader, terrain textures 0..4 (null outside), the
    // modulation and the street atlas; all null until initialize ran with a visual module.
    QRVISXShaderConfiguration* getShaderConfiguration() const { return shader_; }
    // Whether blocks draw with the terrain shader; without its program (a driver without GLSL)
    // they draw through the fixed-function terrain.
    bool isDrawnWithShader() const;
    // The cheapest loaded program that shades ground cells of this type with these needs
    // (APPENVRLayerReach::kStreet, kEarth, kRock, or kStreetTileOnly) as the terrain shader does,
    // near the eye or far from it: the terrain shader where a variant is missing (also during the
    // first frame, as the variants load with the second), near shading where the driver cannot run
    // the far one.
    QRVISXShaderConfiguration* getShading(bool concrete, bool far, unsigned needs) const;
    // What the shading of ground cell (cx, cz) must read: its street tile, and for grass the
    // earth and rock layers where they can have weight.
    unsigned getCellNeeds(int cx, int cz) const;
    // The quads of ground cell (cx, cz) its street tile covers completely, as
    // APPENVRStreetCover::getCoveredQuads gives them; none where the driver cannot run the program
    // that draws them (it reads a texture per vertex).
    std::uint16_t getStreetTileQuads(int cx, int cz) const;
    // Blocks far from the eye draw with fewer vertices and the far shading (APPENVRBlockDetail);
    // without, every block draws in full (comparisons, benchmarks).
    bool isLevelOfDetail() const { return levelOfDetail_; }
    void setLevelOfDetail(bool enabled) { levelOfDetail_ = enabled; }
    APPENVRFixedTerrain* getFixedTerrain() const { return fixedTerrain_.get(); }
    QRVISXTexture2* getTerrainTexture(int index) const;
    QRVISXTexture2* getModulationTexture() const { return modulation_; }
    QRVISXTexture2* getStreetsTexture() const { return streets_; }
    // The world's shadow map, projected onto the ground from texture unit 5; null without one.
    void setShadow(const APPWRLDShadow* shadow) { shadow_ = shadow; }
    QRVISXTexture2* getShadowMapTexture() const;
    APPENVRDrawing getDrawing() const { return drawing_; }
    void setDrawing(APPENVRDrawing drawing) { drawing_ = drawing; }

private:
    // The blocks that draw any of these vertices or cells (inclusive ranges) build their buffers
    // again before they next draw. A block also draws the first row and column of the next one.
    void markVerticesChanged(int x0, int z0, int x1, int z1);
    void markCellsChanged(int x0, int z0, int x1, int z1);
    void loadDrawingResources();
    void releaseDrawingResources();
    void loadShadingVariants();
    void renderAreas(bool editor);

    std::array<std::array<QROwned<APPENVRArea>, kAreaCount>, kAreaCount> areas_;
    std::array<std::array<std::uint32_t, kCellCount>, kCellCount> cells_{};
    std::array<std::array<APPENVRVertex, kVertexCount>, kVertexCount> vertices_{};
    // The far shading samples the four ground layers and the modulation map in its vertex shader.
    static constexpr int kFarShadingVertexUnits = 5;
    // The nearest blocks drawn before the queue goes to the driver for the first time (renderAreas).
    static constexpr int kBlocksBeforeHandOver = 3;
    QRVISXShaderConfiguration* shader_ = nullptr;
    // The variants: near grass by needs, near concrete and far ground by whether a street shows.
    std::array<QRVISXShaderConfiguration*, 8> grassShadings_{};
    std::array<QRVISXShaderConfiguration*, 2> concreteShadings_{};
    std::array<QRVISXShaderConfiguration*, 2> farShadings_{};
    QRVISXShaderConfiguration* streetTileShading_ = nullptr;
    QROwned<APPENVRLayerReach> layerReach_;
    QROwned<APPENVRStreetCover> streetCover_;
    bool farShadingSupported_ = false;
    bool shadingVariantsLoaded_ = false;
    int framesDrawn_ = 0;
    bool levelOfDetail_ = true;
    std::array<QRVISXTexture2*, 5> terrainTextures_{};
    QRVISXTexture2* modulation_ = nullptr;
    QRVISXTexture2* streets_ = nullptr;
    const APPWRLDShadow* shadow_ = nullptr;
    QROwned<APPENVRFixedTerrain> fixedTerrain_;
    APPENVRDrawing drawing_ = APPENVRDrawing::StaticBuffers;
    std::uint32_t areaLoads_ = 0;
    AreaSavedObserver areaSaved_;
};
