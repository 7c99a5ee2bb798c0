// Where the program's DLLs come from.
#pragma once

namespace tav {

// Restricts the search for every DLL loaded from now on (the delay-loaded
// ones and what they load in turn) to the system folder, so that a DLL
// planted in the program's folder (the temp folder, for the uninstaller) or
// in the working folder is never loaded. To be called first thing, before
// any delay-loaded function is reached.
//
// SetDefaultDllDirectories comes with Windows 8 and with update KB2533623 on
// Windows 7; it is looked up at run time. Where it is missing, only the
// working folder is taken out of the search (SetDllDirectoryW with an empty
// string) and the program's own folder still comes first. Returns whether
// the search is restricted to the system folder.
bool RestrictDllSearchToSystemFolder();

}  // namespace tav
