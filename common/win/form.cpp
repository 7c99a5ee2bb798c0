#include "common/win/form.h"

#include "common/win/ansi.h"
#include "common/win/program.h"

#include <cmath>
#include <vector>

namespace tav {
namespace {

// DLGTEMPLATE without controls, menu or class, followed by the caption in UTF-16.
static_assert(sizeof(DLGTEMPLATE) == 18, "DLGTEMPLATE is packed to WORDs");

std::vector<WORD> BuildTemplate(const FormStyle& form) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(t.data());
    header->style = form.style & ~DS_SETFONT;
    header->dwExtendedStyle = form.exStyle;
    header->cdit = 0;
    header->x = header->y = 0;
    header->cx = header->cy = 0;
    // menu (0) and class (0) words follow the header; then the caption.
    t.pop_back();  // the caption's terminator is appended below
    const std::wstring caption = WidenAnsi(form.caption);
    t.insert(t.end(), caption.begin(), caption.end());
    t.push_back(0);
    if (t.size() % 2) t.push_back(0);  // keep the block DWORD-sized
    return t;
}

}  // namespace

HWND CreateForm(const FormStyle& form, HWND owner, DLGPROC proc, LPARAM param) {
    NoteModelessWindowCreated();
    FormStyle hidden = form;
    hidden.style &= ~WS_VISIBLE;
    const auto t = BuildTemplate(hidden);
    return ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr),
                                        reinterpret_cast<const DLGTEMPLATE*>(t.data()), owner,
                                        proc, param);
}

INT_PTR ShowFormModal(const FormStyle& form, HWND owner, DLGPROC proc, LPARAM param) {
    const auto t = BuildTemplate(form);
    return ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr),
                                     reinterpret_cast<const DLGTEMPLATE*>(t.data()), owner, proc,
                                     param);
}

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

void SetClientSizeTwips(HWND hwnd, int widthTwips, int heightTwips, int dpi) {
    RECT r = {0, 0, TwipsToPixels(widthTwips, dpi), TwipsToPixels(heightTwips, dpi)};
    ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE)));
    ::SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterOnScreen(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    RECT work;
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const int w = r.right - r.left, h = r.bottom - r.top;
    ::SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - w) / 2,
                   work.top + (work.bottom - work.top - h) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND AddControl(HWND parent, const char* windowClass, const std::string& text, DWORD style,
                const TwipsRect& r, int id, int dpi, DWORD exStyle) {
    HWND control = ::CreateWindowExA(
        exStyle, windowClass, text.c_str(), style | WS_CHILD, TwipsToPixels(r.left, dpi),
        TwipsToPixels(r.top, dpi), TwipsToPixels(r.width, dpi), TwipsToPixels(r.height, dpi),
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr),
        nullptr);
    if (control) {
        HFONT font = reinterpret_cast<HFONT>(::SendMessageA(parent, WM_GETFONT, 0, 0));
        if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return control;
}

SIZE ControlTextSize(HWND control, int wrapWidth) {
    const int length = ::GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(control, text.data(), length + 1)));
    HDC dc = ::GetDC(control);
    if (!dc) return {0, 0};
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(SYSTEM_FONT));
    RECT r = {0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return {r.right - r.left, r.bottom - r.top};
}

UniqueGdiObject CreateUiFont(const char* face, double points, bool bold, int dpi) {
    const int height = -static_cast<int>(std::lround(points * dpi / 72.0));
    return UniqueGdiObject(::CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                         FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, face));
}

void AttachForm(HWND hwnd, void* form) {
    ::SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(form));
}

}  // namespace tav
