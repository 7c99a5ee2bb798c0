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

    // The same folder: the same volume and file index, or the same final path.
    bool SameAs(const FolderIdentity& other) const;
};

enum class DeleteVerdict {
    Allowed,         // an ordinary folder
    Protected,       // a volume root, a protected folder, a folder above one, or one in the Windows folder
    Unidentified,    // the target could not be opened and identified
    ListIncomplete,  // the protected folders could not all be established
};

// Where the folders that no delete may empty are, as the platform names them.
struct ProtectedPlaces {
    // Folders every machine has. An empty entry is one the platform could not
    // name: then nothing at all is deleted.
    std::vector<std::wstring> required;
    // Folders only some machines have (known folders, environment); an empty
    // entry is skipped.
    std::vector<std::wstring> optional;
    // Protected with every folder in it at any depth, except below one of
    // `tempFolders` (which are protected themselves, in `required`).
    std::wstring windowsFolder;
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
};

// What a delete must spare, learnt from the platform once per action.
struct ProtectedSet {
    std::vector<FolderIdentity> folders;  // protected folders and every folder above one
    FolderIdentity windowsFolder;         // everything in it is protected ...
    std::vector<FolderIdentity> tempFolders;  // ... except what lies below one of these
};

// The protected set, each folder identified along the path the platform
// gives and along the final path it leads to. Nothing when a required folder
// cannot be named or the Windows folder cannot be identified.
std::optional<ProtectedSet> LearnProtectedSet(FolderLookup& lookup);

// The verdict on emptying `target`, given the protected set (nothing when it
// could not be learnt). Only an identified target that is neither a volume
// root, nor one of the set's folders, nor in the Windows folder (other than
// below a temp folder) is allowed. The folders above the target are
// identified through `lookup`.
DeleteVerdict JudgeFolderForDeletion(const std::optional<FolderIdentity>& target,
                                     const std::optional<ProtectedSet>& protectedSet,
                                     FolderLookup& lookup);

// True when `name` is one plain path component: not empty or blank, not "."
// or "..", and without "\", "/" or ":".
bool IsPlainComponent(std::string_view name);

}  // namespace tav
