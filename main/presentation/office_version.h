// Which major version of the presentation program is registered: read from
// the class registration of its automation object; the program is never started.
#pragma once

#include <windows.h>

#include <string>

namespace tav {

// One registry value as text. When the key cannot be opened the answer is the
// sub-key's text before its first backslash followed by " ist nicht installiert";
// a failing query or an empty value gives the empty string.
std::string ReadRegistryString(HKEY root, const std::string& subKey, const std::string& valueName);

// "8", "9", "10", a later version's number ("16"), or "" when the program is
// not registered, the registration cannot be read or the version is unknown.
std::string GetPowerPointVersion();

}  // namespace tav
