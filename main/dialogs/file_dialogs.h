// The platform's open and save dialogs.
#pragma once

namespace tav {

// "opendialog": the user picks a file, which is copied to TargetBase with its
// own extension; the result file tells the extension and whether it worked.
// Returns; the dispatcher ends the program (the result file is kept).
void OpenDialog();

// "copydialog": the user picks a place, and the file TargetBase is copied
// there. Writes no result; ends the program.
void CopyDialog();

// The wallpaper's picture: returns with State.PicturePath set when the user
// confirmed the dialog; ends the program on cancel.
void ChooseWallpaperPicture();

}  // namespace tav
