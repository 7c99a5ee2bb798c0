// Files the programs delete or write by name, acted on as the entry that
// stands at the name: a link standing there is opened, removed or replaced as
// the link, never followed to what it leads to.
//
// Windows opens a link itself when asked (FILE_OPEN_REPARSE_POINT); some
// platforms follow it anyway. Every entry opened here is therefore confirmed:
// its path from the root of its volume must be its folder's path and its own
// name. What cannot be confirmed is left alone.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/win/raii.h"

namespace tav {

// The entry `name` (one plain name) of the folder open as `folder`, opened
// relative to that handle as itself, with `access` (SYNCHRONIZE and
// FILE_READ_ATTRIBUTES are always added) and `share`. Not confirmed: see
// IsEntryOf.
UniqueFile OpenEntryRelative(HANDLE folder, std::wstring_view name, ACCESS_MASK access,
                             ULONG share = FILE_SHARE_READ | FILE_SHARE_WRITE);

// The path of the file or folder open as `handle` from the root of its volume
// (\Demo\V\a.txt), as the file system knows it: where a link was followed,
// the path of what it leads to. Any length.
std::optional<std::wstring> PathOnVolume(HANDLE handle);

// What an open entry is. A link is a reparse point that stands for another
// place (symbolic link, junction, mount point); other reparse points are
// files and folders like any other.
enum class EntryKind { Link, Folder, File };
std::optional<EntryKind> KindOf(HANDLE entry);

// True when `entry` is the entry `name` of the folder open as `folder`: on
// the same volume, at the folder's path followed by the name.
bool IsEntryOf(HANDLE entry, HANDLE folder, std::wstring_view name);

// Marks the entry open as `handle` (with DELETE access) for deletion: it goes
// when its last handle closes.
bool MarkForDeletion(HANDLE handle);

// Deletes the file open as `file` (with DELETE and FILE_WRITE_ATTRIBUTES
// access); a read-only flag is cleared through the handle first, and put back
// when the file cannot be deleted anyway.
bool DeleteFileThrough(HANDLE file);

// The entry at the absolute path `path` (a drive path or "\\?\" form, any
// length), opened as itself and confirmed, with `access` and `share` as for
// OpenEntryRelative. Nothing when no entry stands there, it cannot be opened,
// or what the open reached is not the entry at that name. A name with
// wildcards names no entry.
UniqueFile OpenEntryItself(const std::wstring& path, ACCESS_MASK access,
                           ULONG share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);

enum class RemoveOutcome {
    Removed,  // the file or link at the name is marked for deletion
    Absent,   // nothing stood at the name
    Left,     // a folder, something that could not be confirmed, opened or deleted
};

// Removes the file or link at `path` as itself (a link as the link; a
// folder is left alone). The name is free once the last handle to the entry
// has closed.
RemoveOutcome RemoveFileItself(const std::wstring& path);

// Writes `bytes` as a new file at `path`: a file or link that stands there is
// first removed as itself, and the file is then created only where no entry
// stands, so nothing that appears at the name meanwhile is written through.
// False when any step failed; no part of a new file is then left behind.
bool WriteNewFileItself(const std::wstring& path, std::string_view bytes);

}  // namespace tav
