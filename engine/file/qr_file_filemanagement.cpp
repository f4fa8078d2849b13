#include "file/qr_file_filemanagement.h"

#include "core/qr_util_strings.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_stringlist.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

QRFILEFileManagement::QRFILEFileManagement(QRObject* owner) : QRObject(owner, "QR FILE File Management") {}

QROwned<QRRESCStringList> QRFILEFileManagement::listFiles(const std::string& folder, const std::string& extension) const
{
    return listFilesMatching(folder, "*." + extension);
}

QROwned<QRRESCStringList> QRFILEFileManagement::listFilesMatching(const std::string& folder, const std::string& mask) const
{
    auto list = qrNew<QRRESCStringList>(nullptr, false, false);
    std::string resolved = folder;
    if (auto* files = qrFile())
        resolved = files->resolveFolder(folder);
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(qrdrive::nativePath(resolved.empty() ? "." : resolved), error), end;
         !error && entry != end; entry.increment(error)) {
        std::error_code typeError;
        if (entry->is_regular_file(typeError)) {
            std::string name = entry->path().filename().string();
            if (matchesMask(name, mask))
                names.push_back(std::move(name));
        }
    }
    // The drive lists in no particular order; the content should load the same way every time.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string lowerA = QRUTILStrings::lowerCase(a), lowerB = QRUTILStrings::lowerCase(b);
        return lowerA != lowerB ? lowerA < lowerB : a < b;
    });
    for (const auto& name : names)
        list->add(name);
    return list;
}

bool QRFILEFileManagement::matchesMask(std::string_view name, std::string_view mask)
{
    // Iterative wildcard match with one backtrack point for the last "*".
    const std::string lowerName = QRUTILStrings::lowerCase(name);
    const std::string lowerMask = QRUTILStrings::lowerCase(mask);
    std::size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
    while (n < lowerName.size()) {
        if (m < lowerMask.size() && (lowerMask[m] == '?' || lowerMask[m] == lowerName[n])) {
            ++n;
            ++m;
        } else if (m < lowerMask.size() && lowerMask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < lowerMask.size() && lowerMask[m] == '*')
        ++m;
    return m == lowerMask.size();
}
