#include "main/files/list_file.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tav;

namespace {

std::vector<ListRecord> ReadAll(std::string_view text) {
    ListReader reader(text);
    std::vector<ListRecord> records;
    while (!reader.AtEnd()) records.push_back(reader.Next());
    return records;
}

}  // namespace

TEST(ListFile, RecordsOfThreeLinesGiveSourceFromSixthAndDestinationFromFourthCharacter) {
    const auto records = ReadAll(
        "Eintrag eins\r\nQuel:C:\\a.txt\r\nZl:D:\\b.txt\r\n"
        "x\r\n12345C:\\c d.txt \r\nabc C:\\e.txt\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].source, "C:\\a.txt");
    EXPECT_EQ(records[0].destination, "D:\\b.txt");
    // Nothing is trimmed: the blank after the source and before the destination stay.
    EXPECT_EQ(records[1].source, "C:\\c d.txt ");
    EXPECT_EQ(records[1].destination, " C:\\e.txt");
}

TEST(ListFile, CrAloneEndsALineButLfAloneDoesNot) {
    auto records = ReadAll("1\r12345src\r123dst\r");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].source, "src");
    EXPECT_EQ(records[0].destination, "dst");

    records = ReadAll("1\n12345src\n123dst\n");  // one single line
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].source, "");
    EXPECT_EQ(records[0].destination, "");

    records = ReadAll("1\r\n12345a\nb\r\n123c\r\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].source, "a\nb");
}

TEST(ListFile, ShortLinesAndAnIncompleteLastRecordGiveEmptyPaths) {
    auto records = ReadAll("1\r\n12345\r\n123\r\n1\r\n1234567\r\n12\r\n1\r\n12345z");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].source, "");
    EXPECT_EQ(records[0].destination, "");
    EXPECT_EQ(records[1].source, "67");
    EXPECT_EQ(records[1].destination, "");
    EXPECT_EQ(records[2].source, "z");  // the file ends after the second line
    EXPECT_EQ(records[2].destination, "");
}

TEST(ListFile, EmptyTextHasNoRecordAndATrailingBlankLineAnEmptyOne) {
    EXPECT_TRUE(ReadAll("").empty());
    const auto records = ReadAll("1\r\n12345a\r\n123b\r\n\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].source, "");
    EXPECT_EQ(records[1].destination, "");
}

TEST(ListFile, HasNoLimitOnTheNumberOfRecords) {
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "n\r\nquel:s" + std::to_string(i) + "\r\nzl:d" + std::to_string(i) + "\r\n";
    const auto records = ReadAll(text);
    ASSERT_EQ(records.size(), 5000u);
    EXPECT_EQ(records[1001].source, "s1001");
    EXPECT_EQ(records[4999].destination, "d4999");
}

TEST(ListFile, BytesOfAnyKindAreKept) {
    const std::string text("1\r\n\0\0\0\0\0C:\\\xe4\xf6\r\n\xff\xff\xffZ", 19);
    const auto records = ReadAll(text);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].source, "C:\\\xe4\xf6");
    EXPECT_EQ(records[0].destination, "Z");
}

TEST(ListFile, PathAlwaysGetsTheBackslash) {
    EXPECT_EQ(ListFilePath("C:\\tav", "liste.txt"), "C:\\tav\\liste.txt");
    EXPECT_EQ(ListFilePath("C:", "liste.txt"), "C:\\liste.txt");
    EXPECT_EQ(ListFilePath("C:\\tav", ""), "C:\\tav\\");
}
