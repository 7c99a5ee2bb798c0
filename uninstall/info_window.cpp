#include "uninstall/info_window.h"

#include "common/win/form.h"
#include "uninstall/resource.h"

namespace tav::uninstall {
namespace {

constexpr int kClientWidth = 3990, kClientHeight = 1425;  // twips
enum ControlId { CloseButton = IDOK, TextLabel = 1001 };

// The label grows to hold its whole text in whatever font stands in for the
// window's; the button and the window's bottom edge move down with it.
void FitLabelHeight(HWND window, HWND label, HWND button) {
    RECT r;
    if (!label || !::GetClientRect(label, &r)) return;
    const int extra = ControlTextSize(label, r.right).cy - r.bottom;
    if (extra <= 0) return;
    ::SetWindowPos(label, nullptr, 0, 0, r.right, r.bottom + extra, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT b;
    if (button && ::GetWindowRect(button, &b)) {
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&b), 2);
        ::SetWindowPos(button, nullptr, b.left, b.top + extra, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT w;
    ::GetWindowRect(window, &w);
    ::SetWindowPos(window, nullptr, 0, 0, w.right - w.left, w.bottom - w.top + extra,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK InformationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const bool modal = lParam != 0;
            const int dpi = ScreenDpi();
            SetClientSizeTwips(hwnd, kClientWidth, kClientHeight, dpi);
            HICON icon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                         MAKEINTRESOURCEA(IDI_UNINSTALL),
                                                         IMAGE_ICON, 32, 32, LR_SHARED));
            ::SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            ::SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
            HWND button = AddControl(hwnd, "BUTTON", "Schließen",
                                     WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                     {840, 840, 2055, 495}, CloseButton, dpi);
            HWND label = AddControl(hwnd, "STATIC",
                                    "Dieses Tool wird über Parameter aufgerufen. Es dient der "
                                    "Deinstallation von Software.",
                                    WS_VISIBLE | SS_LEFT, {120, 120, 3735, 495}, TextLabel, dpi);
            FitLabelHeight(hwnd, label, button);
            CenterOnScreen(hwnd);
            if (modal) ::SetFocus(button);
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::EndDialog(hwnd, IDOK);
            return TRUE;
        case WM_CLOSE:
            ::EndDialog(hwnd, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

const FormStyle kStyle = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME,
                          "Uninstaller"};

}  // namespace

void ShowInformationWindow() {
    // Owned by a hidden window, so that it gets no taskbar button.
    FormStyle style = kStyle;
    style.style |= WS_VISIBLE;
    ShowFormModal(style, InformationWindow(), InformationProc, 1);
}

HWND InformationWindow() {
    static HWND window = CreateForm(kStyle, nullptr, InformationProc, 0);
    return window;
}

}  // namespace tav::uninstall
