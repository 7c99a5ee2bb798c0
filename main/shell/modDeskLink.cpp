#include "main/shell/modDeskLink.h"

namespace tav {

void DesktopShortcutCommand() {}
void StartMenuShortcutCommand() {}
void UninstallShortcutCommand() {}

}  // namespace tav
