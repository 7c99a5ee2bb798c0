#include "common/win/folder_removal.h"

#include <shlobj.h>
#include <winternl.h>

#include <optional>
#include <string>
#include <vector>

#include "common/folder_removal_logic.h"
#include "common/win/program.h"
#include "common/win/raii.h"

namespace tav {
namespace {

// The native open, which can open a name relative to a folder's handle. It is
// looked up in the loaded system library rather than imported.
using NtOpenFileFunction = decltype(&::NtOpenFile);

NtOpenFileFunction NativeOpen() {
    static const NtOpenFileFunction open = [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll ? reinterpret_cast<NtOpenFileFunction>(
                           reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtOpenFile")))
                     : nullptr;
    }();
    return open;
}

// One entry of a folder's listing.
struct Entry {
    std::wstring name;
    bool folder = false;
    LONGLONG fileId = 0;  // 0: the listing gave none
};

// The entries of the folder open as `folder`, from the start ("." and ".."
// left out); nothing when it cannot be listed.
std::optional<std::vector<Entry>> ListEntries(HANDLE folder) {
    std::vector<Entry> entries;
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));  // aligned for the records
    FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!::GetFileInformationByHandleEx(folder, request, buffer.data(),
                                            static_cast<DWORD>(buffer.size() * sizeof(LONGLONG)))) {
            if (::GetLastError() == ERROR_NO_MORE_FILES) return entries;
            return std::nullopt;
        }
        request = FileIdBothDirectoryInfo;
        const auto* bytes = reinterpret_cast<const char*>(buffer.data());
        for (;;) {
            const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
            std::wstring name(record->FileName, record->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                const bool folderEntry = (record->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                entries.push_back({std::move(name), folderEntry, record->FileId.QuadPart});
            }
            if (record->NextEntryOffset == 0) break;
            bytes += record->NextEntryOffset;
        }
    }
}

// The entry `name` of the folder open as `folder`, opened as itself: a link is
// not followed (where the platform honours that), and the entry cannot be
// deleted or renamed by anyone else while it is open.
UniqueFile OpenEntry(HANDLE folder, const std::wstring& name, bool listFolder) {
    const NtOpenFileFunction open = NativeOpen();
    if (!open || name.size() * sizeof(wchar_t) > 0xFFFE) return {};
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.c_str());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, 0, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE entry = nullptr;
    const ACCESS_MASK access = DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES |
                               (listFolder ? FILE_LIST_DIRECTORY : 0);
    const NTSTATUS result =
        open(&entry, access, &attributes, &status, FILE_SHARE_READ | FILE_SHARE_WRITE,
             FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_SYNCHRONOUS_IO_NONALERT);
    if (result < 0) return {};
    return UniqueFile(entry);
}

// The path of the file or folder open as `handle` from the root of its volume
// (\Demo\V\a.txt), as the file system knows it: where a link was followed,
// the path of what it leads to. Any length.
std::optional<std::wstring> PathOnVolume(HANDLE handle) {
    std::vector<LONGLONG> buffer(1024);  // aligned for the record
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
        if (::GetFileInformationByHandleEx(handle, FileNameInfo, buffer.data(), size)) {
            const auto* name = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
            return std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t));
        }
        if (::GetLastError() != ERROR_MORE_DATA) return std::nullopt;
        const auto* name = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
        buffer.assign((sizeof(FILE_NAME_INFO) + name->FileNameLength) / sizeof(LONGLONG) + 2, 0);
    }
    return std::nullopt;
}

// The path as the platform shows it to people (C:\Demo\V).
std::wstring PathToShow(HANDLE handle) {
    wchar_t buffer[MAX_PATH + 8] = {};
    const DWORD n = ::GetFinalPathNameByHandleW(handle, buffer, MAX_PATH + 8, FILE_NAME_NORMALIZED);
    std::wstring path = n > 0 && n < MAX_PATH + 8 ? std::wstring(buffer, n) : PathOnVolume(handle).value_or(L"");
    if (path.rfind(L"\\\\?\\", 0) == 0 && path.rfind(L"\\\\?\\UNC\\", 0) != 0) path.erase(0, 4);
    return path;
}

