// The remembered settings of the main program: per-user strings under the
// application "Tavrino", section "Main" ("Dlg", "Drive", "Dir").
#pragma once

#include <string>

namespace tav {

// The stored value, or `fallback` when the key is absent (an existing empty
// value counts as present and is returned as it is).
std::string GetSetting(const std::string& key, const std::string& fallback = "");
// Stores the value; a failure is ignored.
void SaveSetting(const std::string& key, const std::string& value);

// The registry key below HKEY_CURRENT_USER that holds the section.
constexpr const char* kSettingsKey = "Software\\VB and VBA Program Settings\\Tavrino\\Main";

}  // namespace tav
