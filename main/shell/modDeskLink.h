// Shortcut files on the desktop and in the start menu.
#pragma once

namespace tav {

void DesktopShortcutCommand();    // "desk"
void StartMenuShortcutCommand();  // "start"
void UninstallShortcutCommand();  // "uninstall"

}  // namespace tav
