#include "main/dialogs/remembered_settings.h"

#include <windows.h>

#include "common/win/raii.h"

namespace tav {

std::string GetSetting(const std::string& key, const std::string& fallback) {
    UniqueRegKey section;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, section.put()) !=
        ERROR_SUCCESS)
        return fallback;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(section.get(), key.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return fallback;
    std::string value(size + 1, '\0');
    if (::RegQueryValueExA(section.get(), key.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
        return fallback;
    value.resize(::strnlen(value.c_str(), size));
    return value;
}

void SaveSetting(const std::string& key, const std::string& value) {
    UniqueRegKey section;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          section.put(), nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExA(section.get(), key.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
}

}  // namespace tav
