#include "main/dialogs/copymodOrdner.h"

namespace tav {

void SelectFolderCommand() {}

}  // namespace tav
