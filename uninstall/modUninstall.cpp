#include "uninstall/modUninstall.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "common/text.h"
#include "common/win/files.h"
#include "common/win/folders.h"
#include "common/win/program.h"
#include "common/win/shell_ops.h"
#include "uninstall/frmAbout.h"
#include "uninstall/uninstall_paths.h"

namespace tav::uninstall {

std::string InstallFolder;

namespace {

constexpr char kMarkerFile[] = "tavrinoinstall.inf";

std::string MissingFolderMessage(const std::string& folder) {
    return "Der angegebene Ordner ist nicht mehr vorhanden!\r\n" + folder +
           "\r\nkonnte nicht gelöscht werden.";
}

std::string ProtectedFolderMessage(const std::string& folder) {
    return "Dieser Ordner wird aus Sicherheitsgründen nicht gelöscht:\r\n" + folder;
}

void RemoveMarkerFile() {
    const std::string windows = WindowsFolder(200);
    if (windows.empty()) return;
    const std::string marker = windows + "\\" + kMarkerFile;
    if (FileExists(marker)) ::DeleteFileA(marker.c_str());
}

}  // namespace

void DeleteFolder(const std::string& path) {
    const std::string folder = Trim(path);
    if (folder.size() < 3) return;

    if (!IsFolder(path)) {
        ShowMessage(MissingFolderMessage(path), "Hinweis");
        return;
    }
    if (IsProtectedFolderHere(folder)) {
        ShowMessage(ProtectedFolderMessage(folder), "Hinweis");
        return;
    }

    // The shell's delete stops at a read-only file that the pattern names directly.
    ClearReadOnlyOfDirectEntries(folder);
    const bool aborted = ShellOperationOnContents(InformationWindow(), FO_DELETE, folder);
    ::RemoveDirectoryA(folder.c_str());
    if (aborted)
        ShowMessage("Es konnten nicht alle Dateien gelöscht werden.", "Fehler");
}

void UninstallAll() {
    RemoveMarkerFile();
    DeleteFolder(InstallFolder);
    // A name that is empty or blank would mean the start-menu programs folder itself.
    if (const auto name = StartMenuNameOf(InstallFolder))
        DeleteFolder(GetSpecialFolder(CSIDL_PROGRAMS) + "\\" + *name);
    ShowMessage("Deinstallation erfolgreich beendet!", "Quorlend Uninstaller");
    EndProgram();
}

}  // namespace tav::uninstall
