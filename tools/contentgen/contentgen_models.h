#pragma once
// The generated models: what each model file holds (its levels, each a mesh) and the pictures the
// models show. The builders are pure functions of their code; contentgen_models.cpp saves them with
// the engine's model classes.

#include "contentgen_mesh.h"

#include <string>
#include <vector>

namespace cg {

// Pictures on the models, all in textures\models\details.png (1024 x 1024), as pixel rectangles
// from the picture's top-left corner (the painter's view) and as texture coordinates (the models').
namespace atlas {
inline constexpr float kSize = 1024.0f;
inline constexpr const char* kFile = "textures\\models\\details.png";
struct Pixels {
    float x, y, w, h;
};
// Paper covers in the top row.
inline constexpr Pixels kJournal{8, 8, 240, 336}, kThesis{264, 8, 240, 336}, kProceedings{520, 8, 240, 336},
    kManuscript{776, 8, 240, 336};
// The unrolled diploma around its scroll; the laptop's screen full of code; the sticker on its lid.
inline constexpr Pixels kDiploma{8, 360, 496, 248}, kLaptopScreen{520, 360, 320, 200}, kSticker{856, 360, 160, 160};
// Turbo-Kip's chest emblem and the university's crest.
inline constexpr Pixels kBolt{856, 528, 160, 80}, kCrest{8, 896, 120, 120};
// Signs over the doors.
inline constexpr Pixels kLectureHallSign{8, 624, 1008, 120}, kLibrarySign{8, 760, 1008, 120};

inline UVRect uv(const Pixels& p) { return UVRect::pixels(p.x, p.y, p.w, p.h, kSize, kSize); }
inline UVRect journal() { return uv(kJournal); }
inline UVRect thesis() { return uv(kThesis); }
inline UVRect proceedings() { return uv(kProceedings); }
inline UVRect manuscript() { return uv(kManuscript); }
inline UVRect diploma() { return uv(kDiploma); }
inline UVRect laptopScreen() { return uv(kLaptopScreen); }
inline UVRect sticker() { return uv(kSticker); }
inline UVRect bolt() { return uv(kBolt); }
inline UVRect crest() { return uv(kCrest); }
inline UVRect lectureHallSign() { return uv(kLectureHallSign); }
inline UVRect librarySign() { return uv(kLibrarySign); }
} // namespace atlas

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
