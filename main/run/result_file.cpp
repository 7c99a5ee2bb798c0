#include "main/run/result_file.h"

#include <windows.h>

#include "common/folder_guard.h"
#include "common/win/ansi.h"
#include "common/win/entry_itself.h"
#include "common/win/files.h"
#include "common/win/raii.h"
#include "common/win/trace.h"
#include "main/run/run_state.h"

namespace tav {

std::string ResultFilePath() { return State.TempPath + "Tavrino.ini"; }

void WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

namespace {

// How long a deletion or a replacement that a reader of the file holds up is
// tried again: a front end holds the file for milliseconds at a time.
constexpr DWORD kReaderPatienceMs = 500;

// The result file of an earlier run is still there: start-up could not delete it.
bool earlierResultThere = false;

bool ReadOnly(const std::string& file) {
    const DWORD attributes = ::GetFileAttributesA(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Calls `attempt` until it answers true, for at most kReaderPatienceMs; its
// last answer. The pauses between attempts vary (none, one, two
// milliseconds): a reader that polls at a steady pace on the same clock would
// otherwise hold the file at every attempt, each time again.
template <typename Attempt>
bool TryForAMoment(Attempt attempt) {
    const DWORD start = ::GetTickCount();
    for (DWORD tries = 0; !attempt(); ++tries) {
        if (::GetTickCount() - start >= kReaderPatienceMs) return false;
        ::Sleep(tries % 3);
    }
    return true;
}

// True once `file` is gone. A deletion fails while a reader has the file open
// without sharing its deletion, and while one shares it the file stays until
// the reader closes it; so the file counts as gone only when it is no longer
// there. A read-only file cannot be deleted at all: no waiting for it.
// The file is removed as the entry at its name: a link standing there is
// removed as the link, or, where the platform cannot tell it from what it
// leads to, left standing; what it leads to is never deleted.
// The folder is opened and the entry's name learnt once; each attempt only
// opens the entry relative to the folder, so that it comes quickly in the
// moments between a polling reader's opens.
bool DeleteUntilGone(const std::string& file) {
    if (ReadOnly(file)) return false;
    const std::wstring path = WidenAnsi(file);
    WIN32_FIND_DATAW listed{};
    {
        UniqueFindHandle find(::FindFirstFileW(path.c_str(), &listed));
        if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_PATH_NOT_FOUND;
    }
    const auto folderPath = ParentFolder(path);
    if (!folderPath) return false;
    UniqueFile folder(::CreateFileW(folderPath->c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder) return false;
    const std::wstring name = listed.cFileName;
    return TryForAMoment([&] {
        UniqueFile entry = OpenEntryRelative(folder.get(), name, DELETE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        if (entry && KindOf(entry.get()) != EntryKind::Folder && IsEntryOf(entry.get(), folder.get(), name))
            MarkForDeletion(entry.get());  // not read-only: see above
        entry.reset();  // the name goes when the last handle closes
        return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    });
}

void WriteKeys(const std::string& file, const std::string& section,
               const std::vector<std::pair<std::string, std::string>>& entries) {
    for (const auto& [key, value] : entries) WriteIniValue(file, section, key, value);
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // flushes a cache
}

// Writes the keys into the plain file at `file` while it is held, opened as
// the entry at its name, so that it can be neither renamed nor deleted: what
// the platform's profile writer then opens by that name is this very file,
// never a link put in its place meanwhile. A file that is not there yet is
// made first, where no entry stands. False, with nothing written, when no
// plain file can be held there. The hold asks for no access to the contents,
// so it stands in the way of no reader or writer.
bool WriteKeysIntoHeldFile(const std::string& file, const std::string& section,
                           const std::vector<std::pair<std::string, std::string>>& entries) {
    const std::wstring path = WidenAnsi(file);
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    UniqueFile held(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShare, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held) held = OpenEntryItself(path, FILE_READ_ATTRIBUTES, kShare);
    if (!held || KindOf(held.get()) != EntryKind::File) return false;
    WriteKeys(file, section, entries);
    return true;
}

// Empties the file at `file` and writes `bytes` into it, through one handle
// that shares reading and writing with whoever holds the file. False when it
// cannot be opened for writing or a byte could not be written.
// The file is opened as the entry at its name; a link there is not written
// through.
bool WriteInPlace(const std::string& file, const std::string& bytes) {
    UniqueFile handle = OpenEntryItself(WidenAnsi(file), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!handle || KindOf(handle.get()) != EntryKind::File) return false;
    if (!::SetEndOfFile(handle.get())) return false;  // at its start: emptied
    DWORD written = 0;
    return ::WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && ::FlushFileBuffers(handle.get());
}

// Writes the keys into a new file beside `resultFile` and renames that over
// it, or, where a reader keeps a file there from being replaced, writes the
// same bytes into that file in place of its contents. Nothing of a file
// already there is taken over: each run writes one section, and a file there
// before it is an earlier run's. False, with nothing changed, when the
// section cannot be written one way or the other.
bool WriteThroughTemporaryFile(const std::string& resultFile, const std::string& section,
                               const std::vector<std::pair<std::string, std::string>>& entries) {
    // A read-only file is not replaced (Windows refuses it; some platforms
    // do not): it stays as it is.
    if (ReadOnly(resultFile)) return false;
    char temporary[MAX_PATH + 1] = {};
    if (!::GetTempFileNameA(State.TempPath.c_str(), "tav", 0, temporary)) return false;
    if (!WriteKeysIntoHeldFile(temporary, section, entries)) {
        RemoveFileItself(WidenAnsi(temporary));
        return false;
    }
    // A reader of a file already there holds up its replacement for a moment.
    if (TryForAMoment([&] { return ::MoveFileExA(temporary, resultFile.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE; }))
        return true;
    // A reader holds the earlier answer all the while, so that it can be
    // neither removed nor replaced: where the reader shares writing, this
    // run's section, as the platform wrote it, replaces its contents.
    const auto bytes = ReadWholeFile(temporary);
    RemoveFileItself(WidenAnsi(temporary));
    return bytes && WriteInPlace(resultFile, *bytes);
}

// "[Section] Key=value Key=value", as the trace shows a section.
std::string SectionText(const std::string& section,
                        const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text = "[" + section + "]";
    for (const auto& [key, value] : entries) text += " " + key + "=" + value;
    return text;
}

}  // namespace

void RemoveEarlierResultFile() {
    const std::string resultFile = ResultFilePath();
    earlierResultThere = !DeleteUntilGone(resultFile);
    if (earlierResultThere) Trace("an earlier result file " + Quoted(resultFile) + " could not be removed");
}

void ResultSection::Commit() const {
    const std::string resultFile = ResultFilePath();
    if (WriteThroughTemporaryFile(resultFile, name_, entries_)) {
        Trace("result file " + Quoted(resultFile) + " written: " + SectionText(name_, entries_));
        earlierResultThere = false;
        return;
    }
    // No temporary file, or the result file can be neither replaced nor
    // written: the keys go to it directly, but never into an earlier run's
    // answer (a read-only one, or one a reader holds all the while without
    // sharing writing), which they would mix with this run's.
    const bool written = !earlierResultThere && WriteKeysIntoHeldFile(resultFile, name_, entries_);
    Trace("result file " + Quoted(resultFile) +
          (written ? " written key by key: "
                   : earlierResultThere ? " not written (an earlier run's answer is there): "
                                        : " not written (no plain file can be held at its name): ") +
          SectionText(name_, entries_));
}

void WriteSearchResult(const std::string& result, const std::string& file) {
    ResultSection("Search").Add("Result", result).Add("File", file).Commit();
}

void WriteCopyDirResult(const std::string& error) {
    ResultSection("CopyDir").Add("Error", error).Commit();
}

void WriteSelectFolderResult(const std::string& result, const std::string& error) {
    ResultSection("SelectFolder").Add("Result", result).Add("Error", error).Commit();
}

void WritePictureDialogResult(const std::string& extension, const std::string& width,
                              const std::string& height, const std::string& error) {
    ResultSection("Dialog")
        .Add("Extension", extension)
        .Add("Width", width)
        .Add("Height", height)
        .Add("Error", error)
        .Commit();
}

void WriteDialogResult(const std::string& extension, const std::string& error) {
    ResultSection("Dialog").Add("Extension", extension).Add("Error", error).Commit();
}

void WritePowerpointResult(const std::string& error) {
    ResultSection("Powerpoint").Add("Error", error).Commit();
}

void ResultHandOver() {
    Trace("result file held for the front end for 2000 ms");
    ::Sleep(2000);
    Trace(DeleteUntilGone(ResultFilePath()) ? "result file removed" : "result file could not be removed (read-only, or held open by a reader)");
}

}  // namespace tav
