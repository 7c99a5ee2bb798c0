#include "main/files/copymodSHfile.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/files.h"
#include "common/win/folder_removal.h"
#include "common/win/protected_folders.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "common/win/shell_ops.h"
#include "main/dialogs/frmTavrino.h"
#include "main/dialogs/split_path.h"
#include "main/startup/modINI.h"
#include "main/startup/program_state.h"

namespace tav {
namespace {

// The folder part of a path whose last component may hold wildcards,
// including its backslash (empty for a bare name).
std::wstring FolderPartOf(const std::wstring& pattern) {
    const auto cut = pattern.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : pattern.substr(0, cut + 1);
}

}  // namespace

void KillFiles() {
    const auto argument = Arg(2);
    if (!argument) return;
    const std::string pattern = Trim(*argument);
    if (pattern.empty()) return;

    // Names are read and deleted in UTF-16, so that a name the ANSI code page
    // cannot spell is deleted too rather than looked up under a mangled name.
    // They are collected first: deleting while the search is open would
    // disturb the enumeration.
    const std::wstring widePattern = WidenAnsi(pattern);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    {
        UniqueFindHandle find(::FindFirstFileW(widePattern.c_str(), &data));
        if (!find) return;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            names.push_back(data.cFileName);
        } while (::FindNextFileW(find.get(), &data));
    }
    const std::wstring folder = FolderPartOf(widePattern);
    for (const auto& name : names) ::DeleteFileW((folder + name).c_str());
}

void KillFolder() {
    PumpPendingMessages();
    const auto argument = Arg(2);
    if (!argument) return;
    const std::string operand = Trim(*argument);
    if (operand.size() < 3) return;

    // A permanent, unconfirmed, recursive delete must never reach a drive
    // root or one of the machine's protected folders, however it is spelt or
    // linked to; when that cannot be established, nothing is deleted.
    const FolderToEmpty target = JudgeFolderOperand(operand);
    if (!target.Allowed()) EndProgram();

    const bool aborted = EmptyFolder(FileBrowserWindow(), target.path);
    RemoveEmptiedFolder(target.path);
    if (aborted) ShowMessage("Es konnten nicht alle Dateien gelöscht werden.", "Fehler");
    EndProgram();
}

void CopyFolder() {
    PumpPendingMessages();
    const std::string source = Trim(Arg(2).value_or(""));
    const std::string destination = Trim(Arg(3).value_or(""));

    // An empty source would mean "\*.*", the root of the current drive; an
    // empty destination has no meaning. Nothing is copied, and the front end,
    // which waits for the section, learns of the failure.
    if (source.empty() || destination.empty()) {
        WriteCopyDirResult("1");
        ResultHandOver();
        EndProgram();
    }

    if (ShellOperationOnContents(FileBrowserWindow(), FO_COPY, source, &destination)) {
        ShowMessage("Es konnten nicht alle Dateien kopiert werden.", "Fehler");
        WriteCopyDirResult("1");
    } else {
        WriteCopyDirResult("0");
    }
    ResultHandOver();
    EndProgram();
}

}  // namespace tav
