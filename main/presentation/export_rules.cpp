#include "main/presentation/export_rules.h"

#include <cstdio>
#include <limits>

namespace tav {
namespace {

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::string VersionCodeFromClassName(std::string_view registeredClass) {
    const auto dot = registeredClass.rfind('.');
    const std::string_view version =
        dot == std::string_view::npos ? registeredClass : registeredClass.substr(dot + 1);

    if (version == "10") return "10";
    if (version == "9" || version == "09") return "9";
    if (version == "8" || version == "08") return "8";

    // Every later version exports like 9 and 10; it is reported as it stands.
    if (!AllDigits(version) || version[0] == '0') return "";
    if (version.size() == 1 || (version.size() == 2 && version <= "10")) return "";
    return std::string(version);
}

ExportRoute RouteForVersion(std::string_view versionCode) {
    if (versionCode == "8") return ExportRoute::SlideBySlide;
    if (versionCode == "9") return ExportRoute::WholePresentation;
    // "10" and every code above it (digits only, no leading zero, as
    // VersionCodeFromClassName gives them).
    if (versionCode.size() >= 2 && versionCode[0] != '0' && AllDigits(versionCode))
        return ExportRoute::WholePresentation;
    return ExportRoute::None;
}

std::string NotInstalledText(std::string_view subKey) {
    return std::string(subKey.substr(0, subKey.find('\\'))) + " ist nicht installiert";
}

std::string RegistryValueText(const char* buffer, std::size_t bufferSize, std::size_t reportedSize) {
    if (reportedSize <= 1) return "";
    const std::size_t n = reportedSize - 1 < bufferSize ? reportedSize - 1 : bufferSize;
    return std::string(buffer, n);
}

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!AllDigits(text)) return std::nullopt;
    // Accumulate as a negative number so that the lowest value fits.
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (char c : text) {
        value = value * 10 - (c - '0');
        if (value < lowest) return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string SlideFileName(std::string_view folder, long index, std::string_view format) {
    char number[24];
    std::snprintf(number, sizeof number, "%03ld", index);
    std::string name(folder);
    name += "Folie";
    name += number;
    name += '.';
    name += format;
    return name;
}

}  // namespace tav
