// File tests shared by both programs.
#pragma once

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

// Removes the read-only bit of the entries directly inside `folder`, so that
// the shell's delete request does not stop at them.
void ClearReadOnlyOfDirectEntries(const std::string& folder);

}  // namespace tav
