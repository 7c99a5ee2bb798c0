// The decision which folders the delete actions must never empty. No platform
// headers: the caller supplies the machine's own important folders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tav {

// Canonical form of a folder path for comparisons: forward slashes become
// backslashes, "\\?\" and "\\?\UNC\" prefixes are dropped, repeated
// backslashes are folded (except the two that open a UNC path), "." and ".."
// components are resolved, trailing backslashes and dots are removed, and
// letters are lower-cased (code page 1252).
std::string NormalizeFolderPath(std::string_view path);

// True when `folder` (an absolute path) must not be emptied or removed: a drive
// root, a UNC server or share root, one of `importantFolders`, or a folder
// above one of them. Paths that are not absolute count as protected too,
// since their meaning depends on the current folder.
bool IsProtectedFolder(std::string_view folder, const std::vector<std::string>& importantFolders);

}  // namespace tav
