#include "common/win/folder_removal.h"

#include <shlobj.h>

#include <optional>
#include <string>
#include <vector>

#include "common/folder_removal_logic.h"
#include "common/win/entry_itself.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "common/win/trace.h"

namespace tav {
namespace {

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

// The path as the platform shows it to people (C:\Demo\V).
std::wstring PathToShow(HANDLE handle) {
    wchar_t buffer[MAX_PATH + 8] = {};
    const DWORD n = ::GetFinalPathNameByHandleW(handle, buffer, MAX_PATH + 8, FILE_NAME_NORMALIZED);
    std::wstring path = n > 0 && n < MAX_PATH + 8 ? std::wstring(buffer, n) : PathOnVolume(handle).value_or(L"");
    if (path.rfind(L"\\\\?\\", 0) == 0 && path.rfind(L"\\\\?\\UNC\\", 0) != 0) path.erase(0, 4);
    return path;
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

// Deletes the emptied folder open as `folder`. Its listing is read once more
// through the handle: whatever is still in it (an entry left behind, or one
// the platform reported deleted but kept) leaves the folder where it is.
bool DeleteEmptiedFolderThrough(HANDLE folder) {
    const auto left = ListEntries(folder);
    return left && left->empty() && DeleteEntryThrough(folder);
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
        if (progress.Cancelled()) { Trace("folder removal: cancelled in the progress window"); return false; }
        Level& level = levels.back();
        if (level.next == level.entries.size()) {
            if (levels.size() > 1) {
                if (DeleteEmptiedFolderThrough(level.handle)) progress.Removed();
                else { TraceW(L"folder removal: the folder " + Quoted(level.place.path) + L" (on its volume) stays: something in it is left, or it cannot be removed"); complete = false; }
            }
            levels.pop_back();
            continue;
        }
        const Entry& listed = level.entries[level.next++];
        // Opened as itself, and not to be deleted or renamed by anyone else while open.
        UniqueFile entry = OpenEntryRelative(
            level.handle, listed.name,
            DELETE | FILE_WRITE_ATTRIBUTES | (listed.folder ? FILE_LIST_DIRECTORY : 0));
        const auto entryKind = entry ? KindOf(entry.get()) : std::nullopt;
        if (!entryKind || !IsTheListedEntry(entry.get(), level.place, listed, *entryKind)) {
            TraceW(L"folder removal: left " + Quoted(level.place.path + L"\\" + listed.name) + L" (on its volume): gone, in use, or not what was listed");
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
        const bool deleted = DeleteEntryThrough(entry.get());
        if (deleted) progress.Removed();
        else { TraceFailedCallW("deleting", ::GetLastError(), L"on its volume " + level.place.path + L"\\" + listed.name); complete = false; }
    }
    if (!DeleteEmptiedFolderThrough(folder)) return false;
    return complete;
}

}  // namespace tav
