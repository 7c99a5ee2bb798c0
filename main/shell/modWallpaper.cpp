#include "main/shell/modWallpaper.h"

namespace tav {

void WallpaperCommand() {}

}  // namespace tav
