#include "main/startup/dispatch.h"

#include <windows.h>

#include "common/text.h"
#include "common/win/ansi.h"
#include "common/win/program.h"
#include "common/win/trace.h"
#include "main/dialogs/about_box.h"
#include "main/dialogs/file_browser_window.h"
#include "main/dialogs/file_dialogs.h"
#include "main/dialogs/folder_picker.h"
#include "main/files/file_actions.h"
#include "main/files/folder_actions.h"
#include "main/presentation/presentation_export.h"
#include "main/run/operand_spelling.h"
#include "main/run/result_file.h"
#include "main/run/run_state.h"
#include "main/search/search_command.h"
#include "main/shell/shortcuts.h"
#include "main/shell/uninstaller_extraction.h"
#include "main/shell/wallpaper.h"

namespace tav {
namespace {

std::string QueryTempPath() {
    char buffer[250] = {};
    const DWORD n = ::GetTempPathA(sizeof buffer, buffer);
    if (n == 0 || n > sizeof buffer) buffer[0] = '\0';  // failed or too long: stays empty
    return TempPathFromBuffer(buffer, sizeof buffer);
}

// The platform hands the program an ANSI copy of a wide command line in which
// a character the code page cannot spell is a look-alike ("Ł" -> "L"): a path
// among the operands may then name another file than the front end's. True
// when every element that selects the action or names a path it changes is
// spelled as it was written.
bool ActsOnWhatTheFrontEndWrote(const std::string& parameterString,
                                const std::wstring& wideParameterString) {
    std::vector<std::optional<std::string>> exact;
    for (const auto& element : SplitAtCommas(wideParameterString)) exact.push_back(ExactAnsi(element));
    return ActsOnWhatWasWritten(SplitAtCommas(parameterString), exact);
}

}  // namespace

void RunParameterString(const std::string& parameterString, const std::wstring& wideParameterString) {
    TraceStart("parameter string", parameterString);
    State.TempPath = QueryTempPath();

    if (IsUninstallCommand(parameterString)) {
        Trace("action: the uninstaller (c,u/), for the installation folder after the prefix");
        ExtractAndStartUninstaller(wideParameterString);
        return;
    }
    if (parameterString.empty()) {
        Trace("action: the about box (the parameter string is empty)");
        ShowAboutBox();
        EndProgram();
    }

    State.Args = ArgList(SplitAtCommas(parameterString));

    RemoveEarlierResultFile();
    // Silently, as for a missing operand.
    if (!ActsOnWhatTheFrontEndWrote(parameterString, wideParameterString)) { Trace("no action: an operand it would act on does not survive the ANSI code page (see the wide command line)"); return; }

    switch (FamilyOf(State.Args.OrEmpty(0))) {
        case Family::Search: RunSearchCommand(); break;
        case Family::Presentation: RunPresentationCommand(); break;
        case Family::File: RunFileCommand(); break;
        case Family::None: Trace("no action: argument 0 " + Quoted(State.Args.OrEmpty(0)) + " is none of the families s, p, c"); break;
    }
}

// The hidden file browser owns the platform's file and folder dialogs and the
// shell's progress window; the hidden about window owns the picture dialog.
void RunFileCommand() {
    const auto verb = Arg(1);
    if (!verb) return;  // "c" alone
    Trace(VerbOf(*verb) == Verb::FileBrowser ? "action: the file browser (argument 1 " + Quoted(*verb) + " is no verb)" : "action: c," + *verb);

    switch (VerbOf(*verb)) {
        case Verb::Ini: CopyListedFiles(); break;
        case Verb::Kill: DeleteMatchingFiles(); break;
        case Verb::KillFolder: DeleteFolderTree(FileBrowserWindow); break;
        case Verb::OpenDialog: {
            const auto title = Arg(2);
            const auto target = Arg(4);
            if (!title || !target) return;
            State.DialogTitle = *title;
            State.TargetBase = Trim(*target);
            OpenDialog(FileBrowserWindow);
            EndProgram();
        }
        case Verb::CopyDialog: {
            const auto source = Arg(2);
            if (!source) return;
            State.TargetBase = Trim(*source);
            CopyDialog(FileBrowserWindow);
            break;
        }
        case Verb::CopyDir: CopyFolder(FileBrowserWindow); break;
        case Verb::Copy: CopyOneFile(); break;
        case Verb::MakeDir: MakeFolder(); break;
        case Verb::SelectFolder: SelectFolderCommand(FileBrowserWindow); break;
        case Verb::Desk: DesktopShortcutCommand(); break;
        case Verb::Start: StartMenuShortcutCommand(); break;
        case Verb::Uninstall: UninstallShortcutCommand(); break;
        case Verb::Wallpaper:
            WallpaperCommand([] { return ChooseWallpaperPicture(AboutWindow); });
            break;
        case Verb::Rename: RenamePath(); break;
        case Verb::FileBrowser: {
            const auto target = Arg(3);
            if (!target) return;
            State.DialogTitle = *verb;
            State.TargetBase = Trim(*target);
            ShowFileBrowser();
            break;
        }
    }
}

}  // namespace tav
