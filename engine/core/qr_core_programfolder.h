#pragma once
// The folder of the running executable: where the log goes and the first content lookup path.

#include <filesystem>

std::filesystem::path qrProgramFolder();
// Tests run the engine in a temporary program folder; an empty path restores the real one.
void qrSetProgramFolder(const std::filesystem::path& folder);
