#include "main/search/file_search.h"

#include <windows.h>

#include <cstring>
#include <string_view>

#include "common/text.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "main/run/run_state.h"

namespace tav {

std::shared_ptr<clsSuche> clsSuche::Create(DateiGefundenHandler onFile,
                                           OrdnerGefundenHandler onFolder) {
    std::shared_ptr<clsSuche> object(new clsSuche());
    object->onFile_ = std::move(onFile);
    object->onFolder_ = std::move(onFolder);
    return object;
}

void clsSuche::strSuchmuster(const std::string& value) {
    strSuchmuster_ = value;
    patternsReady_ = false;
}

void clsSuche::bolCaseSensitive(bool value) {
    bolCaseSensitive_ = value;
    patternsReady_ = false;
}

const PatternList& clsSuche::Patterns() {
    if (!patternsReady_) {
        patterns_ = PatternList(strSuchmuster_, bolCaseSensitive_);
        patternsReady_ = true;
    }
    return patterns_;
}

void clsSuche::LetMessagesThrough() {
    // A queue call costs far more than a directory entry under some platforms;
    // processing the queue every ~10 ms keeps the window just as responsive.
    if (slice_.Due(::GetTickCount())) PumpPendingMessages();
}

void clsSuche::Suchen(std::string& strVerzeichnis) {
    // Keeps this object alive until the walk has returned, even when a
    // handler or a window event during the walk releases the owner's reference.
    const std::shared_ptr<clsSuche> self = shared_from_this();
    if (depth_ == 0) slice_.Restart();
    ++depth_;
    Walk(strVerzeichnis);
    --depth_;
}

void clsSuche::Walk(std::string& strVerzeichnis) {
    if (!EndsWith(strVerzeichnis, "\\")) strVerzeichnis += '\\';

    WIN32_FIND_DATAA record{};
    UniqueFindHandle find(::FindFirstFileA((strVerzeichnis + "*.*").c_str(), &record));
    for (;;) {
        LetMessagesThrough();
        ++examined_;
        // The name field up to its first NUL; a string is only made for
        // folders and for finds.
        const std::string_view name(record.cFileName, ::strnlen(record.cFileName, sizeof record.cFileName));
        if (name != "." && name != "..") {
            if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                std::string path = strVerzeichnis;
                path += name;
                if (!EndsWith(name, "\\")) path += '\\';
                if (Patterns().Matches(path) && onFolder_) {
                    std::string reported = path;
                    onFolder_(reported);
                }
                if (bolIncludeSubDirs_) Walk(path);
            } else if (!name.empty() && Patterns().Matches(name) && onFile_) {
                std::string folder = strVerzeichnis;
                std::string file(name);
                onFile_(folder, file);
            }
        }
        if (!State.bolSearchActive) return;
        if (!find || !::FindNextFileA(find.get(), &record)) return;
    }
}

}  // namespace tav
