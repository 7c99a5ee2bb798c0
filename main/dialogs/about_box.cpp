#include "main/dialogs/about_box.h"

#include <commctrl.h>

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
        SetClientSizeTwips(hwnd, kClientWidth, kClientHeight, dpi);
        CenterOnScreen(hwnd);
        brush_.reset(::CreateSolidBrush(kLightGrey));
        bold975_ = CreateUiFont(kFace, 9.75, true, dpi);
        bold1425_ = CreateUiFont(kFace, 14.25, true, dpi);
        bold825_ = CreateUiFont(kFace, 8.25, true, dpi);
        ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(bold975_.get()), FALSE);

        AddControl(hwnd, "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                   {5400, 3840, 1215, 375}, OkButton, dpi);
        for (const auto& label : kLabels) {
            HWND control = AddControl(hwnd, "STATIC", label.text, WS_VISIBLE | SS_LEFT | SS_NOTIFY,
                                      label.rect, label.id, dpi);
            HGDIOBJ font = label.points > 14 ? bold1425_.get()
                           : label.points < 9 ? bold825_.get()
                                              : bold975_.get();
            ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
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
            case WM_PAINT: {
                PAINTSTRUCT ps;
                HDC dc = ::BeginPaint(hwnd_, &ps);
                // The artwork is drawn unscaled: its own pixel size at the top left.
                const SIZE size = PictureSizePixels(picture_.get(), 96);
                DrawPicture(picture_.get(), dc, 0, 0, size.cx, size.cy);
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
