#include "main/files/copymodSHfile.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/files.h"
#include "common/win/folders.h"
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
std::string FolderPartOf(const std::string& pattern) {
    const auto cut = pattern.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
}

}  // namespace

void KillFiles() {
    const auto argument = Arg(2);
    if (!argument) return;
    const std::string pattern = Trim(*argument);
    if (pattern.empty()) return;

    // The names are collected first: deleting while the search is open would
    // disturb the enumeration.
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    {
        UniqueFindHandle find(::FindFirstFileA(pattern.c_str(), &data));
        if (!find) return;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            names.push_back(CutAtNul(data.cFileName, sizeof data.cFileName));
        } while (::FindNextFileA(find.get(), &data));
    }
    const std::string folder = FolderPartOf(pattern);
    for (const auto& name : names) ::DeleteFileA((folder + name).c_str());
}

void KillFolder() {
    PumpPendingMessages();
    const auto argument = Arg(2);
    if (!argument) return;
    const std::string folder = Trim(*argument);
    if (folder.size() < 3) return;

    // A permanent, unconfirmed, recursive delete must never reach a drive
    // root or one of the machine's important folders.
    if (IsProtectedFolderHere(StripTrailingBackslash(folder))) EndProgram();

    // The shell stops at a read-only file matched directly by the wildcard on
    // some systems; every file of the folder is to go, read-only ones too.
    ClearReadOnlyOfDirectEntries(folder);

    const bool aborted = ShellOperationOnContents(FileBrowserWindow(), FO_DELETE, folder);
    ::RemoveDirectoryA(folder.c_str());
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
