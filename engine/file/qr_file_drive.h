#pragma once
// How the engine's content names reach the Linux file system. Used by the file module and the file
// object only; nothing else touches the drive by name.
//
// Engine names use "\" between components ("models\characters\Kipster.model") and are matched
// without regard to letter case, as the content was authored. On Linux:
// - A path is absolute when it begins with "/" (the program folder is kept in its native form,
//   "/home/me/kipster"); everything else is relative to a lookup path. Joining a lookup path and a
//   name gives a mixed form such as "/home/me/kipster\models\a.model", which is what the engine
//   logs and remembers as a full file name.
// - Touching the drive, both "\" and "/" separate components. Each component that does not exist
//   with exactly its letters is matched case-insensitively (ASCII, as name IDs are) against the
//   entries of its folder, so "Models\Characters\kipster.model" finds models/characters/Kipster.model.
//   When several entries differ only in case, the exact one wins, else the first in byte order.
//   Components from the first one that matches nothing are kept as given, so a new file is created
//   with the case its name was given in, inside the folders that already exist.

#include <filesystem>
#include <string_view>

namespace qrdrive {

// The native path for an engine path, with existing components resolved as described above.
std::filesystem::path nativePath(std::string_view enginePath);
// A regular file (or a link to one) exists at the engine path.
bool isFile(std::string_view enginePath);
// A folder exists at the engine path.
bool isFolder(std::string_view enginePath);

} // namespace qrdrive
