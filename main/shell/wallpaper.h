// The desktop wallpaper.
#pragma once

#include <string>

namespace tav {

// The picture the user chooses for "user"; it ends the program when the user
// chooses none.
using PictureChooser = std::string (*)();

// "wallpaper": with exactly three arguments, the picture in argument 2 (or,
// for "user", the one `choosePicture` gives) is written as a bitmap
// under its own file name into the Windows folder and made the wallpaper; any
// other number of arguments switches the wallpaper off. Writes no result.
// The bitmap is written completely under a temporary name first; it never
// replaces the picture itself, nor a file of that name that is no picture.
void WallpaperCommand(PictureChooser choosePicture);

// Writes the picture file `picture` as a 24-bit BMP file of the picture's own
// pixel size to `bitmapPath`, replacing a file of that name. False (and
// nothing written) when the picture cannot be read or decoded or the bitmap
// cannot be written. COM must be initialised on the calling thread.
bool WritePictureAsBitmap(const std::string& picture, const std::string& bitmapPath);

}  // namespace tav
