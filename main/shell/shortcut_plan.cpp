#include "main/shell/shortcut_plan.h"

#include <vector>

#include "common/folder_guard.h"
#include "common/text.h"

namespace tav {
namespace {

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

// The start-menu folder below the programs folder, ending in a backslash;
// nothing when it would lie elsewhere.
std::optional<std::string> StartMenuFolder(const std::string& programsFolder, const std::string& relative) {
    const auto subfolder = StartMenuSubfolder(relative);
    if (!subfolder) return std::nullopt;
    return WithTrailingBackslash(programsFolder + (subfolder->empty() ? "" : "\\" + *subfolder));
}

}  // namespace

std::optional<std::string> StartMenuSubfolder(std::string_view folder) {
    if (folder.find(':') != std::string_view::npos) return std::nullopt;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= folder.size()) {
        std::size_t end = folder.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = folder.size();
        const std::string part(folder.substr(start, end - start));
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (parts.empty()) return std::nullopt;
            parts.pop_back();
            continue;
        }
        // The platform drops trailing dots and blanks: such a name would be
        // the folder above, or none.
        if (part.find_first_not_of(". ") == std::string::npos) return std::nullopt;
        parts.push_back(part);
    }
    std::string joined;
    for (const auto& part : parts) joined += (joined.empty() ? "" : "\\") + part;
    return joined;
}

std::optional<ShortcutPlan> DesktopShortcutPlan(const ArgList& args, const std::string& desktopFolder) {
    if (!IsPlainComponent(args.OrEmpty(3))) return std::nullopt;
    ShortcutPlan plan;
    plan.request.target = args.OrEmpty(2);
    plan.request.linkPath = desktopFolder + "\\" + args.OrEmpty(3) + ".lnk";
    if (args.Count() == 5) plan.request.iconFile = args.OrEmpty(4);
    return plan;
}

std::optional<ShortcutPlan> StartMenuShortcutPlan(const ArgList& args, const std::string& programsFolder) {
    const auto folder = StartMenuFolder(programsFolder, args.OrEmpty(3));
    if (!folder || !IsPlainComponent(args.OrEmpty(4))) return std::nullopt;
    ShortcutPlan plan;
    plan.folderToCreate = *folder;
    plan.request.target = args.OrEmpty(2);
    plan.request.linkPath = plan.folderToCreate + args.OrEmpty(4) + ".lnk";
    if (args.Count() == 6) plan.request.iconFile = args.OrEmpty(5);
    return plan;
}

std::optional<ShortcutPlan> UninstallShortcutPlan(const ArgList& args, const std::string& programsFolder,
                                                  const std::string& programFolder,
                                                  const std::string& programBaseName,
                                                  const std::string& systemFolder) {
    const auto folder = StartMenuFolder(programsFolder, args.OrEmpty(3));
    if (!folder || !IsPlainComponent(args.OrEmpty(4))) return std::nullopt;
    ShortcutPlan plan;
    plan.folderToCreate = *folder;
    plan.request.target = programFolder + "\\" + programBaseName + ".exe";
    plan.request.linkPath = plan.folderToCreate + args.OrEmpty(4) + ".lnk";
    // Both parts must be there; otherwise the shortcut starts the program without a command.
    if (args.Count() >= 7) plan.request.arguments = args.OrEmpty(5) + "," + args.OrEmpty(6);
    plan.request.iconFile = systemFolder + "\\shell32.dll";
    plan.request.iconIndex = 63;
    return plan;
}

}  // namespace tav
