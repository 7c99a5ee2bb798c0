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
    EXPECT_EQ(DesktopShortcutPlan(Args({"c", "desk", "t", "D", "C:\\a.ico"}), kDesktop).request.iconFile,
              "C:\\a.ico");
    EXPECT_EQ(DesktopShortcutPlan(Args({"c", "desk", "t", "D", "C:\\a.ico", ""}), kDesktop).request.iconFile,
              "");
    EXPECT_EQ(DesktopShortcutPlan(Args({"c", "desk"}), kDesktop).request.linkPath, kDesktop + "\\.lnk");
}

TEST(StartMenuShortcutPlan, FolderEndsInOneBackslashAndTheIconIsTheSixthElementWhenLast) {
    auto nested = StartMenuShortcutPlan(Args({"c", "start", "t", "Spiele\\Demo", "Demo"}), kPrograms);
    EXPECT_EQ(nested.folderToCreate, kPrograms + "\\Spiele\\Demo\\");
    auto slash = StartMenuShortcutPlan(Args({"c", "start", "t", "Spiele\\", "Demo", "i.ico"}), kPrograms);
    EXPECT_EQ(slash.folderToCreate, kPrograms + "\\Spiele\\");
    EXPECT_EQ(slash.request.iconFile, "i.ico");
    EXPECT_EQ(StartMenuShortcutPlan(Args({"c", "start", "t", "", "Demo"}), kPrograms).request.linkPath,
              kPrograms + "\\Demo.lnk");
    EXPECT_EQ(StartMenuShortcutPlan(Args({"c", "start", "t", "F", "D", "i.ico", "x"}), kPrograms)
                  .request.iconFile, "");
}

TEST(UninstallShortcutPlan, StartsTheProgramItselfWithBothArgumentPartsOrNone) {
    auto plan = UninstallShortcutPlan(
        Args({"c", "uninstall", "ignored", "Demo", "Demo entfernen", "c", "u/C:\\Programme\\Demo"}),
        kPrograms, "C:\\Programme\\Demo", "Tavrino2", "C:\\WINDOWS\\system32");
    EXPECT_EQ(plan.request.target, "C:\\Programme\\Demo\\Tavrino2.exe");
    EXPECT_EQ(plan.request.linkPath, kPrograms + "\\Demo\\Demo entfernen.lnk");
    EXPECT_EQ(plan.request.arguments, "c,u/C:\\Programme\\Demo");
    EXPECT_EQ(plan.request.iconFile, "C:\\WINDOWS\\system32\\shell32.dll");
    EXPECT_EQ(plan.request.iconIndex, 63);
    EXPECT_EQ(UninstallShortcutPlan(Args({"c", "uninstall", "", "D", "W", "c"}), kPrograms, "C:\\P",
                                    "Tavrino2", "S").request.arguments, "");
}

TEST(UninstallCommand, FolderIsEverythingBehindThePrefixWithOneTrailingBackslashRemoved) {
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/D:\\Spiele\\Demo\\"), "D:\\Spiele\\Demo");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/ C:\\A b , c "), " C:\\A b , c ");
    EXPECT_EQ(InstallFolderOfUninstallCommand("c,u/C:\\"), "C:");
}
