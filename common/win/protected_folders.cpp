#include "common/win/protected_folders.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/entry_itself.h"
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

// Every folder the platform's known-folder list names a place for: the user's
// and all users' folders, the profile's, the fixed ones. Where the list cannot
// be read, the folders people keep their things in, asked one by one.
std::vector<std::wstring> KnownFolderPaths() {
    std::vector<std::wstring> paths;
    auto add = [&](REFKNOWNFOLDERID id) {
        UniqueCoTaskMem<wchar_t> path;
        if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, path.put())) && path.get())
            paths.emplace_back(path.get());
    };
    ComApartment com;
    ComPtr<IKnownFolderManager> manager;
    UniqueCoTaskMem<KNOWNFOLDERID> ids;
    UINT count = 0;
    if (com.ok() &&
        SUCCEEDED(::CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IKnownFolderManager, manager.put_void())) &&
        SUCCEEDED(manager->GetFolderIds(ids.put(), &count)) && ids.get()) {
        for (UINT i = 0; i < count; ++i) add(ids.get()[i]);
        return paths;
    }
    for (REFKNOWNFOLDERID id :
         {FOLDERID_Pictures, FOLDERID_Downloads, FOLDERID_Music, FOLDERID_Videos, FOLDERID_Favorites,
          FOLDERID_SavedGames, FOLDERID_Links, FOLDERID_Contacts, FOLDERID_SavedSearches,
          FOLDERID_Templates, FOLDERID_SendTo, FOLDERID_Recent, FOLDERID_LocalAppDataLow,
          FOLDERID_Public, FOLDERID_PublicDesktop, FOLDERID_PublicDocuments, FOLDERID_PublicPictures,
          FOLDERID_PublicDownloads, FOLDERID_PublicMusic, FOLDERID_PublicVideos, FOLDERID_UserProfiles,
          FOLDERID_ProgramFilesCommon, FOLDERID_UserProgramFiles})
        add(id);
    return paths;
}

std::wstring WorkingFolder() {
    return AskWithGrowingBuffer([](wchar_t* buffer, DWORD size) {
               return ::GetCurrentDirectoryW(size, buffer);
           }).value_or(std::wstring());
}

std::wstring TempFolder() {
    return AskWithGrowingBuffer([](wchar_t* buffer, DWORD size) {
               return ::GetTempPathW(size, buffer);
           }).value_or(std::wstring());
}

// The running program's folder (empty when it cannot be learnt).
std::wstring ProgramFolderW() {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            const auto slash = path.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
        }
        path.assign(path.size() * 2, L'\0');
    }
    return {};
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

class PlatformFolders : public FolderLookup {
public:
    explicit PlatformFolders(CallerFolders callers) : callers_(callers) {}

    ProtectedPlaces Places() override {
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
            L"PUBLIC", L"TEMP", L"TMP"};

        ProtectedPlaces places;
        for (int csidl : kRequired) places.required.push_back(SpecialFolderPath(csidl));
        places.windowsFolder = places.required.front();
        const std::wstring temp = TempFolder();
        places.required.push_back(temp);
        if (callers_ == CallerFolders::Spared) {
            places.required.push_back(WorkingFolder());
            places.required.push_back(ProgramFolderW());
        }
        for (int csidl : kOptional) places.optional.push_back(SpecialFolderPath(csidl));
        for (const wchar_t* name : kEnvironment) places.optional.push_back(EnvironmentPath(name));
        for (auto& path : KnownFolderPaths()) places.optional.push_back(std::move(path));
        const std::wstring windowsTemp =
            places.windowsFolder.empty() ? std::wstring() : places.windowsFolder + L"\\Temp";
        places.optional.push_back(windowsTemp);
        places.tempFolders = {temp, windowsTemp, EnvironmentPath(L"TEMP"), EnvironmentPath(L"TMP")};
        return places;
    }

    std::optional<std::wstring> FullPath(const std::wstring& path) override {
        return FullPathOf(path);
    }

    std::optional<FolderIdentity> Identify(const std::wstring& path) override {
        return IdentifyPath(path);
    }

private:
    CallerFolders callers_;
};

}  // namespace

std::optional<std::wstring> FullPathOf(const std::wstring& path) {
    return AskWithGrowingBuffer([&](wchar_t* buffer, DWORD size) {
        return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
}

std::optional<std::wstring> ResolveFolderOperand(const std::string& operand) {
    const std::string trimmed = Trim(operand);
    if (trimmed.empty()) return std::nullopt;
    const auto full = FullPathOf(PrepareForFullPath(WidenAnsi(trimmed)));
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

std::optional<ProtectedSet> LearnProtectedFolders(CallerFolders callers) {
    PlatformFolders platform(callers);
    return LearnProtectedSet(platform);
}

DeleteVerdict JudgeIdentifiedFolder(const std::optional<FolderIdentity>& target, CallerFolders callers) {
    PlatformFolders platform(callers);
    return JudgeFolderForDeletion(target, LearnProtectedSet(platform), platform);
}

FolderToEmpty JudgeFolderOperand(const std::string& operand, CallerFolders callers) {
    FolderToEmpty target;
    const auto resolved = ResolveFolderOperand(operand);
    if (!resolved) return target;
    target.path = *resolved;
    if (IsVolumeRoot(target.path)) {
        target.verdict = DeleteVerdict::Protected;  // a drive root by name, whatever it leads to
        return target;
    }
    {
        // The entry at the path itself, as its folder lists it (a platform
        // that cannot name a link's kind there gives no tag).
        WIN32_FIND_DATAW entry{};
        UniqueFindHandle find(::FindFirstFileW(target.path.c_str(), &entry));
        target.linkAtPath = find && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                            (entry.dwReserved0 == 0 || IsReparseTagNameSurrogate(entry.dwReserved0));
    }
    if (target.linkAtPath) {
        target.link = OpenEntryItself(target.path, DELETE);
        if (target.link && KindOf(target.link.get()) != EntryKind::Link) target.link.reset();
    }
    target.folder = OpenFolderToEmpty(target.path);
    if (!target.folder) return target;
    target.verdict = JudgeIdentifiedFolder(IdentifyHandle(target.folder.get()), callers);
    return target;
}

}  // namespace tav
