#include "main/files/file_actions.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/entry_itself.h"
#include "common/win/files.h"
#include "common/win/folders.h"
#include "common/win/program.h"
#include "common/win/protected_folders.h"
#include "common/win/raii.h"
#include "common/win/trace.h"
#include "common/win/trace_folders.h"
#include "main/files/list_file.h"
#include "main/files/name_pattern.h"
#include "main/run/run_state.h"

namespace tav {
namespace {

// The folder part of a path whose last component may hold wildcards,
// including its backslash (empty for a bare name).
std::wstring FolderPartOf(const std::wstring& pattern) {
    const auto cut = pattern.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : pattern.substr(0, cut + 1);
}

// `text` in upper case as the platform folds file names.
std::wstring Folded(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The NT form of an absolute path, which a rename through a handle takes.
std::wstring NtPath(const std::wstring& full) {
    if (full.rfind(L"\\\\?\\", 0) == 0) return L"\\??\\" + full.substr(4);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\??\\UNC\\" + full.substr(2);
    return L"\\??\\" + full;
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// True when `item` has open the entry that `path` names in its folder, and
// not what a link of that name leads to (the platform may follow one even
// when asked not to).
bool IsTheEntryItself(HANDLE item, const std::wstring& path) {
    const auto parentPath = ParentFolder(path);
    if (!parentPath) return false;
    const auto parent = IdentifyPath(*parentPath);
    const auto opened = IdentifyHandle(item);
    WIN32_FIND_DATAW entry{};
    UniqueFindHandle find(::FindFirstFileW(path.c_str(), &entry));
    if (!parent || !opened || !find) return false;
    std::wstring expected = parent->finalPath;
    if (expected.back() != L'\\') expected += L'\\';
    return EqualIgnoringCase(opened->finalPath, expected + entry.cFileName);
}

// Gives what `item` has open the absolute path `target`; an existing entry
// there is not replaced.
bool RenameThrough(HANDLE item, const std::wstring& target) {
    const std::wstring name = NtPath(target);
    const std::size_t bytes = name.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + bytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(bytes);
    std::copy(name.begin(), name.end(), info->FileName);
    return ::SetFileInformationByHandle(item, FileRenameInfo, info, static_cast<DWORD>(buffer.size()));
}

}  // namespace

namespace {

// The folder a kill pattern names, open for listing (links followed, as the
// platform's search would) and shared for neither deletion nor renaming
// while it is held; where another program holds it so, shared for those too.
UniqueFile OpenFolderToList(const std::wstring& path) {
    constexpr DWORD kAccess = SYNCHRONIZE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
    for (const DWORD share : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE},
                              DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
        UniqueFile folder(::CreateFileW(path.c_str(), kAccess, share, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (folder || ::GetLastError() != ERROR_SHARING_VIOLATION) return folder;
    }
    return {};
}

// The names of the entries of the folder open as `folder` that are not
// folders, read through the handle.
std::vector<std::wstring> FileNamesIn(HANDLE folder) {
    std::vector<std::wstring> names;
    std::vector<LONGLONG> buffer(8192);  // aligned for the records
    for (FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;;
         request = FileIdBothDirectoryInfo) {
        if (!::GetFileInformationByHandleEx(folder, request, buffer.data(),
                                            static_cast<DWORD>(buffer.size() * sizeof(LONGLONG))))
            break;
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
        for (;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
            if (!(entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (entry->NextEntryOffset == 0) break;
            bytes += entry->NextEntryOffset;
        }
    }
    return names;
}

// Deletes what `entry` has open (with delete access) the way the platform
// deletes a file by name: a file, unless it is read-only, or a link as the
// link. A folder stays. It goes when the handle closes.
void DeleteAsTheEntry(HANDLE entry) {
    const auto kind = KindOf(entry);
    if (!kind || *kind == EntryKind::Folder) return;
    if (*kind == EntryKind::File) {
        FILE_BASIC_INFO basic{};
        if (!::GetFileInformationByHandleEx(entry, FileBasicInfo, &basic, sizeof basic) ||
            (basic.FileAttributes & FILE_ATTRIBUTE_READONLY))
            return;
    }
    MarkForDeletion(entry);
}

// Deletes the entry `name` of the folder open as `folder`, confirmed to be
// that entry and not what a link there leads to; what cannot be confirmed
// stays.
void DeleteEntryOf(HANDLE folder, const std::wstring& name) {
    const UniqueFile entry = OpenEntryRelative(folder, name, DELETE);
    const bool itself = entry && IsEntryOf(entry.get(), folder, name);
    if (itself) DeleteAsTheEntry(entry.get());
    TraceW(L"kill: " + Quoted(name) + (itself ? L" matches: deleted (a read-only file stays)" : L" matches but cannot be opened as itself: it stays"));
}

// Deletes the one file `path` names (a short name, or a name with trailing
// dots, reaches the file the platform reads it as).
void DeleteNamedFile(const std::wstring& path) {
    const auto full = FullPathOf(path);
    if (!full) return;
    if (const UniqueFile entry = OpenEntryItself(*full, DELETE)) DeleteAsTheEntry(entry.get());
    else TraceW(L"kill: " + Quoted(*full) + L" is not found, or cannot be opened as itself: nothing is deleted");
}

}  // namespace

void DeleteMatchingFiles() {
    const auto argument = Arg(2);
    if (!argument) return;
    const std::string operand = Trim(*argument);
    if (operand.empty()) return;

    // Names are read and deleted in UTF-16, so that a name the ANSI code page
    // cannot spell is deleted too rather than looked up under a mangled name.
    const std::wstring wide = WidenAnsi(operand);
    const std::wstring folderPart = FolderPartOf(wide);
    const std::wstring pattern = wide.substr(folderPart.size());
    if (!HasWildcards(pattern)) {
        Trace("kill: " + Quoted(operand) + " names one file");
        DeleteNamedFile(wide);
        return;
    }

    // A pattern deletes what is in one folder: the folder is held from the
    // check on, judged by what it is, listed and emptied through that handle.
    // Not in a drive root, the Windows folder, a Program Files folder, the
    // profiles folder or a profile; in another protected folder not by a
    // pattern that names every file. When that cannot be established, nothing.
    const auto folderPath = FullPathOf(folderPart.empty() ? std::wstring(L".") : folderPart);
    if (!folderPath) { Trace("kill: the folder of " + Quoted(operand) + " cannot be made a full path"); return; }
    const UniqueFile folder = OpenFolderToList(*folderPath);
    if (!folder) { TraceFailedCallW("opening the folder to list", ::GetLastError(), L"kill: " + *folderPath); return; }
    const FolderJudgement judgement = JudgeFolderOf(IdentifyHandle(folder.get()), CallerFolders::Spared);
    if (judgement.verdict == DeleteVerdict::Unidentified || judgement.verdict == DeleteVerdict::ListIncomplete)
        { TraceFolderJudgement("kill", *folderPath, judgement, "nothing is deleted"); return; }
    const bool mayDelete = MayDeleteByPattern(judgement.kind, NamesEveryFile(pattern));
    TraceFolderJudgement("kill", *folderPath, judgement, mayDelete ? "the pattern may delete there" : NamesEveryFile(pattern) ? "refused: no pattern that names every file deletes there" : "refused: no pattern deletes there");
    if (!mayDelete) return;

    // Only the long name decides (the platform's search also takes a short
    // alias that fits). The names are collected first: deleting while the
    // listing is open would disturb it.
    const std::wstring foldedPattern = Folded(pattern);
    for (const auto& name : FileNamesIn(folder.get()))
        if (LongNameFits(foldedPattern, Folded(name))) DeleteEntryOf(folder.get(), name);
}

void CopyOneFile() {
    const auto source = Arg(2);
    const auto destination = Arg(3);
    if (!source || !destination) return;
    const std::string from = Trim(*source), to = Trim(*destination);
    TraceCall(::CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE, "CopyFileA", Quoted(from) + " to " + Quoted(to));
}

void CopyListedFiles() {
    const auto name = Arg(2);
    if (!name) EndProgram();
    const auto text = ReadWholeFile(ListFilePath(ProgramFolder(), Trim(*name)));
    if (!text) { Trace("ini: the list file " + Quoted(ListFilePath(ProgramFolder(), Trim(*name))) + " cannot be read"); EndProgram(); }

    // Every record is read before the first copy; there is no limit on their number.
    std::vector<ListRecord> records;
    ListReader reader(*text);
    while (!reader.AtEnd()) {
        PumpPendingMessages();
        records.push_back(reader.Next());
    }

    for (const auto& record : records) {
        PumpPendingMessages();
        TraceCall(::CopyFileA(record.source.c_str(), record.destination.c_str(), FALSE) != FALSE, "CopyFileA", Quoted(record.source) + " to " + Quoted(record.destination));
    }
    EndProgram();
}

void RenamePath() {
    const auto from = Arg(2);
    const auto to = Arg(3);
    if (!from || !to) return;
    auto source = FullPathOf(WidenAnsi(*from));
    const auto target = FullPathOf(WidenAnsi(*to));
    if (!source || !target) { Trace("rename: " + Quoted(*from) + " or " + Quoted(*to) + " cannot be made a full path"); return; }
    // "C:\Demo\A\" names the folder A, as the platform's move reads it; a
    // file is not found by that spelling.
    const bool folderOnly = source->size() > 1 && source->back() == L'\\' && !IsVolumeRoot(*source);
    if (folderOnly) source->pop_back();

    // What is judged is what is moved: the entry is opened once, a folder is
    // judged by what it is, and the rename goes through that same handle, so
    // that nothing swapped in on the way is moved instead.
    UniqueFile item(::CreateFileW(source->c_str(), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
    if (!item) { TraceFailedCall("CreateFileW", ::GetLastError(), "rename: opening " + Quoted(*from)); return; }
    if (!IsTheEntryItself(item.get(), *source)) { Trace("rename: " + Quoted(*from) + " is not itself what its name leads to: nothing is renamed"); return; }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(item.get(), &info)) return;
    const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folderOnly && !folder) return;
    // A protected folder, or one above a protected folder, stays where it is.
    if (folder && JudgeIdentifiedFolder(IdentifyHandle(item.get()), CallerFolders::Spared) !=
                      DeleteVerdict::Allowed) {
        Trace("rename: refused: " + Quoted(*from) + " is a protected folder, a folder above one, or cannot be judged");
        return;
    }
    if (TraceCall(RenameThrough(item.get(), *target), "renaming through the handle", Quoted(*from) + " to " + Quoted(*to))) return;
    // A file may move to another drive: the platform copies it there.
    if (!folder && ::GetLastError() == ERROR_NOT_SAME_DEVICE) {
        item.reset();
        TraceCall(::MoveFileW(source->c_str(), target->c_str()) != FALSE, "MoveFileW", Quoted(*from) + " to " + Quoted(*to));
    }
}

void MakeFolder() {
    const auto folder = Arg(2);
    if (!folder) return;
    TraceCall(::CreateDirectoryA(folder->c_str(), nullptr) != FALSE, "CreateDirectoryA", Quoted(*folder));
}

}  // namespace tav
