#include "main/shell/shortcut_plan.h"

#include <gtest/gtest.h>

#include "main/shell/uninstaller_launch.h"

using namespace tav;

namespace {

ArgList Args(std::vector<std::string> elements) { return ArgList(std::move(elements)); }

const std::string kDesktop = "C:\\Users\\Hans\\Desktop";
const std::string kPrograms = "C:\\Users\\Hans\\Start Menu\\Programs";

}  // namespace

TEST(DesktopShortcutPlan, IconOnlyWhenItIsTheLastOfFiveElements) {
    auto four = DesktopShortcutPlan(Args({"c", "desk", "C:\\P\\a.exe", "Demo"}), kDesktop);
    EXPECT_EQ(four.request.target, "C:\\P\\a.exe");
    EXPECT_EQ(four.request.linkPath, kDesktop + "\\Demo.lnk");
    EXPECT_EQ(four.request.iconFile, "");
    EXPECT_EQ(four.folderToCreate, "");

    auto five = DesktopShortcutPlan(Args({"c", "desk", "C:\\P\\a.exe", "Demo", "C:\\P\\a.ico"}), kDesktop);
    EXPECT_EQ(five.request.iconFile, "C:\\P\\a.ico");

    auto six = DesktopShortcutPlan(Args({"c", "desk", "C:\\P\\a.exe", "Demo", "C:\\P\\a.ico", ""}), kDesktop);
    EXPECT_EQ(six.request.iconFile, "");

    for (const auto& plan : {four, five, six}) {
        EXPECT_EQ(plan.request.arguments, "");
        EXPECT_EQ(plan.request.description, "");
        EXPECT_EQ(plan.request.workingDirectory, "");
        EXPECT_EQ(plan.request.iconIndex, 0);
    }
}

TEST(DesktopShortcutPlan, MissingElementsStayEmpty) {
    auto plan = DesktopShortcutPlan(Args({"c", "desk"}), kDesktop);
    EXPECT_EQ(plan.request.target, "");
    EXPECT_EQ(plan.request.linkPath, kDesktop + "\\.lnk");
    // Blanks are part of the name.
    EXPECT_EQ(DesktopShortcutPlan(Args({"c", "desk", "x", " Demo "}), kDesktop).request.linkPath,
              kDesktop + "\\ Demo .lnk");
}

TEST(StartMenuShortcutPlan, FolderEndsInOneBackslashAndTheIconIsTheSixthElementWhenLast) {
    auto nested = StartMenuShortcutPlan(Args({"c", "start", "C:\\P\\a.exe", "Spiele\\Demo", "Demo"}), kPrograms);
    EXPECT_EQ(nested.folderToCreate, kPrograms + "\\Spiele\\Demo\\");
    EXPECT_EQ(nested.request.linkPath, kPrograms + "\\Spiele\\Demo\\Demo.lnk");
    EXPECT_EQ(nested.request.iconFile, "");

    auto slash = StartMenuShortcutPlan(Args({"c", "start", "t", "Spiele\\", "Demo", "i.ico"}), kPrograms);
    EXPECT_EQ(slash.folderToCreate, kPrograms + "\\Spiele\\");
    EXPECT_EQ(slash.request.iconFile, "i.ico");

    auto empty = StartMenuShortcutPlan(Args({"c", "start", "t", "", "Demo"}), kPrograms);
    EXPECT_EQ(empty.folderToCreate, kPrograms + "\\");
    EXPECT_EQ(empty.request.linkPath, kPrograms + "\\Demo.lnk");

    EXPECT_EQ(StartMenuShortcutPlan(Args({"c", "start", "t", "F", "Demo", "i.ico", "x"}), kPrograms)
                  .request.iconFile, "");
    // Missing folder and name: the shortcut ".lnk" directly in the programs folder.
    EXPECT_EQ(StartMenuShortcutPlan(Args({"c", "start"}), kPrograms).request.linkPath,
              kPrograms + "\\.lnk");
}

TEST(UninstallShortcutPlan, StartsTheProgramItselfWithBothArgumentPartsOrNone) {
    auto plan = UninstallShortcutPlan(
        Args({"c", "uninstall", "ignored", "Demo", "Demo entfernen", "c", "u/C:\\Programme\\Demo"}),
        kPrograms, "C:\\Programme\\Demo", "Tavrino2", "C:\\WINDOWS\\system32");
    EXPECT_EQ(plan.request.target, "C:\\Programme\\Demo\\Tavrino2.exe");
    EXPECT_EQ(plan.folderToCreate, kPrograms + "\\Demo\\");
    EXPECT_EQ(plan.request.linkPath, kPrograms + "\\Demo\\Demo entfernen.lnk");
    EXPECT_EQ(plan.request.arguments, "c,u/C:\\Programme\\Demo");
    EXPECT_EQ(plan.request.iconFile, "C:\\WINDOWS\\system32\\shell32.dll");
    EXPECT_EQ(plan.request.iconIndex, 63);
    EXPECT_EQ(plan.request.description, "");
    EXPECT_EQ(plan.request.workingDirectory, "");

    for (std::size_t count : {5u, 6u}) {
        std::vector<std::string> elements = {"c", "uninstall", "", "Demo", "Weg", "c", "u/x"};
        elements.resize(count);
        EXPECT_EQ(UninstallShortcutPlan(Args(elements), kPrograms, "C:\\P", "Tavrino2", "S")
                      .request.arguments, "") << count;
    }
    // Extra elements are ignored; an empty second part still gets its comma.
    EXPECT_EQ(UninstallShortcutPlan(Args({"c", "uninstall", "", "D", "W", "c", "", "x"}), kPrograms,
                                    "C:\\P", "Tavrino2", "S").request.arguments, "c,");
}

TEST(UninstallCommand, FolderIsEverythingBehindThePrefixWithOneTrailingBackslashRemoved) {
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/D:\\Spiele\\Demo\\"), "D:\\Spiele\\Demo");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/D:\\Spiele\\Demo\\\\"), "D:\\Spiele\\Demo\\");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/C:\\A,B"), "C:\\A,B");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/ C:\\A b , c "), " C:\\A b , c ");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/\\"), "");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/C:\\"), "C:");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/"), "");
    EXPECT_EQ(UninstallerCommandLine("C:\\T\\Tav_uninstall.exe", "D:\\A b,c"),
              "C:\\T\\Tav_uninstall.exe D:\\A b,c");
    EXPECT_EQ(UninstallerCommandLine("C:\\T\\Tav_uninstall.exe", ""), "C:\\T\\Tav_uninstall.exe ");
}
