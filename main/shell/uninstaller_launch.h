// How "c,u/<folder>" becomes the uninstaller's start. No platform headers.
#pragma once

#include <string>
#include <string_view>

namespace tav {

// The installation folder of a "c,u/" parameter string: everything from the
// fifth character on, untrimmed and unsplit, with one trailing backslash removed.
std::string InstallFolderOfUninstallCommand(std::string_view parameterString);

// The uninstaller's command line: its path in quotation marks (so that a temp
// folder with blanks or short names cannot be mistaken for part of the
// folder), one blank, the installation folder as it stands.
std::string UninstallerCommandLine(const std::string& uninstallerPath,
                                   const std::string& installFolder);

}  // namespace tav
