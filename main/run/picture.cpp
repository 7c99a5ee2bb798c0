#include "main/run/picture.h"

#include "common/win/files.h"

#include <cstring>
#include <vector>

namespace tav {

ComPtr<IPicture> LoadPictureFromBytes(const void* data, std::size_t size) {
    ComPtr<IPicture> picture;
    if (!data || size == 0 || size > 0x7fffffff) return picture;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return picture;
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return picture;
    }
    std::memcpy(target, data, size);
    ::GlobalUnlock(memory);
    ComPtr<IStream> stream;
    // The stream owns the memory from here on (fDeleteOnRelease).
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
        ::GlobalFree(memory);
        return picture;
    }
    ::OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                     picture.put_void());
    return picture;
}

ComPtr<IPicture> LoadPictureFile(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    if (!bytes) return {};
    return LoadPictureFromBytes(bytes->data(), bytes->size());
}

SIZE PictureSizePixels(IPicture* picture, int dpi) {
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    if (picture) {
        picture->get_Width(&w);
        picture->get_Height(&h);
    }
    return {::MulDiv(w, dpi, 2540), ::MulDiv(h, dpi, 2540)};
}

void DrawPicture(IPicture* picture, HDC dc, int x, int y, int width, int height) {
    if (!picture) return;
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    picture->get_Width(&w);
    picture->get_Height(&h);
    picture->Render(dc, x, y, width, height, 0, h, w, -h, nullptr);
}

}  // namespace tav
