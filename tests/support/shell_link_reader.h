// Reading a shortcut file back through the shell's link object (test helper).
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "common/win/raii.h"

namespace systest {

struct Shortcut {
    bool loaded = false;
    std::string target, arguments, iconFile, description, workingDirectory;
    int iconIndex = -1;
};

inline Shortcut ReadShortcut(const std::string& path) {
    Shortcut s;
    tav::ComApartment com;
    tav::ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.put_void())))
        return s;
    auto file = link.query<IPersistFile>(IID_IPersistFile);
    std::wstring wide(path.size() + 1, L'\0');
    const int n = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(),
                                        static_cast<int>(wide.size()));
    if (!file || n <= 0 || FAILED(file->Load(wide.c_str(), STGM_READ))) return s;
    s.loaded = true;
    char buffer[1024] = {};
    link->GetPath(buffer, sizeof buffer, nullptr, SLGP_RAWPATH);
    s.target = buffer;
    buffer[0] = '\0';
    link->GetArguments(buffer, sizeof buffer);
    s.arguments = buffer;
    buffer[0] = '\0';
    link->GetIconLocation(buffer, sizeof buffer, &s.iconIndex);
    s.iconFile = buffer;
    buffer[0] = '\0';
    link->GetDescription(buffer, sizeof buffer);
    s.description = buffer;
    buffer[0] = '\0';
    link->GetWorkingDirectory(buffer, sizeof buffer);
    s.workingDirectory = buffer;
    return s;
}

}  // namespace systest
