#include "main/search/file_search.h"

#include <windows.h>

#include <cwchar>
#include <string_view>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "main/run/run_state.h"

namespace tav {
namespace {

// `name` in the ANSI code page, into `ansi`, when every character has an
// exact form there: no best-fit substitute ("L" for "Ł") and no default
// character ("?"). False otherwise.
bool ExactAnsiName(const wchar_t* name, std::size_t length, std::string& ansi) {
    ansi.resize(length);
    std::size_t i = 0;
    for (; i < length && name[i] < 0x80; ++i) ansi[i] = static_cast<char>(name[i]);
    if (i == length) return true;  // plain ASCII: the same in every ANSI code page

    // A system whose ANSI code page is UTF-8 takes every valid name as it is
    // (and accepts neither of the other flags).
    static const UINT codePage = ::GetACP();
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultFlag = utf8 ? nullptr : &usedDefault;
    const int wideLength = static_cast<int>(length);
    const int n = ::WideCharToMultiByte(codePage, flags, name, wideLength, nullptr, 0, nullptr,
                                        usedDefaultFlag);
    if (n <= 0 || usedDefault) return false;
    ansi.resize(static_cast<std::size_t>(n));
    return ::WideCharToMultiByte(codePage, flags, name, wideLength, ansi.data(), n, nullptr,
                                 usedDefaultFlag) == n &&
           !usedDefault;
}

// Opens the listing of `pattern` with its first entry in `record`. The
// basic record (no short name) in large batches where the platform offers
// them; the plain call where it does not. A pattern of MAX_PATH characters
// or more is not opened: the ANSI calls of the program and its front end
// could not use any path below it.
HANDLE OpenListing(const std::wstring& pattern, WIN32_FIND_DATAW& record) {
    if (pattern.size() >= MAX_PATH) return INVALID_HANDLE_VALUE;
    static bool basicListing = true;
    if (basicListing) {
        HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &record,
                                         FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH);
        if (find != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_INVALID_PARAMETER)
            return find;
        basicListing = false;  // an older platform
    }
    return ::FindFirstFileW(pattern.c_str(), &record);
}

}  // namespace

std::shared_ptr<FileSearch> FileSearch::Create(FileFoundHandler onFile,
                                           FolderFoundHandler onFolder,
                                           MessagesDueHandler onMessagesDue) {
    std::shared_ptr<FileSearch> object(new FileSearch());
    object->onFile_ = std::move(onFile);
    object->onFolder_ = std::move(onFolder);
    object->onMessagesDue_ = std::move(onMessagesDue);
    return object;
}

void FileSearch::SearchPattern(const std::string& value) {
    searchPattern_ = value;
    patternsReady_ = false;
}

void FileSearch::CaseSensitive(bool value) {
    caseSensitive_ = value;
    patternsReady_ = false;
}

const PatternList& FileSearch::Patterns() {
    if (!patternsReady_) {
        patterns_ = PatternList(searchPattern_, caseSensitive_);
        patternsReady_ = true;
    }
    return patterns_;
}

void FileSearch::LetMessagesThrough() {
    // A queue call costs far more than a directory entry under some platforms;
    // processing the queue every ~10 ms keeps the window just as responsive.
    if (!slice_.Due(::GetTickCount())) return;
    if (onMessagesDue_) onMessagesDue_();
    PumpPendingMessages();
}

void FileSearch::Search(std::string& folderPath) {
    // Keeps this object alive until the walk has returned, even when a
    // handler or a window event during the walk releases the owner's reference.
    const std::shared_ptr<FileSearch> self = shared_from_this();
    if (depth_ == 0) slice_.Restart();
    ++depth_;
    if (!EndsWith(folderPath, "\\")) folderPath += '\\';
    std::wstring wideFolder = WidenAnsi(folderPath);
    Walk(folderPath, wideFolder);
    --depth_;
}

// `folderPath` ends in "\\"; `wideFolder` is the same folder in UTF-16.
void FileSearch::Walk(const std::string& folderPath, const std::wstring& wideFolder) {
    WIN32_FIND_DATAW record{};
    UniqueFindHandle find(OpenListing(wideFolder + L"*.*", record));
    std::string name;
    for (;;) {
        LetMessagesThrough();
        ++examined_;
        // The name field up to its first NUL.
        const std::size_t length = ::wcsnlen(record.cFileName, MAX_PATH);
        if (ExactAnsiName(record.cFileName, length, name) && name != "." && name != "..") {
            if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                std::string path = folderPath;
                path += name;
                if (!EndsWith(name, "\\")) path += '\\';
                if (Patterns().Matches(path) && onFolder_) {
                    std::string reported = path;
                    onFolder_(reported);
                }
                if (includeSubfolders_) {
                    std::wstring widePath = wideFolder;
                    widePath.append(record.cFileName, length);
                    widePath += L'\\';
                    Walk(path, widePath);
                }
            } else if (!name.empty() && Patterns().Matches(name) && onFile_) {
                std::string folder = folderPath;
                std::string file = name;
                onFile_(folder, file);
            }
        }
        if (!State.SearchActive) return;
        if (!find || !::FindNextFileW(find.get(), &record)) return;
    }
}

}  // namespace tav
