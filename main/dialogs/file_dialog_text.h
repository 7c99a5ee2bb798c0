// The texts the open and save dialogs are given: filter lists and file
// buffers. No platform headers.
#pragma once

#include <cstddef>
#include <string>

namespace tav {

// Size of the file buffer of every file dialog, the terminating NUL included:
// a chosen path may have at most 127 characters.
constexpr std::size_t kFileBufferChars = 128;

// A filter list of one pair: description, NUL, pattern, NUL, and the NUL that
// ends the list.
std::string FilterList(const std::string& description, const std::string& pattern);

// The file buffer: `defaultName` followed by NUL characters up to `size`
// characters in all. A name that leaves no room for its terminating NUL gives
// a buffer of NUL characters only (the dialog then starts with an empty name).
std::string FileBuffer(const std::string& defaultName = "",
                       std::size_t size = kFileBufferChars);

// The save dialog's default file name for a source path: its name, a full
// stop and its extension (a source without extension gives a name that ends
// in a full stop).
std::string DefaultSaveName(const std::string& sourcePath);

}  // namespace tav
