#pragma once
// The terrain as fixed-function OpenGL draws it when the driver runs no GLSL: the ground layer
// of each cell projected from above, the meadow and earth layers blended over grass cells by
// weight maps made once from the modulation map, rock over their steep slopes (by the normals the
// driver turns into texture coordinates), the street tiles laid over their cells, all lit
// by OpenGL's light 0 (the sun). Owned by the environment, which draws with it while its terrain
// shader has no program.

#include "core/qr_core_object.h"

class APPENVRBlock;
class APPENVRBlockMesh;
class APPENVRMain;
class QRRESCImage2;
class QRVISXTexture2;

class APPENVRFixedTerrain : public QRObject {
public:
    // Layer textures repeat once per ground cell, the modulation map once per area (world units).
    static constexpr float kLayerRepeat = 16.0f;
    static constexpr float kModulationRepeat = 640.0f;

    explicit APPENVRFixedTerrain(APPENVRMain* owner);
    ~APPENVRFixedTerrain() override;

    // Makes the weight maps from the modulation picture; the environment calls it with its other
    // drawing resources when it draws without the terrain shader.
    void prepare();
    // Draws one block's ground from its static geometry (mesh holds its grass cells, then its
    // concrete cells) and the streets of its cells.
    void renderBlock(const APPENVRBlock& block, APPENVRBlockMesh& mesh);

    // The weight picture of one blended layer, from the modulation picture: white, with the
    // layer's weight as alpha (meadow from the red channel, earth from the green one, on the
    // thresholds the terrain shader blends with).
    enum class Layer { Meadow, Earth };
    static void makeWeightImage(const QRRESCImage2& modulation, Layer layer, QRRESCImage2& weights);
    // The weight of a layer for one modulation value (0..1).
    static float layerWeight(Layer layer, float modulation);
    // The rock's weight where the ground's normal has upward component normalY.
    static float rockWeight(float normalY);

    // Null until prepared (and when the modulation picture is missing).
    QRVISXTexture2* getWeightTexture(Layer layer) const;

private:
    void drawBaseLayers(APPENVRBlockMesh& mesh);
    void drawBlendedLayers(APPENVRBlockMesh& mesh);
    void drawRock(APPENVRBlockMesh& mesh);
    void drawStreets(const APPENVRBlock& block);
    // Object-linear coordinates from world x and z, repeating every `repeat` units, on unit.
    static void projectFromAbove(int unit, float repeat);
    static void stopProjecting(int unit);

    APPENVRMain* environment_;
    QROwned<QRVISXTexture2> meadowWeights_;
    QROwned<QRVISXTexture2> earthWeights_;
    // Rock weights along s by the normal's upward component; null without normal-map coordinates
    // (OpenGL 1.3 or GL_ARB_texture_cube_map).
    QROwned<QRVISXTexture2> slopeWeights_;
};
