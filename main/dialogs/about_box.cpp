#include "main/dialogs/about_box.h"

#include <commctrl.h>

#include <algorithm>

#include "common/win/form.h"
#include "main/run/picture.h"
#include "main/resources/resource.h"

namespace tav {
namespace {

constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr int kClientWidth = 7755, kClientHeight = 4485;  // twips
constexpr const char* kFace = "Microsoft Sans Serif";

enum ControlId { OkButton = IDCANCEL, TitleLabel = 1001, SubtitleLabel, WebLabel, LicenceLabel, LicenseeLine1, LicenseeLine2 };

struct LabelSpec {
    int id;
    TwipsRect rect;
    const char* text;
    double points;
};

// In tab order; the button comes first (tab index 0).
const LabelSpec kLabels[] = {
    {TitleLabel, {5280, 240, 1575, 375}, "TavrinoII", 14.25},
    {SubtitleLabel, {4480, 720, 3375, 255}, "Datei- und Dialogdienste", 9.75},
    {WebLabel, {5040, 1080, 1935, 255}, "tavrino.example", 9.75},
    {LicenceLabel, {5400, 2280, 1335, 255}, "Lizenziert für:", 8.25},
    {LicenseeLine1, {5240, 2640, 1815, 255}, "Alle Anwender", 9.75},
    {LicenseeLine2, {5210, 3000, 1815, 255}, "dieses Rechners", 9.75},
};

class AboutForm {
public:
    INT_PTR Load(HWND hwnd) {
        hwnd_ = hwnd;
        const int dpi = ScreenDpi();
        dpi_ = dpi;
        SetClientSizeTwips(hwnd, kClientWidth, kClientHeight, dpi);
        CenterOnScreen(hwnd);
        brush_.reset(::CreateSolidBrush(kLightGrey));
        bold975_ = CreateUiFont(kFace, 9.75, true, dpi);
        bold1425_ = CreateUiFont(kFace, 14.25, true, dpi);
        bold825_ = CreateUiFont(kFace, 8.25, true, dpi);
        ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(bold975_.get()), FALSE);

        // Drawn by the window itself: the graphical style, whose face takes
        // the window's light grey.
        AddControl(hwnd, "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                   {5400, 3840, 1215, 375}, OkButton, dpi);
        for (const auto& label : kLabels) {
            HWND control = AddControl(hwnd, "STATIC", label.text, WS_VISIBLE | SS_LEFT | SS_NOTIFY,
                                      label.rect, label.id, dpi);
            HGDIOBJ font = label.points > 14 ? bold1425_.get()
                           : label.points < 9 ? bold825_.get()
                                              : bold975_.get();
            ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            FitToText(control);
        }
        AddTooltip(::GetDlgItem(hwnd, WebLabel), "Besuchen Sie uns im Web");

        if (HRSRC info = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_ABOUT_PICTURE), RT_RCDATA)) {
            HGLOBAL data = ::LoadResource(nullptr, info);
            picture_ = LoadPictureFromBytes(::LockResource(data), ::SizeofResource(nullptr, info));
        }
        if (!modal_) return FALSE;
        ::SetFocus(::GetDlgItem(hwnd, OkButton));
        return FALSE;
    }

    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_CTLCOLORDLG:
                return reinterpret_cast<INT_PTR>(brush_.get());
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN: {
                HDC dc = reinterpret_cast<HDC>(wParam);
                ::SetBkColor(dc, kLightGrey);
                ::SetTextColor(dc, RGB(0, 0, 0));
                return reinterpret_cast<INT_PTR>(brush_.get());
            }
            case WM_DRAWITEM: {
                const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
                if (item->CtlID != static_cast<UINT>(OkButton)) return FALSE;
                DrawButton(*item);
                ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            case WM_PAINT: {
                PAINTSTRUCT ps;
                HDC dc = ::BeginPaint(hwnd_, &ps);
                // The artwork at the top left, in its own pixels on a standard
                // display; on others it keeps its place in the layout.
                const SIZE own = PictureSizePixels(picture_.get(), dpi_);
                DrawPicture(picture_.get(), dc, 0, 0, ::MulDiv(own.cx, dpi_, 96), ::MulDiv(own.cy, dpi_, 96));
                ::EndPaint(hwnd_, &ps);
                return TRUE;
            }
            case WM_COMMAND:
                if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) Unload();
                return TRUE;
            case WM_CLOSE:
                Unload();
                return TRUE;
        }
        (void)lParam;
        return FALSE;
    }

private:
    // A label ends at the window's edge. One too small for its text in the
    // font that stands in for its own grows about its centre, within the
    // window; what still does not fit on one line wraps, and the label grows
    // downwards.
    void FitToText(HWND label) {
        RECT client, r;
        if (!::GetClientRect(hwnd_, &client) || !::GetWindowRect(label, &r)) return;
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        SIZE needed = ControlTextSize(label);
        int left = r.left, width = std::min<int>(r.right, client.right) - r.left, height = r.bottom - r.top;
        if (needed.cx > width) {
            const int centre = left + width / 2;
            width = std::min<int>(needed.cx, client.right);
            left = std::clamp<int>(centre - width / 2, 0, client.right - width);
            if (needed.cx > width) needed = ControlTextSize(label, width);
        }
        height = std::max<int>(height, needed.cy);
        ::SetWindowPos(label, nullptr, left, r.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The button in the graphical style: a light-grey face with a raised
    // edge (sunken while pressed), its caption, and the focus rectangle.
    void DrawButton(const DRAWITEMSTRUCT& item) {
        HDC dc = item.hDC;
        RECT r = item.rcItem;
        const bool pressed = item.itemState & ODS_SELECTED;
        ::FillRect(dc, &r, static_cast<HBRUSH>(brush_.get()));
        ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        char caption[32] = {};
        ::GetWindowTextA(item.hwndItem, caption, sizeof caption);
        RECT text = r;
        if (pressed) ::OffsetRect(&text, 1, 1);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
        HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, (item.itemState & ODS_DISABLED) ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
        ::DrawTextA(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (old) ::SelectObject(dc, old);
        if (item.itemState & ODS_FOCUS) {
            RECT focus = r;
            ::InflateRect(&focus, -4, -4);
            ::DrawFocusRect(dc, &focus);
        }
    }

    void AddTooltip(HWND tool, const char* text) {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&init);
        HWND tip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     hwnd_, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        if (!tip || !tool) return;
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = hwnd_;
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        info.lpszText = const_cast<char*>(text);
        ::SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }

    void Unload() {
        // Modal: end the dialog loop; hidden owner: simply destroy.
        if (modal_) ::EndDialog(hwnd_, IDOK);
        else ::DestroyWindow(hwnd_);
    }

public:
    bool modal_ = false;

private:
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    UniqueGdiObject brush_, bold975_, bold1425_, bold825_;
    ComPtr<IPicture> picture_;
};

// Borderless, no title bar, not in the taskbar.
const FormStyle kStyle = {WS_POPUP, WS_EX_TOOLWINDOW, "Form1"};

}  // namespace

void ShowAboutBox() {
    ComApartment com;  // the artwork is decoded through the platform's picture loading
    AboutForm form;
    form.modal_ = true;
    FormStyle style = kStyle;
    style.style |= WS_VISIBLE;
    ShowFormModal(style, nullptr, FormProc<AboutForm>, reinterpret_cast<LPARAM>(&form));
}

HWND AboutWindow() {
    static AboutForm form;  // lives until the program ends
    static HWND window = CreateForm(kStyle, nullptr, FormProc<AboutForm>, reinterpret_cast<LPARAM>(&form));
    return window;
}

}  // namespace tav
