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

// What a known folder is to the guard.
FolderKind KindOfKnownFolder(REFKNOWNFOLDERID id) {
    for (REFKNOWNFOLDERID programFiles :
         {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86, FOLDERID_ProgramFilesX64, FOLDERID_ProgramFilesCommon,
          FOLDERID_ProgramFilesCommonX86, FOLDERID_ProgramFilesCommonX64})
        if (::IsEqualGUID(id, programFiles)) return FolderKind::ProgramFiles;
    if (::IsEqualGUID(id, FOLDERID_Profile) || ::IsEqualGUID(id, FOLDERID_Public)) return FolderKind::Profile;
    if (::IsEqualGUID(id, FOLDERID_UserProfiles)) return FolderKind::ProfilesFolder;
    if (::IsEqualGUID(id, FOLDERID_Windows) || ::IsEqualGUID(id, FOLDERID_System) ||
        ::IsEqualGUID(id, FOLDERID_SystemX86))
        return FolderKind::WindowsTree;
    return FolderKind::Protected;
}

// Every folder the platform's known-folder list names a place for: the user's
// and all users' folders, the profile's, the fixed ones. Where the list cannot
// be read, the folders people keep their things in, asked one by one.
void AddKnownFolders(std::vector<ProtectedPlace>& places) {
    auto add = [&](REFKNOWNFOLDERID id) {
        UniqueCoTaskMem<wchar_t> path;
        if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, path.put())) && path.get())
            places.push_back({path.get(), KindOfKnownFolder(id)});
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
        return;
    }
    for (REFKNOWNFOLDERID id :
         {FOLDERID_Pictures, FOLDERID_Downloads, FOLDERID_Music, FOLDERID_Videos, FOLDERID_Favorites,
          FOLDERID_SavedGames, FOLDERID_Links, FOLDERID_Contacts, FOLDERID_SavedSearches,
          FOLDERID_Templates, FOLDERID_SendTo, FOLDERID_Recent, FOLDERID_LocalAppDataLow,
          FOLDERID_Public, FOLDERID_PublicDesktop, FOLDERID_PublicDocuments, FOLDERID_PublicPictures,
          FOLDERID_PublicDownloads, FOLDERID_PublicMusic, FOLDERID_PublicVideos, FOLDERID_UserProfiles,
          FOLDERID_ProgramFilesCommon, FOLDERID_UserProgramFiles})
        add(id);
}

// The machine's Windows folder, as the system knows it whatever the
// environment says.
std::wstring SystemWindowsFolder() {
    return AskWithGrowingBuffer([](wchar_t* buffer, DWORD size) {
               return ::GetSystemWindowsDirectoryW(buffer, size);
           }).value_or(std::wstring());
}

// A registry path with the machine's own folders put in for %SystemDrive%
// and %SystemRoot% (the environment of a process may say otherwise), and
// other variables from the environment.
std::wstring ExpandRegistryPath(const std::wstring& text) {
    const std::wstring windows = SystemWindowsFolder();
    std::wstring result;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t close = text[i] == L'%' ? text.find(L'%', i + 1) : std::wstring::npos;
        if (close == std::wstring::npos) {
            result += text[i++];
            continue;
        }
        std::wstring name = text.substr(i + 1, close - i - 1);
        for (auto& c : name) c = static_cast<wchar_t>(::towupper(c));
        if (!windows.empty() && name == L"SYSTEMDRIVE") result += windows.substr(0, 2);
        else if (!windows.empty() && (name == L"SYSTEMROOT" || name == L"WINDIR")) result += windows;
        else result += EnvironmentPath(text.substr(i + 1, close - i - 1).c_str());
        i = close + 1;
    }
    return result;
}

// A text value of a key of the machine's registry, read in its 64-bit view
// on 64-bit Windows (also from the 32-bit program); empty when it is not there.
std::wstring MachineValue(HKEY key, const wchar_t* value) {
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status = ::RegGetValueW(key, nullptr, value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                                              nullptr, text.data(), &bytes);
        if (status == ERROR_SUCCESS) {
            text.resize(bytes / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.pop_back();
            return ExpandRegistryPath(text);
        }
        if (status != ERROR_MORE_DATA) return {};
        text.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    }
    return {};
}

UniqueRegKey OpenMachineKey(const wchar_t* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return {};
    return UniqueRegKey(key);
}

