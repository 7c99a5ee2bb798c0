#include "main/dialogs/frmTavrino.h"

#include "common/win/form.h"

namespace tav {
namespace {

INT_PTR CALLBACK HiddenProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

}  // namespace

void ShowFileBrowser() {}

HWND FileBrowserWindow() {
    static HWND window = CreateForm({WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, "Tavrino"}, nullptr,
                                    HiddenProc, 0);
    return window;
}

}  // namespace tav
