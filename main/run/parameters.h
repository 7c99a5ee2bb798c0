// The parameter string of the main program and how it is taken apart.
// No platform headers: the start-up routine feeds these with the platform's text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

// The parameter string split at every comma. Nothing is trimmed or unquoted,
// empty pieces remain, and there is no limit on their number.
std::vector<std::string> SplitAtCommas(std::string_view parameterString);
// The wide parameter string split by the same rule.
std::vector<std::wstring> SplitAtCommas(std::wstring_view parameterString);

// "c,u/..." is the uninstaller extraction (compared exactly, case-sensitive).
bool IsUninstallCommand(std::string_view parameterString);

enum class Family { Search, Presentation, File, None };
Family FamilyOf(std::string_view argument0);

// The verbs of the "c" family in the order in which they are compared; any
// other text opens the file browser with that text as its caption.
enum class Verb {
    Ini, Kill, KillFolder, OpenDialog, CopyDialog, CopyDir, Copy, MakeDir,
    SelectFolder, Desk, Start, Uninstall, Wallpaper, Rename, FileBrowser
};
Verb VerbOf(std::string_view argument1);

// The zero-based argument list. An element that is not there is reported as
// absent, so that the reader can abandon its action.
class ArgList {
public:
    ArgList() = default;
    explicit ArgList(std::vector<std::string> elements) : elements_(std::move(elements)) {}

    std::optional<std::string> operator[](std::size_t n) const {
        if (n >= elements_.size()) return std::nullopt;
        return elements_[n];
    }
    // The element, or the empty string when it is missing.
    std::string OrEmpty(std::size_t n) const { return n < elements_.size() ? elements_[n] : std::string(); }
    std::size_t Count() const { return elements_.size(); }
    bool Empty() const { return elements_.empty(); }

private:
    std::vector<std::string> elements_;
};

// The temp folder from a NUL-filled platform buffer: cut at the first NUL,
// a backslash appended when the last character is not one (so an empty
// answer becomes a single backslash, the root of the current drive).
std::string TempPathFromBuffer(const char* buffer, std::size_t size);

}  // namespace tav
