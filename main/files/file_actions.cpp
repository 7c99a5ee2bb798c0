#include "main/files/file_actions.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/files.h"
#include "common/win/folders.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "main/files/list_file.h"
#include "main/run/run_state.h"

namespace tav {
namespace {

// The folder part of a path whose last component may hold wildcards,
// including its backslash (empty for a bare name).
std::wstring FolderPartOf(const std::wstring& pattern) {
    const auto cut = pattern.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : pattern.substr(0, cut + 1);
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

void CopyOneFile() {
    const auto source = Arg(2);
    const auto destination = Arg(3);
    if (!source || !destination) return;
    ::CopyFileA(Trim(*source).c_str(), Trim(*destination).c_str(), FALSE);
}

void CopyListedFiles() {
    const auto name = Arg(2);
    if (!name) EndProgram();
    const auto text = ReadWholeFile(ListFilePath(ProgramFolder(), Trim(*name)));
    if (!text) EndProgram();

    // Every record is read before the first copy; there is no limit on their number.
    std::vector<ListRecord> records;
    ListReader reader(*text);
    while (!reader.AtEnd()) {
        PumpPendingMessages();
        records.push_back(reader.Next());
    }

    for (const auto& record : records) {
        PumpPendingMessages();
        ::CopyFileA(record.source.c_str(), record.destination.c_str(), FALSE);
    }
    EndProgram();
}

void RenamePath() {
    const auto from = Arg(2);
    const auto to = Arg(3);
    if (!from || !to) return;
    ::MoveFileA(from->c_str(), to->c_str());
}

void MakeFolder() {
    const auto folder = Arg(2);
    if (!folder) return;
    ::CreateDirectoryA(folder->c_str(), nullptr);
}

}  // namespace tav
