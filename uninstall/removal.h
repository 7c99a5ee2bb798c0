// The removal of installed software.
#pragma once

#include <string>

namespace tav::uninstall {

// The installation folder: the command line tail, taken whole.
extern std::string InstallFolder;

// Removes the marker file, the installation folder and the start-menu folder,
// then shows the closing message.
void UninstallAll();

// Empties and removes one folder, with its messages. Paths
// shorter than three characters and folders that must never be emptied (drive
// roots, the Windows and profile folders and the like) are left alone.
void DeleteFolder(const std::string& path);

}  // namespace tav::uninstall
