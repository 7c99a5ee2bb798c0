#include "main/shell/uninstaller_extraction.h"

#include <windows.h>

#include "common/win/files.h"
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
std::string CarriedUninstaller() {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_UNINSTALLER), "CUSTOM");
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = ::SizeofResource(nullptr, found);
    if (!bytes || size == 0) return {};
    return std::string(static_cast<const char*>(bytes), size);
}

// Starts the uninstaller shown normally and does not wait for it. The program
// path is passed separately as well, so that the platform does not have to
// guess where it ends. Its working folder is the temp folder, never the
// caller's (which may be the folder that is to be removed).
void StartUninstaller(const std::string& program, const std::string& installFolder) {
    std::string commandLine = UninstallerCommandLine(program, installFolder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          State.TempPath.c_str(), &startup, &started)) {
        TraceFailedCall("CreateProcessA", ::GetLastError(), commandLine);
        return;
    }
    Trace("uninstaller started (pid " + std::to_string(started.dwProcessId) + "): " + commandLine);
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
}

}  // namespace

void ExtractAndStartUninstaller(const std::string& parameterString) {
    const std::string installFolder = InstallFolderOfUninstallCommand(parameterString);
    const std::string target = State.TempPath + "Tav_uninstall.exe";
    const std::string staging = State.TempPath + "Tav_uninstall.dat";
    const std::string carried = CarriedUninstaller();

    // A copy left by an earlier run is used only when it is this program's own
    // uninstaller; a stale copy of another version is replaced.
    const bool current = IsPlainFile(target) && !carried.empty() && ReadWholeFile(target, carried.size()) == carried;
    Trace(current ? "the uninstaller in TEMP is this program's own: it is used as it is" : carried.empty() ? "the carried uninstaller cannot be read" : "the carried uninstaller is written to " + Quoted(target));
    if (!current) {
        if (!carried.empty() && WriteWholeFile(staging, carried)) {
            if (IsPlainFile(target)) ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
            TraceCall(::MoveFileExA(staging.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE, "MoveFileExA", Quoted(staging) + " to " + Quoted(target));
        }
        // Left over only when the file could not take the target's name.
        ::DeleteFileA(staging.c_str());
    }
    StartUninstaller(target, installFolder);
    EndProgram();
}

}  // namespace tav
