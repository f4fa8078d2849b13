#pragma once
// The file module: turns the relative content names used throughout the program
// ("models\characters\Kipster.model") into files on the drive through an ordered list of lookup
// paths (the program folder first), announces archives, watches the program folder for changes
// and lists folders. Owned by the engine core; reached through qrFile().
// How these names map onto Linux is described in file/qr_file_drive.h.

#include "core/qr_core_object.h"
#include "file/qr_file_file.h"

#include <cstdint>
#include <string>
#include <string_view>

class QRFILEPathManager;
class QRFILEArchiveManager;
class QRFILECheckFileUpdateManager;
class QRFILEFileManagement;

class QRFILEMain : public QRObject {
public:
    static constexpr std::uint32_t kDefaultMemoryThreshold = 0x300000;

    explicit QRFILEMain(QRObject* owner);
    ~QRFILEMain() override;
    void initialize() override;

    // Where name is: an absolute path on the drive, under a lookup path (container = that path)
    // or in an archive. Reports "File "<name>" could not be found!" when asked to.
    bool locateFile(const std::string& name, QRFileLocation& location, bool reportErrors, std::string& container);
    bool fileExists(const std::string& name, bool reportErrors);
    // An absolute path naming an existing file.
    bool existsOnDrive(const std::string& path, bool reportErrors);
    // Where name is, or is to be written: the first existing file under a lookup path, else the
    // name itself when absolute, else under the program folder.
    std::string absolutePath(const std::string& name) const;
    // path with the first lookup path it lies under taken off; unchanged when under none.
    std::string relativeName(const std::string& path) const;
    std::string resolveFolder(const std::string& name) const;

    // Text operations on "\"-separated names ("/" is accepted as a separator too).
    static std::string extractFolder(std::string_view path);
    static std::string extractExtension(std::string_view path);
    static std::string changeExtension(std::string_view path, std::string_view extension);
    static std::string includeTrailingSeparator(std::string_view path);
    static std::string excludeTrailingSeparator(std::string_view path);
    static std::string excludeLeadingSeparator(std::string_view path);
    // Trailing, then leading "\" removed: the form names are compared and shared in.
    static std::string canonicalName(std::string_view name);
    // The ID names of files are compared and shared under: the canonical name with "/" and "\"
    // alike and letter case ignored, as the drive lookup treats them, so "textures/a.png" and
    // "TEXTURES\A.PNG" are one file. A leading "/" (an absolute path) is kept apart.
    static std::uint32_t fileNameID(std::string_view name);
    static bool isAbsolute(std::string_view path);

    const std::string& getProgramFolder() const { return programFolder_; }
    std::uint32_t getMemoryThreshold() const { return memoryThreshold_; }
    void setMemoryThreshold(std::uint32_t threshold) { memoryThreshold_ = threshold; }

    QRFILEPathManager* getPathManager() const { return pathManager_.get(); }
    QRFILEArchiveManager* getArchiveManager() const { return archiveManager_.get(); }
    QRFILECheckFileUpdateManager* getCheckFileUpdateManager() const { return checkFileUpdateManager_.get(); }
    QRFILEFileManagement* getFileManagement() const { return fileManagement_.get(); }

private:
    std::uint32_t memoryThreshold_ = kDefaultMemoryThreshold;
    std::string programFolder_;
    QROwned<QRFILEPathManager> pathManager_;
    QROwned<QRFILEArchiveManager> archiveManager_;
    QROwned<QRFILECheckFileUpdateManager> checkFileUpdateManager_;
    QROwned<QRFILEFileManagement> fileManagement_;
};

// The process-wide file module, or null before its creation and after its destruction.
QRFILEMain* qrFile();
