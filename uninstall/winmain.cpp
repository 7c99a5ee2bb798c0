// Entry point of Tav_uninstall.
#include <windows.h>

#include "common/win/folders.h"
#include "common/win/program.h"
#include "uninstall/frmAbout.h"
#include "uninstall/modUninstall.h"
#include "uninstall/uninstall_paths.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tav::uninstall;
    InstallFolder = InstallFolderFromCommandLine(::GetCommandLineA(), tav::ProgramPath());
    if (InstallFolder.empty()) {
        ShowInformationWindow();
        tav::EndProgram();
    }
    if (tav::ShowMessage("Wollen Sie die Software wirklich deinstallieren?", "Uninstaller",
                         MB_YESNOCANCEL | MB_ICONQUESTION) == IDYES)
        UninstallAll();
    tav::EndProgram();
}
