#include "common/win/dll_search.h"

#include <windows.h>

namespace tav {

bool RestrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = kernel32 ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                                           reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")))
                                     : nullptr;
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    ::SetDllDirectoryW(L"");
    return false;
}

}  // namespace tav
