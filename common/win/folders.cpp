#include "common/win/folders.h"

#include "common/text.h"
#include "common/win/raii.h"

#include <shlobj.h>

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

}  // namespace tav
