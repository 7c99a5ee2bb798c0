// Calls one function of every delay-loaded system DLL, linked exactly as the
// programs link them: a broken delay-load import library makes the first call
// jump nowhere and the program crash, instead of exit code 0. Both kinds of
// call are made: through the import slot (functions declared dllimport) and
// through the function's stub (SHGetKnownFolderPath is declared without).
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int failures = 0;
    // ole32
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) ++failures;
    // oleaut32
    if (BSTR text = ::SysAllocString(L"probe")) {
        if (::SysStringLen(text) != 5) ++failures;
        ::SysFreeString(text);
    } else {
        ++failures;
    }
    // shell32
    int count = 0;
    if (LPWSTR* words = ::CommandLineToArgvW(L"a b", &count)) {
        if (count != 2) ++failures;
        ::LocalFree(words);
    } else {
        ++failures;
    }
    PWSTR windows = nullptr;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_Windows, 0, nullptr, &windows)) || !windows) ++failures;
    ::CoTaskMemFree(windows);
    // comdlg32: no dialog has run, so there is no error to report
    if (::CommDlgExtendedError() != 0) ++failures;
    // comctl32
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    if (!::InitCommonControlsEx(&controls)) ++failures;
    ::CoUninitialize();
    return failures;
}
