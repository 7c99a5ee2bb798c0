#include "main/files/folder_actions.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/files.h"
#include "common/win/folder_removal.h"
#include "common/win/operand_link.h"
#include "common/win/program.h"
#include "common/win/protected_folders.h"
#include "common/win/raii.h"
#include "common/win/shell_ops.h"
#include "common/win/trace.h"
#include "common/win/trace_folders.h"
#include "main/files/copy_check.h"
#include "main/files/copy_source.h"
#include "main/run/result_file.h"
#include "main/run/run_state.h"
#include "main/run/split_path.h"

namespace tav {

void DeleteFolderTree(OwnerWindow owner) {
    PumpPendingMessages();
    const auto argument = Arg(2);
    if (!argument) return;
    const std::string operand = Trim(*argument);
    if (operand.size() < 3) { Trace("killfolder: the folder operand " + Quoted(operand) + " is shorter than 3 characters: nothing is deleted"); return; }

    // A permanent, unconfirmed, recursive delete must never reach a drive
    // root or one of the machine's protected folders, however it is spelt or
    // linked to; when that cannot be established, nothing is deleted.
    // The folder is removed through the handle it was judged by.
    FolderToEmpty target = JudgeFolderOperand(operand);
    TraceFolderVerdict("killfolder", operand, target);
    // A folder that is there but cannot be opened (access denied, say) is
    // not deleted, and that is what the user is told.
    if (target.verdict == DeleteVerdict::Unidentified && IsFolder(operand))
        ShowMessage("Es konnten nicht alle Dateien gelöscht werden.", "Fehler");
    if (!target.Allowed()) EndProgram();

    bool complete = RemoveHeldFolder(target.folder.get(), owner());
    target.folder.reset();  // the folder goes when its last handle closes
    // A link at the operand's path goes after the folder it led to.
    if (complete) complete = RemoveOperandLink(target);
    Trace(complete ? "killfolder: the folder and everything in it removed" : "killfolder: not everything could be removed");
    if (!complete) ShowMessage("Es konnten nicht alle Dateien gelöscht werden.", "Fehler");
    EndProgram();
}

namespace {

// `path` made absolute the way the platform resolves it (against the working
// folder, or a drive's current folder); empty when it cannot be.
std::string FullPathOf(const std::string& path) {
    const DWORD size = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return {};
    std::string full(size, '\0');
    const DWORD length = ::GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return {};
    full.resize(length);
    return full;
}

// A folder operand as the copy uses it: absolute, and without a trailing
// backslash unless it is a drive root ("C:\"). Empty when it cannot be resolved.
std::string FolderOperand(const std::string& operand) {
    std::string folder = FullPathOf(operand);
    if (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':')
        folder.pop_back();
    return folder;
}

// True when `folder` is a folder whose entries can be listed.
bool CanListFolder(const std::string& folder) {
    if (!IsFolder(folder)) return false;
    WIN32_FIND_DATAA data{};
    const std::string pattern = folder + (folder.back() == '\\' ? "*" : "\\*");
    UniqueFindHandle find(::FindFirstFileA(pattern.c_str(), &data));
    // A drive root has no "." entry: an empty one finds nothing at all.
    return find || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

CopiedFileFacts FactsOf(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, FILETIME lastWrite) {
    return {(static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow,
            (static_cast<std::uint64_t>(lastWrite.dwHighDateTime) << 32) | lastWrite.dwLowDateTime,
            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

// True when every file below `source` is in the same place below
// `destination`, with the same size and last write time (a file of that name
// left there from before is no copy). The shell does not always say when it
// left a file behind (one it could not read, one the user skipped), so the
// copy is judged by what arrived.
bool EveryFileArrived(const std::wstring& source, const std::wstring& destination) {
    WIN32_FIND_DATAW entry{};
    UniqueFindHandle find(::FindFirstFileExW((source + L"\\*").c_str(), FindExInfoBasic, &entry,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring from = source + L"\\" + name, to = destination + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!EveryFileArrived(from, to)) return false;
            continue;
        }
        WIN32_FILE_ATTRIBUTE_DATA copied{};
        if (!::GetFileAttributesExW(to.c_str(), GetFileExInfoStandard, &copied) ||
            !ArrivedAsCopied(FactsOf(entry.dwFileAttributes, entry.nFileSizeHigh, entry.nFileSizeLow,
                                     entry.ftLastWriteTime),
                             FactsOf(copied.dwFileAttributes, copied.nFileSizeHigh, copied.nFileSizeLow,
                                     copied.ftLastWriteTime)))
            return false;
    } while (::FindNextFileW(find.get(), &entry));
    return true;
}

[[noreturn]] void ReportCopyDirAndEnd(const char* error) {
    WriteCopyDirResult(error);
    ResultHandOver();
    EndProgram();
}

}  // namespace

void CopyFolder(OwnerWindow owner) {
    PumpPendingMessages();
    const std::string sourceOperand = Trim(Arg(2).value_or(""));
    const std::string destinationOperand = Trim(Arg(3).value_or(""));
    // An empty source would mean "\*.*", the root of the current drive; an
    // empty destination has no meaning.
    if (sourceOperand.empty() || destinationOperand.empty()) { Trace("copydir: the source or the destination operand is missing or blank"); ReportCopyDirAndEnd("1"); }

    // Both operands are resolved once, against the working folder, and the
    // resolved paths are what the shell gets. The source is what
    // "source\*.*" names: for a bare drive, its root.
    const std::string source = FolderOperand(ContentsSourceFolder(sourceOperand));
    const std::string destination = FolderOperand(destinationOperand);
    // A source that is missing or cannot be read copies nothing: a failure.
    if (source.empty() || !CanListFolder(source)) { Trace("copydir: the source " + Quoted(sourceOperand) + " is not found, or no folder whose entries can be listed"); ReportCopyDirAndEnd("1"); }
    // The destination is made a folder first: with a single entry to copy and
    // no folder there, the shell would make that entry a file of the
    // destination's name.
    if (destination.empty() || !MakeFolderWithParents(destination)) { TraceFailedCall("making the destination folder", ::GetLastError(), Quoted(destinationOperand)); ReportCopyDirAndEnd("1"); }

    Trace("copydir: the shell copies the contents of " + Quoted(source) + " into " + Quoted(destination));
    const bool failed = ShellOperationOnContents(owner(), FO_COPY, StripTrailingBackslash(source),
                                                 &destination);
    if (failed || !EveryFileArrived(WidenAnsi(StripTrailingBackslash(source)),
                                    WidenAnsi(StripTrailingBackslash(destination)))) {
        Trace(failed ? "copydir: the shell reported a failure or a cancel" : "copydir: not every file arrived in the destination");
        ShowMessage("Es konnten nicht alle Dateien kopiert werden.", "Fehler");
        ReportCopyDirAndEnd("1");
    }
    ReportCopyDirAndEnd("0");
}

}  // namespace tav
