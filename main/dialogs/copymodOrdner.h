// The folder picker.
#pragma once

namespace tav {

void SelectFolderCommand();  // "selectfolder"

}  // namespace tav
