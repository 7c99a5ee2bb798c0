#include "main/shell/shortcut_plan.h"

#include <gtest/gtest.h>

#include "main/shell/uninstaller_launch.h"

using namespace tav;

// The ordinary shortcuts (an icon as the last element, a nested start-menu
// folder, the uninstall shortcut with all seven elements) are read back from
// the real program by the reference's examples; here the element counts and
// folder spellings they do not show.

namespace {

ArgList Args(std::vector<std::string> elements) { return ArgList(std::move(elements)); }

const std::string kDesktop = "C:\\Users\\Hans\\Desktop";
const std::string kPrograms = "C:\\Users\\Hans\\Start Menu\\Programs";

}  // namespace

TEST(DesktopShortcutPlan, IconOnlyWhenItIsTheLastOfFiveElements) {
    EXPECT_EQ(DesktopShortcutPlan(Args({"c", "desk", "t", "D"}), kDesktop)->request.iconFile, "");
    EXPECT_EQ(DesktopShortcutPlan(Args({"c", "desk", "t", "D", "C:\\a.ico", ""}), kDesktop)->request.iconFile,
              "");
}

TEST(StartMenuShortcutPlan, FolderEndsInOneBackslashAndTheIconIsTheSixthElementWhenLast) {
    auto slash = StartMenuShortcutPlan(Args({"c", "start", "t", "Spiele\\", "Demo", "i.ico"}), kPrograms);
    EXPECT_EQ(slash->folderToCreate, kPrograms + "\\Spiele\\");
    EXPECT_EQ(slash->request.iconFile, "i.ico");
    EXPECT_EQ(StartMenuShortcutPlan(Args({"c", "start", "t", "", "Demo"}), kPrograms)->request.linkPath,
              kPrograms + "\\Demo.lnk");
    EXPECT_EQ(StartMenuShortcutPlan(Args({"c", "start", "t", "F", "D", "i.ico", "x"}), kPrograms)
                  ->request.iconFile, "");
}

TEST(UninstallShortcutPlan, WithoutBothArgumentPartsTheShortcutGetsNoArguments) {
    EXPECT_EQ(UninstallShortcutPlan(Args({"c", "uninstall", "", "D", "W", "c"}), kPrograms, "C:\\P",
                                    "Tavrino2", "S")->request.arguments, "");
}

TEST(ShortcutPlans, ANameOrFolderThatLeadsElsewhereMakesNoPlan) {
    // The name is one plain name; the folder stays below the programs folder.
    for (const std::string name : {"", "  ", "..", "..\\..\\windows\\evil", "a/b", "C:evil", "..."}) {
        EXPECT_FALSE(DesktopShortcutPlan(Args({"c", "desk", "t", name}), kDesktop)) << name;
        EXPECT_FALSE(StartMenuShortcutPlan(Args({"c", "start", "t", "F", name}), kPrograms)) << name;
        EXPECT_FALSE(UninstallShortcutPlan(Args({"c", "uninstall", "", "F", name}), kPrograms, "C:\\P", "T", "S"))
            << name;
    }
    for (const std::string folder : {"..\\", "Demo\\..\\..", "/../StartUp", "C:\\Spiele", "...", "Demo\\ . "}) {
        EXPECT_FALSE(StartMenuShortcutPlan(Args({"c", "start", "t", folder, "N"}), kPrograms)) << folder;
        EXPECT_FALSE(UninstallShortcutPlan(Args({"c", "uninstall", "", folder, "N"}), kPrograms, "C:\\P", "T", "S"))
            << folder;
    }
    EXPECT_EQ(StartMenuSubfolder("Spiele/Demo\\\\.\\Extras\\..\\"), "Spiele\\Demo");
    EXPECT_EQ(StartMenuSubfolder("Demo\\.."), "");
}

TEST(UninstallCommand, FolderIsEverythingBehindThePrefixWithOneTrailingBackslashRemoved) {
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/D:\\Spiele\\Demo\\"), "D:\\Spiele\\Demo");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/ C:\\A b , c "), " C:\\A b , c ");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/C:\\"), "C:");
}

// The wide command line, as a Unicode front end wrote it, by the same rules.
TEST(UninstallCommand, TheWideFolderAndCommandLineFollowTheSameRules) {
    EXPECT_EQ(InstallFolderOfUninstallCommand(L"c,u/C:\\Daten\\\u0141ukasz\\"), L"C:\\Daten\\\u0141ukasz");
    EXPECT_EQ(InstallFolderOfUninstallCommand(L"c,u/C:\\A,B"), L"C:\\A,B");
    EXPECT_EQ(InstallFolderOfUninstallCommand(L"c,u/"), L"");
    EXPECT_EQ(UninstallerCommandLine(std::wstring(L"C:\\T e\\Tav_uninstall.exe"), std::wstring(L"C:\\\u0141 x")),
              L"\"C:\\T e\\Tav_uninstall.exe\" C:\\\u0141 x");
}

// A fresh folder's name differs from attempt to attempt and from the
// uninstaller's own name, and holds nothing but name characters.
TEST(UninstallCommand, FreshFolderNamesAreDistinctPlainNames) {
    EXPECT_EQ(FreshUninstallerFolderName(0x1a2b, 0xffffffff, 0), L"Tav_uninstall.1a2b.ffffffff.0");
    EXPECT_NE(FreshUninstallerFolderName(7, 9, 1), FreshUninstallerFolderName(7, 9, 2));
    EXPECT_NE(FreshUninstallerFolderName(7, 9, 1), L"Tav_uninstall.exe");
}
