// Which folder a delete action's operand names, and whether it may be emptied.
#pragma once

#include <windows.h>

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

// `path` made absolute as the platform reads it, as given (not trimmed);
// nothing when it cannot be.
std::optional<std::wstring> FullPathOf(const std::wstring& path);

// What the file system says the file or folder at `path` is (links, junctions
// and substituted drives followed), or nothing when it cannot be opened.
std::optional<FolderIdentity> IdentifyPath(const std::wstring& path);
// The same for what `handle` has open.
std::optional<FolderIdentity> IdentifyHandle(HANDLE handle);

// Whose folders a delete action spares besides the machine's: the front end's
// own actions also spare the working folder and the running program's folder
// with every folder above them; the uninstaller, which runs from the temp
// folder, does not.
enum class CallerFolders { Spared, NotSpared };

// The protected folders of this machine, learnt from the platform (see
// LearnProtectedSet): the Windows, system and Program Files folders (the
// 64-bit ones too, from the registry, whatever the environment says),
// ProgramData, every profile (the user's, each one the registry lists and
// every folder in the profiles folder) and the profiles folder, each local
// volume's recycle bin and system volume data, every known folder
// the platform names for the user and for all users (Desktop, Documents,
// Pictures, Downloads, Music, Videos, Favorites, Saved Games, AppData, the
// start-menu folders, ...), the user's and the Windows temp folders, each with
// every folder above it; everything in the Windows folder except below a temp
// folder; and with `callers` spared, the working folder and the running
// program's folder with every folder above them. Nothing when a required
// folder's place cannot be learnt.
std::optional<ProtectedSet> LearnProtectedFolders(CallerFolders callers);

// The judgement on the folder `target` identifies (see JudgeFolder), against
// the protected folders of this machine.
FolderJudgement JudgeFolderOf(const std::optional<FolderIdentity>& target, CallerFolders callers);

// The verdict on emptying the folder `target` identifies (see
// JudgeFolderForDeletion), against the protected folders of this machine.
DeleteVerdict JudgeIdentifiedFolder(const std::optional<FolderIdentity>& target, CallerFolders callers);

// A delete action's target: the operand resolved, the folder it names held
// open, and the verdict on emptying it. The folder is judged through `folder`
// (opened once, links followed, with list and delete access and without
// delete sharing, so it cannot be renamed or replaced while it is held; a
// folder another program holds open against deletion gets no delete access),
// and the action deletes through that handle, so that what was judged is what
// is deleted.
//
// A link (symbolic link, junction) standing at the operand's path is opened as
// itself before the folder it leads to is opened and judged, and held as
// `link`, so that the link removed after its folder is the one that led there.
// Where the platform follows such a link even when asked to open it as
// itself, nothing is held and `linkAtPath` alone says that one stood there.
struct FolderToEmpty {
    std::wstring path;
    UniqueFile folder;
    UniqueFile link;
    bool linkAtPath = false;
    DeleteVerdict verdict = DeleteVerdict::Unidentified;
    // Why it was refused: what the folder is, and the protected folder it
    // matched (see FolderJudgement).
    FolderKind kind = FolderKind::Ordinary;
    std::wstring matchedFolder;
    bool Allowed() const { return verdict == DeleteVerdict::Allowed; }
};
FolderToEmpty JudgeFolderOperand(const std::string& operand, CallerFolders callers = CallerFolders::Spared);

}  // namespace tav
