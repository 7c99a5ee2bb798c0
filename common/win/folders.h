// Folders of the machine and of the running program.
#pragma once

#include <string>

namespace tav {

// The file-system path of a shell special folder (a CSIDL value), without a
// trailing backslash, or the empty string when the shell cannot give one.
std::string GetSpecialFolder(int csidl);

// The Windows folder, asked with a buffer of `bufferChars` characters and
// cut to the returned length (no trailing backslash unless it is a root).
std::string WindowsFolder(unsigned bufferChars = 200);

// The system folder, asked with a buffer of 255 characters.
std::string SystemFolder();

// Full path of the running program's executable.
std::string ProgramPath();
// The folder of the running program's executable, without a trailing backslash.
std::string ProgramFolder();

// True when `folder` must never be emptied or removed by a delete action:
// drive roots, UNC share roots, the Windows, system and Program Files folders,
// the user profile, Desktop, Documents, the start-menu programs folder, and
// every folder above one of them. The path is made absolute first (relative
// paths are resolved against the current folder, short names expanded).
bool IsProtectedFolderHere(const std::string& folder);

}  // namespace tav
