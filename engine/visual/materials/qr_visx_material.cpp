#include "visual/materials/qr_visx_material.h"

#include "core/qr_core_log.h"
#include "core/qr_mngr_assetmanager.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_stream.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialcompiler.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"

#include <exception>
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

void logEmptyLine()
{
    if (auto* log = qrLog())
        log->logEmptyLine();
}

} // namespace

QRVISXMaterialPass::QRVISXMaterialPass(QRVISXMaterial* material, std::string_view name)
    : QRObject(material, name), material_(material)
{
    commandStream_ = qrNew<QRRESCStream>(this);
}

QRVISXMaterialPass::~QRVISXMaterialPass() = default;

std::int64_t QRVISXMaterialPass::getExecutableSize() const
{
    const std::int64_t size = commandStream_->getSize();
    return executableSize_ < 0 || executableSize_ > size ? size : executableSize_;
}

QRVISXMaterial::QRVISXMaterial(QRObject* owner) : QRRESCMain(owner, "Material") {}

QRVISXMaterial::~QRVISXMaterial()
{
    clear();
    if (auto* manager = materialManager())
        manager->forgetMaterial(this);
}

void QRVISXMaterial::loadFromFile(const std::string& path)
{
    auto* files = qrFile();
    if (!files || !files->fileExists(path, true))
        return;
    setFileName(path);
    setName(getFileName());
    auto lines = qrNew<QRRESCStringList>(this, getFileName());
    generateFromStringList(*lines);
}

bool QRVISXMaterial::generateFromStringList(const QRRESCStringList& lines)
{
    if (compiled_)
        logLine("Deleting material \"" + getFileName() + "\"");
    // The previous content stays aside until the new script compiled.
    std::vector<QROwned<QRVISXMaterialPass>> previousPasses = std::move(passes_);
    std::vector<ShaderEntry> previousShaders = std::move(shaderConfigurations_);
    QRVISXMaterialPass* previousDefault = std::exchange(defaultPass_, nullptr);
    const std::string previousName = getName();
    const bool wasCompiled = std::exchange(compiled_, false);
    passes_.clear();
    shaderConfigurations_.clear();

    logEmptyLine();
    logLine("Loading material \"" + lines.getName() + "\"");
    bool compiled = false;
    try {
        auto compiler = qrNew<QRVISXMaterialCompiler>(this);
        compiled = compiler->compile(this, &lines);
        if (!compiled)
            reportError("compile", "Error while compiling material");
    } catch (const std::exception&) {
        reportError("generateFromStringList", "An error occurred while compiling the material script");
    }

    // A reload that opens no pass at all is a script caught half-written (or emptied by mistake):
    // like one that fails to compile, it leaves the material drawing with what it had.
    const bool taken = compiled && !(passes_.empty() && wasCompiled && !previousPasses.empty());
    if (taken) {
        compiled_ = true;
        // Released only now, so configurations both scripts use are not unloaded and relinked.
        releaseShaderConfigurations(previousShaders);
        previousPasses.clear();
    } else {
        defaultPass_ = nullptr;
        passes_.clear();
        releaseShaderConfigurations(shaderConfigurations_);
        if (wasCompiled) {
            passes_ = std::move(previousPasses);
            shaderConfigurations_ = std::move(previousShaders);
            defaultPass_ = previousDefault;
            compiled_ = true;
            setName(previousName);
            logWarning("generateFromStringList", "The material keeps its previous passes");
        } else {
            releaseShaderConfigurations(previousShaders);
        }
    }
    logEmptyLine();
    return taken;
}

void QRVISXMaterial::clear()
{
    if (compiled_)
        logLine("Deleting material \"" + getFileName() + "\"");
    compiled_ = false;
    defaultPass_ = nullptr;
    passes_.clear();
    releaseShaderConfigurations(shaderConfigurations_);
}

void QRVISXMaterial::releaseShaderConfigurations(std::vector<ShaderEntry>& entries)
{
    if (auto* assets = qrAssets())
        for (ShaderEntry& entry : entries)
            assets->release(entry.configuration);
    entries.clear();
}

QRVISXMaterialPass* QRVISXMaterial::addPass(std::string_view name)
{
    passes_.push_back(qrNew<QRVISXMaterialPass>(this, name));
    return passes_.back().get();
}

QRVISXMaterialPass* QRVISXMaterial::findPass(std::string_view name) const
{
    const std::uint32_t id = computeNameID(name);
    for (const auto& pass : passes_)
        if (pass->getNameID() == id)
            return pass.get();
    return nullptr;
}

QRVISXMaterialPass* QRVISXMaterial::getPassAt(int index) const
{
    if (index < 0 || index >= getPassCount())
        return nullptr;
    return passes_[static_cast<std::size_t>(index)].get();
}

int QRVISXMaterial::getShaderConfiguration(const std::string& file)
{
    // Keyed as the asset manager keys files: one entry however the script spells the name.
    auto* files = qrFile();
    const std::uint32_t fileID = QRFILEMain::fileNameID(files ? files->relativeName(file) : file);
    for (std::size_t i = 0; i < shaderConfigurations_.size(); ++i)
        if (shaderConfigurations_[i].fileID == fileID)
            return static_cast<int>(i);
    auto* assets = qrAssets();
    QRVISXShaderConfiguration* configuration =
        assets ? assets->acquire<QRVISXShaderConfiguration>(file) : nullptr;
    // Another spelling of a file already listed: one entry, one reference.
    for (std::size_t i = 0; configuration && i < shaderConfigurations_.size(); ++i)
        if (shaderConfigurations_[i].configuration == configuration) {
            assets->release(configuration);
            return static_cast<int>(i);
        }
    shaderConfigurations_.push_back({fileID, configuration});
    return static_cast<int>(shaderConfigurations_.size()) - 1;
}

QRVISXShaderConfiguration* QRVISXMaterial::getShaderConfigurationAt(int index) const
{
    if (index < 0 || index >= getShaderConfigurationCount())
        return nullptr;
    return shaderConfigurations_[static_cast<std::size_t>(index)].configuration;
}

void QRVISXMaterial::use()
{
    auto* manager = materialManager();
    if (!manager)
        return;
    if (defaultPass_)
        manager->executePass(defaultPass_);
    else
        manager->resetForMaterial();
    manager->apply();
}
