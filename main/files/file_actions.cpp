#include "main/files/file_actions.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/files.h"
#include "common/win/folders.h"
#include "common/win/program.h"
#include "common/win/protected_folders.h"
#include "common/win/raii.h"
#include "common/win/trace.h"
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

void DeleteMatchingFiles() {
    const auto argument = Arg(2);
    if (!argument) return;
    const std::string pattern = Trim(*argument);
    if (pattern.empty()) return;

    // Names are read and deleted in UTF-16, so that a name the ANSI code page
    // cannot spell is deleted too rather than looked up under a mangled name.
    // They are collected first: deleting while the search is open would
    // disturb the enumeration.
    const std::wstring widePattern = WidenAnsi(pattern);
    const std::wstring folder = FolderPartOf(widePattern);
    // The search also finds names whose short alias alone fits: only the long
    // name decides.
    const std::wstring namePattern = Folded(widePattern.substr(folder.size()));
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    {
        UniqueFindHandle find(::FindFirstFileW(widePattern.c_str(), &data));
        if (!find) return;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            if (!LongNameFits(namePattern, Folded(data.cFileName))) continue;
            names.push_back(data.cFileName);
        } while (::FindNextFileW(find.get(), &data));
    }
    for (const auto& name : names) ::DeleteFileW((folder + name).c_str());
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
