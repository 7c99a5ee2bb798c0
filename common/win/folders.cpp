#include "common/win/folders.h"

#include "common/folder_guard.h"
#include "common/text.h"
#include "common/win/raii.h"

#include <shlobj.h>

#include <vector>

namespace tav {

std::string GetSpecialFolder(int csidl) {
    UniqueItemIdList items;
    // The owner handle 100 is what the program has always passed; the shell
    // only uses it to parent dialogs for folders that need them.
    if (::SHGetSpecialFolderLocation(reinterpret_cast<HWND>(static_cast<INT_PTR>(100)), csidl,
                                     items.put()) != S_OK)
        return {};
    char buffer[512] = {};
    if (!::SHGetPathFromIDListA(items.get(), buffer)) return {};
    return CutAtNul(buffer, sizeof buffer);
}

std::string WindowsFolder(unsigned bufferChars) {
    std::string buffer(bufferChars, '\0');
    const UINT n = ::GetWindowsDirectoryA(buffer.data(), bufferChars);
    if (n == 0 || n >= bufferChars) return {};
    buffer.resize(n);
    return buffer;
}

std::string SystemFolder() {
    char buffer[255] = {};
    const UINT n = ::GetSystemDirectoryA(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    return std::string(buffer, n);
}

std::string ProgramPath() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramFolder() {
    std::string path = ProgramPath();
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

namespace {

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 4] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) return path;
    std::string full(buffer, n);
    char longBuffer[MAX_PATH * 4] = {};
    const DWORD m = ::GetLongPathNameA(full.c_str(), longBuffer, sizeof longBuffer);
    if (m != 0 && m < sizeof longBuffer) full.assign(longBuffer, m);
    return full;
}

std::string EnvironmentFolder(const char* name) {
    char buffer[MAX_PATH * 2] = {};
    const DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return (n == 0 || n >= sizeof buffer) ? std::string() : std::string(buffer, n);
}

}  // namespace

bool IsProtectedFolderHere(const std::string& folder) {
    std::vector<std::string> important = {
        WindowsFolder(MAX_PATH),
        SystemFolder(),
        GetSpecialFolder(CSIDL_PROGRAM_FILES),
        GetSpecialFolder(CSIDL_PROGRAM_FILESX86),
        GetSpecialFolder(CSIDL_PROGRAM_FILES_COMMON),
        GetSpecialFolder(CSIDL_PROFILE),
        GetSpecialFolder(CSIDL_DESKTOPDIRECTORY),
        GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY),
        GetSpecialFolder(CSIDL_PERSONAL),
        GetSpecialFolder(CSIDL_COMMON_DOCUMENTS),
        GetSpecialFolder(CSIDL_PROGRAMS),
        GetSpecialFolder(CSIDL_COMMON_PROGRAMS),
        GetSpecialFolder(CSIDL_STARTMENU),
        GetSpecialFolder(CSIDL_APPDATA),
        GetSpecialFolder(CSIDL_LOCAL_APPDATA),
        EnvironmentFolder("ProgramFiles"),
        EnvironmentFolder("ProgramFiles(x86)"),
        EnvironmentFolder("ProgramW6432"),
        EnvironmentFolder("USERPROFILE"),
        EnvironmentFolder("SystemRoot"),
    };
    // The important folders themselves may be reached through short names.
    for (auto& f : important)
        if (!f.empty()) f = FullPath(f);
    return IsProtectedFolder(FullPath(Trim(folder)), important);
}

}  // namespace tav
