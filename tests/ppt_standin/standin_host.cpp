// Keeps one stand-in presentation application running, as a user's open
// instance would be: it is created through its registration, entered in the
// running-object table, and served until the test sets the end event.
#include <windows.h>
#include <oleauto.h>

#include "tests/ppt_standin/standin.h"

int main() {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int code = 1;
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, standin::kHostReadyEvent);
    HANDLE end = ::CreateEventA(nullptr, TRUE, FALSE, standin::kHostEndEvent);
    IUnknown* application = nullptr;
    if (ready && end &&
        SUCCEEDED(::CoCreateInstance(standin::kClassId, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IUnknown, reinterpret_cast<void**>(&application)))) {
        DWORD cookie = 0;
        if (SUCCEEDED(::RegisterActiveObject(application, standin::kClassId, ACTIVEOBJECT_STRONG,
                                             &cookie))) {
            ::SetEvent(ready);
            // Calls from other processes arrive as window messages of this apartment.
            for (;;) {
                const DWORD w = ::MsgWaitForMultipleObjects(1, &end, FALSE, INFINITE, QS_ALLINPUT);
                if (w == WAIT_OBJECT_0) break;
                MSG msg;
                while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageA(&msg);
                }
            }
            ::RevokeActiveObject(cookie, nullptr);
            code = 0;
        }
        application->Release();
    }
    if (ready) ::CloseHandle(ready);
    if (end) ::CloseHandle(end);
    ::CoUninitialize();
    return code;
}
