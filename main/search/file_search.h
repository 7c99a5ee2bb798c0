// The search object: walks a folder tree and reports every file whose name
// fits one of its patterns, and every folder whose full path does.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "main/search/pattern_match.h"
#include "main/search/search_logic.h"

namespace tav {

class FileSearch : public std::enable_shared_from_this<FileSearch> {
public:
    // Listener: the one owner's handlers. Arguments are the walk's own copies.
    using FileFoundHandler = std::function<void(std::string& fileFolder, std::string& fileName)>;
    using FolderFoundHandler = std::function<void(std::string& folderPath)>;
    // Called each time the walk is about to let pending window messages be
    // processed (about every 10 ms), so that a listener can bring its window
    // up to date first.
    using MessagesDueHandler = std::function<void()>;

    // Objects live in shared ownership: a running walk holds a reference to
    // its own object, so the owner may release it from inside a handler.
    static std::shared_ptr<FileSearch> Create(FileFoundHandler onFile = {},
                                            FolderFoundHandler onFolder = {},
                                            MessagesDueHandler onMessagesDue = {});

    const std::string& SearchPattern() const { return searchPattern_; }
    void SearchPattern(const std::string& value);
    bool CaseSensitive() const { return caseSensitive_; }
    void CaseSensitive(bool value);
    bool IncludeSubfolders() const { return includeSubfolders_; }
    void IncludeSubfolders(bool value) { includeSubfolders_ = value; }

    // Walks `folderPath` (a "\" is appended to the caller's variable when
    // it does not end in one), depth-first in the platform's order. Returns
    // when the tree is walked or as soon as the program's search flag is false
    // after an entry. Errors are skipped: a folder that cannot be opened
    // reports nothing.
    // Names are listed in UTF-16; an entry whose name has no exact form in the
    // ANSI code page is passed over (its ANSI spelling would name no file),
    // and such a folder is not descended into (nothing below it has an ANSI
    // path either).
    void Search(std::string& folderPath);

    // How many entries the walks of this object have examined (for tests).
    unsigned long long EntriesExamined() const { return examined_; }

private:
    FileSearch() = default;
    void Walk(const std::string& folderPath, const std::wstring& wideFolder);
    void LetMessagesThrough();
    const PatternList& Patterns();

    std::string searchPattern_;
    bool caseSensitive_ = false;
    bool includeSubfolders_ = false;
    FileFoundHandler onFile_;
    FolderFoundHandler onFolder_;
    MessagesDueHandler onMessagesDue_;

    PatternList patterns_;
    bool patternsReady_ = false;
    MessageSlice slice_;
    int depth_ = 0;
    unsigned long long examined_ = 0;
};

}  // namespace tav
