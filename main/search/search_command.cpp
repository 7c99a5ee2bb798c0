#include "main/search/search_command.h"

#include <windows.h>

#include "common/text.h"
#include "common/win/program.h"
#include "main/search/search_window.h"
#include "main/search/search_logic.h"
#include "main/run/result_file.h"
#include "main/run/run_state.h"

namespace tav {

void RunSearchCommand() {
    const auto selector = Arg(1);
    const auto pattern = Arg(2);
    if (!selector || !pattern) return;  // "s" or "s,all": nothing to do

    State.SearchResult = Trim(*pattern);
    const std::string drive = Trim(*selector);
    if (*selector == "all") {
        AddFixedDrives();
    } else {
        AddSearchDrive(ToUpperCp1252(drive));
        // Only a drive root counts; some platforms also answer for "C:\\\\" or a folder.
        if (!IsDriveLetterDesignation(drive) ||
            ::GetDriveTypeA((drive + "\\").c_str()) != DRIVE_FIXED) {
            WriteSearchResult("0", "");
            EndProgram();  // the result file stays for the front end
        }
    }

    if (State.Args.Count() == 4) {
        if (*Arg(3) == "list") {
            ShowSearchWindow();
            return;  // the window runs the program from now on
        }
        EndProgram();  // a mode word other than "list": nothing is searched or written
    }
    StartSearch(false);  // ends the program
    EndProgram();
}

std::vector<std::string> GetDriveStrings() {
    return QueryDriveStrings([](std::uint32_t size, char* buffer) {
        return static_cast<std::uint32_t>(::GetLogicalDriveStringsA(size, buffer));
    });
}

void AddFixedDrives() {
    for (const std::string& root : GetDriveStrings()) {
        if (root.empty()) continue;  // the piece after the last separator
        if (::GetDriveTypeA(root.c_str()) == DRIVE_FIXED)
            AddSearchDrive(ToUpperCp1252(root.substr(0, 2)));
    }
}

}  // namespace tav
