// The uninstaller's decisions that need no platform: its command line and the
// start-menu folder it removes. No platform headers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav::uninstall {

// The installation folder from the uninstaller's full command line. The main
// program quotes the uninstaller's path; earlier versions started it as
// "<path> <folder>" without quotation marks, so that a path with blanks
// cannot be told from the folder by the first blank. When the command line
// begins, unquoted, with one of the forms of the program's own path (as the
// platform reports it, long, short), everything behind that path and the
// blanks after it is the folder; otherwise the usual rule for the program
// name applies.
std::string InstallFolderFromCommandLine(std::string_view commandLine,
                                         const std::vector<std::string>& ownPaths);

// The name of the software's start-menu folder: what follows the last
// backslash of the installation folder (the whole string without one).
// Nothing unless that name is one plain path component (not blank, not "."
// or "..", no "\", "/" or ":"): anything else would lead elsewhere than to a
// folder directly in the start-menu programs folder.
std::optional<std::string> StartMenuNameOf(const std::string& installFolder);

// True when `folder` names its place without the working folder or a drive's
// current folder: a drive and a root ("C:\...", also with "/"), a UNC or
// device path ("\\server\share...", "\\?\C:\..."), or the NT form of a drive
// path ("\??\C:\..."). "..\x", "C:.", "C:x" and "\x" are not.
bool IsFullyQualified(std::string_view folder);

}  // namespace tav::uninstall
