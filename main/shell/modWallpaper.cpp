#include "main/shell/modWallpaper.h"

#include <windows.h>

#include <cstring>

#include "common/win/files.h"
#include "common/win/folders.h"
#include "common/win/raii.h"
#include "main/dialogs/copymodDialog.h"
#include "main/dialogs/picture.h"
#include "main/dialogs/split_path.h"
#include "main/shell/bmp_layout.h"
#include "main/startup/program_state.h"

namespace tav {
namespace {

void SetWallpaper(const std::string& path) {
    // The path is only read; the platform's declaration is not const.
    std::string copy = path;
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, copy.data(),
                            SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
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

void WallpaperCommand() {
    if (State.Args.Count() != 3) {
        SetWallpaper("");  // switched off
        return;
    }
    ComApartment com;  // pictures are decoded through COM

    std::string windowsFolder = WindowsFolder(200);
    if (windowsFolder.empty()) return;
    if (windowsFolder.back() != '\\') windowsFolder += '\\';

    std::string picture = State.Args.OrEmpty(2);
    if (picture == "user") {
        PictureDialog();  // ends the program on cancel
        picture = State.PicturePath;
    }

    std::string folder, name, extension;
    SplitPath(picture, folder, name, extension);
    const std::string wallpaper = windowsFolder + name + "." + extension;

    if (IsPlainFile(picture)) {
        // A file of that name in the Windows folder is replaced only when it
        // is a picture itself (an earlier wallpaper), never a system file.
        if (IsPlainFile(wallpaper) && !LoadPictureFile(wallpaper)) return;
        if (!WritePictureAsBitmap(picture, wallpaper)) return;  // no picture: nothing changes
    }
    SetWallpaper(wallpaper);
    // The program ends when the dispatcher returns: no window of it is visible.
}

}  // namespace tav
