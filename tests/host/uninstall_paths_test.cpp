#include "uninstall/uninstall_paths.h"

#include <gtest/gtest.h>

using namespace tav::uninstall;

TEST(InstallFolderFromCommandLine, OwnPathWithBlanksIsSkippedWhole) {
    const std::string own = "C:\\Dokumente und Einstellungen\\Hans\\Temp\\Tav_uninstall.exe";
    EXPECT_EQ(InstallFolderFromCommandLine(own + " C:\\Programme\\Mein Spiel", own),
              "C:\\Programme\\Mein Spiel");
    // The platform may report its own path in another case.
    EXPECT_EQ(InstallFolderFromCommandLine("c:\\dokumente und einstellungen\\hans\\temp\\"
                                           "TAV_UNINSTALL.EXE C:\\A,B ",
                                           own),
              "C:\\A,B ");
    EXPECT_EQ(InstallFolderFromCommandLine(own + " ", own), "");
    EXPECT_EQ(InstallFolderFromCommandLine(own, own), "");
    EXPECT_EQ(InstallFolderFromCommandLine(own + "   X", own), "X");
}

TEST(InstallFolderFromCommandLine, OtherwiseTheProgramNameEndsAtItsQuoteOrFirstBlank) {
    const std::string own = "C:\\Temp\\Tav_uninstall.exe";
    EXPECT_EQ(InstallFolderFromCommandLine("\"C:\\Temp\\Tav_uninstall.exe\" C:\\A b", own), "C:\\A b");
    EXPECT_EQ(InstallFolderFromCommandLine("Tav_uninstall C:\\A b", own), "C:\\A b");
    EXPECT_EQ(InstallFolderFromCommandLine("Tav_uninstall", own), "");
    // A longer name that only begins with the own path is no match.
    EXPECT_EQ(InstallFolderFromCommandLine("C:\\Temp\\Tav_uninstall.exex C:\\A", own), "C:\\A");
    EXPECT_EQ(InstallFolderFromCommandLine("x.exe C:\\A", ""), "C:\\A");
}

TEST(StartMenuNameOf, LastComponentOrNothingWhenBlank) {
    EXPECT_EQ(StartMenuNameOf("C:\\Programme\\Demo Spiel"), "Demo Spiel");
    EXPECT_EQ(StartMenuNameOf("C:\\A,B"), "A,B");
    EXPECT_EQ(StartMenuNameOf("Demo"), "Demo");
    EXPECT_EQ(StartMenuNameOf("C:"), "C:");
    EXPECT_EQ(StartMenuNameOf("C:\\Programme\\Demo\\"), std::nullopt);
    EXPECT_EQ(StartMenuNameOf("C:\\Programme\\Demo\\   "), std::nullopt);
    EXPECT_EQ(StartMenuNameOf(""), std::nullopt);
    EXPECT_EQ(StartMenuNameOf("C:\\Programme\\ x "), " x ");
}

TEST(DeletePattern, FolderStarDotStarAndTwoNuls) {
    EXPECT_EQ(DeletePattern("C:\\A b"), std::string("C:\\A b\\*.*\0\0", 12));
}
