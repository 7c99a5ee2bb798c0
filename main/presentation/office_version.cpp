#include "main/presentation/office_version.h"

#include <algorithm>
#include <iterator>

#include "common/win/raii.h"
#include "main/presentation/export_rules.h"

namespace tav {

std::string ReadRegistryString(HKEY root, const std::string& subKey, const std::string& valueName) {
    UniqueRegKey key;
    if (::RegOpenKeyA(root, subKey.c_str(), key.put()) != ERROR_SUCCESS)
        return NotInstalledText(subKey);

    // A value that does not fit (254 characters and the NUL) fails the query.
    char buffer[255];
    std::fill(std::begin(buffer), std::end(buffer), ' ');
    DWORD size = sizeof buffer;
    const LONG rc = ::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(buffer), &size);
    if (rc != ERROR_SUCCESS) return "";
    return RegistryValueText(buffer, sizeof buffer, size);
}

std::string GetPowerPointVersion() {
    return VersionCodeFromClassName(
        ReadRegistryString(HKEY_CLASSES_ROOT, "PowerPoint.Application\\CurVer", ""));
}

}  // namespace tav
