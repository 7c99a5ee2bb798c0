#include "main/dialogs/file_browser_logic.h"

#include <gtest/gtest.h>

using namespace tav;
using Strings = std::vector<std::string>;

TEST(PreviewType, LooksAtTheLastThreeCharactersOnlyIgnoringCase) {
    for (const char* path : {"C:\\a\\b.jpg", "C:\\FOTO.JPG", "x.gif", "x.ico", "x.bmp", "x.wmf",
                             "x.emf", "C:\\logo.xgif", "jpg", "C:\\ordner.Bmp"})
        EXPECT_TRUE(HasPreviewType(path)) << path;
    for (const char* path :
         {"C:\\foto.jpeg", "C:\\b.tiff", "x.png", "x.txt", "", "pg", "C:\\a\\", "x.jp g"})
        EXPECT_FALSE(HasPreviewType(path)) << path;
}

TEST(PreviewTexts, SizeAndMismatchTextsInCodePage1252) {
    EXPECT_EQ(PictureSizeText(640, 480), "Dateigr\xf6\xdf" "e: 640 x 480");
    EXPECT_EQ(PictureSizeText(89, 73), "Dateigr\xf6\xdf" "e: 89 x 73");
    EXPECT_EQ(SizeMismatchText("640", "480"),
              "Das ausgew\xe4hlte Bild weist nicht die Masse auf: 640 x 480 .");
    // The texts exactly as the front end gave them.
    EXPECT_EQ(SizeMismatchText(" 640", "abc"),
              "Das ausgew\xe4hlte Bild weist nicht die Masse auf:  640 x abc .");
}

TEST(RequiredSize, NumbersMatchExactlyAndAnythingElseNever) {
    EXPECT_TRUE(PictureHasRequiredSize("640", "480", 640, 480));
    EXPECT_TRUE(PictureHasRequiredSize(" 640 ", "+480", 640, 480));
    EXPECT_TRUE(PictureHasRequiredSize("640.0", "480.", 640, 480));
    EXPECT_FALSE(PictureHasRequiredSize("640", "480", 800, 600));
    EXPECT_FALSE(PictureHasRequiredSize("640", "480", 640, 481));
    EXPECT_FALSE(PictureHasRequiredSize("640.5", "480", 640, 480));
    for (const char* bad : {"", " ", "abc", "640px", "6 40", "0x280", ".", "-", "1e3"})
        EXPECT_FALSE(PictureHasRequiredSize(bad, "480", 640, 480)) << bad;
    EXPECT_FALSE(PictureHasRequiredSize("640", "", 640, 480));
    EXPECT_FALSE(PictureHasRequiredSize(std::string(400, '9'), "480", 640, 480));
    EXPECT_EQ(RequiredSizeNumber("-3"), -3.0);
}

TEST(FilePatterns, SplitAtSemicolonsWithEverythingAsFallback) {
    EXPECT_EQ(SplitFilePatterns("*.jpg;*.gif"), (Strings{"*.jpg", "*.gif"}));
    EXPECT_EQ(SplitFilePatterns(" *.jpg ; ;*.gif;"), (Strings{"*.jpg", "*.gif"}));
    EXPECT_EQ(SplitFilePatterns("bild?.bmp"), (Strings{"bild?.bmp"}));
    EXPECT_EQ(SplitFilePatterns(""), (Strings{"*.*"}));
    EXPECT_EQ(SplitFilePatterns(";;"), (Strings{"*.*"}));
    // A piece that names another folder lists nothing rather than that folder.
    EXPECT_EQ(SplitFilePatterns("..\\*.*;*.txt;C:x;a/b"), (Strings{"*.txt"}));
    EXPECT_TRUE(SplitFilePatterns("C:\\Windows").empty());
}

TEST(Paths, JoinAddsOneBackslash) {
    EXPECT_EQ(JoinPath("C:\\", "a.jpg"), "C:\\a.jpg");
    EXPECT_EQ(JoinPath("C:\\bilder", "a.jpg"), "C:\\bilder\\a.jpg");
    EXPECT_EQ(JoinPath("C:\\bilder", ""), "C:\\bilder\\");
}

TEST(Paths, FolderChainFromRootDown) {
    EXPECT_EQ(FolderChain("C:\\a\\b"), (Strings{"C:\\", "C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(FolderChain("C:\\"), (Strings{"C:\\"}));
    EXPECT_EQ(FolderChain("d:"), (Strings{"d:\\"}));
    EXPECT_EQ(FolderChain("C:\\a\\\\b\\"), (Strings{"C:\\", "C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(FolderChain("\\\\srv\\share\\x"),
              (Strings{"\\\\srv\\share\\", "\\\\srv\\share\\x"}));
    EXPECT_TRUE(FolderChain("relativ\\x").empty());
    EXPECT_TRUE(FolderChain("").empty());
    EXPECT_TRUE(FolderChain("\\\\").empty());
    EXPECT_EQ(FolderDisplayName("C:\\", true), "c:\\");
    EXPECT_EQ(FolderDisplayName("C:\\Bilder", false), "Bilder");
}

TEST(Drives, EntryTextAndLetter) {
    EXPECT_EQ(DriveEntryText('C', ""), "c:");
    EXPECT_EQ(DriveEntryText('D', "Daten"), "d: [Daten]");
    EXPECT_EQ(DriveLetterOf("d: [Daten]"), 'D');
    EXPECT_EQ(DriveLetterOf("c:"), 'C');
    EXPECT_EQ(DriveLetterOf("C:\\x"), 'C');
    EXPECT_EQ(DriveLetterOf(""), std::nullopt);
    EXPECT_EQ(DriveLetterOf("c"), std::nullopt);
    EXPECT_EQ(DriveLetterOf("1:"), std::nullopt);
    EXPECT_EQ(DriveLetterOf("\xe4:"), std::nullopt);
}
