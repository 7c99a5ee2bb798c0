// The about window of the main program.
#pragma once

#include <windows.h>

namespace tav {

// Shows the about window modally; returns when the user has closed it.
void ShowAboutBox();

// The about window as hidden owner of the picture dialog: created on first
// use, never shown.
HWND AboutWindow();

}  // namespace tav
