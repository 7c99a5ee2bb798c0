#include "common/win/program.h"

#include "common/win/trace.h"

namespace tav {
namespace {

bool g_messageLoopRunning = false;
bool g_modelessWindowCreated = false;

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM found) {
    if (::IsWindowVisible(hwnd)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool IsDialogWindow(HWND hwnd) {
    char cls[16] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0;
}

void Dispatch(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialogWindow(root) && ::IsDialogMessageA(root, &msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

const char* ButtonsOf(UINT flags) {
    switch (flags & MB_TYPEMASK) {
        case MB_OK: return "OK";
        case MB_OKCANCEL: return "OK, Cancel";
        case MB_ABORTRETRYIGNORE: return "Abort, Retry, Ignore";
        case MB_YESNOCANCEL: return "Yes, No, Cancel";
        case MB_YESNO: return "Yes, No";
        case MB_RETRYCANCEL: return "Retry, Cancel";
        default: return "other";
    }
}

const char* ButtonName(int answer) {
    switch (answer) {
        case IDOK: return "OK";
        case IDCANCEL: return "Cancel (or the box was closed)";
        case IDABORT: return "Abort";
        case IDRETRY: return "Retry";
        case IDIGNORE: return "Ignore";
        case IDYES: return "Yes";
        case IDNO: return "No";
        default: return "another button";
    }
}

}  // namespace

void EndProgram() {
    Trace("the program ends");
    ::ExitProcess(0);
}

void NoteModelessWindowCreated() { g_modelessWindowCreated = true; }

void PumpPendingMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

bool AnyVisibleProgramWindow() {
    bool found = false;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindVisible, reinterpret_cast<LPARAM>(&found));
    return found;
}

void RunUntilNoVisibleWindow() {
    g_messageLoopRunning = true;
    // Only a modeless window can outlive Main; without one there is nothing to
    // look for (asking would wake up the display driver for nothing).
    if (!g_modelessWindowCreated || !AnyVisibleProgramWindow()) EndProgram();
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        Dispatch(msg);
        if (!AnyVisibleProgramWindow()) break;
    }
    EndProgram();
}

void ProgramWindowDestroyed() {
    if (g_messageLoopRunning && !AnyVisibleProgramWindow()) EndProgram();
}

int ShowMessage(const std::string& text, const std::string& title, UINT flags, HWND owner) {
    Trace("message box " + Quoted(title) + " shown (buttons " + ButtonsOf(flags) + "): " + Quoted(text));
    const int answer = ::MessageBoxA(owner, text.c_str(), title.c_str(), flags);
    if (answer == 0) TraceFailedCall("MessageBoxA", ::GetLastError(), Quoted(title));
    else Trace("message box " + Quoted(title) + " answered: " + ButtonName(answer));
    return answer;
}

}  // namespace tav
