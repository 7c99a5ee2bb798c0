#include "main/search/file_search.h"

#include <windows.h>

#include <cstring>
#include <string_view>

#include "common/text.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "main/run/run_state.h"

namespace tav {

std::shared_ptr<FileSearch> FileSearch::Create(FileFoundHandler onFile,
                                           FolderFoundHandler onFolder) {
    std::shared_ptr<FileSearch> object(new FileSearch());
    object->onFile_ = std::move(onFile);
    object->onFolder_ = std::move(onFolder);
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
    if (slice_.Due(::GetTickCount())) PumpPendingMessages();
}

void FileSearch::Search(std::string& folderPath) {
    // Keeps this object alive until the walk has returned, even when a
    // handler or a window event during the walk releases the owner's reference.
    const std::shared_ptr<FileSearch> self = shared_from_this();
    if (depth_ == 0) slice_.Restart();
    ++depth_;
    Walk(folderPath);
    --depth_;
}

void FileSearch::Walk(std::string& folderPath) {
    if (!EndsWith(folderPath, "\\")) folderPath += '\\';

    WIN32_FIND_DATAA record{};
    UniqueFindHandle find(::FindFirstFileA((folderPath + "*.*").c_str(), &record));
    for (;;) {
        LetMessagesThrough();
        ++examined_;
        // The name field up to its first NUL; a string is only made for
        // folders and for finds.
        const std::string_view name(record.cFileName, ::strnlen(record.cFileName, sizeof record.cFileName));
        if (name != "." && name != "..") {
            if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                std::string path = folderPath;
                path += name;
                if (!EndsWith(name, "\\")) path += '\\';
                if (Patterns().Matches(path) && onFolder_) {
                    std::string reported = path;
                    onFolder_(reported);
                }
                if (includeSubfolders_) Walk(path);
            } else if (!name.empty() && Patterns().Matches(name) && onFile_) {
                std::string folder = folderPath;
                std::string file(name);
                onFile_(folder, file);
            }
        }
        if (!State.SearchActive) return;
        if (!find || !::FindNextFileA(find.get(), &record)) return;
    }
}

}  // namespace tav
