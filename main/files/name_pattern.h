// Whether a file's long name fits a "kill" pattern, by the rules Windows
// applies to a search pattern. No platform headers.
//
// The platform's own search also matches a name's short alias ("KEEP~HY1.TMP"
// for "keep.tmpx" fits "*.tmp"); the action deletes only what this test
// passes, so that the long name alone decides.
#pragma once

#include <string_view>

namespace tav {

// True when `pattern` holds a wildcard ("*" or "?").
bool HasWildcards(std::wstring_view pattern);

// True when `pattern` holds wildcards and nothing but wildcards and dots
// ("*", "*.*", "*.???", "?*"): it says nothing about the names it takes, and
// takes every name or nearly every one.
bool NamesEveryFile(std::wstring_view pattern);

// True when `name` fits `pattern` as the platform's search matches a long
// name:
// - "*.*" (the whole pattern) and "*" fit every name;
// - "*" is any run of characters (also none); followed by "." it is any run
//   that does not pass the name's last dot;
// - "?" is any one character, but before a dot in the name or at the name's
//   end it also fits no character ("file?.txt" fits "file.txt" and
//   "file1.txt", not "file12.txt");
// - "." followed by a wildcard fits the name's dot or the end of a name
//   without one ("*.???" fits "a.txt", "b.tx" and "c", not "d.text");
// - trailing dots are dropped, as the platform drops them from a path, so
//   "*." fits names without an extension ("README", not "a.b");
// - any other character stands for itself. The caller folds case as its file
//   system does (both texts in upper case).
bool LongNameFits(std::wstring_view pattern, std::wstring_view name);

}  // namespace tav
