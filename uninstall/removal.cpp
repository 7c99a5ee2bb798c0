#include "uninstall/removal.h"

#include <windows.h>
#include <shlobj.h>

#include "common/text.h"
#include "common/win/files.h"
#include "common/win/folder_removal.h"
#include "common/win/operand_link.h"
#include "common/win/folders.h"
#include "common/win/program.h"
#include "common/win/protected_folders.h"
#include "common/win/trace.h"
#include "common/win/trace_folders.h"
#include "uninstall/info_window.h"
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

// The software's folder directly in the start-menu programs folder. The step
// is skipped when the programs folder is not known, when the name is not one
// plain component, or when the resolved path does not lie directly in the
// programs folder.
void RemoveStartMenuFolder() {
    const auto name = StartMenuNameOf(InstallFolder);
    if (!name) { Trace("start-menu folder: skipped: the installation folder's last component is no plain name"); return; }
    const std::string programs = GetSpecialFolder(CSIDL_PROGRAMS);
    if (programs.empty()) { Trace("start-menu folder: skipped: the start menu's programs folder is not known"); return; }
    const std::string folder = programs + "\\" + *name;

    const auto resolved = ResolveFolderOperand(folder);
    const auto programsResolved = ResolveFolderOperand(programs);
    if (!resolved || !programsResolved) return;
    const auto parent = ParentFolder(*resolved);
    if (!parent) return;
    const auto parentIdentity = IdentifyPath(*parent);
    const auto programsIdentity = IdentifyPath(*programsResolved);
    if (!parentIdentity || !programsIdentity || !parentIdentity->SameAs(*programsIdentity)) { Trace("start-menu folder: skipped: " + Quoted(folder) + " does not lie directly in " + Quoted(programs)); return; }
    DeleteFolder(folder);
}

void RemoveMarkerFile() {
    const std::string windows = WindowsFolder(200);
    if (windows.empty()) { TraceFailedCall("GetWindowsDirectoryA", ::GetLastError(), "marker file: skipped"); return; }
    const std::string marker = windows + "\\" + kMarkerFile;
    if (!FileExists(marker)) Trace("marker file " + Quoted(marker) + ": not there");
    else TraceCall(::DeleteFileA(marker.c_str()) != FALSE, "DeleteFileA", "marker file " + Quoted(marker));
}

}  // namespace

void DeleteFolder(const std::string& path) {
    const std::string folder = Trim(path);
    if (folder.size() < 3) { Trace("folder " + Quoted(path) + ": shorter than 3 characters: skipped"); return; }

    // A relative or drive-relative operand would be read against the
    // uninstaller's own folder: it names no installation.
    if (!IsFullyQualified(folder) || !IsFolder(path)) {
        Trace("folder " + Quoted(path) + (IsFullyQualified(folder) ? ": not there, or no folder" : ": not a full path"));
        ShowMessage(MissingFolderMessage(path), "Hinweis");
        return;
    }
    // What is judged is what is deleted: the folder as the platform resolves
    // it, refused when it is (or leads to) a protected folder or cannot be
    // identified.
    FolderToEmpty target = JudgeFolderOperand(folder, CallerFolders::NotSpared);
    TraceFolderVerdict("uninstaller", folder, target);
    if (!target.Allowed()) {
        ShowMessage(ProtectedFolderMessage(folder), "Hinweis");
        return;
    }

    // The folder is removed through the handle it was judged by.
    bool complete = RemoveHeldFolder(target.folder.get(), InformationWindow());
    target.folder.reset();  // the folder goes when its last handle closes
    // A link at the folder's path goes after the folder it led to.
    if (complete) complete = RemoveOperandLink(target);
    Trace("folder " + Quoted(folder) + (complete ? ": removed with everything in it" : ": not everything could be removed"));
    if (!complete)
        ShowMessage("Es konnten nicht alle Dateien gelöscht werden.", "Fehler");
}

void UninstallAll() {
    Trace("uninstalling: the marker file, the installation folder, the start-menu folder");
    RemoveMarkerFile();
    DeleteFolder(InstallFolder);
    RemoveStartMenuFolder();
    ShowMessage("Deinstallation erfolgreich beendet!", "Quorlend Uninstaller");
    EndProgram();
}

}  // namespace tav::uninstall
