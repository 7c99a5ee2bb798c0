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
    Protected,       // a volume root, a protected folder or a folder above one
    Unidentified,    // the target could not be opened and identified
    ListIncomplete,  // the protected folders could not all be established
};

// The verdict on emptying `target`, given the identities of every protected
// folder and of every folder above one (nothing when that list could not be
// established). Only an identified target that is neither a volume root nor
// one of those folders is allowed.
DeleteVerdict JudgeFolderForDeletion(const std::optional<FolderIdentity>& target,
                                     const std::optional<std::vector<FolderIdentity>>& protectedFolders);

// True when `name` is one plain path component: not empty or blank, not "."
// or "..", and without "\", "/" or ":".
bool IsPlainComponent(std::string_view name);

}  // namespace tav
