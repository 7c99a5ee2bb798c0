// The desktop wallpaper.
#pragma once

namespace tav {

void WallpaperCommand();  // "wallpaper"

}  // namespace tav
