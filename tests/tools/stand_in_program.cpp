// A program that only says it was started: it writes the file
// "C:\program-marks\<its own file name>". Started with "load <dll>", it
// then loads that DLL the platform's usual way (its own folder first).
// The system tests put it where no program but the one they expect may run.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t own[MAX_PATH + 1] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring name(own);
    name = name.substr(name.find_last_of(L'\\') + 1);
    ::CreateDirectoryW(L"C:\\program-marks", nullptr);
    const HANDLE mark = ::CreateFileW((L"C:\\program-marks\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, 0, nullptr);
    if (mark != INVALID_HANDLE_VALUE) ::CloseHandle(mark);

    const std::wstring line = ::GetCommandLineW();
    const auto load = line.find(L" load ");
    if (load != std::wstring::npos) ::LoadLibraryW(line.substr(load + 6).c_str());
    return 0;
}
