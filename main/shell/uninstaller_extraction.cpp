#include "main/shell/uninstaller_extraction.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "common/win/ansi.h"
#include "common/win/entry_itself.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "common/win/trace.h"
#include "main/resources/resource.h"
#include "main/run/run_state.h"
#include "main/shell/uninstaller_launch.h"

namespace tav {
namespace {

// The uninstaller this program carries (empty when the resource cannot be read).
// Module resources need no release.
std::string_view CarriedUninstaller() {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_UNINSTALLER), "CUSTOM");
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = ::SizeofResource(nullptr, found);
    if (!bytes || size == 0) return {};
    return std::string_view(static_cast<const char*>(bytes), size);
}

// The user's temp folder, ending in a backslash, as the platform spells it
// (the ANSI answer may hold look-alikes of a user name's letters).
std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 2, buffer);
    std::wstring folder = (n > 0 && n < MAX_PATH + 2) ? std::wstring(buffer, n) : WidenAnsi(State.TempPath);
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

// True when the file open as `file` holds exactly `bytes`, read through that handle.
bool HoldsExactly(HANDLE file, std::string_view bytes) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || static_cast<ULONGLONG>(size.QuadPart) != bytes.size()) return false;
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
    std::string read(64 * 1024, '\0');
    std::size_t at = 0;
    while (at < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min(read.size(), bytes.size() - at));
        DWORD got = 0;
        if (!::ReadFile(file, read.data(), want, &got, nullptr) || got != want) return false;
        if (std::string_view(read.data(), got) != bytes.substr(at, got)) return false;
        at += got;
    }
    return true;
}

// The file at `path` when it is, byte for byte, the carried uninstaller: open
// as itself, for reading only and shared for reading only, so that while the
// handle is held nobody can change, replace, rename or delete it.
UniqueFile OpenVerified(const std::wstring& path, std::string_view carried) {
    UniqueFile file = OpenEntryItself(path, GENERIC_READ, FILE_SHARE_READ);
    if (!file || KindOf(file.get()) != EntryKind::File || !HoldsExactly(file.get(), carried)) return {};
    return file;
}

// Clears a read-only flag of the file at `path` (not of what a link there leads to).
void MakeWritable(const std::wstring& path) {
    UniqueFile file = OpenEntryItself(path, FILE_WRITE_ATTRIBUTES);
    if (!file || KindOf(file.get()) != EntryKind::File) return;
    FILE_BASIC_INFO info{};
    if (!::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &info, sizeof info)) return;
    if (!(info.FileAttributes & FILE_ATTRIBUTE_READONLY)) return;
    info.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(file.get(), FileBasicInfo, &info, sizeof info);
}

struct PlacedUninstaller {
    std::wstring path;
    UniqueFile held;  // the verified file, held until it has been started
};

// TEMP\Tav_uninstall.exe: an identical copy left by an earlier run is used
// as it is; anything else there is replaced through the staging file.
std::optional<PlacedUninstaller> PlaceUnderItsName(const std::wstring& temp, std::string_view carried) {
    const std::wstring target = temp + L"Tav_uninstall.exe";
    if (UniqueFile held = OpenVerified(target, carried)) return PlacedUninstaller{target, std::move(held)};
    const std::wstring staging = temp + L"Tav_uninstall.dat";
    if (WriteNewFileItself(staging, carried)) {
        MakeWritable(target);
        // A rename replaces the entry at the target's name, a link as the link.
        ::MoveFileExW(staging.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
        RemoveFileItself(staging);  // left over only when the rename failed
    }
    if (UniqueFile held = OpenVerified(target, carried)) return PlacedUninstaller{target, std::move(held)};
    return std::nullopt;
}

// Where the usual name cannot take the uninstaller (a program held open
// there, a folder of that name): a folder made for it now, which nothing
// else can have prepared.
std::optional<PlacedUninstaller> PlaceInFreshFolder(const std::wstring& temp, std::string_view carried) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::wstring folder =
            temp + FreshUninstallerFolderName(::GetCurrentProcessId(), ::GetTickCount(), attempt);
        if (!::CreateDirectoryW(folder.c_str(), nullptr)) {
            if (::GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return std::nullopt;
        }
        const std::wstring path = folder + L"\\Tav_uninstall.exe";
        if (!WriteNewFileItself(path, carried)) return std::nullopt;
        if (UniqueFile held = OpenVerified(path, carried)) return PlacedUninstaller{path, std::move(held)};
        return std::nullopt;
    }
    return std::nullopt;
}

// Starts the uninstaller shown normally and does not wait for it. The program
// path is passed separately as well, so that the platform does not have to
// guess where it ends. Its working folder is the temp folder, never the
// caller's (which may be the folder that is to be removed).
void StartUninstaller(const std::wstring& program, const std::wstring& installFolder,
                      const std::wstring& workingFolder) {
    std::wstring commandLine = UninstallerCommandLine(program, installFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingFolder.c_str(), &startup, &started)) {
        TraceFailedCallW("CreateProcessW", ::GetLastError(), commandLine);
        return;
    }
    TraceW(L"uninstaller started (pid " + WidenAnsi(std::to_string(started.dwProcessId)) + L"): " + commandLine);
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
}

}  // namespace

void ExtractAndStartUninstaller(const std::wstring& wideParameterString) {
    const std::string_view carried = CarriedUninstaller();
    // The prefix itself spelled with look-alikes ("ｃ,u/") is not the command.
    if (carried.empty() || wideParameterString.compare(0, 4, L"c,u/") != 0) EndProgram();
    const std::wstring installFolder = InstallFolderOfUninstallCommand(wideParameterString);
    const std::wstring temp = TempFolder();

    // Only the carried uninstaller is ever started: the file is verified byte
    // for byte and held, unchangeable, until the process has been created.
    auto placed = PlaceUnderItsName(temp, carried);
    if (!placed) placed = PlaceInFreshFolder(temp, carried);
    if (!placed) Trace("the carried uninstaller could be placed neither under its name nor in a fresh folder in TEMP");
    if (placed) StartUninstaller(placed->path, installFolder, temp);
    EndProgram();
}

}  // namespace tav
