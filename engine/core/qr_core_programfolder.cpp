#include "core/qr_core_programfolder.h"

#include <system_error>

namespace {
std::filesystem::path& overrideFolder()
{
    static std::filesystem::path folder;
    return folder;
}
} // namespace

std::filesystem::path qrProgramFolder()
{
    if (!overrideFolder().empty())
        return overrideFolder();
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : executable.parent_path();
}

void qrSetProgramFolder(const std::filesystem::path& folder)
{
    overrideFolder() = folder;
}
