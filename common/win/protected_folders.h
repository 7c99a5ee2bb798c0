// Which folder a delete action's operand names, and whether it may be emptied.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/folder_guard.h"
#include "common/win/raii.h"

namespace tav {

// The operand (trimmed) resolved to one absolute path the way the platform
// reads it ("D:" alone is the current folder of drive D, "\??\C:\x" is C:\x),
// without a trailing backslash unless it is a volume root. Nothing when the
// platform cannot resolve it.
std::optional<std::wstring> ResolveFolderOperand(const std::string& operand);

// What the file system says the file or folder at `path` is (links, junctions
// and substituted drives followed), or nothing when it cannot be opened.
std::optional<FolderIdentity> IdentifyPath(const std::wstring& path);
// The same for a file or folder already open as `handle`.
std::optional<FolderIdentity> IdentifyHandle(HANDLE handle);

// The identities of the machine's protected folders (volume roots are judged
// by their final path): the Windows, system and Program Files folders,
// ProgramData, the profile, Desktop, Documents, AppData (roaming and local),
// the start-menu, programs and Startup folders of the user and of all users,
// and every folder above one of them, by the path the platform gives and by
// the final path of the folder it leads to. Nothing when a folder's place
// cannot be learnt.
std::optional<std::vector<FolderIdentity>> ProtectedFolderIdentities();

// A delete action's target: the operand resolved, the folder it names held
// open, and the verdict on emptying it. The folder is judged through `folder`
// (opened once, links followed, with list and delete access and without
// delete sharing, so it cannot be renamed or replaced while it is held; a
// folder another program holds open against deletion gets no delete access),
// and the action deletes through that handle, so that what was judged is what
// is deleted.
struct FolderToEmpty {
    std::wstring path;
    UniqueFile folder;
    DeleteVerdict verdict = DeleteVerdict::Unidentified;
    bool Allowed() const { return verdict == DeleteVerdict::Allowed; }
};
FolderToEmpty JudgeFolderOperand(const std::string& operand);

}  // namespace tav
