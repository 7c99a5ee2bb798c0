#include "main/shell/shortcuts.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "common/win/ansi.h"
#include "common/win/files.h"
#include "common/win/folders.h"
#include "common/win/raii.h"
#include "main/run/run_state.h"

namespace tav {
namespace {

constexpr int kDesktop = CSIDL_DESKTOP;    // 0
constexpr int kPrograms = CSIDL_PROGRAMS;  // 2

// The running program's executable name without its extension.
std::string ProgramBaseName() {
    const std::string path = ProgramPath();
    std::string name = path.substr(path.find_last_of('\\') + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

void Carry(const ShortcutPlan& plan) {
    if (!plan.folderToCreate.empty()) MakeFolderWithParents(plan.folderToCreate);
    CreateShortcut(plan.request);
}

}  // namespace

void CreateShortcut(const ShortcutRequest& request) {
    // Declared first, so that it is left after every interface has been released.
    ComApartment com;
    if (!com.ok()) return;
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.put_void())))
        return;
    ComPtr<IPersistFile> file = link.query<IPersistFile>(IID_IPersistFile);
    if (!file) return;

    if (FAILED(link->SetPath(request.target.c_str()))) return;
    if (!request.iconFile.empty() &&
        FAILED(link->SetIconLocation(request.iconFile.c_str(), request.iconIndex)))
        return;
    if (!request.arguments.empty() && FAILED(link->SetArguments(request.arguments.c_str()))) return;
    if (!request.description.empty() && FAILED(link->SetDescription(request.description.c_str())))
        return;
    if (!request.workingDirectory.empty() &&
        FAILED(link->SetWorkingDirectory(request.workingDirectory.c_str())))
        return;
    file->Save(WidenAnsi(request.linkPath).c_str(), FALSE);
}

void DesktopShortcutCommand() {
    Carry(DesktopShortcutPlan(State.Args, GetSpecialFolder(kDesktop)));
}

void StartMenuShortcutCommand() {
    Carry(StartMenuShortcutPlan(State.Args, GetSpecialFolder(kPrograms)));
}

void UninstallShortcutCommand() {
    Carry(UninstallShortcutPlan(State.Args, GetSpecialFolder(kPrograms), ProgramFolder(),
                                ProgramBaseName(), SystemFolder()));
}

}  // namespace tav
