#pragma once
// A material: a script compiled into named passes, each a command stream that sets render states,
// requests pool textures on texel units and selects a shader configuration. Materials are shared
// assets (qrAssets()->acquire<QRVISXMaterial>(path)); a material owns its passes and holds one
// asset reference per shader configuration its passes use.

#include "resource/qr_resc_main.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QRRESCStream;
class QRRESCStringList;
class QRVISXMaterial;
class QRVISXShaderConfiguration;

// One named pass of a material: its compiled command stream. Owned by its material.
class QRVISXMaterialPass : public QRObject {
public:
    QRVISXMaterialPass(QRVISXMaterial* material, std::string_view name);
    ~QRVISXMaterialPass() override;

    QRVISXMaterial* getMaterial() const { return material_; }
    // Case-insensitive, as every engine name.
    std::uint32_t getNameID() const { return getID(); }
    QRRESCStream& getCommandStream() const { return *commandStream_; }

    // A pass runs every frame: a problem found while executing it is reported the first time only.
    bool isFirstExecutionProblem() { return !std::exchange(problemReported_, true); }
    // Where execution stops: the stream's end, or the start of a command that could not be read.
    std::int64_t getExecutableSize() const;
    void limitExecutableSize(std::int64_t size) { executableSize_ = size; }

private:
    QRVISXMaterial* material_;
    bool problemReported_ = false;
    std::int64_t executableSize_ = -1;
    QROwned<QRRESCStream> commandStream_;
};

class QRVISXMaterial : public QRRESCMain {
public:
    explicit QRVISXMaterial(QRObject* owner);
    ~QRVISXMaterial() override;

    // Reads the script file and compiles it; a missing file leaves the material as it was.
    void loadFromFile(const std::string& path) override;
    // Compiles lines into passes. Compiled into a fresh pass list first: when that fails or opens
    // no pass, a material that had passes keeps them (a script saved half-written during live
    // editing must not blank the material), otherwise it stays without passes. True when the new
    // script took effect.
    bool generateFromStringList(const QRRESCStringList& lines);

    // Frees the passes and releases the shader configurations.
    void clear() override;
    bool isEmpty() const override { return passes_.empty(); }
    bool isCompiled() const { return compiled_; }

    // Appends a new, empty pass (the compiler fills its stream).
    QRVISXMaterialPass* addPass(std::string_view name);
    // By name, ignoring letter case; null when none.
    QRVISXMaterialPass* findPass(std::string_view name) const;
    int getPassCount() const { return static_cast<int>(passes_.size()); }
    QRVISXMaterialPass* getPassAt(int index) const;
    void setDefaultPass(QRVISXMaterialPass* pass) { defaultPass_ = pass; }
    QRVISXMaterialPass* getDefaultPass() const { return defaultPass_; }

    // The index of the configuration file in this material's list: found when already listed,
    // otherwise acquired as an asset and appended. A file that cannot be loaded still gets an
    // index (with no configuration), so that its passes fall back to the default configuration.
    int getShaderConfiguration(const std::string& file);
    // Null outside the list or where the file could not be loaded.
    QRVISXShaderConfiguration* getShaderConfigurationAt(int index) const;
    int getShaderConfigurationCount() const { return static_cast<int>(shaderConfigurations_.size()); }

    // Runs the default pass and applies the caches; without one, resets to the defaults and applies.
    void use();

private:
    struct ShaderEntry {
        std::uint32_t fileID;
        QRVISXShaderConfiguration* configuration;
    };
    static void releaseShaderConfigurations(std::vector<ShaderEntry>& entries);

    bool compiled_ = false;
    QRVISXMaterialPass* defaultPass_ = nullptr;
    std::vector<QROwned<QRVISXMaterialPass>> passes_;
    std::vector<ShaderEntry> shaderConfigurations_;
};
