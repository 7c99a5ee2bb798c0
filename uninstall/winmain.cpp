// Entry point of Tav_uninstall.
#include <windows.h>

#include <string>
#include <vector>

#include "common/win/ansi.h"
#include "common/win/dll_search.h"
#include "common/win/folders.h"
#include "common/win/program.h"
#include "common/win/trace.h"
#include "uninstall/info_window.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_paths.h"

namespace {

// The program's own path in every form the platform may have put at the start
// of the command line: as it reports it, long and short.
std::vector<std::string> OwnPathForms() {
    const std::string reported = tav::ProgramPath();
    std::vector<std::string> forms{reported};
    char buffer[MAX_PATH * 4] = {};
    DWORD n = ::GetLongPathNameA(reported.c_str(), buffer, sizeof buffer);
    if (n > 0 && n < sizeof buffer) forms.emplace_back(buffer, n);
    n = ::GetShortPathNameA(reported.c_str(), buffer, sizeof buffer);
    if (n > 0 && n < sizeof buffer) forms.emplace_back(buffer, n);
    return forms;
}

// The command line in the ANSI code page, where a character the code page
// cannot spell is "|" instead of the look-alike the platform's own ANSI copy
// holds ("Ł" -> "L" would name another folder). "|" stands in no file name
// and in no path syntax, so an installation folder spelled with it is no
// folder: it gets the note for a missing folder, and nothing is deleted in
// its name.
std::string CommandLineAsWritten() {
    return tav::SpellInAnsi(::GetCommandLineW(), '|').text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tav::uninstall;
    // First: it runs from the temp folder, where anybody may have put DLLs.
    tav::RestrictDllSearchToSystemFolder();
    // Whatever folder the caller left as working folder (it may be the very
    // folder to be removed), the uninstaller works from its own.
    const std::string ownFolder = tav::ProgramFolder();
    if (!ownFolder.empty()) ::SetCurrentDirectoryA((ownFolder + "\\").c_str());
    tav::TraceStart("command line", ::GetCommandLineA());
    InstallFolder = InstallFolderFromCommandLine(CommandLineAsWritten(), OwnPathForms());
    tav::Trace(InstallFolder.empty() ? std::string("no installation folder: the information window is shown") : "installation folder " + tav::Quoted(InstallFolder));
    if (InstallFolder.empty()) {
        ShowInformationWindow();
        tav::EndProgram();
    }
    if (tav::ShowMessage("Wollen Sie die Software wirklich deinstallieren?", "Uninstaller",
                         MB_YESNOCANCEL | MB_ICONQUESTION) == IDYES)
        UninstallAll();
    tav::EndProgram();
}
