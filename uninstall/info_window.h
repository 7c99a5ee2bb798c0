// The uninstaller's information window.
#pragma once

#include <windows.h>

namespace tav::uninstall {

// Shows the information window modally; returns when it is closed.
void ShowInformationWindow();

// The information window as hidden owner of the shell's progress window.
HWND InformationWindow();

}  // namespace tav::uninstall
