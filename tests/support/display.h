// What a person sees of a window: programs started at another display
// resolution, whether a control's text fits it, the colour of a pixel on the
// screen, and a real double-click of the mouse.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/win/form.h"
#include "common/win/raii.h"
#include "tests/uia/uia.h"

namespace systest {

// Programs started while an object lives run at `dpi` dots per inch (the
// platform reads the setting when a program starts); the default comes back
// afterwards. The test program itself keeps its own resolution and reads
// coordinates unscaled.
class DisplayDpi {
public:
    explicit DisplayDpi(int dpi) {
        ::SetProcessDPIAware();
        const DWORD value = static_cast<DWORD>(dpi);
        tav::UniqueRegKey key;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, key.put(), nullptr) == ERROR_SUCCESS)
            ::RegSetValueExA(key.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value);
    }
    ~DisplayDpi() {
        tav::UniqueRegKey key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_SET_VALUE, key.put()) ==
            ERROR_SUCCESS)
            ::RegDeleteValueA(key.get(), "LogPixels");
    }
    DisplayDpi(const DisplayDpi&) = delete;
    DisplayDpi& operator=(const DisplayDpi&) = delete;
};

// The platform's GUI font (what a control gets when its window names none) as
// a program started at `dpi` has it.
inline tav::UniqueGdiObject GuiFontAt(int dpi) {
    LOGFONTA font{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = ::MulDiv(font.lfHeight, dpi, tav::ScreenDpi());
    return tav::UniqueGdiObject(::CreateFontIndirectA(&font));
}

// The size `text` takes in `font`: one line, or wrapped at word breaks to
// `wrapWidth` pixels (as a label wraps it) when that is above 0.
inline SIZE TextSize(HGDIOBJ font, const std::string& text, int wrapWidth = 0) {
    HDC screen = ::GetDC(nullptr);
    tav::UniqueMemoryDc dc(::CreateCompatibleDC(screen));
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc.get(), font);
    RECT r = {0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
    ::DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc.get(), old);
    return {r.right - r.left, r.bottom - r.top};
}

// The last column that `text` drawn in `font` at x = 0 puts ink into: where a
// whole name ends, whatever the font's side bearings (-1: no ink).
inline int LastInkColumn(HGDIOBJ font, const std::string& text) {
    const SIZE size = TextSize(font, text);
    HDC screen = ::GetDC(nullptr);
    tav::UniqueMemoryDc dc(::CreateCompatibleDC(screen));
    tav::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen, size.cx + 8, size.cy));
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = ::SelectObject(dc.get(), bitmap.get());
    HGDIOBJ oldFont = ::SelectObject(dc.get(), font);
    RECT all = {0, 0, size.cx + 8, size.cy};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetTextColor(dc.get(), RGB(0, 0, 0));
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::TextOutA(dc.get(), 0, 0, text.c_str(), static_cast<int>(text.size()));
    int last = -1;
    for (int x = 0; x < all.right; ++x)
        for (int y = 0; y < all.bottom; ++y)
            if (::GetPixel(dc.get(), x, y) != RGB(255, 255, 255)) { last = x; break; }
    ::SelectObject(dc.get(), oldFont);
    ::SelectObject(dc.get(), oldBitmap);
    return last;
}

// Empty when the control shows its whole text in `font` (wrapped to its
// width when `wraps`); otherwise what is missing, for the failure message.
inline std::string TextCutOff(HWND control, HGDIOBJ font, bool wraps) {
    const std::string text = uia::TextOf(control);
    RECT client{};
    ::GetClientRect(control, &client);
    const SIZE needed = TextSize(font, text, wraps ? client.right : 0);
    if (needed.cx <= client.right && needed.cy <= client.bottom) return {};
    return "\"" + text + "\" needs " + std::to_string(needed.cx) + " x " + std::to_string(needed.cy) +
           " pixels, has " + std::to_string(client.right) + " x " + std::to_string(client.bottom);
}

// True when the two windows' rectangles on the screen share a pixel.
inline bool Overlap(HWND a, HWND b) {
    const RECT ra = uia::WindowRectOnScreen(a), rb = uia::WindowRectOnScreen(b);
    RECT common;
    return ::IntersectRect(&common, &ra, &rb) != FALSE;
}

// True when `inner` lies wholly in the client area of `window`.
inline bool WithinClientArea(HWND inner, HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT r = uia::WindowRectOnScreen(inner);
    return r.left >= client.left && r.top >= client.top && r.right <= client.right && r.bottom <= client.bottom;
}

// A copy of a rectangle of the screen, read pixel by pixel.
class ScreenArea {
public:
    explicit ScreenArea(const RECT& r) : left_(r.left), top_(r.top), width_(r.right - r.left), height_(r.bottom - r.top) {
        if (width_ <= 0 || height_ <= 0) return;
        HDC screen = ::GetDC(nullptr);
        tav::UniqueMemoryDc memory(::CreateCompatibleDC(screen));
        tav::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen, width_, height_));
        HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width_, height_, screen, left_, top_, SRCCOPY);
        ::SelectObject(memory.get(), old);
        ::ReleaseDC(nullptr, screen);
        BITMAPINFOHEADER info{};
        info.biSize = sizeof info;
        info.biWidth = width_;
        info.biHeight = -height_;  // top row first
        info.biPlanes = 1;
        info.biBitCount = 32;
        pixels_.resize(static_cast<std::size_t>(width_) * height_);
        ::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, height_, pixels_.data(),
                    reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The colour at a point of the area (relative to its top-left corner).
    COLORREF At(int x, int y) const {
        const DWORD p = pixels_[static_cast<std::size_t>(y) * width_ + x];  // 0x00RRGGBB
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int left_, top_, width_ = 0, height_ = 0;
    std::vector<DWORD> pixels_;
};

// The colour of one pixel on the screen.
inline COLORREF ScreenPixel(int x, int y) { return ScreenArea({x, y, x + 1, y + 1}).At(0, 0); }

namespace detail {

inline INPUT MouseInputAt(POINT screen, DWORD flags) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = ::MulDiv(screen.x, 65535, w - 1);
    input.mi.dy = ::MulDiv(screen.y, 65535, h - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

}  // namespace detail

// Moves the mouse to a point on the screen; true once the platform reports
// it there. The X server reports a moved pointer again a moment later, to
// whichever window is under it then: a test that will press a button at a
// point moves there first, so that no later report of an older place (while
// the button is held, a list box scrolls towards it) can reach the window.
inline bool MovePointerTo(POINT screen) {
    INPUT move = detail::MouseInputAt(screen, MOUSEEVENTF_MOVE);
    ::SendInput(1, &move, sizeof(INPUT));
    return uia::WaitUntil([&] {
        POINT at{};
        return ::GetCursorPos(&at) && std::abs(at.x - screen.x) <= 1 && std::abs(at.y - screen.y) <= 1;
    });
}

// Moves the mouse to a point on the screen and double-clicks the left button.
inline void DoubleClickAt(POINT screen) {
    INPUT inputs[5] = {detail::MouseInputAt(screen, MOUSEEVENTF_MOVE),
                       detail::MouseInputAt(screen, MOUSEEVENTF_LEFTDOWN), detail::MouseInputAt(screen, MOUSEEVENTF_LEFTUP),
                       detail::MouseInputAt(screen, MOUSEEVENTF_LEFTDOWN), detail::MouseInputAt(screen, MOUSEEVENTF_LEFTUP)};
    ::SendInput(5, inputs, sizeof(INPUT));
}

}  // namespace systest
