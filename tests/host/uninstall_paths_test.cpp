#include "uninstall/uninstall_paths.h"

#include <gtest/gtest.h>

#include "main/shell/uninstaller_launch.h"

using namespace tav;
using namespace tav::uninstall;

TEST(InstallFolderFromCommandLine, TheMainProgramsCommandLineComesBackWhole) {
    // The temp folder as the loader reports it, and the short form the
    // main program may have used to start the uninstaller.
    const std::string longPath = "C:\\Temp Dir\\Sub Dir\\Tav_uninstall.exe";
    const std::string shortPath = "C:\\Temp Dir\\SUB_~SVJ\\Tav_uninstall.exe";
    for (const std::string& started : {longPath, shortPath})
        for (const std::string folder : {"C:\\Programme\\Mein Spiel", "C:\\A,B ", ""})
            EXPECT_EQ(InstallFolderFromCommandLine(UninstallerCommandLine(started, folder), {longPath}),
                      folder)
                << started << "|" << folder;
}

TEST(InstallFolderFromCommandLine, AnUnquotedPathIsFoundInAnyOfItsForms) {
    const std::vector<std::string> own = {"C:\\Temp Dir\\Sub Dir\\Tav_uninstall.exe",
                                          "C:\\TEMPDI~1\\SUB_~SVJ\\TAV_UN~1.EXE"};
    EXPECT_EQ(InstallFolderFromCommandLine("c:\\temp dir\\sub dir\\TAV_UNINSTALL.EXE C:\\A b", own), "C:\\A b");
    EXPECT_EQ(InstallFolderFromCommandLine("C:\\TEMPDI~1\\SUB_~SVJ\\TAV_UN~1.EXE  D:\\X", own), "D:\\X");
    // A command line that starts with something else follows the platform's rule.
    EXPECT_EQ(InstallFolderFromCommandLine("Tav_uninstall.exe C:\\A b", own), "C:\\A b");
}

TEST(StartMenuNameOf, OnlyOnePlainComponentNamesTheStartMenuFolder) {
    EXPECT_EQ(StartMenuNameOf("C:\\Programme\\Demo Spiel"), "Demo Spiel");
    for (const char* folder : {"C:\\Programme\\Demo\\", "C:\\Programme\\Demo\\   ", "",
                               "C:\\Programme\\Demo/../../../../../Mailprogramm",
                               "C:\\Apps\\x/../../../SendTo", "C:\\Apps\\..", "C:"})
        EXPECT_EQ(StartMenuNameOf(folder), std::nullopt) << folder;
}

TEST(IsFullyQualified, OnlyADriveWithItsRootOrAShareNamesAFolderByItself) {
    for (const char* folder : {"C:\\Programme\\Demo", "c:/x", "\\\\server\\share\\Demo", "\\\\?\\C:\\x",
                               "\\\\.\\C:\\windows", "\\??\\C:\\x"})
        EXPECT_TRUE(IsFullyQualified(folder)) << folder;
    for (const char* folder : {"..\\Pictures", "C:.", "C:x", "C:", "\\x", "x", "\\\\server", "\\\\server\\",
                               "\\\\\\x", "\\??\\x", ""})
        EXPECT_FALSE(IsFullyQualified(folder)) << folder;
}
