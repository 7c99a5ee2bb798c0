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

}  // namespace tav
