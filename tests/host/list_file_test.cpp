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

TEST(ListFile, SourceFromSixthDestinationFromFourthCharacterUntrimmedLinesEndAtCr) {
    const auto records = ReadAll("x\r\n12345C:\\c d.txt \r\nabc C:\\e.txt\r\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].source, "C:\\c d.txt ");
    EXPECT_EQ(records[0].destination, " C:\\e.txt");
    EXPECT_EQ(ReadAll("1\r12345src\r123dst\r").at(0).destination, "dst");  // CR alone ends a line
    EXPECT_EQ(ReadAll("1\r\n12345a\nb\r\n123c\r\n").at(0).source, "a\nb");  // LF alone does not
}

TEST(ListFile, ShortLinesAndAnIncompleteLastRecordGiveEmptyPaths) {
    const auto records = ReadAll("1\r\n12345\r\n123\r\n1\r\n1234567\r\n12\r\n1\r\n12345z");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].source, "67");
    EXPECT_EQ(records[1].destination, "");
    EXPECT_EQ(records[2].source, "z");
    EXPECT_EQ(records[2].destination, "");
    EXPECT_TRUE(ReadAll("").empty());
}

TEST(ListFile, HasNoLimitOnTheNumberOfRecordsAndThePathGetsTheBackslash) {
    std::string text;
    for (int i = 0; i < 1100; ++i) text += "n\r\nquel:s" + std::to_string(i) + "\r\nzl:d\r\n";
    const auto records = ReadAll(text);
    ASSERT_EQ(records.size(), 1100u);
    EXPECT_EQ(records[1099].source, "s1099");
    EXPECT_EQ(ListFilePath("C:\\tav", "liste.txt"), "C:\\tav\\liste.txt");
    EXPECT_EQ(ListFilePath("C:", "liste.txt"), "C:\\liste.txt");
}
