// How "c,u/<folder>" becomes the uninstaller's start. No platform headers.
#pragma once

#include <string>
#include <string_view>

namespace tav {

// The installation folder of a "c,u/" parameter string: everything from the
// fifth character on, untrimmed and unsplit, with one trailing backslash
// removed. The wide form follows the same rule.
std::string InstallFolderOfUninstallCommand(std::string_view parameterString);
std::wstring InstallFolderOfUninstallCommand(std::wstring_view parameterString);

// The uninstaller's command line: its path in quotation marks (so that a temp
// folder with blanks or short names cannot be mistaken for part of the
// folder), one blank, the installation folder as it stands.
std::string UninstallerCommandLine(const std::string& uninstallerPath,
                                   const std::string& installFolder);
std::wstring UninstallerCommandLine(const std::wstring& uninstallerPath,
                                    const std::wstring& installFolder);

// The name of a fresh folder in the temp folder for the carried uninstaller
// when the usual name there cannot take it: unique to this process and the
// attempt (`attempt` counts the tries, `stamp` is any changing number such
// as a tick count).
std::wstring FreshUninstallerFolderName(unsigned long processId, unsigned long stamp, int attempt);

}  // namespace tav
