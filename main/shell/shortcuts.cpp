#include "main/shell/shortcuts.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "common/win/ansi.h"
#include "common/win/entry_itself.h"
#include "common/win/files.h"
#include "common/win/folders.h"
#include "common/win/protected_folders.h"
#include "common/win/raii.h"
#include "common/win/trace.h"
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

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// True when `inner` is `outer` or lies below it.
bool IsAtOrBelow(const std::wstring& inner, const std::wstring& outer) {
    const std::wstring base = WithoutTrailingBackslash(outer);
    const std::wstring path = WithoutTrailingBackslash(inner);
    if (path.size() < base.size() || !EqualIgnoringCase(path.substr(0, base.size()), base)) return false;
    return path.size() == base.size() || path[base.size()] == L'\\' || base.back() == L'\\';
}

// True when `folder` lies, as the platform reads it and as the file system
// finds it (links in it followed), in the programs folder or below it. For
// a folder not made yet, the deepest folder above it that exists decides.
bool StaysInPrograms(const std::string& folder, const std::string& programs) {
    const auto path = FullPathOf(WidenAnsi(folder));
    const auto programsPath = FullPathOf(WidenAnsi(programs));
    if (!path || !programsPath || !IsAtOrBelow(*path, *programsPath)) return false;
    const auto programsIdentity = IdentifyPath(*programsPath);
    if (!programsIdentity) return false;
    for (std::optional<std::wstring> p = WithoutTrailingBackslash(*path); p; p = ParentFolder(*p))
        if (const auto existing = IdentifyPath(*p)) return IsAtOrBelow(existing->finalPath, programsIdentity->finalPath);
    return false;
}

// Saves the shortcut under a new name in the shortcut's folder and renames
// it to `linkPath`, replacing what stands there as the entry it is: a link at
// that name is replaced, never written through. A folder there stays, and
// nothing of the new file is left. True when the shortcut stands at its name.
bool SaveInPlaceOf(IPersistFile& file, const std::string& linkPath) {
    const std::wstring path = WidenAnsi(linkPath);
    const auto folder = ParentFolder(path);
    if (!folder) return false;
    wchar_t temporary[MAX_PATH + 1] = {};
    if (!TraceCall(::GetTempFileNameW(folder->c_str(), L"tav", 0, temporary) != 0, "GetTempFileNameW", linkPath))
        return false;
    const HRESULT saved = file.Save(temporary, FALSE);
    if (FAILED(saved)) TraceFailedCall("IPersistFile::Save", static_cast<unsigned long>(saved), Quoted(linkPath));
    if (SUCCEEDED(saved) &&
        TraceCall(::MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0, "MoveFileExW", linkPath))
        return true;
    RemoveFileItself(temporary);
    return false;
}

void Carry(const std::optional<ShortcutPlan>& plan, const std::string& programs = {}) {
    if (!plan) return;
    if (!plan->folderToCreate.empty()) {
        if (!StaysInPrograms(plan->folderToCreate, programs)) { Trace("shortcut: refused: the folder " + Quoted(plan->folderToCreate) + " does not stay in the start menu's programs folder"); return; }
        MakeFolderWithParents(plan->folderToCreate);
        if (!StaysInPrograms(plan->folderToCreate, programs)) return;
    }
    CreateShortcut(plan->request);
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
    if (SaveInPlaceOf(*file.get(), request.linkPath))
        Trace("shortcut " + Quoted(request.linkPath) + " saved, to " + Quoted(request.target));
}

void DesktopShortcutCommand() {
    Carry(DesktopShortcutPlan(State.Args, GetSpecialFolder(kDesktop)));
}

void StartMenuShortcutCommand() {
    const std::string programs = GetSpecialFolder(kPrograms);
    Carry(StartMenuShortcutPlan(State.Args, programs), programs);
}

void UninstallShortcutCommand() {
    const std::string programs = GetSpecialFolder(kPrograms);
    Carry(UninstallShortcutPlan(State.Args, programs, ProgramFolder(), ProgramBaseName(), SystemFolder()),
          programs);
}

}  // namespace tav
