// The removal of installed software.
#pragma once

#include <string>

namespace tav::uninstall {

// The installation folder: the command line tail, taken whole.
extern std::string InstallFolder;

// What became of something the uninstaller was to delete: gone (deleted, or
// not there to begin with), or left where it is (and reported).
enum class Removal { Gone, Left };

// Removes the marker file, the installation folder and the start-menu folder,
// then shows the closing message when all of them are gone.
void UninstallAll();

// Empties and removes one folder, with its messages. Paths
// shorter than three characters and folders that must never be emptied (drive
// roots, the Windows and profile folders and the like) are left alone.
Removal DeleteFolder(const std::string& path);

}  // namespace tav::uninstall
