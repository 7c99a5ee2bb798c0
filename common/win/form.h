// The windows of both programs are dialog-class windows built from an empty
// in-memory template; their controls are created from layout tables in twips
// and placed in pixels for the display's real DPI. Being dialogs, they get the
// platform's keyboard handling: Tab order = creation order, Enter = default
// button, Esc = IDCANCEL.
#pragma once

#include <windows.h>

#include <string>

#include "common/layout.h"
#include "common/win/raii.h"

namespace tav {

struct FormStyle {
    DWORD style;
    DWORD exStyle;
    std::string caption;
};

// Creates a hidden modeless dialog window; `proc` receives WM_INITDIALOG with `param`.
HWND CreateForm(const FormStyle& form, HWND owner, DLGPROC proc, LPARAM param);
// Shows a dialog window modally and returns the value passed to EndDialog.
INT_PTR ShowFormModal(const FormStyle& form, HWND owner, DLGPROC proc, LPARAM param);

// Dots per inch of the screen (96 on a standard display).
int ScreenDpi();

// Sizes the window so that its client area is `width` × `height` twips.
void SetClientSizeTwips(HWND hwnd, int widthTwips, int heightTwips, int dpi);
void CenterOnScreen(HWND hwnd);

// Creates a child control at a position given in twips.
HWND AddControl(HWND parent, const char* windowClass, const std::string& text, DWORD style,
                const TwipsRect& r, int id, int dpi, DWORD exStyle = 0);

// The size, in pixels, that the control's own text takes in the control's own
// font: one line, or wrapped at word breaks to `wrapWidth` pixels (as a label
// wraps it) when that is above 0.
SIZE ControlTextSize(HWND control, int wrapWidth = 0);

// A font of `points` size for the display's DPI.
UniqueGdiObject CreateUiFont(const char* face, double points, bool bold, int dpi);

// Stores/reads a pointer to the form object in the window (DWLP_USER).
template <typename T>
T* FormFromWindow(HWND hwnd) {
    return reinterpret_cast<T*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
}
void AttachForm(HWND hwnd, void* form);

// The dialog procedure of a form class. WM_INITDIALOG attaches the object
// passed as the creation parameter and runs its load step, whose answer is
// WM_INITDIALOG's (TRUE: the dialog focuses its first control); every later
// message goes to the object's Handle().
template <typename Form>
INT_PTR CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* form = reinterpret_cast<Form*>(lParam);
        AttachForm(hwnd, form);
        return form->Load(hwnd);
    }
    auto* form = FormFromWindow<Form>(hwnd);
    return form ? form->Handle(message, wParam, lParam) : FALSE;
}

}  // namespace tav
