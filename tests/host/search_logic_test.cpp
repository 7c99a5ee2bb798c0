#include "main/search/search_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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

namespace {

// A platform with the given drive roots: fills the buffer when it is large
// enough, otherwise answers the size it needs.
struct FakeDrives {
    std::string answer;  // "C:\\<NUL>D:\\<NUL>...<NUL>"
    std::vector<std::uint32_t> sizesAsked;
    std::uint32_t operator()(std::uint32_t size, char* buffer) {
        sizesAsked.push_back(size);
        if (answer.size() + 1 > size) return static_cast<std::uint32_t>(answer.size() + 1);
        std::copy(answer.begin(), answer.end(), buffer);
        buffer[answer.size()] = '\0';
        return static_cast<std::uint32_t>(answer.size());
    }
};

std::string Roots(char first, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) {
        s += static_cast<char>(first + i);
        s += std::string(":\\") + '\0';
    }
    return s;
}

}  // namespace

TEST(DriveStrings, FifteenDrivesFitSixteenAskAgain) {
    FakeDrives few{Roots('C', 3), {}};
    EXPECT_EQ(QueryDriveStrings(std::ref(few)), (std::vector<std::string>{"C:\\", "D:\\", "E:\\", ""}));
    EXPECT_EQ(few.sizesAsked, std::vector<std::uint32_t>{64});

    FakeDrives fifteen{Roots('A', 15), {}};
    EXPECT_EQ(QueryDriveStrings(std::ref(fifteen)).size(), 16u);
    EXPECT_EQ(fifteen.sizesAsked.size(), 1u);

    FakeDrives many{Roots('A', 20), {}};
    const auto roots = QueryDriveStrings(std::ref(many));
    ASSERT_EQ(roots.size(), 21u);
    EXPECT_EQ(roots.front(), "A:\\");
    EXPECT_EQ(roots[19], "T:\\");
    EXPECT_EQ(roots.back(), "");
    EXPECT_EQ(many.sizesAsked, (std::vector<std::uint32_t>{64, 81}));

    // The drives grow between the two questions: no answer rather than a cut one.
    int calls = 0;
    const auto growing = QueryDriveStrings([&](std::uint32_t, char*) -> std::uint32_t { return ++calls == 1 ? 81 : 101; });
    EXPECT_TRUE(growing.empty());
    EXPECT_TRUE(QueryDriveStrings([](std::uint32_t, char*) -> std::uint32_t { return 0; }).empty());
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
