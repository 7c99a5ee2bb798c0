#include "main/files/copymodSHfile.h"

namespace tav {

void KillFiles() {}
void KillFolder() {}
void CopyFolder() {}

}  // namespace tav
