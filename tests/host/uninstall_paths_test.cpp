#include "uninstall/uninstall_paths.h"

#include <gtest/gtest.h>

using namespace tav::uninstall;

TEST(InstallFolderFromCommandLine, SkipsTheOwnPathWholeOrTheFirstWord) {
    const std::string own = "C:\\Dokumente und Einstellungen\\Hans\\Temp\\Tav_uninstall.exe";
    EXPECT_EQ(InstallFolderFromCommandLine(own + " C:\\Programme\\Mein Spiel", own),
              "C:\\Programme\\Mein Spiel");
    // The platform may report its own path in another case.
    EXPECT_EQ(InstallFolderFromCommandLine(
                  "c:\\dokumente und einstellungen\\hans\\temp\\TAV_UNINSTALL.EXE C:\\A,B ", own),
              "C:\\A,B ");
    EXPECT_EQ(InstallFolderFromCommandLine("\"C:\\T\\Tav_uninstall.exe\" C:\\A b", own), "C:\\A b");
}

TEST(StartMenuNameOf, LastComponentOrNothingWhenBlank) {
    EXPECT_EQ(StartMenuNameOf("C:\\Programme\\Demo Spiel"), "Demo Spiel");
    EXPECT_EQ(StartMenuNameOf("C:\\Programme\\Demo\\"), std::nullopt);
    EXPECT_EQ(StartMenuNameOf("C:\\Programme\\Demo\\   "), std::nullopt);
    EXPECT_EQ(StartMenuNameOf(""), std::nullopt);
}
