#include "visual/materials/qr_visx_materialinstance.h"

#include "core/qr_core_log.h"
#include "core/qr_mngr_assetmanager.h"
#include "file/qr_file_file.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/geometry/qr_visx_binaryreader.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialinstancecompiler.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariable.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/textures/qr_visx_texture.h"

#include <utility>

namespace {

QRVISXMaterialManager* materialManager()
{
    auto* visual = qrVisual();
    return visual ? visual->getMaterialManager() : nullptr;
}

void logLine(const std::string& text)
{
    if (auto* log = qrLog())
        log->logDebug(text);
}

void releaseTextures(std::vector<QROwned<QRVISXMaterialVariableTexture2>>& variables)
{
    for (auto& variable : variables) {
        QRVISXTexture2* texture = variable->getTexture();
        variable->setTexture(nullptr);
        if (auto* assets = qrAssets())
            assets->release(texture);
    }
    variables.clear();
}

} // namespace

QRVISXMaterialInstance::QRVISXMaterialInstance(QRObject* owner) : QRRESCMain(owner, "Resource Material Instance")
{
    script_ = qrNew<QRRESCStringList>(this, true, true);
}

QRVISXMaterialInstance::~QRVISXMaterialInstance()
{
    clear();
}

void QRVISXMaterialInstance::setMaterial(const std::string& file)
{
    auto* assets = qrAssets();
    // Taken before the previous one goes, so a material set again is not unloaded and recompiled.
    QRVISXMaterial* material = assets ? assets->acquire<QRVISXMaterial>(file) : nullptr;
    releaseMaterial();
    material_ = material;
}

void QRVISXMaterialInstance::releaseMaterial()
{
    if (auto* assets = qrAssets())
        assets->release(material_);
    material_ = nullptr;
}

void QRVISXMaterialInstance::setTexture(const std::string& variable, const std::string& file)
{
    QRVISXMaterialVariableTexture2* target = findTextureVariable(variable);
    if (!target) {
        variables_.push_back(qrNew<QRVISXMaterialVariableTexture2>(this, variable));
        target = variables_.back().get();
    }
    auto* assets = qrAssets();
    QRVISXTexture2* previous = target->getTexture();
    target->setTexture(assets ? assets->acquire<QRVISXTexture2>(file) : nullptr);
    if (assets)
        assets->release(previous);
}

bool QRVISXMaterialInstance::compile()
{
    if (!material_)
        return false;
    logLine("Loading material instance \"" + getName() + "\"");
    // The previous variables keep their textures until the script has taken its own, so textures
    // both use are not unloaded and uploaded again.
    auto previous = std::move(variables_);
    variables_.clear();
    auto compiler = qrNew<QRVISXMaterialInstanceCompiler>(this);
    compiled_ = compiler->compile(this, script_.get());
    releaseTextures(previous);
    return compiled_;
}

void QRVISXMaterialInstance::use()
{
    auto* manager = materialManager();
    if (!manager)
        return;
    manager->getVariablePool()->assignFromInstance(*this);
    if (material_) {
        material_->use();
    } else {
        manager->resetForMaterial();
        manager->apply();
    }
}

void QRVISXMaterialInstance::clear()
{
    if (compiled_)
        logLine("Deleting material instance \"" + getName() + "\"");
    freeVariables();
    releaseMaterial();
    if (script_)
        script_->clear();
    compiled_ = false;
}

void QRVISXMaterialInstance::freeVariables()
{
    releaseTextures(variables_);
}

QRVISXMaterialVariable* QRVISXMaterialInstance::getVariableAt(int index) const
{
    if (index < 0 || index >= getVariableCount())
        return nullptr;
    return variables_[static_cast<std::size_t>(index)].get();
}

QRVISXMaterialVariableTexture2* QRVISXMaterialInstance::findTextureVariable(const std::string& name) const
{
    // Exact names, as the pool compares them.
    for (const auto& variable : variables_)
        if (variable->getName() == name)
            return variable.get();
    return nullptr;
}

void QRVISXMaterialInstance::saveToStream(QRFILEFile& file)
{
    file.write(getName());
    file.write(material_ ? material_->getFileName() : std::string());
    script_->saveToStream(file);
}

void QRVISXMaterialInstance::loadFromStream(QRFILEFile& file)
{
    std::string error;
    if (!readRecord(file, error))
        reportError("loadFromStream", error);
}

bool QRVISXMaterialInstance::readRecord(QRFILEFile& file, std::string& error)
{
    clear();
    QRVISXBinaryReader reader(file);
    std::string name;
    std::string materialFile;
    std::int32_t count = 0;
    // Each line takes at least its 4-byte length, so a count beyond that is a damaged record.
    bool complete = reader.readString(name) && reader.readString(materialFile) && reader.readInt(count) &&
                    reader.fits(count, 4);
    auto lines = qrNew<QRRESCStringList>(this, true, true);
    for (std::int32_t i = 0; complete && i < count; ++i) {
        std::string line;
        complete = reader.readString(line);
        if (complete)
            lines->add(line);
    }
    if (!complete) {
        error = "The material instance record in \"" + file.getFileName() + "\" is incomplete or damaged";
        return false;
    }
    setName(name);
    if (!materialFile.empty())
        setMaterial(materialFile);
    script_->addAll(*lines);
    return true;
}

void QRVISXMaterialInstance::saveToFile(const std::string& path)
{
    QRFILEFile file(this, path, QRFileAccess::Write, QRFileType::Binary);
    if (!file.isOpen())
        return;
    saveToStream(file);
    if (file.close())
        setFileName(path);
}

void QRVISXMaterialInstance::loadFromFile(const std::string& path)
{
    auto* files = qrFile();
    if (!files || !files->fileExists(path, true))
        return;
    QRFILEFile file(this, path, QRFileAccess::Read, QRFileType::Binary);
    if (!file.isOpen())
        return;
    setFileName(path);
    loadFromStream(file);
    compile();
}
