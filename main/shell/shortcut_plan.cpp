#include "main/shell/shortcut_plan.h"

namespace tav {
namespace {

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

// The start-menu folder below the programs folder, ending in a backslash.
std::string StartMenuFolder(const std::string& programsFolder, const std::string& relative) {
    return WithTrailingBackslash(programsFolder + "\\" + relative);
}

}  // namespace

ShortcutPlan DesktopShortcutPlan(const ArgList& args, const std::string& desktopFolder) {
    ShortcutPlan plan;
    plan.request.target = args.OrEmpty(2);
    plan.request.linkPath = desktopFolder + "\\" + args.OrEmpty(3) + ".lnk";
    if (args.Count() == 5) plan.request.iconFile = args.OrEmpty(4);
    return plan;
}

ShortcutPlan StartMenuShortcutPlan(const ArgList& args, const std::string& programsFolder) {
    ShortcutPlan plan;
    plan.folderToCreate = StartMenuFolder(programsFolder, args.OrEmpty(3));
    plan.request.target = args.OrEmpty(2);
    plan.request.linkPath = plan.folderToCreate + args.OrEmpty(4) + ".lnk";
    if (args.Count() == 6) plan.request.iconFile = args.OrEmpty(5);
    return plan;
}

ShortcutPlan UninstallShortcutPlan(const ArgList& args, const std::string& programsFolder,
                                   const std::string& programFolder,
                                   const std::string& programBaseName,
                                   const std::string& systemFolder) {
    ShortcutPlan plan;
    plan.folderToCreate = StartMenuFolder(programsFolder, args.OrEmpty(3));
    plan.request.target = programFolder + "\\" + programBaseName + ".exe";
    plan.request.linkPath = plan.folderToCreate + args.OrEmpty(4) + ".lnk";
    // Both parts must be there; otherwise the shortcut starts the program without a command.
    if (args.Count() >= 7) plan.request.arguments = args.OrEmpty(5) + "," + args.OrEmpty(6);
    plan.request.iconFile = systemFolder + "\\shell32.dll";
    plan.request.iconIndex = 63;
    return plan;
}

}  // namespace tav
