// What the shortcut actions write, worked out from the argument list and the
// machine's folders. No platform headers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "main/run/parameters.h"

namespace tav {

// One shortcut file: the input of the shortcut writer.
struct ShortcutRequest {
    std::string target;
    std::string linkPath;          // full path ending in ".lnk"
    std::string iconFile;          // empty: no icon location is set
    std::string arguments;         // empty: none set
    std::string description;       // empty: none set
    std::string workingDirectory;  // empty: none set
    int iconIndex = 0;
};

struct ShortcutPlan {
    ShortcutRequest request;
    std::string folderToCreate;  // ends in a backslash; empty: nothing to create
};

// A start-menu folder as a path below the programs folder: its components
// joined by "\" ("/" read as "\", "." and empty components dropped, ".."
// taking back the one before it), empty for the programs folder itself.
// Nothing when it would climb above the programs folder, or holds a ":" or a
// component of dots and blanks only (other than "." and "..").
std::optional<std::string> StartMenuSubfolder(std::string_view folder);

// Each plan is nothing, and nothing is created, when the shortcut's name is
// not one plain name (see IsPlainComponent) or the start-menu folder would
// not lie below the programs folder.

// "desk": c,desk,target,name[,icon]. The icon is read only when it is the last element.
std::optional<ShortcutPlan> DesktopShortcutPlan(const ArgList& args, const std::string& desktopFolder);

// "start": c,start,target,start-menu folder,name[,icon]. The icon is read only
// when it is the last element.
std::optional<ShortcutPlan> StartMenuShortcutPlan(const ArgList& args, const std::string& programsFolder);

// "uninstall": c,uninstall,(unused),start-menu folder,name,arguments 1,arguments 2.
// The shortcut starts the main program itself with "<arguments 1>,<arguments 2>"
// and shows shell32.dll's icon 63.
std::optional<ShortcutPlan> UninstallShortcutPlan(const ArgList& args, const std::string& programsFolder,
                                                  const std::string& programFolder,
                                                  const std::string& programBaseName,
                                                  const std::string& systemFolder);

}  // namespace tav
