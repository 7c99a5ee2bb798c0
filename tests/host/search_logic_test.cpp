#include "main/search/search_logic.h"

#include <gtest/gtest.h>

using namespace tav;

namespace {

std::vector<std::string> Split(const std::string& bytes, std::size_t count) {
    return SplitDriveStrings(bytes.data(), count);
}

}  // namespace

TEST(DriveStrings, SplitAtNulsWithTheEmptyLastPiece) {
    const std::string answer("A:\\\0C:\\\0D:\\\0\0", 13);
    EXPECT_EQ(Split(answer, 12), (std::vector<std::string>{"A:\\", "C:\\", "D:\\", ""}));
    // Only the characters the platform reported count (the rest is filler).
    const std::string filled = std::string("C:\\\0", 4) + std::string(60, ' ');
    EXPECT_EQ(Split(filled, 4), (std::vector<std::string>{"C:\\", ""}));
    EXPECT_TRUE(Split(filled, 0).empty());
    EXPECT_TRUE(SplitDriveStrings(nullptr, 5).empty());
}

TEST(SearchLayout, FollowsTheInnerArea) {
    const auto l = LayoutSearchWindow(7950, 3450);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->list.left, 0);
    EXPECT_EQ(l->list.top, 0);
    EXPECT_EQ(l->list.width, 7950);
    EXPECT_EQ(l->list.height, 2970);
    EXPECT_EQ(l->button.left, 7950 - 1215 - 240);
    EXPECT_EQ(l->button.top, 3030);
    EXPECT_EQ(l->button.width, 1215);
    EXPECT_EQ(l->button.height, 375);
    EXPECT_EQ(l->label.left, 120);
    EXPECT_EQ(l->label.top, 3030);
    EXPECT_EQ(l->label.width, 5130);
    EXPECT_EQ(l->label.height, 195);
}

TEST(SearchLayout, NoLayoutWhenTheListHeightWouldBeNegative) {
    EXPECT_FALSE(LayoutSearchWindow(7950, 479));
    EXPECT_FALSE(LayoutSearchWindow(0, 0));
    const auto flat = LayoutSearchWindow(3000, 480);
    ASSERT_TRUE(flat);
    EXPECT_EQ(flat->list.height, 0);
    EXPECT_EQ(flat->button.top, 60);
    // A narrow window may put the button left of the origin; it is still laid out.
    EXPECT_EQ(LayoutSearchWindow(1000, 3450)->button.left, 1000 - 1455);
}

TEST(FoundCount, Text) {
    EXPECT_EQ(FoundCountText(0), "0 Dateien gefunden");
    EXPECT_EQ(FoundCountText(3), "3 Dateien gefunden");
    EXPECT_EQ(FoundCountText(12345), "12345 Dateien gefunden");
}

TEST(MessageSlice, FirstEntryThenEveryIntervalAcrossTheTickWrap) {
    MessageSlice slice(10);
    EXPECT_TRUE(slice.Due(1000));
    EXPECT_FALSE(slice.Due(1000));
    EXPECT_FALSE(slice.Due(1009));
    EXPECT_TRUE(slice.Due(1010));
    EXPECT_FALSE(slice.Due(1015));
    slice.Restart();
    EXPECT_TRUE(slice.Due(1015));  // a new walk starts with the queue

    MessageSlice wrap(10);
    EXPECT_TRUE(wrap.Due(0xFFFFFFFAu));
    EXPECT_FALSE(wrap.Due(0xFFFFFFFFu));
    EXPECT_TRUE(wrap.Due(4u));  // 10 ms later, after the counter wrapped
}

TEST(DriveDesignation, OnlyALetterAndAColonIsADriveRoot) {
    for (const char* d : {"C:", "d:", "Z:"}) EXPECT_TRUE(IsDriveLetterDesignation(d)) << d;
    for (const char* d : {"", "C", "C:\\", "C:\\x", "ALL", "all", "1:", " C:", "C: ", "\\\\srv\\share", "::"})
        EXPECT_FALSE(IsDriveLetterDesignation(d)) << d;
}
