#include "file/qr_file_drive.h"

#include "core/qr_util_strings.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace qrdrive {

namespace {

std::vector<std::string> splitComponents(std::string_view native)
{
    std::vector<std::string> components;
    std::string current;
    for (char c : native) {
        if (c == '/') {
            if (!current.empty() && current != ".")
                components.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty() && current != ".")
        components.push_back(current);
    return components;
}

// The entry of folder whose name equals component without regard to case; the first in byte
// order when there are several, nothing when there is none or the folder cannot be read.
std::optional<std::string> findEntry(const fs::path& folder, const std::string& component)
{
    std::error_code error;
    fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, error);
    if (error)
        return std::nullopt;
    std::optional<std::string> best;
    for (const auto& entry : entries) {
        std::string name = entry.path().filename().string();
        if (QRUTILStrings::equals(name, component, false) && (!best || name < *best))
            best = std::move(name);
    }
    return best;
}

} // namespace

fs::path nativePath(std::string_view enginePath)
{
    std::string native(enginePath);
    std::replace(native.begin(), native.end(), '\\', '/');
    std::error_code error;
    if (native.empty() || fs::exists(native, error))
        return native;

    fs::path result = native.front() == '/' ? fs::path("/") : fs::path();
    bool resolving = true;
    for (const auto& component : splitComponents(native)) {
        if (resolving && component != "..") {
            const fs::path exact = result / component;
            if (!fs::exists(exact, error)) {
                if (auto found = findEntry(result, component)) {
                    result /= *found;
                    continue;
                }
                resolving = false;
            }
        }
        result /= component;
    }
    return result;
}

bool isFile(std::string_view enginePath)
{
    std::error_code error;
    return !enginePath.empty() && fs::is_regular_file(nativePath(enginePath), error);
}

bool isFolder(std::string_view enginePath)
{
    std::error_code error;
    return !enginePath.empty() && fs::is_directory(nativePath(enginePath), error);
}

} // namespace qrdrive
