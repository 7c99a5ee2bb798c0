#include "main/files/copymodCopy.h"

namespace tav {

void CopyOneFile() {}
void CopyListedFiles() {}

}  // namespace tav