enum class EntryKind { Link, Folder, File };

// What the entry open as `entry` is. A link is a reparse point that stands
// for another place (symbolic link, junction, mount point); other reparse
// points are files and folders like any other.
std::optional<EntryKind> KindOf(HANDLE entry) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &tag, sizeof tag)) return std::nullopt;
    if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(tag.ReparseTag))
        return EntryKind::Link;
    if (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::Folder;
    return EntryKind::File;
}

// Where a folder being emptied is: its volume and its path on it.
struct Place {
    DWORD volume = 0;
    std::wstring path;
};

// True when the entry open as `entry` is the one listed as `listed` in the
// folder at `folder`: the same name in the same place on the same volume (a
// link the open followed leads elsewhere), the same kind, and where the
// listing gave one, the same file.
bool IsTheListedEntry(HANDLE entry, const Place& folder, const Entry& listed, EntryKind kind) {
    const auto path = PathOnVolume(entry);
    if (!path || !IsListedChild(folder.path, listed.name, *path)) return false;
    if (kind == EntryKind::Folder && !listed.folder) return false;
    if (kind == EntryKind::File && listed.folder) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(entry, &info) || info.dwVolumeSerialNumber != folder.volume)
        return false;
    if (listed.fileId == 0 || kind == EntryKind::Link) return true;
    const auto index = static_cast<LONGLONG>((static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) |
                                             info.nFileIndexLow);
    return index == listed.fileId;
}

bool MarkForDeletion(HANDLE handle) {
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof dispose) != 0;
}

// Deletes the file open as `file`; a read-only flag is cleared through the
// handle first, and put back when the file cannot be deleted anyway.
bool DeleteFileThrough(HANDLE file) {
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) return false;
    const DWORD attributes = basic.FileAttributes;
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        FILE_BASIC_INFO writable{};  // zero times: left as they are
        writable.FileAttributes = attributes & ~FILE_ATTRIBUTE_READONLY;
        if (writable.FileAttributes == 0) writable.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        if (!::SetFileInformationByHandle(file, FileBasicInfo, &writable, sizeof writable)) return false;
    }
    if (MarkForDeletion(file)) return true;
    if (readOnly) {
        FILE_BASIC_INFO restore{};
        restore.FileAttributes = attributes;
        ::SetFileInformationByHandle(file, FileBasicInfo, &restore, sizeof restore);
    }
    return false;
}

// Deletes the emptied folder open as `folder`. Its listing is read once more
// through the handle: whatever is still in it (an entry left behind, or one
// the platform reported deleted but kept) leaves the folder where it is.
bool DeleteEmptiedFolderThrough(HANDLE folder) {
    const auto left = ListEntries(folder);
    return left && left->empty() && MarkForDeletion(folder);
}

// The platform's progress window, shown once the removal has taken a while.
class ProgressWindow {
public:
    ProgressWindow(HWND owner, std::wstring folderPath)
        : owner_(owner), folderPath_(std::move(folderPath)), pacing_(::GetTickCount64()) {}
    ~ProgressWindow() {
        if (!dialog_) return;
        // No more input first: Wine's window, asked to close while it handles
        // a further Cancel (Esc, the close box), waits for the closing call
        // and that call for it.
        HWND window = nullptr;
        if (auto site = dialog_.query<IOleWindow>(IID_IOleWindow); site && SUCCEEDED(site->GetWindow(&window)))
            ::EnableWindow(window, FALSE);
        dialog_->StopProgressDialog();
    }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    void Listed(std::size_t count) { listed_ += count; }
    void Removed() { ++removed_; }

