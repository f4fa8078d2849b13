#pragma once
// The water plane: a flat grid of 40 x 40 unit squares compiled once into a display list and drawn
// over every visible terrain block whose lowest point lies below the water line, where the water
// shader moves it to the block (its "worldoffset" uniform), scales it to the block's size, makes
// it wave with time and blends the water picture over what lies beneath. Drawn after the entities.
// Owned by the world; reads the world's environment, holds references to its texture and shader.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

class APPENVRMain;
class QRVISXDisplayList;
class QRVISXShaderConfiguration;
class QRVISXTexture2;

class APPWRLDWater : public QRObject {
public:
    // Blocks whose terrain lies entirely at this height or above get no water; the waves never
    // rise above it either.
    static constexpr float kWaterLine = 3.0f;
    static constexpr int kGridSteps = 40;

    explicit APPWRLDWater(QRObject* owner);
    ~APPWRLDWater() override;

    // Loads "shaders\water.shader" and "textures\water\water.jpg" and compiles the grid. Owned by
    // the world, the water takes the world's environment unless one was set.
    void initialize() override;
    // The terrain whose low blocks get water.
    void setEnvironment(const APPENVRMain* environment) { environment_ = environment; }
    // Nothing without an environment, or with GLSL but without a working water program; without
    // GLSL the grid is placed, lit and textured by fixed-function OpenGL (flat, one drifting layer).
    void render();

    // Blocks covered by the last render.
    int getDrawnBlockCount() const { return drawnBlocks_; }
    QRVISXShaderConfiguration* getShaderConfiguration() const { return configuration_; }
    QRVISXTexture2* getTexture() const { return texture_; }

private:
    void releaseAssets();
    void compileGrid();
    // Without GLSL: moves the grid onto the block at offset and projects the picture onto it.
    void placeFixedFunction(const Vector3& offset);

    const APPENVRMain* environment_ = nullptr;
    QRVISXShaderConfiguration* configuration_ = nullptr;
    QRVISXTexture2* texture_ = nullptr;
    QROwned<QRVISXDisplayList> grid_;
    int drawnBlocks_ = 0;
};
