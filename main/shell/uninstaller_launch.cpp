#include "main/shell/uninstaller_launch.h"

namespace tav {

std::string InstallFolderOfUninstallCommand(std::string_view parameterString) {
    std::string folder(parameterString.size() > 4 ? parameterString.substr(4) : std::string_view());
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string UninstallerCommandLine(const std::string& uninstallerPath,
                                   const std::string& installFolder) {
    return "\"" + uninstallerPath + "\" " + installFolder;
}

}  // namespace tav
