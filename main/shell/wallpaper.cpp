#include "main/shell/wallpaper.h"

#include <windows.h>

#include <cstring>
#include <optional>

#include "common/win/ansi.h"
#include "common/win/files.h"
#include "common/win/folders.h"
#include "common/win/protected_folders.h"
#include "common/win/raii.h"
#include "common/win/trace.h"
#include "main/run/picture.h"
#include "main/run/run_state.h"
#include "main/shell/bmp_layout.h"
#include "main/shell/wallpaper_name.h"

namespace tav {
namespace {

void SetWallpaper(const std::string& path) {
    // The path is only read; the platform's declaration is not const.
    std::string copy = path;
    TraceCall(::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, copy.data(),
                            SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) != FALSE, "SystemParametersInfoA(SPI_SETDESKWALLPAPER)", Quoted(path));
}

int ScreenDpiX() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// The picture's own size in pixels: a bitmap's real size, an icon's image,
// and for metafiles the size the platform reports at the screen's DPI.
SIZE OwnPixelSize(IPicture* picture) {
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    picture->get_Type(&type);
    picture->get_Handle(&handle);
    const auto gdiHandle = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle));
    if (type == PICTYPE_BITMAP && gdiHandle) {
        BITMAP bitmap{};
        if (::GetObjectA(gdiHandle, sizeof bitmap, &bitmap)) return {bitmap.bmWidth, bitmap.bmHeight};
    }
    return PictureSizePixels(picture, ScreenDpiX());
}

bool WriteAll(HANDLE file, const void* data, std::uint32_t size) {
    DWORD written = 0;
    return ::WriteFile(file, data, size, &written, nullptr) && written == size;
}

// The picture drawn on white into a 24-bit bottom-up DIB section.
struct RenderedPicture {
    UniqueGdiObject bitmap;
    const BYTE* bits = nullptr;
};

RenderedPicture Render(IPicture* picture, SIZE size, const BmpLayout& layout) {
    RenderedPicture out;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = layout.imageSize;

    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) return out;
    void* bits = nullptr;
    UniqueGdiObject bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return out;

    HGDIOBJ previous = ::SelectObject(dc.get(), bitmap.get());
    std::memset(bits, 0xff, layout.imageSize);  // transparent parts become white
    DrawPicture(picture, dc.get(), 0, 0, size.cx, size.cy);
    ::GdiFlush();
    ::SelectObject(dc.get(), previous);

    out.bitmap = std::move(bitmap);
    out.bits = static_cast<const BYTE*>(bits);
    return out;
}

// What lies under the wallpaper's name in the Windows folder before the
// bitmap of `picture` is written there.
enum class WallpaperFile {
    Replaceable,  // nothing, or an earlier wallpaper: a picture itself, never a system file
    ThePicture,   // the picture itself (by identity, so no spelling of it slips through)
    Protected,    // anything else: left alone
};

WallpaperFile Occupant(const std::string& wallpaper, const std::string& picture) {
    if (::GetFileAttributesA(wallpaper.c_str()) == INVALID_FILE_ATTRIBUTES) return WallpaperFile::Replaceable;
    if (!IsPlainFile(wallpaper)) return WallpaperFile::Protected;
    const auto existing = IdentifyPath(WidenAnsi(wallpaper));
    const auto source = IdentifyPath(WidenAnsi(picture));
    if (!existing || !source) return WallpaperFile::Protected;
    if (existing->SameAs(*source)) return WallpaperFile::ThePicture;
    return LoadPictureFile(wallpaper) ? WallpaperFile::Replaceable : WallpaperFile::Protected;
}

// Writes the bitmap of `picture` to a new file in `folder` and moves it over
// `wallpaper` once it is complete, so that the name never holds a partly
// written bitmap. On failure the earlier file is untouched and no new one is left.
bool ReplaceWithBitmap(const std::string& picture, const std::string& wallpaper,
                       const std::string& folder) {
    char temporary[MAX_PATH + 1] = {};
    if (!::GetTempFileNameA(folder.c_str(), "tav", 0, temporary)) return false;
    if (WritePictureAsBitmap(picture, temporary) &&
        ::MoveFileExA(temporary, wallpaper.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    ::DeleteFileA(temporary);
    return false;
}

}  // namespace

bool WritePictureAsBitmap(const std::string& picturePath, const std::string& bitmapPath) {
    const ComPtr<IPicture> picture = LoadPictureFile(picturePath);
    if (!picture) return false;
    const SIZE size = OwnPixelSize(picture.get());
    const auto layout = Bmp24Layout(size.cx, size.cy);
    if (!layout) return false;
    const RenderedPicture rendered = Render(picture.get(), size, *layout);
    if (!rendered.bits) return false;

    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4d42;  // "BM"
    fileHeader.bfSize = layout->fileSize;
    fileHeader.bfOffBits = layout->pixelOffset;
    BITMAPINFOHEADER infoHeader{};
    infoHeader.biSize = sizeof infoHeader;
    infoHeader.biWidth = size.cx;
    infoHeader.biHeight = size.cy;
    infoHeader.biPlanes = 1;
    infoHeader.biBitCount = 24;
    infoHeader.biCompression = BI_RGB;
    infoHeader.biSizeImage = layout->imageSize;
    static_assert(sizeof fileHeader == kBmpFileHeaderSize && sizeof infoHeader == kBmpInfoHeaderSize,
                  "bitmap header sizes");

    UniqueFile file(::CreateFileA(bitmapPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (WriteAll(file.get(), &fileHeader, sizeof fileHeader) &&
        WriteAll(file.get(), &infoHeader, sizeof infoHeader) &&
        WriteAll(file.get(), rendered.bits, layout->imageSize))
        return true;
    file.reset();
    ::DeleteFileA(bitmapPath.c_str());  // no half-written bitmap is left behind
    return false;
}

void WallpaperCommand(PictureChooser choosePicture) {
    if (State.Args.Count() != 3) {
        SetWallpaper("");  // switched off
        return;
    }
    ComApartment com;  // pictures are decoded through COM

    std::string windowsFolder = WindowsFolder(200);
    if (windowsFolder.empty()) return;
    if (windowsFolder.back() != '\\') windowsFolder += '\\';

    std::string picture = State.Args.OrEmpty(2);
    if (picture == "user") picture = choosePicture();  // ends the program on cancel

    // The bitmap keeps the picture's own file name, and only that: nothing of
    // the picture's path may lead it out of the Windows folder.
    const auto name = WallpaperFileName(picture);
    if (!name) { Trace("wallpaper: " + Quoted(picture) + " gives no file name for the bitmap"); return; }
    const std::string wallpaper = windowsFolder + *name;

    if (IsPlainFile(picture)) {
        switch (Occupant(wallpaper, picture)) {
            case WallpaperFile::Replaceable:
                if (!ReplaceWithBitmap(picture, wallpaper, windowsFolder)) { Trace("wallpaper: " + Quoted(picture) + " could not be made the bitmap " + Quoted(wallpaper)); return; }  // no picture: nothing changes
                break;
            case WallpaperFile::ThePicture:
                // Already where the bitmap would go: set as it is, never
                // written over itself, as long as it is a picture at all.
                if (!LoadPictureFile(picture)) return;
                break;
            case WallpaperFile::Protected: Trace("wallpaper: refused: " + Quoted(wallpaper) + " is a file the program does not replace"); return;
        }
    }
    SetWallpaper(wallpaper);
    // The program ends when the dispatcher returns: no window of it is visible.
}

}  // namespace tav
