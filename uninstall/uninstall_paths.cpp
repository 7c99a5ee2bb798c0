#include "uninstall/uninstall_paths.h"

#include "common/command_line.h"
#include "common/folder_guard.h"
#include "common/text.h"

namespace tav::uninstall {

std::string InstallFolderFromCommandLine(std::string_view commandLine,
                                         const std::vector<std::string>& ownPaths) {
    for (const auto& own : ownPaths) {
        if (own.empty() || commandLine.size() < own.size() ||
            ToLowerCp1252(commandLine.substr(0, own.size())) != ToLowerCp1252(own))
            continue;
        const std::string_view rest = commandLine.substr(own.size());
        if (rest.empty()) return {};
        if (rest.front() != ' ' && rest.front() != '\t') continue;
        const auto start = rest.find_first_not_of(" \t");
        return start == std::string_view::npos ? std::string() : std::string(rest.substr(start));
    }
    return CommandLineTail(commandLine);
}

std::optional<std::string> StartMenuNameOf(const std::string& installFolder) {
    const auto slash = installFolder.find_last_of('\\');
    std::string name = slash == std::string::npos ? installFolder : installFolder.substr(slash + 1);
    if (!IsPlainComponent(name)) return std::nullopt;
    return name;
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveAbsolute(std::string_view p) {
    const bool letter = p.size() >= 3 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
    return letter && p[1] == ':' && IsSeparator(p[2]);
}

}  // namespace

bool IsFullyQualified(std::string_view folder) {
    if (IsDriveAbsolute(folder)) return true;
    if (folder.size() > 4 && folder.substr(0, 4) == "\\??\\") return IsDriveAbsolute(folder.substr(4));
    // Two separators, a server (or "?" / "." for a device) and a share.
    if (folder.size() < 2 || !IsSeparator(folder[0]) || !IsSeparator(folder[1])) return false;
    const auto serverEnd = folder.find_first_of("\\/", 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2) return false;
    return serverEnd + 1 < folder.size() && !IsSeparator(folder[serverEnd + 1]);
}

}  // namespace tav::uninstall
