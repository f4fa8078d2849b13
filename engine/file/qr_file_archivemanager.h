#pragma once
// Announces the archive files found in the program folder. No archive format exists, so nothing
// is ever opened or looked up in them. Owned by the file module.

#include "core/qr_core_object.h"

#include <string>

class QRRESCList;

class QRFILEArchiveManager : public QRObject {
public:
    explicit QRFILEArchiveManager(QRObject* owner);
    ~QRFILEArchiveManager() override;
    // Scans the program folder.
    void initialize() override;

    void scanForArchives(const std::string& folder);
    void addArchive(const std::string& name);
    // Never true: nothing is stored in archives.
    bool isFileInAnyArchive(const std::string& name, bool reportErrors) const;

    const QRRESCList& getArchives() const { return *archives_; }

private:
    QROwned<QRRESCList> archives_;
};
