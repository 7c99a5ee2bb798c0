// The command line of a program. No platform headers.
#pragma once

#include <string>
#include <string_view>

namespace tav {

// The argument string after the program's own name in a full command line:
// the name (quoted or not) is skipped together with the blanks or tabs that
// separate it from the rest; the rest is returned exactly, with no unquoting
// and no trimming at its end.
std::string CommandLineTail(std::string_view commandLine);
// The same for the wide command line, by the same rule, so that the two
// tails of one command line correspond piece for piece.
std::wstring CommandLineTail(std::wstring_view commandLine);

}  // namespace tav
