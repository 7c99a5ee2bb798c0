#include "main/dialogs/file_dialog_text.h"

#include <gtest/gtest.h>

using namespace tav;
using namespace std::string_literals;

TEST(FilterList, OnePairEndedByAnExtraNul) {
    EXPECT_EQ(FilterList("*.jpg", "*.jpg"), "*.jpg\0*.jpg\0\0"s);
    EXPECT_EQ(FilterList("Alle Dateien (*.*)", "*.*"), "Alle Dateien (*.*)\0*.*\0\0"s);
    // A missing pattern still gives a well-formed (empty) list.
    EXPECT_EQ(FilterList("", ""), "\0\0\0"s);
}

TEST(FileBuffer, DefaultNamePaddedWithNulsToTheBufferSize) {
    EXPECT_EQ(FileBuffer(), std::string(128, '\0'));
    const std::string b = FileBuffer("liste.txt");
    ASSERT_EQ(b.size(), 128u);
    EXPECT_EQ(b.substr(0, 10), "liste.txt\0"s);
    EXPECT_EQ(b.find_first_not_of('\0', 9), std::string::npos);
}

TEST(FileBuffer, ANameWithoutRoomForItsNulLeavesTheBufferEmpty) {
    const std::string fits(127, 'a');
    EXPECT_EQ(FileBuffer(fits).substr(0, 127), fits);
    EXPECT_EQ(FileBuffer(fits).back(), '\0');
    // 128 characters would leave the platform a buffer without terminator.
    EXPECT_EQ(FileBuffer(std::string(128, 'a')), std::string(128, '\0'));
    EXPECT_EQ(FileBuffer(std::string(500, 'a')), std::string(128, '\0'));
    EXPECT_EQ(FileBuffer("abc", 4), "abc\0"s);
    EXPECT_EQ(FileBuffer("abcd", 4), std::string(4, '\0'));
}

TEST(DefaultSaveName, NameFullStopExtension) {
    EXPECT_EQ(DefaultSaveName("D:\\Daten\\liste.txt"), "liste.txt");
    EXPECT_EQ(DefaultSaveName("D:\\Daten\\archiv.tar.gz"), "archiv.tar.gz");
    // Without extension the name ends in a full stop.
    EXPECT_EQ(DefaultSaveName("D:\\Daten\\liesmich"), "liesmich.");
    EXPECT_EQ(DefaultSaveName("D:\\Da.ten\\liesmich"), "liesmich.");
    // No backslash: all folder, no name.
    EXPECT_EQ(DefaultSaveName("liste.txt"), ".txt");
    EXPECT_EQ(DefaultSaveName(""), ".");
}
