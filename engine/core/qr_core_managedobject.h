#pragma once
// An object that remembers the file it came from and can be saved, loaded and reloaded.
// Registers itself with the updateable-resources registry for the file-change reload.

#include "core/qr_core_object.h"

#include <cstdint>
#include <string>

class QRFILEFile;

class QRManagedObject : public QRObject {
public:
    explicit QRManagedObject(QRObject* owner);
    QRManagedObject(QRObject* owner, std::string_view name);
    ~QRManagedObject() override;

    void afterCreate() override;

    virtual void saveToFile(const std::string& path);
    virtual void saveToStream(QRFILEFile& file);
    virtual void loadFromFile(const std::string& path);
    virtual void loadFromStream(QRFILEFile& file);
    virtual void updateFromFile();
    // Whether the object is built from the file with this ID besides its own (a texture from its
    // script, a shader configuration from its sources): when that file changes the object is
    // reloaded after the objects loaded from the file itself.
    virtual bool usesFile(std::uint32_t fileID) const;

    // Remembers path relative to the lookup path it lies under, and where it is on the drive.
    // The file ID treats "/" and "\" alike (QRFILEMain::fileNameID).
    void setFileName(const std::string& path);
    const std::string& getFileName() const { return fileName_; }
    const std::string& getFullFileName() const { return fullFileName_; }
    std::uint32_t getFileID() const { return fileID_; }

private:
    std::string fileName_;
    std::string fullFileName_;
    std::uint32_t fileID_ = 0;
};
