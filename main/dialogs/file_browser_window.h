// The file browser with picture preview.
#pragma once

#include <windows.h>

namespace tav {

// Creates the browser (its load step runs), captions it with DialogTitle and
// shows it non-modally; the program then lives on in the message loop.
void ShowFileBrowser();

// The browser window as a hidden owner for the platform's dialogs and the
// shell's progress window: created on first use (only the load step runs),
// never shown.
HWND FileBrowserWindow();

}  // namespace tav
