// Keeps one stand-in presentation application running, as a user's open
// instance would be: it is created through its registration, entered in the
// running-object table, and served until the test sets the end event.
#include <windows.h>
#include <oleauto.h>

#include "common/win/raii.h"
#include "tests/ppt_standin/standin.h"

namespace {

// The application's entry in the running-object table.
class ActiveObject {
public:
    ActiveObject(IUnknown* object, REFCLSID clsid) {
        registered_ = SUCCEEDED(::RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &cookie_));
    }
    ~ActiveObject() {
        if (registered_) ::RevokeActiveObject(cookie_, nullptr);
    }
    ActiveObject(const ActiveObject&) = delete;
    ActiveObject& operator=(const ActiveObject&) = delete;
    bool Registered() const { return registered_; }

private:
    DWORD cookie_ = 0;
    bool registered_ = false;
};

int Serve() {
    tav::UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, standin::kHostReadyEvent));
    tav::UniqueHandle end(::CreateEventA(nullptr, TRUE, FALSE, standin::kHostEndEvent));
    if (!ready || !end) return 1;
    tav::ComPtr<IUnknown> application;
    if (FAILED(::CoCreateInstance(standin::kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  application.put_void())))
        return 1;
    const ActiveObject entry(application.get(), standin::kClassId);
    if (!entry.Registered()) return 1;
    ::SetEvent(ready.get());

    // Calls from other processes arrive as window messages of this apartment.
    HANDLE endHandle = end.get();
    while (::MsgWaitForMultipleObjects(1, &endHandle, FALSE, INFINITE, QS_ALLINPUT) !=
           WAIT_OBJECT_0) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return 0;
}

}  // namespace

int main() {
    const tav::ComApartment apartment;
    if (!apartment.ok()) return 1;
    return Serve();
}
