#pragma once
// Changes single values of kipster.ini in place: the line "Key = Value" of the section is
// replaced, or added at the section's end (the section at the file's end when it is missing).
// Every other line, comments and keys the program does not know included, stays as it was. The
// file is replaced crash-safely. Used by the settings.

#include <string>
#include <string_view>

namespace APPMAINIniWriter {

// The text with section.key set to value (sections and keys matched without regard to case).
std::string setValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

// Reads path (a missing file is empty), sets the value and writes it back; false when writing failed.
bool writeValue(const std::string& path, std::string_view section, std::string_view key, std::string_view value);

} // namespace APPMAINIniWriter
