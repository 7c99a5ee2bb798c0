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

}  // namespace tav::uninstall
