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

    // Objects live in shared ownership: a running walk holds a reference to
    // its own object, so the owner may release it from inside a handler.
    static std::shared_ptr<clsSuche> Create(DateiGefundenHandler onFile = {},
                                            OrdnerGefundenHandler onFolder = {});

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
    void Suchen(std::string& strVerzeichnis);

    // How many entries the walks of this object have examined (for tests).
    unsigned long long EntriesExamined() const { return examined_; }

private:
    clsSuche() = default;
    void Walk(std::string& strVerzeichnis);
    void LetMessagesThrough();
    const PatternList& Patterns();

    std::string strSuchmuster_;
    bool bolCaseSensitive_ = false;
    bool bolIncludeSubDirs_ = false;
    DateiGefundenHandler onFile_;
    OrdnerGefundenHandler onFolder_;

    PatternList patterns_;
    bool patternsReady_ = false;
    MessageSlice slice_;
    int depth_ = 0;
    unsigned long long examined_ = 0;
};

}  // namespace tav
