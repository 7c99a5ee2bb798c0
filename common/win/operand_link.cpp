#include "common/win/operand_link.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/win/entry_itself.h"
#include "common/win/raii.h"

namespace tav {
namespace {

// The NT form of an absolute path, which a rename through a handle takes.
std::wstring NtPathOf(const std::wstring& full) {
    if (full.rfind(L"\\\\?\\", 0) == 0) return L"\\??\\" + full.substr(4);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\??\\UNC\\" + full.substr(2);
    return L"\\??\\" + full;
}

// Gives what `item` has open the name `path`, replacing nothing that the
// platform sees there.
bool RenameWithoutReplacing(HANDLE item, const std::wstring& path) {
    const std::wstring name = NtPathOf(path);
    const std::size_t bytes = name.size() * sizeof(wchar_t);
    std::vector<LONGLONG> buffer((sizeof(FILE_RENAME_INFO) + bytes) / sizeof(LONGLONG) + 1);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(bytes);
    name.copy(info->FileName, name.size());
    return ::SetFileInformationByHandle(item, FileRenameInfo, info,
                                        static_cast<DWORD>(buffer.size() * sizeof(LONGLONG))) != 0;
}

// A link that leads nowhere, on a platform that resolves every name through
// it: it cannot be opened, listed or deleted, but a rename onto its name
// that replaces nothing the platform can see replaces the link itself.
bool TakeOverDanglingLink(const std::wstring& path) {
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ||
        ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;  // something the platform sees stands there: not ours to replace
    const std::wstring stand = path + L".~" + std::to_wstring(::GetCurrentProcessId());
    // Ours alone, and gone when it closes, wherever it then is.
    UniqueFile file(::CreateFileW(stand.c_str(), DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file) return false;
    return RenameWithoutReplacing(file.get(), path);
}

}  // namespace

bool RemoveOperandLink(FolderToEmpty& target) {
    if (target.link) {
        const bool removed = MarkForDeletion(target.link.get());
        target.link.reset();  // the link goes when its last handle closes
        return removed;
    }
    return !target.linkAtPath || TakeOverDanglingLink(target.path);
}

}  // namespace tav
