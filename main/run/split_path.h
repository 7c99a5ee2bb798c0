// Cutting a path into folder, name and extension. No platform headers.
#pragma once

#include <string>

namespace tav {

// folder: up to and including the last backslash; name: the rest without the
// extension; extension: the text after the last full stop of the last path
// component, without the full stop. A path with neither backslash nor full
// stop leaves `extension` as the caller passed it; a path without backslash
// is all folder and no name.
void SplitPath(std::string path, std::string& folder, std::string& name, std::string& extension);

// One trailing backslash removed (only one), or the string unchanged.
std::string StripTrailingBackslash(std::string s);

}  // namespace tav
