// Where the programs take their DLLs from: a DLL planted under a system DLL's
// name in the temp folder (where the uninstaller runs), beside Tavrino2.exe or
// in the front end's folder is never loaded. Wine is told to prefer such a
// DLL to its own (WINEDLLOVERRIDES "=n,b"), as Windows prefers a DLL in the
// program's folder to one in the system folder for every DLL that is not a
// known DLL.
#include <windows.h>

#include <cstdlib>

#include "common/win/ansi.h"
#include "tests/support/fixtures.h"
#include "tests/support/system_test.h"
#include "tests/support/uninstaller_session.h"
#include "tests/support/wide_launcher.h"

using namespace systest;

namespace {

// Every DLL the programs load after their first instruction (WINEDEBUG=+loaddll
// over their runs): the delay-loaded ones and what those load in turn. The
// static imports (kernel32, user32, gdi32, advapi32, msvcrt: all known DLLs,
// which Windows takes from the system folder only, as the import check makes
// sure) and what Wine loads with them before the program runs (kernelbase,
// ucrtbase, sechost, win32u, imm32, version, zlib1) are out of the programs'
// reach: Wine has no known DLLs and would load them from anywhere.
const char* const kPlantedNames[] = {"uxtheme", "comctl32", "shell32", "shlwapi", "shcore", "ole32",
                                     "oleaut32", "combase", "rpcrt4", "comdlg32", "imagehlp", "msimg32"};

const std::string kMarks = "C:\\dll-marks";
const std::string kInstalled = "D:\\Programme\\Tavrino";

// Marker DLLs in every place, the override that prefers them in the
// environment the started programs inherit; all of it gone afterwards.
class PlantedDlls {
public:
    PlantedDlls() {
        const std::string marker = uia::ProgramsFolder() + "\\dll_marker.dll";
        uia::MakeFolders(kInstalled);
        ::CopyFileA(uia::MainProgram().c_str(), (kInstalled + "\\Tavrino2.exe").c_str(), FALSE);
        std::string overrides = Environment("WINEDLLOVERRIDES");
        for (const char* name : kPlantedNames) {
            for (const std::string& folder : {uia::TempFolder(), kInstalled + "\\", uia::FrontEndFolder() + "\\"}) {
                planted_.push_back(folder + name + ".dll");
                ::CopyFileA(marker.c_str(), planted_.back().c_str(), FALSE);
            }
            overrides += std::string(";") + name + "=n,b";
        }
        previous_ = Environment("WINEDLLOVERRIDES");
        ::SetEnvironmentVariableA("WINEDLLOVERRIDES", overrides.c_str());
        uia::RemoveTree(kMarks);
    }
    ~PlantedDlls() {
        ::SetEnvironmentVariableA("WINEDLLOVERRIDES", previous_.c_str());
        for (const auto& dll : planted_) ::DeleteFileA(dll.c_str());
        uia::RemoveTree(kInstalled);
        uia::RemoveTree(kMarks);
    }
    // The marks left so far, "<dll> in <program>".
    static std::vector<std::string> Marks() { return Entries(kMarks); }

private:
    static std::string Environment(const char* name) {
        char value[4096] = {};
        const DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
        return n < sizeof value ? std::string(value, n) : std::string();
    }
    std::vector<std::string> planted_;
    std::string previous_;
};

}  // namespace

TEST(DllSearch, NoPlantedDllIsLoadedIntoEitherProgram) {
    const std::string scratch = ScratchFolder();
    const PlantedDlls planted;

    // The plant works: a program in the temp folder that loads a DLL the usual
    // way gets planted ones (the one it asked for or what Wine loads with it).
    const std::string standIn = uia::TempFolder() + "stand_in_program.exe";
    ASSERT_TRUE(::CopyFileA((uia::ProgramsFolder() + "\\stand_in_program.exe").c_str(), standIn.c_str(), FALSE));
    EXPECT_EQ(uia::Start(standIn, "load shell32.dll").WaitForExit(), 0u);
    EXPECT_FALSE(PlantedDlls::Marks().empty());
    ::DeleteFileA(standIn.c_str());
    uia::RemoveTree(kMarks);

    const std::string installed = kInstalled + "\\Tavrino2.exe";
    // The folder removal: its hidden window, the shell and COM.
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\leer"));
    EXPECT_EQ(uia::Start(installed, "c,killfolder," + scratch + "\\leer").WaitForExit(), 0u);
    EXPECT_FALSE(uia::FolderExists(scratch + "\\leer"));

    // The about window: its picture.
    {
        uia::Process about = uia::Start(installed, "");
        HWND window = uia::WaitForWindow({about.Pid(), "", "#32770"});
        ASSERT_NE(window, nullptr);
        uia::PressEscape(window);
        EXPECT_EQ(about.WaitForExit(), 0u);
    }

    // The uninstaller, written into the temp folder and started there: its
    // question, its information window, the shell's removal, its messages.
    MakeFolderWithFiles(scratch + "\\Weg");
    EXPECT_EQ(uia::Start(installed, "c,u/" + scratch + "\\Weg").WaitForExit(), 0u);
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    EXPECT_TRUE(out.closing.has_value()) << ::testing::PrintToString(out.notes);
    EXPECT_EQ(out.exitCode, 0u);
    EXPECT_FALSE(uia::FolderExists(scratch + "\\Weg"));

    EXPECT_EQ(PlantedDlls::Marks(), std::vector<std::string>{});
}
