// Shortcut files on the desktop and in the start menu.
#pragma once

#include "main/shell/shortcut_plan.h"

namespace tav {

void DesktopShortcutCommand();    // "desk"
void StartMenuShortcutCommand();  // "start"
void UninstallShortcutCommand();  // "uninstall"

// Writes one shortcut file through the shell's link object, replacing a file
// of that name. A failing step abandons the rest; nothing is reported.
void CreateShortcut(const ShortcutRequest& request);

}  // namespace tav
