// Pictures (BMP, JPEG, GIF, ICO, WMF with placeable header, EMF) through the
// platform's picture loading.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "common/win/raii.h"

namespace tav {

// Loads a picture from bytes in memory; empty when they are no picture.
ComPtr<IPicture> LoadPictureFromBytes(const void* data, std::size_t size);
// Loads a picture file; empty when it cannot be read or is no picture.
ComPtr<IPicture> LoadPictureFile(const std::string& path);

// The picture's size in pixels on a display of `dpi` dots per inch (metafiles
// get the size the platform reports for them).
SIZE PictureSizePixels(IPicture* picture, int dpi);

// Draws the whole picture stretched into the rectangle.
void DrawPicture(IPicture* picture, HDC dc, int x, int y, int width, int height);

}  // namespace tav
