// The decision which folders a delete action may empty. No platform headers:
// the caller resolves paths and identifies folders with the platform, and this
// part cuts paths and judges.
//
// A folder is never judged by its spelling. The caller opens the target (links,
// junctions and substituted drives followed) and every protected folder with
// all its ancestors, and compares what they are: the volume and file index the
// file system gives, or the final path it reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

// The text handed to the platform's full-path resolution for an operand. The
// NT-namespace prefix "\??\" reaches the file system as the drive it names,
// while the resolution would read it as a relative name: it becomes "\\?\",
// which both read alike.
std::wstring PrepareForFullPath(std::wstring_view operand);

// True for the root of a volume in any spelling: "C:", "C:\", "\\?\C:\",
// "\\.\C:\", "\\server\share\", "\\?\UNC\server\share", "\\?\Volume{...}\".
bool IsVolumeRoot(std::wstring_view path);

// The path without trailing backslashes; a volume root keeps its one.
std::wstring WithoutTrailingBackslash(std::wstring path);

// The folder that holds `path` (an absolute path), or nothing for a volume root.
std::optional<std::wstring> ParentFolder(std::wstring_view path);

// What a folder is, as the file system reports it for an open handle.
struct FolderIdentity {
    std::uint32_t volumeSerial = 0;
    std::uint64_t fileIndex = 0;
    std::wstring finalPath;  // the platform's final path of the handle
    // The handle's path from the root of its volume ("\\" for the root
    // itself, also of a volume mounted in a folder); empty when not known.
    std::wstring pathOnVolume;

    // The same folder: the same volume and file index, or the same final path.
    bool SameAs(const FolderIdentity& other) const;
    // The root of its volume, by its final path or by its path on the volume.
    bool IsVolumeRoot() const;
};

enum class DeleteVerdict {
    Allowed,         // an ordinary folder
    Protected,       // a volume root, a protected folder, a folder above one, or one in the Windows folder
    Unidentified,    // the target could not be opened and identified
    ListIncomplete,  // the protected folders could not all be established
};

// What a folder is to the guard, from least to most protected.
enum class FolderKind {
    Ordinary,        // nothing protects it
    AboveProtected,  // a folder above a protected folder
    Protected,       // a known folder, a temp folder, the caller's working or program folder, ...
    ProgramFiles,    // a Program Files folder or its common files
    Profile,         // a user profile's root (any user's, Default, Public)
    ProfilesFolder,  // the folder that holds the profiles
    WindowsTree,     // the Windows folder or a folder in it (other than below a temp folder)
    VolumeRoot,      // the root of a volume, also one mounted in a folder
};

// Why a folder is what the guard says, for the caller to tell: its kind, and
// the protected folder it matched (its final path; the Windows folder for a
// folder in it; empty for an ordinary folder or a volume root).
struct FolderJudgement {
    DeleteVerdict verdict = DeleteVerdict::Unidentified;
    FolderKind kind = FolderKind::Ordinary;
    std::wstring matchedFolder;
};

// One place the platform names as protected.
struct ProtectedPlace {
    std::wstring path;  // empty: the platform could not name it
    FolderKind kind = FolderKind::Protected;
    // A place every machine has: when it cannot be named, nothing at all is
    // deleted. Other places are skipped when empty or absent.
    bool required = false;
};

// Where the folders that no delete may empty are, as the platform names them.
struct ProtectedPlaces {
    std::vector<ProtectedPlace> places;
    // Protected with every folder in it at any depth, except below a temp
    // folder that is an exception (see LearnProtectedSet).
    std::wstring windowsFolder;
    // The Windows folder's own temp folder: the one exception inside it.
    std::wstring windowsTempFolder;
    // The user's temp folders (the first one required). Each is protected
    // itself and is an exception only when it is an ordinary folder.
    std::vector<std::wstring> tempFolders;
};

// The platform as the guard asks it; tests put a made-up machine in its place.
class FolderLookup {
public:
    virtual ~FolderLookup() = default;
    // Where the protected folders are.
    virtual ProtectedPlaces Places() = 0;
    // `path` made absolute as the platform reads it; nothing when it cannot be.
    virtual std::optional<std::wstring> FullPath(const std::wstring& path) = 0;
    // What the file or folder at the absolute `path` is (links followed);
    // nothing when it cannot be opened.
    virtual std::optional<FolderIdentity> Identify(const std::wstring& path) = 0;
    // True when something stands at the absolute `path` (also when it cannot
    // be opened or read).
    virtual bool Exists(const std::wstring& path) = 0;
};

// One folder of the protected set.
struct ProtectedFolder {
    FolderIdentity identity;
    FolderKind kind = FolderKind::Protected;
};

// What a delete must spare, learnt from the platform once per action.
struct ProtectedSet {
    std::vector<ProtectedFolder> folders;  // protected folders and every folder above one
    FolderIdentity windowsFolder;          // everything in it is protected ...
    std::vector<FolderIdentity> tempFolders;  // ... except what lies below one of these exceptions
};

// The protected set, each folder identified along the path the platform
// gives and along the final path it leads to. Nothing when a required folder
// cannot be named, the Windows folder cannot be identified, or a protected
// folder (or one above it) exists but cannot be identified. A temp folder is
// an exception only when it is an ordinary folder: not a volume root, not the
// Windows folder or above it, not another protected folder, and in the
// Windows folder only as its own temp folder or below that.
std::optional<ProtectedSet> LearnProtectedSet(FolderLookup& lookup);

// The judgement on `target`, given the protected set (nothing when it could
// not be learnt): its kind and, for deletion, Allowed only for an identified
// ordinary folder. The folders above the target are identified through
// `lookup`.
FolderJudgement JudgeFolder(const std::optional<FolderIdentity>& target,
                            const std::optional<ProtectedSet>& protectedSet, FolderLookup& lookup);

// The verdict alone (see JudgeFolder).
DeleteVerdict JudgeFolderForDeletion(const std::optional<FolderIdentity>& target,
                                     const std::optional<ProtectedSet>& protectedSet,
                                     FolderLookup& lookup);

// Whether "kill" may delete by a wildcard pattern in a folder of `kind`: never
// in a volume root, the Windows folder or a folder in it, a Program Files
// folder, the profiles folder or a profile's root; a pattern that names every
// file (see NamesEveryFile) also not in any other protected folder or one
// above it.
bool MayDeleteByPattern(FolderKind kind, bool namesEveryFile);

// True when `name` is one plain path component: not empty or blank, not "."
// or "..", and without "\", "/" or ":".
bool IsPlainComponent(std::string_view name);

}  // namespace tav
