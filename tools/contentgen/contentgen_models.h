#pragma once
// The generated models: what each model file holds (its levels, each a mesh) and the pictures the
// models show. The builders are pure functions of their code; contentgen_models.cpp saves them with
// the engine's model classes.

#include "contentgen_mesh.h"

#include <string>
#include <vector>

namespace cg {

// Pictures on the models, all in textures\models\details.png (1024 x 1024).
namespace atlas {
inline constexpr float kSize = 1024.0f;
inline constexpr const char* kFile = "textures\\models\\details.png";
inline UVRect region(float x, float y, float w, float h) { return UVRect::pixels(x, y, w, h, kSize, kSize); }
// Paper covers, 240 x 336 each, in the top row.
inline UVRect journal() { return region(8, 8, 240, 336); }
inline UVRect thesis() { return region(264, 8, 240, 336); }
inline UVRect proceedings() { return region(520, 8, 240, 336); }
inline UVRect manuscript() { return region(776, 8, 240, 336); }
// The unrolled diploma around its scroll.
inline UVRect diploma() { return region(8, 360, 496, 248); }
// The laptop screen full of code, and the sticker on the lid's back.
inline UVRect laptopScreen() { return region(520, 360, 320, 200); }
inline UVRect sticker() { return region(856, 360, 160, 160); }
// Signs over the doors.
inline UVRect lectureHallSign() { return region(8, 624, 1008, 120); }
inline UVRect librarySign() { return region(8, 760, 1008, 120); }
// The chest emblem of Turbo-Kip and the university crest.
inline UVRect bolt() { return region(856, 528, 160, 80); }
inline UVRect crest() { return region(8, 896, 120, 120); }
} // namespace atlas

void makeModelTextures(Output& out); // textures/models/details.png

struct ModelLevel {
    std::string name;
    Mesh mesh;
};

struct ModelSpec {
    std::string path;  // "models\\characters\\Kipster.model"
    std::vector<ModelLevel> levels;
    // For the advertisement boards: the poster shown in the poster slot.
    std::string poster;
    // Listed in models\models.ini for the editor and the world.
    bool scenery = false;
};

std::vector<ModelSpec> characterModels(); // Kipster, Turbo-Kip, the coder monkey
std::vector<ModelSpec> propModels();      // banana, red streak, the five papers, the 22 boards
std::vector<ModelSpec> sceneryModels();   // trees, bushes, rocks, buildings, street furniture

// Shared by the monkey (holding one) and the banana model: a banana about 1.2 long along X,
// centred on the origin.
void addBanana(Mesh& mesh);

} // namespace cg