// True for the 32-bit program on 64-bit Windows.
bool RunsUnderWow64() {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

// The Program Files folders as 64-bit Windows names them: the 32-bit program
// is told only of the "(x86)" ones by the shell and may have no environment
// name for the others. On 64-bit Windows the two 64-bit folders are required.
void AddProgramFilesFolders(std::vector<ProtectedPlace>& places) {
    const bool required = RunsUnderWow64();
    const UniqueRegKey key = OpenMachineKey(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    for (const wchar_t* value : {L"ProgramFilesDir", L"CommonFilesDir"})
        places.push_back({key ? MachineValue(key.get(), value) : std::wstring(), FolderKind::ProgramFiles, required});
    if (!key) return;
    for (const wchar_t* value : {L"ProgramFilesDir (x86)", L"CommonFilesDir (x86)", L"ProgramW6432Dir",
                                 L"CommonW6432Dir"})
        places.push_back({MachineValue(key.get(), value), FolderKind::ProgramFiles});
}

// The folders of every user: each profile the registry lists, the folder
// that holds the profiles with every folder in it, and the default and
// public profiles.
void AddProfiles(std::vector<ProtectedPlace>& places, const std::wstring& ownProfile) {
    std::vector<std::wstring> profileFolders;
    if (auto parent = ParentFolder(ownProfile)) profileFolders.push_back(*parent);
    if (const UniqueRegKey list = OpenMachineKey(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList")) {
        const std::wstring profiles = MachineValue(list.get(), L"ProfilesDirectory");
        if (!profiles.empty()) profileFolders.push_back(profiles);
        for (const wchar_t* value : {L"Default", L"Public", L"DefaultUserProfile", L"AllUsersProfile"}) {
            std::wstring path = MachineValue(list.get(), value);
            // Older systems name these within the profiles folder.
            if (!path.empty() && path.find(L'\\') == std::wstring::npos && !profiles.empty())
                path = profiles + L"\\" + path;
            places.push_back({path, FolderKind::Profile});
        }
        wchar_t sid[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = ARRAYSIZE(sid);
            const LSTATUS status = ::RegEnumKeyExW(list.get(), i, sid, &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) break;
            HKEY entry = nullptr;
            if (::RegOpenKeyExW(list.get(), sid, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &entry) != ERROR_SUCCESS)
                continue;
            const UniqueRegKey owned(entry);
            places.push_back({MachineValue(owned.get(), L"ProfileImagePath"), FolderKind::Profile});
        }
    }
    for (const auto& folder : profileFolders) {
        places.push_back({folder, FolderKind::ProfilesFolder});
        WIN32_FIND_DATAW entry{};
        UniqueFindHandle find(::FindFirstFileW((WithoutTrailingBackslash(folder) + L"\\*").c_str(), &entry));
        for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.get(), &entry)) {
            const std::wstring name = entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
                places.push_back({WithoutTrailingBackslash(folder) + L"\\" + name, FolderKind::Profile});
        }
    }
}

struct VolumeSearchTraits : FindHandleTraits {
    static void Close(HANDLE h) { ::FindVolumeClose(h); }
};

// What Windows keeps at the root of every local volume: the recycle bin and
// the system's own volume data.
void AddVolumeFolders(std::vector<ProtectedPlace>& places) {
    std::vector<std::wstring> roots;
    const auto drives = AskWithGrowingBuffer([](wchar_t* buffer, DWORD size) {
        return ::GetLogicalDriveStringsW(size, buffer);
    });
    if (drives)
        for (const wchar_t* root = drives->c_str(); *root; root += ::lstrlenW(root) + 1) roots.emplace_back(root);
    // Volumes mounted in a folder, or without a drive letter.
    wchar_t volume[MAX_PATH];
    const UniqueResource<HANDLE, VolumeSearchTraits> search(::FindFirstVolumeW(volume, ARRAYSIZE(volume)));
    for (bool more = static_cast<bool>(search); more;
         more = ::FindNextVolumeW(search.get(), volume, ARRAYSIZE(volume)))
        roots.emplace_back(volume);
    for (auto root : roots) {
        // Removable media, CDs and network drives hold none of these; asking
        // an empty drive would only wait for it.
        const UINT type = ::GetDriveTypeW(root.c_str());
        if (type != DRIVE_FIXED && type != DRIVE_RAMDISK) continue;
        if (root.back() != L'\\') root += L'\\';
        for (const wchar_t* name : {L"$Recycle.Bin", L"System Volume Information", L"RECYCLER"})
            places.push_back({root + name, FolderKind::Protected});
    }
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
        static constexpr struct {
            int csidl;
            FolderKind kind;
        } kRequired[] = {
            {CSIDL_WINDOWS, FolderKind::WindowsTree},      {CSIDL_SYSTEM, FolderKind::WindowsTree},
            {CSIDL_PROGRAM_FILES, FolderKind::ProgramFiles}, {CSIDL_COMMON_APPDATA, FolderKind::Protected},
            {CSIDL_PROFILE, FolderKind::Profile},          {CSIDL_DESKTOPDIRECTORY, FolderKind::Protected},
            {CSIDL_PERSONAL, FolderKind::Protected},       {CSIDL_APPDATA, FolderKind::Protected},
            {CSIDL_LOCAL_APPDATA, FolderKind::Protected},  {CSIDL_STARTMENU, FolderKind::Protected},
            {CSIDL_PROGRAMS, FolderKind::Protected},       {CSIDL_STARTUP, FolderKind::Protected},
            {CSIDL_COMMON_STARTMENU, FolderKind::Protected}, {CSIDL_COMMON_PROGRAMS, FolderKind::Protected},
            {CSIDL_COMMON_STARTUP, FolderKind::Protected}, {CSIDL_COMMON_DESKTOPDIRECTORY, FolderKind::Protected},
            {CSIDL_COMMON_DOCUMENTS, FolderKind::Protected},
        };
        // These exist only on some systems, or repeat the ones above.
        static constexpr struct {
            int csidl;
            FolderKind kind;
        } kOptional[] = {{CSIDL_PROGRAM_FILESX86, FolderKind::ProgramFiles},
                         {CSIDL_PROGRAM_FILES_COMMON, FolderKind::ProgramFiles},
                         {CSIDL_PROGRAM_FILES_COMMONX86, FolderKind::ProgramFiles},
                         {CSIDL_SYSTEMX86, FolderKind::WindowsTree}};
        static constexpr struct {
            const wchar_t* name;
            FolderKind kind;
        } kEnvironment[] = {
            {L"SystemRoot", FolderKind::WindowsTree},   {L"windir", FolderKind::WindowsTree},
            {L"ProgramFiles", FolderKind::ProgramFiles}, {L"ProgramFiles(x86)", FolderKind::ProgramFiles},
            {L"ProgramW6432", FolderKind::ProgramFiles}, {L"CommonProgramFiles", FolderKind::ProgramFiles},
            {L"CommonProgramFiles(x86)", FolderKind::ProgramFiles},
            {L"CommonProgramW6432", FolderKind::ProgramFiles},
            {L"ProgramData", FolderKind::Protected},     {L"ALLUSERSPROFILE", FolderKind::Protected},
            {L"USERPROFILE", FolderKind::Profile},       {L"APPDATA", FolderKind::Protected},
            {L"LOCALAPPDATA", FolderKind::Protected},    {L"PUBLIC", FolderKind::Profile}};

        ProtectedPlaces places;
        for (const auto& r : kRequired) places.places.push_back({SpecialFolderPath(r.csidl), r.kind, true});
        places.windowsFolder = places.places.front().path;
        if (callers_ == CallerFolders::Spared) {
            places.places.push_back({WorkingFolder(), FolderKind::Protected, true});
            places.places.push_back({ProgramFolderW(), FolderKind::Protected, true});
        }
        for (const auto& o : kOptional) places.places.push_back({SpecialFolderPath(o.csidl), o.kind});
        places.places.push_back({SystemWindowsFolder(), FolderKind::WindowsTree, true});
        AddProgramFilesFolders(places.places);
        for (const auto& e : kEnvironment) places.places.push_back({EnvironmentPath(e.name), e.kind});
        AddKnownFolders(places.places);
        AddProfiles(places.places, SpecialFolderPath(CSIDL_PROFILE));
        AddVolumeFolders(places.places);
        if (!places.windowsFolder.empty()) places.windowsTempFolder = places.windowsFolder + L"\\Temp";
        places.tempFolders = {TempFolder(), EnvironmentPath(L"TEMP"), EnvironmentPath(L"TMP")};
        return places;
    }

    std::optional<std::wstring> FullPath(const std::wstring& path) override {
        return FullPathOf(path);
    }

    std::optional<FolderIdentity> Identify(const std::wstring& path) override {
        return IdentifyPath(path);
    }

    bool Exists(const std::wstring& path) override {
        if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        const DWORD error = ::GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
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
    identity.pathOnVolume = PathOnVolume(handle).value_or(std::wstring());
    return identity;
}

std::optional<ProtectedSet> LearnProtectedFolders(CallerFolders callers) {
    PlatformFolders platform(callers);
    return LearnProtectedSet(platform);
}

FolderJudgement JudgeFolderOf(const std::optional<FolderIdentity>& target, CallerFolders callers) {
    PlatformFolders platform(callers);
    return JudgeFolder(target, LearnProtectedSet(platform), platform);
}

DeleteVerdict JudgeIdentifiedFolder(const std::optional<FolderIdentity>& target, CallerFolders callers) {
    return JudgeFolderOf(target, callers).verdict;
}

FolderToEmpty JudgeFolderOperand(const std::string& operand, CallerFolders callers) {
    FolderToEmpty target;
    const auto resolved = ResolveFolderOperand(operand);
    if (!resolved) return target;
    target.path = *resolved;
    if (IsVolumeRoot(target.path)) {
        target.verdict = DeleteVerdict::Protected;  // a drive root by name, whatever it leads to
        target.kind = FolderKind::VolumeRoot;
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
    FolderJudgement judgement = JudgeFolderOf(IdentifyHandle(target.folder.get()), callers);
    target.verdict = judgement.verdict;
    target.kind = judgement.kind;
    target.matchedFolder = std::move(judgement.matchedFolder);
    return target;
}

}  // namespace tav
