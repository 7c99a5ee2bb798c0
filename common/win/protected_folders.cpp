#include "common/win/protected_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/raii.h"

namespace tav {
namespace {

// A platform answer that may need a larger buffer: `query(buffer, size)`
// returns the length written, or the size needed when the buffer is too small.
template <typename Query>
std::optional<std::wstring> AskWithGrowingBuffer(Query query) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD n = query(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::nullopt;
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.assign(n + 1, L'\0');
    }
    return std::nullopt;
}

std::optional<std::wstring> FullPath(const std::wstring& path) {
    return AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) {
        return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
}

// Where a special folder is, whether or not it exists now.
std::wstring SpecialFolderPath(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_DONT_VERIFY, nullptr,
                                  SHGFP_TYPE_CURRENT, buffer)))
        return {};
    return buffer;
}

std::wstring EnvironmentPath(const wchar_t* name) {
    return AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) {
               return ::GetEnvironmentVariableW(name, buffer, size);
           }).value_or(std::wstring());
}

// Adds the identities of `path` and of every folder above it that can be
// opened, along the path as given and along the final path it leads to.
void AddWithAncestors(const std::wstring& path, std::vector<FolderIdentity>& out) {
    std::optional<std::wstring> finalPath;
    for (std::optional<std::wstring> p = FullPath(path); p; p = ParentFolder(*p)) {
        if (auto identity = IdentifyPath(*p)) {
            if (!finalPath) finalPath = identity->finalPath;
            out.push_back(std::move(*identity));
        }
    }
    if (!finalPath) return;
    for (std::optional<std::wstring> p = ParentFolder(*finalPath); p; p = ParentFolder(*p))
        if (auto identity = IdentifyPath(*p)) out.push_back(std::move(*identity));
}

// The folder at `path` (links followed), open for listing and deletion and
// shared for neither deletion nor renaming. When another program holds it open
// in a way that refuses delete access (as its working folder, say), it is
// opened without that access: it can then be emptied but not removed.
UniqueFile OpenFolderToEmpty(const std::wstring& path) {
    constexpr DWORD kAccess = SYNCHRONIZE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
    for (const DWORD access : {kAccess | DELETE, kAccess}) {
        UniqueFile folder(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (folder || ::GetLastError() != ERROR_SHARING_VIOLATION) return folder;
    }
    return {};
}

}  // namespace

std::optional<std::wstring> ResolveFolderOperand(const std::string& operand) {
    const std::string trimmed = Trim(operand);
    if (trimmed.empty()) return std::nullopt;
    const auto full = FullPath(PrepareForFullPath(WidenAnsi(trimmed)));
    if (!full) return std::nullopt;
    return WithoutTrailingBackslash(*full);
}

std::optional<FolderIdentity> IdentifyPath(const std::wstring& path) {
    UniqueFile handle(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    return IdentifyHandle(handle.get());
}

std::optional<FolderIdentity> IdentifyHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    auto finalPath = AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) {
        return ::GetFinalPathNameByHandleW(handle, buffer, size, FILE_NAME_NORMALIZED);
    });
    if (!finalPath) return std::nullopt;
    FolderIdentity identity;
    identity.volumeSerial = info.dwVolumeSerialNumber;
    identity.fileIndex = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.finalPath = std::move(*finalPath);
    return identity;
}

std::optional<std::vector<FolderIdentity>> ProtectedFolderIdentities() {
    // Each of these must be known; a machine that cannot say where one is
    // gets no deletion at all.
    static constexpr int kRequired[] = {
        CSIDL_WINDOWS,        CSIDL_SYSTEM,          CSIDL_PROGRAM_FILES,
        CSIDL_COMMON_APPDATA, CSIDL_PROFILE,         CSIDL_DESKTOPDIRECTORY,
        CSIDL_PERSONAL,       CSIDL_APPDATA,         CSIDL_LOCAL_APPDATA,
        CSIDL_STARTMENU,      CSIDL_PROGRAMS,        CSIDL_STARTUP,
        CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTUP,
        CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS,
    };
    // These exist only on some systems, or repeat the ones above.
    static constexpr int kOptional[] = {CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
                                        CSIDL_SYSTEMX86};
    static constexpr const wchar_t* kEnvironment[] = {
        L"SystemRoot", L"windir", L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432",
        L"ProgramData", L"ALLUSERSPROFILE", L"USERPROFILE", L"APPDATA", L"LOCALAPPDATA",
        L"PUBLIC"};

    std::vector<std::wstring> paths;
    for (int csidl : kRequired) {
        std::wstring path = SpecialFolderPath(csidl);
        if (path.empty()) return std::nullopt;
        paths.push_back(std::move(path));
    }
    for (int csidl : kOptional) paths.push_back(SpecialFolderPath(csidl));
    for (const wchar_t* name : kEnvironment) paths.push_back(EnvironmentPath(name));

    std::vector<FolderIdentity> identities;
    for (const auto& path : paths)
        if (!path.empty()) AddWithAncestors(path, identities);
    return identities;
}

FolderToEmpty JudgeFolderOperand(const std::string& operand) {
    FolderToEmpty target;
    const auto resolved = ResolveFolderOperand(operand);
    if (!resolved) return target;
    target.path = *resolved;
    if (IsVolumeRoot(target.path)) {
        target.verdict = DeleteVerdict::Protected;  // a drive root by name, whatever it leads to
        return target;
    }
    target.folder = OpenFolderToEmpty(target.path);
    if (!target.folder) return target;
    target.verdict = JudgeFolderForDeletion(IdentifyHandle(target.folder.get()), ProtectedFolderIdentities());
    return target;
}

}  // namespace tav
