// Which folder a copy of a folder's contents reads from. No platform headers.
#pragma once

#include <string>
#include <string_view>

namespace tav {

// The folder whose entries "operand\*.*" names, spelt so that the platform
// resolves it to that folder: a bare drive ("D:") becomes its root ("D:\"),
// because the backslash before the wildcard roots it (while "D:" alone is the
// current folder of drive D). Every other operand is returned as it is.
std::string ContentsSourceFolder(std::string_view operand);

}  // namespace tav
