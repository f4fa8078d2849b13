#pragma once
// The ordered lookup paths under which relative content names are found; the program folder is
// the first. Owned by the file module.

#include "core/qr_core_object.h"

#include <string>

class QRFILEMain;
class QRRESCStringList;

class QRFILEPathManager : public QRObject {
public:
    explicit QRFILEPathManager(QRFILEMain* owner);
    ~QRFILEPathManager() override;
    // Adds the program folder.
    void initialize() override;

    void addLookupPath(const std::string& path);
    bool isFileInAnyPath(const std::string& name, std::string& lookupPath, bool reportErrors) const;
    std::string absolutePath(const std::string& name) const;
    std::string relativeName(const std::string& path) const;
    std::string resolveFolder(const std::string& name) const;

    const QRRESCStringList& getLookupPaths() const { return *lookupPaths_; }

private:
    QRFILEMain* files_;
    QROwned<QRRESCStringList> lookupPaths_;
};
