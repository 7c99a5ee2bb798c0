// Entry point of Tav_uninstall.
#include <windows.h>

#include "common/command_line.h"
#include "common/win/program.h"
#include "uninstall/frmAbout.h"
#include "uninstall/modUninstall.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tav::uninstall;
    InstallFolder = tav::CommandLineTail(::GetCommandLineA());
    if (InstallFolder.empty()) {
        ShowInformationWindow();
        tav::EndProgram();
    }
    if (tav::ShowMessage("Wollen Sie die Software wirklich deinstallieren?", "Uninstaller",
                         MB_YESNOCANCEL | MB_ICONQUESTION) == IDYES)
        UninstallAll();
    tav::EndProgram();
}
