#include "main/dialogs/file_browser_logic.h"

#include <gtest/gtest.h>

using namespace tav;
using Strings = std::vector<std::string>;

TEST(PreviewType, LooksAtTheLastThreeCharactersOnlyIgnoringCase) {
    for (const char* path : {"C:\\FOTO.JPG", "x.gif", "x.ico", "x.bmp", "x.wmf", "x.emf", "a.xgif"})
        EXPECT_TRUE(HasPreviewType(path)) << path;
    for (const char* path : {"C:\\foto.jpeg", "x.png", "x.txt", "", "pg"})
        EXPECT_FALSE(HasPreviewType(path)) << path;
}

TEST(RequiredSize, NumbersMatchExactlyAndAnythingElseNeverWithTheTextsAsGiven) {
    EXPECT_TRUE(PictureHasRequiredSize(" 640 ", "480", 640, 480));
    EXPECT_FALSE(PictureHasRequiredSize("640", "480", 640, 481));
    for (const char* bad : {"", "abc", "640px", "640.5"})
        EXPECT_FALSE(PictureHasRequiredSize(bad, "480", 640, 480)) << bad;
    EXPECT_FALSE(PictureHasRequiredSize(std::string(400, '9'), "480", 640, 480));
    EXPECT_EQ(PictureSizeText(640, 480), "Dateigr\xf6\xdf" "e: 640 x 480");
    EXPECT_EQ(SizeMismatchText(" 640", "abc"),
              "Das ausgew\xe4hlte Bild weist nicht die Masse auf:  640 x abc .");
}

TEST(FilePatterns, SplitAtSemicolonsWithEverythingAsFallbackAndNoOtherFolder) {
    EXPECT_EQ(SplitFilePatterns(" *.jpg ; ;*.gif;"), (Strings{"*.jpg", "*.gif"}));
    EXPECT_EQ(SplitFilePatterns(""), (Strings{"*.*"}));
    EXPECT_EQ(SplitFilePatterns("..\\*.*;*.txt;C:x;a/b"), (Strings{"*.txt"}));
}

TEST(Paths, FolderChainFromRootDown) {
    EXPECT_EQ(FolderChain("C:\\a\\\\b\\"), (Strings{"C:\\", "C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(FolderChain("d:"), (Strings{"d:\\"}));
    EXPECT_EQ(FolderChain("\\\\srv\\share\\x"), (Strings{"\\\\srv\\share\\", "\\\\srv\\share\\x"}));
    EXPECT_TRUE(FolderChain("relativ\\x").empty());
    EXPECT_EQ(FolderDisplayName("C:\\", true), "c:\\");
}

TEST(Paths, DeepFoldersGetANarrowerIndent) {
    EXPECT_EQ(FolderLevelIndent(0, 10, 37), 10);
    EXPECT_EQ(FolderLevelIndent(3, 10, 37), 10);   // 30 pixels fit
    EXPECT_EQ(FolderLevelIndent(4, 10, 37), 9);    // 36 for the deepest
    EXPECT_EQ(FolderLevelIndent(12, 10, 37), 3);
    EXPECT_EQ(FolderLevelIndent(100, 10, 37), 1);  // never flat
    for (int depth = 1; depth < 40; ++depth) {
        const int indent = FolderLevelIndent(depth, 15, 50);
        EXPECT_TRUE(depth * indent <= 50 || indent == 1) << depth;
        EXPECT_LE(indent, 15);
    }
}

TEST(Drives, EntryTextAndLetter) {
    EXPECT_EQ(DriveEntryText('D', "Daten"), "d: [Daten]");
    EXPECT_EQ(DriveLetterOf("d: [Daten]"), 'D');
    for (const char* bad : {"", "c", "1:", "\xe4:"}) EXPECT_EQ(DriveLetterOf(bad), std::nullopt) << bad;
}
