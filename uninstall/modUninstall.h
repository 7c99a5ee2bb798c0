// The removal of installed software.
#pragma once

#include <string>

namespace tav::uninstall {

// The installation folder: the command line tail, taken whole.
extern std::string InstallFolder;

// Removes the marker file, the installation folder and the start-menu folder,
// then shows the closing message.
void UninstallAll();

}  // namespace tav::uninstall
