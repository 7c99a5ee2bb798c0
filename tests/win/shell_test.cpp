// Shortcut files made by "desk", "start" and "uninstall", read back through
// the shell's link object.
#include <windows.h>
#include <shlobj.h>

#include "common/win/folders.h"
#include "tests/win/shell_link_reader.h"
#include "tests/win/system_test.h"

using namespace systest;

TEST(Shortcuts, ReadBackWithTargetArgumentsAndIconOnly) {
    const std::string desktop = tav::GetSpecialFolder(CSIDL_DESKTOP);
    const std::string programs = tav::GetSpecialFolder(CSIDL_PROGRAMS);
    const std::string target = ScratchFolder() + "\\Spiel.exe";  // exists: the shell keeps the path
    ASSERT_TRUE(uia::WriteFileBytes(target, "MZ"));
    const std::string icon = "C:\\tav\\Tavrino2.exe";
    const std::string shell32 = tav::SystemFolder() + "\\shell32.dll";
    uia::RemoveTree(programs + "\\Spiele");
    ASSERT_TRUE(uia::WriteFileBytes(desktop + "\\Ersetzt.lnk", "kein Verweis"));  // is replaced
    struct Case {
        std::string parameters, link, target, arguments, iconFile;
        int iconIndex;
    };
    const Case cases[] = {
        {"c,desk," + target + ",Ersetzt", desktop + "\\Ersetzt.lnk", target, "", "", 0},
        {"c,desk," + target + ",Mit Symbol," + icon, desktop + "\\Mit Symbol.lnk", target, "", icon, 0},
        {"c,start," + target + ",Spiele\\Demo,Demo Spiel," + icon,
         programs + "\\Spiele\\Demo\\Demo Spiel.lnk", target, "", icon, 0},
        {"c,start," + target + ",Spiele\\Demo\\,Ohne," + icon + ",x",
         programs + "\\Spiele\\Demo\\Ohne.lnk", target, "", "", 0},
        {"c,uninstall,egal,Spiele,Entfernen,c,u/C:\\Programme\\Demo Spiel",
         programs + "\\Spiele\\Entfernen.lnk", uia::MainProgram(), "c,u/C:\\Programme\\Demo Spiel",
         shell32, 63},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(RunMainToEnd(c.parameters), 0u) << c.parameters;
        const Shortcut s = ReadShortcut(c.link);
        ASSERT_TRUE(s.loaded) << c.parameters;
        EXPECT_EQ(s.target, c.target) << c.parameters;
        EXPECT_EQ(s.arguments, c.arguments) << c.parameters;
        EXPECT_EQ(s.iconFile, c.iconFile) << c.parameters;
        EXPECT_EQ(s.iconIndex, c.iconIndex) << c.parameters;
        EXPECT_EQ(s.description + s.workingDirectory, "") << c.parameters;
    }
    EXPECT_FALSE(uia::FileExists(ResultFile()));
}

TEST(Shortcuts, BadNamesAndMissingElementsEndQuietly) {
    for (const std::string& parameters :
         {std::string("c,desk,C:\\x.exe,a|b"), std::string("c,start"),
          "c,desk,C:\\x.exe," + std::string(400, 'n'),
          "c,start,C:\\x.exe," + std::string(300, 'a') + ",Demo"}) {
        uia::Process p = RunMain(parameters);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{200})) << parameters;
        EXPECT_EQ(p.WaitForExit(), 0u) << parameters;
    }
}
