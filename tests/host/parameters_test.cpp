#include "main/run/parameters.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "common/command_line.h"

using namespace tav;

TEST(CommandLineTail, SkipsTheProgramNameAndTheSeparatingBlanksOnly) {
    EXPECT_EQ(CommandLineTail("Tavrino2.exe c,kill,x"), "c,kill,x");
    EXPECT_EQ(CommandLineTail("\"C:\\Pro gramme\\Tavrino2.exe\" c,makedir,C:\\a b"), "c,makedir,C:\\a b");
    EXPECT_EQ(CommandLineTail("\"C:\\x.exe\"c,kill"), "c,kill");
    EXPECT_EQ(CommandLineTail("x.exe   \t c,u/C:\\A,B  "), "c,u/C:\\A,B  ");
    EXPECT_EQ(CommandLineTail("x.exe \"c,kill,x\""), "\"c,kill,x\"");
    EXPECT_EQ(CommandLineTail("x.exe"), "");
    EXPECT_EQ(CommandLineTail("\"x.exe\""), "");
    EXPECT_EQ(CommandLineTail("\"unterminated"), "");
    EXPECT_EQ(CommandLineTail(""), "");
}

TEST(SplitAtCommas, KeepsEveryPieceUntrimmedIncludingEmptyOnes) {
    EXPECT_EQ(SplitAtCommas("c,copydir,D:\\Demo,C:\\Programme\\Demo"),
              (std::vector<std::string>{"c", "copydir", "D:\\Demo", "C:\\Programme\\Demo"}));
    EXPECT_EQ(SplitAtCommas("c, kill ,,x,"),
              (std::vector<std::string>{"c", " kill ", "", "x", ""}));
    EXPECT_EQ(SplitAtCommas("c"), (std::vector<std::string>{"c"}));
    EXPECT_EQ(SplitAtCommas(","), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(SplitAtCommas("\"c,x\""), (std::vector<std::string>{"\"c", "x\""}));
}

TEST(Dispatch, FamiliesAndTheUninstallPrefixAreExactAndCaseSensitive) {
    EXPECT_TRUE(IsUninstallCommand("c,u/"));
    EXPECT_TRUE(IsUninstallCommand("c,u/C:\\A,B"));
    EXPECT_FALSE(IsUninstallCommand("C,u/C:\\A"));
    EXPECT_FALSE(IsUninstallCommand(" c,u/x"));
    EXPECT_FALSE(IsUninstallCommand("c,u"));

    EXPECT_EQ(FamilyOf("s"), Family::Search);
    EXPECT_EQ(FamilyOf("p"), Family::Presentation);
    EXPECT_EQ(FamilyOf("c"), Family::File);
    for (const char* other : {"S", "C", " c", "c ", "\"c", "", "cc"})
        EXPECT_EQ(FamilyOf(other), Family::None) << other;
}

TEST(Dispatch, FourteenVerbsAnythingElseOpensTheFileBrowser) {
    const std::pair<const char*, Verb> verbs[] = {
        {"ini", Verb::Ini},           {"kill", Verb::Kill},
        {"killfolder", Verb::KillFolder}, {"opendialog", Verb::OpenDialog},
        {"copydialog", Verb::CopyDialog}, {"copydir", Verb::CopyDir},
        {"copy", Verb::Copy},         {"makedir", Verb::MakeDir},
        {"selectfolder", Verb::SelectFolder}, {"desk", Verb::Desk},
        {"start", Verb::Start},       {"uninstall", Verb::Uninstall},
        {"wallpaper", Verb::Wallpaper}, {"rename", Verb::Rename},
    };
    for (const auto& [text, verb] : verbs) EXPECT_EQ(VerbOf(text), verb) << text;
    for (const char* title : {"KILL", " kill", "kill ", "Bitte Bild w\xe4hlen", "", "u/"})
        EXPECT_EQ(VerbOf(title), Verb::FileBrowser) << title;
}

TEST(TempPath, EndsInABackslashAndFallsBackToTheRoot) {
    char buffer[250] = {};
    EXPECT_EQ(TempPathFromBuffer(buffer, sizeof buffer), "\\");
    std::snprintf(buffer, sizeof buffer, "C:\\users\\root\\Temp\\");
    EXPECT_EQ(TempPathFromBuffer(buffer, sizeof buffer), "C:\\users\\root\\Temp\\");
    std::snprintf(buffer, sizeof buffer, "C:\\TEMP");
    EXPECT_EQ(TempPathFromBuffer(buffer, sizeof buffer), "C:\\TEMP\\");
    char full[4];
    std::memcpy(full, "C:\\T", 4);  // no NUL at all: the whole buffer counts
    EXPECT_EQ(TempPathFromBuffer(full, sizeof full), "C:\\T\\");
}
