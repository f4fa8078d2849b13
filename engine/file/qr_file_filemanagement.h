#pragma once
// Lists the files of a content folder. Owned by the file module.

#include "core/qr_core_object.h"

#include <string>
#include <string_view>

class QRRESCStringList;

class QRFILEFileManagement : public QRObject {
public:
    explicit QRFILEFileManagement(QRObject* owner);

    // The names (without folder) of the files "*." + extension in folder; the caller owns the list.
    QROwned<QRRESCStringList> listFiles(const std::string& folder, const std::string& extension) const;
    // The same for any mask of "*" and "?", matched without regard to case, sorted by name.
    QROwned<QRRESCStringList> listFilesMatching(const std::string& folder, const std::string& mask) const;

    static bool matchesMask(std::string_view name, std::string_view mask);
};
