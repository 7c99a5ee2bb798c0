// The uninstaller's decisions that need no platform: its command line and the
// start-menu folder it removes. No platform headers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tav::uninstall {

// The installation folder from the uninstaller's full command line. The main
// program starts it as "<path> <folder>" without quotation marks, so a path
// with blanks (a temp folder below "Dokumente und Einstellungen") cannot be
// told from the folder by the first blank: when the command line begins with
// the program's own path, everything behind that path and the blanks after it
// is the folder; otherwise the usual rule for the program name applies.
std::string InstallFolderFromCommandLine(std::string_view commandLine,
                                         std::string_view ownPath);

// The name of the software's start-menu folder: what follows the last
// backslash of the installation folder (the whole string without one).
// Nothing when that name is empty or blanks only, since the start-menu
// programs folder itself would be meant.
std::optional<std::string> StartMenuNameOf(const std::string& installFolder);

}  // namespace tav::uninstall
