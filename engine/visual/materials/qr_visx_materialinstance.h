#pragma once
// A material with its own textures: models hold one per material slot. The instance references a
// shared material asset, owns its texture variables (and the texture asset references in them)
// and, before its material is used, copies those textures into the global variable pool. The
// textures come from a small script ("set texture2d <variable> <file>"); the record saved with a
// model is the name, the material's file name and that script.

#include "resource/qr_resc_main.h"

#include <memory>
#include <string>
#include <vector>

class QRRESCStringList;
class QRVISXMaterial;
class QRVISXMaterialVariable;
class QRVISXMaterialVariableTexture2;

class QRVISXMaterialInstance : public QRRESCMain {
public:
    explicit QRVISXMaterialInstance(QRObject* owner);
    ~QRVISXMaterialInstance() override;

    // Releases the previous material and takes the material asset of file (none when it cannot
    // be loaded).
    void setMaterial(const std::string& file);
    void releaseMaterial();
    QRVISXMaterial* getMaterial() const { return material_; }

    // The instance's texture variable of that name (created when missing) gives back its texture
    // and takes the texture asset of file.
    void setTexture(const std::string& variable, const std::string& file);
    // Only with a material: frees the variables and compiles the script into new ones.
    bool compile();
    bool isCompiled() const { return compiled_; }

    // Textures into the pool, then the material (or the default states without one).
    void use();

    // Frees the variables, releases the material and empties the script.
    void clear() override;
    bool isEmpty() const override { return material_ == nullptr; }

    // Binary record: name, material file name (empty for none), the script as a string list.
    void saveToStream(QRFILEFile& file) override;
    // Reads a record written by saveToStream after clearing; a record that ends early or claims
    // more lines than the file holds leaves the instance cleared, with an error. Compile afterwards.
    void loadFromStream(QRFILEFile& file) override;
    // The same without the report: false (the reason in error, the instance cleared) for a damaged
    // record, after which nothing that follows it in the file can be read in step.
    bool readRecord(QRFILEFile& file, std::string& error);
    void saveToFile(const std::string& path) override;
    // Reads the record and compiles it.
    void loadFromFile(const std::string& path) override;

    QRRESCStringList& getScript() const { return *script_; }
    int getVariableCount() const { return static_cast<int>(variables_.size()); }
    QRVISXMaterialVariable* getVariableAt(int index) const;
    // Null when the instance has no texture variable of that name.
    QRVISXMaterialVariableTexture2* findTextureVariable(const std::string& name) const;

private:
    void freeVariables();

    QRVISXMaterial* material_ = nullptr;
    std::vector<QROwned<QRVISXMaterialVariableTexture2>> variables_;
    QROwned<QRRESCStringList> script_;
    bool compiled_ = false;
};
