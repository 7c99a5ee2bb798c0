// The folder picker.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "main/run/owner_window.h"

namespace tav {

// "selectfolder": shows the folder dialog with argument 2 as its text and
// argument 3 (only when there are exactly four arguments) as the start
// folder, reports the choice in the result file, hands it over and ends the
// program. Without argument 2 it shows nothing, writes nothing and returns.
void SelectFolderCommand(OwnerWindow owner);

// Shows the folder dialog owned by the window `owner` gives, with
// `startFolder` selected when it opens. The chosen folder's file-system path,
// or the empty string (cancelled, or an item without a file-system path);
// nothing when there is no argument 2 to show as the dialog's text.
std::optional<std::string> BrowseForFolder(OwnerWindow owner, const std::string& startFolder);

// Selects the start folder (lpData: its NUL-terminated text) when the dialog
// has initialised; ignores every other message. Always 0.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM parameter, LPARAM lpData);

}  // namespace tav
