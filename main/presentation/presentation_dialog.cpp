#include "main/presentation/presentation_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include "common/text.h"
#include "common/win/program.h"
#include "main/presentation/presentation_export.h"
#include "main/run/result_file.h"

namespace tav {

void ChoosePresentation() {
    char file[128] = {};  // no initial file name
    static const char filter[] =
        "Powerpointpräsentation (*.ppt)\0*.ppt\0"
        "Powerpoint Pack & Go (*.pps)\0*.pps\0";  // the literal adds the closing NUL

    OPENFILENAMEA ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = nullptr;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = "Powerpoint-Präsentation öffnen";
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;

    if (!::GetOpenFileNameA(&ofn)) {
        WritePowerpointResult("1");
        ResultHandOver();
        EndProgram();
    }
    PresentationFile = CutAtNul(file, sizeof file);
}

}  // namespace tav
