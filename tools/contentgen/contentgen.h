#pragma once
// The content generator's parts: each writes one family of the program's files into the output.

#include "contentgen_common.h"

#include <string>

namespace cg {

void makeTerrainTextures(Output& out);  // textures/terrain/terrain0..4.jpg, modulation.png
void makeStreets(Output& out);          // textures/terrain/streets.png (layout: STREETS.md)
void makeWater(Output& out);            // textures/water/water.jpg
void makeImportMaps(Output& out);       // textures/heightmaps/heightmap.png, groundmap.png
void makeSky(Output& out);              // textures/skybox/*.png and their texture scripts
void makeParticles(Output& out);        // textures/particles/*.png and their texture scripts
void makePosters(Output& out);          // textures/ads/ad_01..ad_22.jpg
void makeFont(Output& out);             // fonts/default.font, default.png, default.texture
void makeSounds(Output& out);           // sounds/*.wav
void makeModelTextures(Output& out);    // textures/models/details.png
void makeIcon(Output& out);             // kipster.png, the desktop icon
// models/**/*.model and models/models.ini, saved by the engine's model and ini classes with the
// material instance scripts of contentFolder (the hand-written content); false on any error.
bool makeModels(Output& out, const std::string& contentFolder);
// world/area_X_Z.world: the default world, written by the game's environment and entities; false
// on any error.
bool makeWorld(Output& out);
// Draws the default world's map seen from above (docs/world_map.png); false on any error.
bool makeWorldMap(const std::string& target);

// Which of the 16 street shape codes connect to the neighbour at x-1, x+1, z-1, z+1.
struct StreetLinks {
    bool xMinus, xPlus, zMinus, zPlus;
};
StreetLinks streetLinks(int code);
// The code of a street cell from its neighbours, as the environment computes it.
int streetCode(bool xMinus, bool xPlus, bool zMinus, bool zPlus);

// Draws the contact sheet of a generated program folder; false when a picture is missing.
bool makeContactSheet(const std::string& programFolder, const std::string& target);

} // namespace cg
