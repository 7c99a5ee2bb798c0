#include "common/win/program.h"

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

}  // namespace

void EndProgram() { ::ExitProcess(0); }

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
    return ::MessageBoxA(owner, text.c_str(), title.c_str(), flags);
}

}  // namespace tav
