// The platform's open and save dialogs.
#pragma once

namespace tav {

void OpenDialog();     // "opendialog": pick a file and copy it to TargetBase
void CopyDialog();     // "copydialog": pick a place and copy TargetBase there
void PictureDialog();  // the wallpaper's picture; sets State.PicturePath or ends the program

}  // namespace tav
