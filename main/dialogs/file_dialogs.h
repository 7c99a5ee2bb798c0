// The platform's open and save dialogs. Each is owned by the hidden window
// that `owner` gives when the dialog is about to open.
#pragma once

#include <string>

#include "main/run/owner_window.h"

namespace tav {

// "opendialog": the user picks a file, which is copied to TargetBase with its
// own extension; the result file tells the extension and whether it worked.
// Returns; the dispatcher ends the program (the result file is kept).
void OpenDialog(OwnerWindow owner);

// "copydialog": the user picks a place, and the file TargetBase is copied
// there. Writes no result; ends the program.
void CopyDialog(OwnerWindow owner);

// The wallpaper's picture: the file the user confirmed in the picture
// dialog; ends the program on cancel.
std::string ChooseWallpaperPicture(OwnerWindow owner);

}  // namespace tav
