#include "uninstall/modUninstall.h"

namespace tav::uninstall {

std::string InstallFolder;

void UninstallAll() {}

}  // namespace tav::uninstall
