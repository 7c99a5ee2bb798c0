#include "main/run/operand_spelling.h"

#include "main/run/parameters.h"

namespace tav {
namespace {

// The operands of each verb of "c" that name a path acted on.
std::vector<std::size_t> PathOperandsOf(Verb verb) {
    switch (verb) {
        case Verb::Kill:          // the file or pattern deleted
        case Verb::KillFolder:    // the folder deleted
        case Verb::MakeDir:       // the folder created
        case Verb::Wallpaper:     // its name names the bitmap written into the Windows folder
            return {2};
        case Verb::CopyDir:       // the folder copied into
        case Verb::Copy:          // the file copied to
        case Verb::Desk:          // the shortcut's name on the Desktop
        case Verb::FileBrowser:   // the path the chosen file is copied to
            return {3};
        case Verb::Rename:        // the path renamed and the path it becomes
            return {2, 3};
        case Verb::Start:         // the start-menu folder created and the shortcut's name
            return {3, 4};
        case Verb::Uninstall:     // folder and name as for "start"; 5 and 6 are the command the
            return {3, 4, 5, 6};  // shortcut runs, which deletes the folder it names
        case Verb::OpenDialog:    // the path the chosen file is copied to
            return {4};
        case Verb::Ini:           // the list file beside the program is only read
        case Verb::CopyDialog:    // the source is only read; the target is chosen in the dialog
        case Verb::SelectFolder:  // a title and a start folder
            return {};
    }
    return {};
}

}  // namespace

std::vector<std::size_t> ElementsSpelledExactly(const std::vector<std::string>& args) {
    if (args.empty()) return {};
    switch (FamilyOf(args[0])) {
        case Family::Presentation: return {0, 1};  // the folder or file the export writes
        case Family::Search: return {0};           // a drive and a pattern, only read
        case Family::None: return {};
        case Family::File: break;
    }
    if (args.size() < 2) return {0};
    const Verb verb = VerbOf(args[1]);
    std::vector<std::size_t> elements{0};
    // Any text that is no verb is the file browser's caption: written freely.
    if (verb != Verb::FileBrowser) elements.push_back(1);
    for (std::size_t n : PathOperandsOf(verb)) elements.push_back(n);
    return elements;
}

bool ActsOnWhatWasWritten(const std::vector<std::string>& args,
                          const std::vector<std::optional<std::string>>& exactArgs) {
    for (std::size_t n : ElementsSpelledExactly(args)) {
        if (n >= args.size()) continue;
        if (n >= exactArgs.size() || !exactArgs[n] || *exactArgs[n] != args[n]) return false;
    }
    return true;
}

}  // namespace tav
