// The hidden window that owns a platform dialog or the shell's progress
// window. An action gets it from the dispatcher as a function that creates
// the window on first use, so that an action which stops before it shows
// anything creates no window, and no action depends on another's window.
#pragma once

#include <windows.h>

namespace tav {

using OwnerWindow = HWND (*)();

}  // namespace tav
