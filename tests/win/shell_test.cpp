// Shortcut files made by "desk", "start" and "uninstall", read back through
// the shell's link object.
#include <windows.h>
#include <shlobj.h>

#include "common/win/folders.h"
#include "common/win/raii.h"
#include "tests/win/shell_link_reader.h"
#include "tests/win/system_test.h"

using namespace systest;

namespace {

std::string Desktop() { return tav::GetSpecialFolder(CSIDL_DESKTOP); }
std::string Programs() { return tav::GetSpecialFolder(CSIDL_PROGRAMS); }

void ExpectNoExtras(const Shortcut& s) {
    EXPECT_EQ(s.description, "");
    EXPECT_EQ(s.workingDirectory, "");
}

// A target that exists, so that the shell keeps the path as given.
std::string MakeTarget(const std::string& name) {
    const std::string folder = ScratchFolder();
    const std::string target = folder + "\\" + name;
    EXPECT_TRUE(uia::WriteFileBytes(target, "MZ"));
    return target;
}

}  // namespace

TEST(SpecialFolders, DesktopAndProgramsAreTheUsersFolders) {
    EXPECT_TRUE(uia::FolderExists(Desktop())) << Desktop();
    EXPECT_TRUE(uia::FolderExists(Programs())) << Programs();
    EXPECT_NE(Programs().find("Programs"), std::string::npos) << Programs();
    EXPECT_NE(Desktop().back(), '\\');
    EXPECT_EQ(tav::GetSpecialFolder(0x7fff), "");  // no such folder
}

TEST(DeskShortcut, IconOnlyWhenItIsTheLastOfFiveElements) {
    const std::string target = MakeTarget("Demo.exe");
    const std::string icon = "C:\\tav\\Tavrino2.exe";

    ASSERT_EQ(RunMainToEnd("c,desk," + target + ",Ohne Symbol"), 0u);
    Shortcut four = ReadShortcut(Desktop() + "\\Ohne Symbol.lnk");
    ASSERT_TRUE(four.loaded);
    EXPECT_EQ(four.target, target);
    EXPECT_EQ(four.arguments, "");
    EXPECT_EQ(four.iconFile, "");
    ExpectNoExtras(four);

    ASSERT_EQ(RunMainToEnd("c,desk," + target + ",Mit Symbol," + icon), 0u);
    Shortcut five = ReadShortcut(Desktop() + "\\Mit Symbol.lnk");
    ASSERT_TRUE(five.loaded);
    EXPECT_EQ(five.target, target);
    EXPECT_EQ(five.iconFile, icon);
    EXPECT_EQ(five.iconIndex, 0);
    EXPECT_EQ(five.arguments, "");
    ExpectNoExtras(five);

    ASSERT_EQ(RunMainToEnd("c,desk," + target + ",Sechs," + icon + ","), 0u);
    Shortcut six = ReadShortcut(Desktop() + "\\Sechs.lnk");
    ASSERT_TRUE(six.loaded);
    EXPECT_EQ(six.iconFile, "");
    // Nothing of this goes to the result file.
    EXPECT_FALSE(uia::FileExists(ResultFile()));
}

TEST(DeskShortcut, AnExistingShortcutIsReplaced) {
    const std::string target = MakeTarget("Neu.exe");
    const std::string link = Desktop() + "\\Ersetzt.lnk";
    ASSERT_TRUE(uia::WriteFileBytes(link, "kein Verweis"));
    ASSERT_EQ(RunMainToEnd("c,desk," + target + ",Ersetzt"), 0u);
    Shortcut s = ReadShortcut(link);
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(s.target, target);

    // And once more, now over a real shortcut with another target.
    const std::string other = MakeTarget("Anders.exe");
    ASSERT_EQ(RunMainToEnd("c,desk," + other + ",Ersetzt"), 0u);
    EXPECT_EQ(ReadShortcut(link).target, other);
}

