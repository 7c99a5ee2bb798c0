#include "main/dialogs/copymodDialog.h"

namespace tav {

void OpenDialog() {}
void CopyDialog() {}
void PictureDialog() {}

}  // namespace tav
