// The desktop wallpaper.
#pragma once

#include <string>

namespace tav {

// "wallpaper": with exactly three arguments, the picture in argument 2 (or,
// for "user", the one chosen in the picture dialog) is written as a bitmap
// under its own name into the Windows folder and made the wallpaper; any
// other number of arguments switches the wallpaper off. Writes no result.
void WallpaperCommand();

// Writes the picture file `picture` as a 24-bit BMP file of the picture's own
// pixel size to `bitmapPath`, replacing a file of that name. False (and
// nothing written) when the picture cannot be read or decoded or the bitmap
// cannot be written. COM must be initialised on the calling thread.
bool WritePictureAsBitmap(const std::string& picture, const std::string& bitmapPath);

}  // namespace tav