TEST(StartShortcut, CreatesNestedFoldersAndReadsTheIconOnlyAsSixthAndLastElement) {
    const std::string target = MakeTarget("Spiel.exe");
    const std::string icon = "C:\\tav\\Tavrino2.exe";
    uia::RemoveTree(Programs() + "\\Spiele");

    ASSERT_EQ(RunMainToEnd("c,start," + target + ",Spiele\\Demo,Demo Spiel," + icon), 0u);
    ASSERT_TRUE(uia::FolderExists(Programs() + "\\Spiele\\Demo"));
    Shortcut s = ReadShortcut(Programs() + "\\Spiele\\Demo\\Demo Spiel.lnk");
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(s.target, target);
    EXPECT_EQ(s.iconFile, icon);
    EXPECT_EQ(s.iconIndex, 0);
    EXPECT_EQ(s.arguments, "");
    ExpectNoExtras(s);

    ASSERT_EQ(RunMainToEnd("c,start," + target + ",Spiele\\Demo\\,Ohne," + icon + ",x"), 0u);
    Shortcut without = ReadShortcut(Programs() + "\\Spiele\\Demo\\Ohne.lnk");
    ASSERT_TRUE(without.loaded);
    EXPECT_EQ(without.iconFile, "");

    ASSERT_EQ(RunMainToEnd("c,start," + target + ",Spiele\\Demo,Kurz"), 0u);
    EXPECT_EQ(ReadShortcut(Programs() + "\\Spiele\\Demo\\Kurz.lnk").iconFile, "");
}

TEST(StartShortcut, EmptyFolderPutsTheShortcutIntoTheProgramsFolder) {
    const std::string target = MakeTarget("Direkt.exe");
    ASSERT_EQ(RunMainToEnd("c,start," + target + ",,Direkt"), 0u);
    Shortcut s = ReadShortcut(Programs() + "\\Direkt.lnk");
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(s.target, target);
}

TEST(UninstallShortcut, StartsTheMainProgramWithTheUninstallCommand) {
    uia::RemoveTree(Programs() + "\\Demo Spiel");
    ASSERT_EQ(RunMainToEnd("c,uninstall,egal,Demo Spiel,Demo entfernen,c,u/C:\\Programme\\Demo Spiel"),
              0u);
    Shortcut s = ReadShortcut(Programs() + "\\Demo Spiel\\Demo entfernen.lnk");
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(s.target, uia::MainProgram());
    EXPECT_EQ(s.arguments, "c,u/C:\\Programme\\Demo Spiel");
    EXPECT_EQ(s.iconFile, tav::SystemFolder() + "\\shell32.dll");
    EXPECT_EQ(s.iconIndex, 63);
    ExpectNoExtras(s);
    EXPECT_FALSE(uia::FileExists(ResultFile()));
}

TEST(UninstallShortcut, FewerThanSevenElementsLeaveTheArgumentsEmpty) {
    for (const std::string& parameters :
         {std::string("c,uninstall,,Kurz,Sechs,c"), std::string("c,uninstall,,Kurz,Fuenf")}) {
        const std::string name = parameters.substr(parameters.find("Kurz,") + 5, 5);
        ASSERT_EQ(RunMainToEnd(parameters), 0u);
        Shortcut s = ReadShortcut(Programs() + "\\Kurz\\" + name + ".lnk");
        ASSERT_TRUE(s.loaded) << parameters;
        EXPECT_EQ(s.target, uia::MainProgram());
        EXPECT_EQ(s.arguments, "") << parameters;
        EXPECT_EQ(s.iconIndex, 63);
    }
}

TEST(Shortcuts, BadTargetsAndNamesEndQuietly) {
    // An invalid shortcut name or a missing folder: no file, no window, normal end.
    for (const std::string& parameters :
         {std::string("c,desk,C:\\x.exe,a|b"), std::string("c,desk"), std::string("c,start"),
          "c,desk,C:\\x.exe," + std::string(400, 'n'), std::string("c,start,C:\\x.exe,<>,n")}) {
        uia::Process p = RunMain(parameters);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{200})) << parameters;
        EXPECT_EQ(p.WaitForExit(), 0u) << parameters;
    }
    EXPECT_FALSE(uia::FileExists(Desktop() + "\\a|b.lnk"));
}
