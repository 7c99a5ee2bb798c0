// Whether a file's long name fits a "kill" pattern. No platform headers.
//
// The platform's search also matches a name's short alias ("KEEP~HY1.TMP"
// for "keep.tmpx" fits "*.tmp"); the action deletes only what this test
// passes, so that the long name alone decides.
#pragma once

#include <string_view>

namespace tav {

// True when `name` fits `pattern` as the platform matches long names: "*" is
// any run of characters (also none), "?" any one character, "*.*" fits every
// name, and a pattern ending in "." fits a name without an extension ("*."
// fits "README", "x." fits "x"). Characters are compared as they are: the
// caller folds case as its file system does.
bool LongNameFits(std::wstring_view pattern, std::wstring_view name);

}  // namespace tav
