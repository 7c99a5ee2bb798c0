#include "main/dialogs/file_dialog_text.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(FileBuffer, NamePaddedWithNulsOrEmptyWhenItsNulDoesNotFit) {
    EXPECT_EQ(FileBuffer("liste.txt"), "liste.txt" + std::string(119, '\0'));
    EXPECT_EQ(FileBuffer(std::string(127, 'a')), std::string(127, 'a') + '\0');
    EXPECT_EQ(FileBuffer(std::string(128, 'a')), std::string(128, '\0'));
}

TEST(DefaultSaveName, NameFullStopExtension) {
    EXPECT_EQ(DefaultSaveName("D:\\Daten\\archiv.tar.gz"), "archiv.tar.gz");
    EXPECT_EQ(DefaultSaveName("D:\\Da.ten\\liesmich"), "liesmich.");
}
