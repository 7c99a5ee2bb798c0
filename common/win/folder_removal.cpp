#include "common/win/folder_removal.h"

#include <shellapi.h>

#include <functional>
#include <vector>

#include "common/win/raii.h"

namespace tav {
namespace {

// Calls `visit(path, entry)` for every entry of `folder` except "." and "..".
void ForEachEntry(const std::wstring& folder,
                  const std::function<void(const std::wstring&, const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW entry{};
    UniqueFindHandle find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!find) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        visit(folder + L"\\" + name, entry);
    } while (::FindNextFileW(find.get(), &entry));
}

bool IsDirectory(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A reparse point that stands for another place: symbolic links, junctions and
// mount points. A platform that gives no tag in its listing (0) is taken at
// its word that the entry is a reparse point.
bool IsLink(const WIN32_FIND_DATAW& entry) {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return entry.dwReserved0 == 0 || IsReparseTagNameSurrogate(entry.dwReserved0);
}

// Deletes the link at `path` itself. It is deleted through a handle that the
// platform confirms is the reparse point, never through one that reached the
// link's target; false when that cannot be had.
bool RemoveLinkItself(const std::wstring& path) {
    UniqueFile link(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!link) return false;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(link.get(), FileDispositionInfo, &dispose, sizeof dispose) != 0;
}

// Removes every link below `folder`; true when one could not be removed.
bool RemoveLinksBelow(const std::wstring& folder) {
    bool linkRemains = false;
    ForEachEntry(folder, [&](const std::wstring& path, const WIN32_FIND_DATAW& entry) {
        if (IsLink(entry)) {
            if (!RemoveLinkItself(path)) linkRemains = true;
        } else if (IsDirectory(entry)) {
            if (RemoveLinksBelow(path)) linkRemains = true;
        }
    });
    return linkRemains;
}

// Appends to `items` what below `folder` can be handed to the shell whole:
// files, and folders that hold no link; a folder that holds one is listed by
// its contents instead. True when `folder` holds a link.
bool CollectLinkFreeItems(const std::wstring& folder, std::vector<std::wstring>& items) {
    bool holdsLink = false;
    ForEachEntry(folder, [&](const std::wstring& path, const WIN32_FIND_DATAW& entry) {
        if (IsLink(entry)) {
            holdsLink = true;
        } else if (IsDirectory(entry)) {
            const std::size_t mark = items.size();
            if (CollectLinkFreeItems(path, items)) {
                holdsLink = true;
            } else {
                items.resize(mark);
                items.push_back(path);
            }
        } else {
            items.push_back(path);
        }
    });
    return holdsLink;
}

// Clears the read-only flag of each item, remembering the ones it cleared.
class ReadOnlyFlags {
public:
    void Clear(const std::wstring& path) {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return;
        if (::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
            cleared_.push_back({path, attributes});
    }
    // What the delete left behind gets its flag back.
    ~ReadOnlyFlags() {
        for (const auto& [path, attributes] : cleared_)
            if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
                ::SetFileAttributesW(path.c_str(), attributes);
    }

private:
    struct Entry {
        std::wstring path;
        DWORD attributes;
    };
    std::vector<Entry> cleared_;
};

bool ShellDelete(HWND owner, const std::vector<std::wstring>& items) {
    std::wstring from;
    for (const auto& item : items) {
        from += item;
        from += L'\0';
    }
    from += L'\0';
    SHFILEOPSTRUCTW request{};
    request.hwnd = owner;
    request.wFunc = FO_DELETE;
    request.pFrom = from.c_str();
    request.fFlags = FOF_NOCONFIRMATION;
    ::SHFileOperationW(&request);
    return request.fAnyOperationsAborted != FALSE;
}

}  // namespace

bool EmptyFolder(HWND owner, const std::wstring& folder) {
    ReadOnlyFlags readOnly;
    // The shell stops at a read-only file that its request names directly.
    ForEachEntry(folder, [&](const std::wstring& path, const WIN32_FIND_DATAW& entry) {
        if (!IsLink(entry)) readOnly.Clear(path);
    });

    if (!RemoveLinksBelow(folder)) return ShellDelete(owner, {folder + L"\\*.*"});

    // A link that the platform cannot remove by itself stays; everything else goes.
    std::vector<std::wstring> items;
    CollectLinkFreeItems(folder, items);
    if (items.empty()) return false;
    for (const auto& item : items) readOnly.Clear(item);
    return ShellDelete(owner, items);
}

void RemoveEmptiedFolder(const std::wstring& folder) { ::RemoveDirectoryW(folder.c_str()); }

}  // namespace tav
