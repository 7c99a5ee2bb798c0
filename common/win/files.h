// File tests shared by both programs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tav {

// True when `path` names an existing file (hidden and system files included,
// folders not). Clears the attributes for the probe and writes them back, so
// that a hidden or system file is found; a step that fails makes it false.
bool FileExists(const std::string& path);

// True when the attributes of `path` can be read and show neither the
// directory nor the volume-label bit.
bool IsPlainFile(const std::string& path);

// True when the attributes of `path` can be read and show the directory bit.
bool IsFolder(const std::string& path);

// The whole file, or nothing when it cannot be opened or read or is larger
// than `maxBytes`.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         std::size_t maxBytes = 256u << 20);

// Creates the absolute `folder` (a trailing backslash is allowed) and every
// missing folder above it; true when it is a folder afterwards. Paths of any
// length are safe: one the platform cannot create is simply not a folder.
bool MakeFolderWithParents(std::string folder);

// Writes the file anew; false when any byte could not be written.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace tav
