// Saves the generated models with the engine's own classes, so the files are exactly what the game
// loads: each level's faces become one group per material slot (a group buffer filled here, merged
// into the level's buffer by the model when it saves), each used slot one material instance whose
// material and texture come from the hand-written scripts in content/materials. The list of
// scenery models, models\models.ini, is written by the engine's ini file.

#include "contentgen.h"
#include "contentgen_engine.h"
#include "contentgen_models.h"

#include "resource/qr_resc_inifile.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/materials/qr_visx_materialinstance.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace cg {

namespace {

// The instance scripts in content/materials for the slots; the posters' instance is the details
// instance with the board's poster in place of the details picture.
constexpr std::array<const char*, kSlotCount> kSlotNames = {"painted", "details", "glow", "poster"};
constexpr std::array<const char*, 3> kInstanceScripts = {"materials/painted.instance", "materials/details.instance",
                                                         "materials/glow.instance"};

struct Instance {
    std::string name;
    std::string material;
    std::vector<std::string> script;
};

// A hand-written instance script: "material <file>" names the instance's material (the engine's
// instance compiler passes over that statement); the texture statements are the instance's script.
bool readInstance(const std::string& contentFolder, const std::string& file, Instance& instance)
{
    std::ifstream in(contentFolder + "/" + file);
    if (!in) {
        std::fprintf(stderr, "contentgen: cannot read %s/%s\n", contentFolder.c_str(), file.c_str());
        return false;
    }
    instance.name = std::filesystem::path(file).stem().string();
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string keyword, value;
        words >> keyword >> value;
        if (keyword.empty() || keyword[0] == '#')
            continue;
        if (keyword == "material")
            instance.material = value;
        else
            instance.script.push_back(line);
    }
    if (instance.material.empty()) {
        std::fprintf(stderr, "contentgen: %s names no material\n", file.c_str());
        return false;
    }
    return true;
}

std::string onDisk(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

void fillGroupBuffer(QRVISXVertexBuffer& buffer, const Mesh::Part& part, bool textured)
{
    buffer.setPrimitive(true, GL_TRIANGLES);
    buffer.setComponentCounts(3, 4, 0);
    buffer.setTexCoordComponents(0, textured ? 2 : 0);
    buffer.create(static_cast<int>(part.vertices.size()), static_cast<int>(part.indices.size()));
    for (std::size_t i = 0; i < part.vertices.size(); ++i) {
        const Mesh::Vertex& v = part.vertices[i];
        const int index = static_cast<int>(i);
        buffer.setVertexPosition(index, {v.position.x, v.position.y, v.position.z});
        buffer.setNormal(index, {v.normal.x, v.normal.y, v.normal.z});
        buffer.setColor(index, {clamp01(v.colour.r), clamp01(v.colour.g), clamp01(v.colour.b), v.alpha});
        if (textured)
            buffer.setTexCoord(0, index, {v.u, v.v});
    }
    for (std::size_t i = 0; i < part.indices.size(); ++i)
        buffer.setIndex(static_cast<int>(i), part.indices[i]);
}

bool saveModel(Output& out, const ModelSpec& spec, const std::array<Instance, kSlotCount>& slotInstances)
{
    std::vector<int> used;
    for (int slot = 0; slot < kSlotCount; ++slot)
        for (const ModelLevel& level : spec.levels)
            if (level.mesh.usesSlot(static_cast<Slot>(slot))) {
                used.push_back(slot);
                break;
            }
    const bool textured = std::find(used.begin(), used.end(), kDetails) != used.end() ||
                          std::find(used.begin(), used.end(), kPoster) != used.end();

    auto model = qrNew<QRVISXModel>(nullptr);
    // The model's name is its path, so that an area naming it finds it whether or not the list
    // loaded it first.
    model->setName(spec.path);
    model->setMaterialInstanceCount(static_cast<int>(used.size()));
    for (std::size_t k = 0; k < used.size(); ++k) {
        Instance instance = slotInstances[static_cast<std::size_t>(used[k])];
        if (used[k] == kPoster) {
            instance.name = "poster " + std::filesystem::path(onDisk(spec.poster)).stem().string();
            instance.script = {"set texture2d modelTexture " + spec.poster};
        }
        QRVISXMaterialInstance& target = *model->getMaterialInstance(static_cast<int>(k));
        target.setName(instance.name);
        target.setMaterial(instance.material);
        for (const std::string& line : instance.script)
            target.getScript().add(line);
        if (!target.getMaterial()) {
            std::fprintf(stderr, "contentgen: %s: the material %s could not be loaded\n", spec.path.c_str(),
                         instance.material.c_str());
            return false;
        }
    }
    model->setLodCount(static_cast<int>(spec.levels.size()));
    for (std::size_t l = 0; l < spec.levels.size(); ++l) {
        const ModelLevel& level = spec.levels[l];
        QRVISXModelLod& lod = *model->getLod(static_cast<int>(l));
        lod.setName(level.name);
        std::vector<std::size_t> groups;
        for (std::size_t k = 0; k < used.size(); ++k)
            if (level.mesh.usesSlot(static_cast<Slot>(used[k])))
                groups.push_back(k);
        lod.setGroupCount(static_cast<int>(groups.size()));
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const auto slot = static_cast<std::size_t>(used[groups[g]]);
            QRVISXModelGroup& group = *lod.getGroup(static_cast<int>(g));
            group.setName(kSlotNames[slot]);
            group.setMaterialInstance(model->getMaterialInstance(static_cast<int>(groups[g])));
            fillGroupBuffer(*group.createBuffer(), level.mesh.parts()[slot], textured);
        }
    }
    const std::string relative = onDisk(spec.path);
    model->saveToFile(out.claim(relative));
    if (!std::filesystem::is_regular_file(out.path(relative))) {
        out.fail(relative);
        return false;
    }
    return true;
}

} // namespace

bool makeModels(Output& out, const std::string& contentFolder)
{
    std::array<Instance, kSlotCount> instances;
    for (std::size_t i = 0; i < kInstanceScripts.size(); ++i)
        if (!readInstance(contentFolder, kInstanceScripts[i], instances[i]))
            return false;
    instances[kPoster] = instances[kDetails];

    // Content comes from the output (the pictures) and the hand-written folder (the materials).
    EngineSession engine({out.root(), contentFolder});
    if (engine.failed())
        return false;
    std::vector<ModelSpec> models = characterModels();
    for (auto* family : {&propModels, &sceneryModels}) {
        std::vector<ModelSpec> more = (*family)();
        std::move(more.begin(), more.end(), std::back_inserter(models));
    }
    auto list = qrNew<QRRESCIniFile>(nullptr);
    list->addSection("MODELS");
    for (const ModelSpec& spec : models) {
        if (!saveModel(out, spec, instances) || engine.failed())
            return false;
        if (spec.scenery)
            list->appendValue("MODELS", spec.path);
    }
    list->saveToFile(out.claim("models/models.ini"));
    return !engine.failed() && std::filesystem::is_regular_file(out.path("models/models.ini"));
}

} // namespace cg
