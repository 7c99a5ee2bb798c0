#include "uninstall/removal.h"

#include <windows.h>
#include <shlobj.h>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/entry_itself.h"
#include "common/win/files.h"
#include "common/win/folder_removal.h"
#include "common/win/operand_link.h"
#include "common/win/folders.h"
#include "common/win/program.h"
#include "common/win/raii.h"
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

constexpr char kNotAllDeleted[] = "Es konnten nicht alle Dateien gelöscht werden.";

// The software's folder directly in the start-menu programs folder, opened as
// the entry that stands there and judged through its handle: a link there
// (a junction or symbolic link named like the installation) is removed as
// the link, never emptied through; where the platform follows it anyway, the
// entry opened is not the programs folder's own and is left alone. The step
// is skipped when the programs folder is not known or the name is not one
// plain component.
Removal RemoveStartMenuFolder() {
    const auto name = StartMenuNameOf(InstallFolder);
    if (!name) {  // it names no folder there
        Trace("start-menu folder: skipped: the installation folder's last component is no plain name");
        return Removal::Gone;
    }
    const std::string programs = GetSpecialFolder(CSIDL_PROGRAMS);
    if (programs.empty()) {
        Trace("start-menu folder: skipped: the start menu's programs folder is not known");
        return Removal::Gone;
    }
    const std::string folder = programs + "\\" + *name;

    // The name as the programs folder lists it (another case, a short name).
    WIN32_FIND_DATAW listed{};
    {
        UniqueFindHandle find(::FindFirstFileW(WidenAnsi(folder).c_str(), &listed));
        if (!find) {
            Trace("start-menu folder " + Quoted(folder) + ": not there");
            ShowMessage(MissingFolderMessage(folder), "Hinweis");
            return Removal::Gone;
        }
    }
    const std::wstring entryName = listed.cFileName;
    UniqueFile programsFolder(::CreateFileW(WidenAnsi(programs).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    UniqueFile entry = programsFolder ? OpenEntryRelative(programsFolder.get(), entryName,
                                                          DELETE | FILE_WRITE_ATTRIBUTES | FILE_LIST_DIRECTORY)
                                      : UniqueFile();
    const auto kind = entry ? KindOf(entry.get()) : std::nullopt;
    if (!kind || !IsEntryOf(entry.get(), programsFolder.get(), entryName)) {
        Trace("start-menu folder " + Quoted(folder) + ": left: it could not be opened as the entry in " + Quoted(programs));
        ShowMessage(kNotAllDeleted, "Fehler");
        return Removal::Left;
    }
    switch (*kind) {
        case EntryKind::Link:
            if (TraceCall(DeleteEntryThrough(entry.get()), "delete", "start-menu link " + Quoted(folder)))
                return Removal::Gone;
            ShowMessage(kNotAllDeleted, "Fehler");
            return Removal::Left;
        case EntryKind::File:
            ShowMessage(MissingFolderMessage(folder), "Hinweis");
            return Removal::Gone;
        case EntryKind::Folder: break;
    }
    if (JudgeIdentifiedFolder(IdentifyHandle(entry.get()), CallerFolders::NotSpared) != DeleteVerdict::Allowed) {
        Trace("start-menu folder " + Quoted(folder) + ": refused: a protected folder");
        ShowMessage(ProtectedFolderMessage(folder), "Hinweis");
        return Removal::Left;
    }
    const bool complete = RemoveHeldFolder(entry.get(), InformationWindow());
    entry.reset();  // the folder goes when its last handle closes
    Trace("start-menu folder " + Quoted(folder) + (complete ? ": removed" : ": not everything could be removed"));
    if (complete) return Removal::Gone;
    ShowMessage(kNotAllDeleted, "Fehler");
    return Removal::Left;
}

// The marker file in the Windows folder, removed as the entry at its name (a
// link there as the link; where the platform cannot tell a link from what it
// leads to, the entry stays). A marker that stays is reported.
Removal RemoveMarkerFile() {
    const std::string windows = WindowsFolder(200);
    if (windows.empty()) TraceFailedCall("GetWindowsDirectoryA", ::GetLastError(), "marker file");
    const std::string marker = windows + "\\" + kMarkerFile;
    const RemoveOutcome outcome = windows.empty() ? RemoveOutcome::Left : RemoveFileItself(WidenAnsi(marker));
    Trace("marker file " + Quoted(marker) +
          (outcome == RemoveOutcome::Removed ? ": removed" : outcome == RemoveOutcome::Absent ? ": not there" : ": left"));
    if (outcome != RemoveOutcome::Left) return Removal::Gone;
    ShowMessage(kNotAllDeleted, "Fehler");
    return Removal::Left;
}

}  // namespace

Removal DeleteFolder(const std::string& path) {
    const std::string folder = Trim(path);
    if (folder.size() < 3) {
        Trace("folder " + Quoted(path) + ": shorter than 3 characters: skipped");
        return Removal::Gone;
    }

    // A relative or drive-relative operand would be read against the
    // uninstaller's own folder: it names no installation.
    if (!IsFullyQualified(folder) || !IsFolder(path)) {
        Trace("folder " + Quoted(path) + (IsFullyQualified(folder) ? ": not there, or no folder" : ": not a full path"));
        ShowMessage(MissingFolderMessage(path), "Hinweis");
        return Removal::Gone;
    }
    // What is judged is what is deleted: the folder as the platform resolves
    // it, refused when it is (or leads to) a protected folder or cannot be
    // identified.
    FolderToEmpty target = JudgeFolderOperand(folder, CallerFolders::NotSpared);
    TraceFolderVerdict("uninstaller", folder, target);
    if (target.verdict == DeleteVerdict::Unidentified) {
        // There, but it cannot be opened (access denied, say): not deleted.
        ShowMessage(kNotAllDeleted, "Fehler");
        return Removal::Left;
    }
    if (!target.Allowed()) {
        ShowMessage(ProtectedFolderMessage(folder), "Hinweis");
        return Removal::Left;
    }

    // The folder is removed through the handle it was judged by; it goes
    // when its last handle closes. What stays is held until the user has
    // been told.
    const bool complete = RemoveHeldFolder(target.folder.get(), InformationWindow());
    Trace("folder " + Quoted(folder) + (complete ? ": removed with everything in it" : ": not everything could be removed"));
    if (!complete) {
        ShowMessage(kNotAllDeleted, "Fehler");
        return Removal::Left;
    }
    target.folder.reset();
    // A link at the folder's path goes after the folder it led to.
    if (RemoveOperandLink(target)) return Removal::Gone;
    Trace("the link at " + Quoted(folder) + " could not be removed");
    ShowMessage(kNotAllDeleted, "Fehler");
    return Removal::Left;
}

void UninstallAll() {
    // Every step runs, whatever the one before it left; the closing message
    // says "erfolgreich" only when everything the uninstaller was to delete
    // is gone (what stayed has been reported).
    Trace("uninstalling: the marker file, the installation folder, the start-menu folder");
    const Removal marker = RemoveMarkerFile();
    const Removal installation = DeleteFolder(InstallFolder);
    const Removal startMenu = RemoveStartMenuFolder();
    if (marker == Removal::Gone && installation == Removal::Gone && startMenu == Removal::Gone)
        ShowMessage("Deinstallation erfolgreich beendet!", "Quorlend Uninstaller");
    EndProgram();
}

}  // namespace tav::uninstall
