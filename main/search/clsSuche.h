// The search object: walks a folder tree and reports every file whose name
// fits one of its patterns, and every folder whose full path does.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "main/search/pattern_match.h"
#include "main/search/search_logic.h"

namespace tav {

class clsSuche : public std::enable_shared_from_this<clsSuche> {
public:
    // Listener: the one owner's handlers. Arguments are the walk's own copies.
    using DateiGefundenHandler = std::function<void(std::string& strPfad, std::string& strDateiName)>;
    using OrdnerGefundenHandler = std::function<void(std::string& strVerzeichnis)>;
    // Called each time the walk is about to let pending window messages be
    // processed (about every 10 ms), so that a listener can bring its window
    // up to date first.
    using MessagesDueHandler = std::function<void()>;

    // Objects live in shared ownership: a running walk holds a reference to
    // its own object, so the owner may release it from inside a handler.
    static std::shared_ptr<clsSuche> Create(DateiGefundenHandler onFile = {},
                                            OrdnerGefundenHandler onFolder = {},
                                            MessagesDueHandler onMessagesDue = {});

    const std::string& strSuchmuster() const { return strSuchmuster_; }
    void strSuchmuster(const std::string& value);
    bool bolCaseSensitive() const { return bolCaseSensitive_; }
    void bolCaseSensitive(bool value);
    bool bolIncludeSubDirs() const { return bolIncludeSubDirs_; }
    void bolIncludeSubDirs(bool value) { bolIncludeSubDirs_ = value; }

    // Walks `strVerzeichnis` (a "\" is appended to the caller's variable when
    // it does not end in one), depth-first in the platform's order. Returns
    // when the tree is walked or as soon as the program's search flag is false
    // after an entry. Errors are skipped: a folder that cannot be opened
    // reports nothing.
    // Names are listed in UTF-16; an entry whose name has no exact form in the
    // ANSI code page is passed over (its ANSI spelling would name no file),
    // and such a folder is not descended into (nothing below it has an ANSI
    // path either).
    void Suchen(std::string& strVerzeichnis);

    // How many entries the walks of this object have examined (for tests).
    unsigned long long EntriesExamined() const { return examined_; }

private:
    clsSuche() = default;
    void Walk(const std::string& strVerzeichnis, const std::wstring& wideFolder);
    void LetMessagesThrough();
    const PatternList& Patterns();

    std::string strSuchmuster_;
    bool bolCaseSensitive_ = false;
    bool bolIncludeSubDirs_ = false;
    DateiGefundenHandler onFile_;
    OrdnerGefundenHandler onFolder_;
    MessagesDueHandler onMessagesDue_;

    PatternList patterns_;
    bool patternsReady_ = false;
    MessageSlice slice_;
    int depth_ = 0;
    unsigned long long examined_ = 0;
};

}  // namespace tav
