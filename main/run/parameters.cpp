#include "main/run/parameters.h"

#include "common/text.h"

namespace tav {

namespace {

template <class Char>
std::vector<std::basic_string<Char>> SplitAt(std::basic_string_view<Char> s, Char separator) {
    std::vector<std::basic_string<Char>> pieces;
    std::size_t start = 0;
    for (;;) {
        const auto comma = s.find(separator, start);
        if (comma == std::basic_string_view<Char>::npos) {
            pieces.emplace_back(s.substr(start));
            return pieces;
        }
        pieces.emplace_back(s.substr(start, comma - start));
        start = comma + 1;
    }
}

}  // namespace

std::vector<std::string> SplitAtCommas(std::string_view s) { return SplitAt(s, ','); }
std::vector<std::wstring> SplitAtCommas(std::wstring_view s) { return SplitAt(s, L','); }

bool IsUninstallCommand(std::string_view s) { return StartsWith(s, "c,u/"); }

Family FamilyOf(std::string_view a) {
    if (a == "s") return Family::Search;
    if (a == "p") return Family::Presentation;
    if (a == "c") return Family::File;
    return Family::None;
}

Verb VerbOf(std::string_view v) {
    struct Entry {
        const char* text;
        Verb verb;
    };
    static const Entry table[] = {
        {"ini", Verb::Ini},
        {"kill", Verb::Kill},
        {"killfolder", Verb::KillFolder},
        {"opendialog", Verb::OpenDialog},
        {"copydialog", Verb::CopyDialog},
        {"copydir", Verb::CopyDir},
        {"copy", Verb::Copy},
        {"makedir", Verb::MakeDir},
        {"selectfolder", Verb::SelectFolder},
        {"desk", Verb::Desk},
        {"start", Verb::Start},
        {"uninstall", Verb::Uninstall},
        {"wallpaper", Verb::Wallpaper},
        {"rename", Verb::Rename},
    };
    for (const auto& e : table)
        if (v == e.text) return e.verb;
    return Verb::FileBrowser;
}

std::string TempPathFromBuffer(const char* buffer, std::size_t size) {
    std::string path = CutAtNul(buffer, size);
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

}  // namespace tav
