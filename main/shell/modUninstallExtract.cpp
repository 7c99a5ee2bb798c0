#include "main/shell/modUninstallExtract.h"

namespace tav {

void ExtractAndStartUninstaller(const std::string&) {}

}  // namespace tav
