#include "common/win/entry_itself.h"

#include <winternl.h>

#include <vector>

#include "common/folder_guard.h"
#include "common/folder_removal_logic.h"

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

DWORD VolumeOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(handle, &info) ? info.dwVolumeSerialNumber : 0;
}

}  // namespace

UniqueFile OpenEntryRelative(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share) {
    const NtOpenFileFunction open = NativeOpen();
    if (!open || name.empty() || name.size() * sizeof(wchar_t) > 0xFFFE) return {};
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.data());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, 0, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE entry = nullptr;
    const NTSTATUS result =
        open(&entry, access | SYNCHRONIZE | FILE_READ_ATTRIBUTES, &attributes, &status, share,
             FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_SYNCHRONOUS_IO_NONALERT);
    if (result < 0) return {};
    return UniqueFile(entry);
}

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

std::optional<EntryKind> KindOf(HANDLE entry) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &tag, sizeof tag)) return std::nullopt;
    if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(tag.ReparseTag))
        return EntryKind::Link;
    if (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::Folder;
    return EntryKind::File;
}

bool IsEntryOf(HANDLE entry, HANDLE folder, std::wstring_view name) {
    const auto folderPath = PathOnVolume(folder);
    const auto entryPath = PathOnVolume(entry);
    if (!folderPath || !entryPath || !IsListedChild(*folderPath, name, *entryPath)) return false;
    const DWORD volume = VolumeOf(folder);
    return volume != 0 && volume == VolumeOf(entry);
}

bool MarkForDeletion(HANDLE handle) {
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof dispose) != 0;
}

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

UniqueFile OpenEntryItself(const std::wstring& path, ACCESS_MASK access, ULONG share) {
    if (path.empty() || path.back() == L'\\' || path.find_first_of(L"*?") != std::wstring::npos) return {};
    const auto parentPath = ParentFolder(path);
    if (!parentPath) return {};
    // The entry's own name as its folder lists it (a short or differently
    // cased name leads to the same entry).
    WIN32_FIND_DATAW listed{};
    {
        UniqueFindHandle find(::FindFirstFileW(path.c_str(), &listed));
        if (!find) return {};
    }
    const std::wstring name = listed.cFileName;
    UniqueFile parent(::CreateFileW(parentPath->c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!parent) return {};
    UniqueFile entry = OpenEntryRelative(parent.get(), name, access, share);
    if (!entry || !IsEntryOf(entry.get(), parent.get(), name)) return {};
    return entry;
}

RemoveOutcome RemoveFileItself(const std::wstring& path) {
    {
        WIN32_FIND_DATAW listed{};
        UniqueFindHandle find(::FindFirstFileW(path.c_str(), &listed));
        if (!find) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return RemoveOutcome::Absent;
            return RemoveOutcome::Left;
        }
    }
    UniqueFile entry = OpenEntryItself(path, DELETE | FILE_WRITE_ATTRIBUTES);
    const auto kind = entry ? KindOf(entry.get()) : std::nullopt;
    if (!kind || *kind == EntryKind::Folder) return RemoveOutcome::Left;
    const bool marked = *kind == EntryKind::Link ? MarkForDeletion(entry.get()) : DeleteFileThrough(entry.get());
    return marked ? RemoveOutcome::Removed : RemoveOutcome::Left;
}

bool WriteNewFileItself(const std::wstring& path, std::string_view bytes) {
    if (RemoveFileItself(path) == RemoveOutcome::Left) return false;
    // CREATE_NEW: an entry that stands at the name now, a link included,
    // makes the creation fail rather than be written through.
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        MarkForDeletion(file.get());
        return false;
    }
    return true;
}

}  // namespace tav