    // Brings the window up to date when it is due; true when the user has
    // cancelled.
    bool Cancelled() {
        if (!pacing_.Due(::GetTickCount64())) return cancelled_;
        if (!dialog_ && (unavailable_ || !Show())) {
            unavailable_ = true;  // tried once
            return false;
        }
        dialog_->SetProgress64(removed_, listed_);
        PumpPendingMessages();
        cancelled_ = dialog_->HasUserCancelled() != FALSE;
        return cancelled_;
    }

private:
    bool Show() {
        // Without a window to own it there is no screen to show it on (and
        // Wine's progress window then never comes up, nor returns).
        if (!owner_ || !::IsWindow(owner_)) return false;
        if (!com_.emplace().ok()) return false;
        ComPtr<IProgressDialog> dialog;
        if (FAILED(::CoCreateInstance(CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IProgressDialog, dialog.put_void())))
            return false;
        // The owner's caption names the program; the first line the folder.
        wchar_t title[256] = {};
        if (owner_ && ::GetWindowTextW(owner_, title, 256) > 0) dialog->SetTitle(title);
        dialog->SetLine(1, folderPath_.c_str(), TRUE, nullptr);
        if (FAILED(dialog->StartProgressDialog(owner_, nullptr, PROGDLG_NORMAL | PROGDLG_NOMINIMIZE,
                                               nullptr)))
            return false;
        dialog_ = std::move(dialog);
        return true;
    }

    HWND owner_;
    std::wstring folderPath_;
    RemovalPacing pacing_;
    std::optional<ComApartment> com_;  // only for the window: a small removal needs no COM
    ComPtr<IProgressDialog> dialog_;
    std::uint64_t listed_ = 0;
    std::uint64_t removed_ = 0;
    bool cancelled_ = false;
    bool unavailable_ = false;
};

// A folder being emptied: its handle (owned, except the top folder's), its
// place, and its entries still to go.
struct Level {
    UniqueFile owned;
    HANDLE handle = nullptr;
    Place place;
    std::vector<Entry> entries;
    std::size_t next = 0;
};

}  // namespace

bool RemoveHeldFolder(HANDLE folder, HWND owner) {
    const auto kind = KindOf(folder);
    if (!kind || *kind != EntryKind::Folder) return true;
    BY_HANDLE_FILE_INFORMATION info{};
    auto path = PathOnVolume(folder);
    auto entries = ListEntries(folder);
    if (!::GetFileInformationByHandle(folder, &info) || !path || !entries) return false;

    ProgressWindow progress(owner, PathToShow(folder));
    progress.Listed(entries->size());
    bool complete = true;
    // The walk keeps one level per folder on the way down, each holding its
    // folder open; no recursion, so a deep tree needs no deep stack.
    std::vector<Level> levels;
    levels.push_back({UniqueFile(), folder, {info.dwVolumeSerialNumber, std::move(*path)}, std::move(*entries), 0});
    while (!levels.empty()) {
        if (progress.Cancelled()) return false;
        Level& level = levels.back();
        if (level.next == level.entries.size()) {
            if (levels.size() > 1) {
                if (DeleteEmptiedFolderThrough(level.handle)) progress.Removed();
                else complete = false;
            }
            levels.pop_back();
            continue;
        }
        const Entry& listed = level.entries[level.next++];
        UniqueFile entry = OpenEntry(level.handle, listed.name, listed.folder);
        const auto entryKind = entry ? KindOf(entry.get()) : std::nullopt;
        if (!entryKind || !IsTheListedEntry(entry.get(), level.place, listed, *entryKind)) {
            complete = false;  // gone, in use, or not what was listed: it stays
            continue;
        }
        if (*entryKind == EntryKind::Folder) {
            auto inside = ListEntries(entry.get());
            if (!inside) {
                complete = false;
                continue;
            }
            progress.Listed(inside->size());
            const std::wstring& parent = level.place.path;
            Place place{level.place.volume, parent + (parent.back() == L'\\' ? L"" : L"\\") + listed.name};
            HANDLE handle = entry.get();
            levels.push_back({std::move(entry), handle, std::move(place), std::move(*inside), 0});
            continue;
        }
        // A link goes as a link; a file through its handle.
        const bool deleted = *entryKind == EntryKind::Link ? MarkForDeletion(entry.get())
                                                            : DeleteFileThrough(entry.get());
        if (deleted) progress.Removed();
        else complete = false;
    }
    if (!DeleteEmptiedFolderThrough(folder)) return false;
    return complete;
}

}  // namespace tav
