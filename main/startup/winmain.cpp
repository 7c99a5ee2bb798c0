// Entry point of Tavrino2.
#include <windows.h>

#include "common/command_line.h"
#include "common/win/dll_search.h"
#include "common/win/program.h"
#include "main/startup/dispatch.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // First: no DLL is loaded from anywhere but the system folder.
    tav::RestrictDllSearchToSystemFolder();
    tav::RunParameterString(tav::CommandLineTail(::GetCommandLineA()),
                            tav::CommandLineTail(std::wstring_view(::GetCommandLineW())));
    // Only a visible non-modal window (the file browser, the search window)
    // keeps the program running; hidden owner windows never do.
    tav::RunUntilNoVisibleWindow();
}
