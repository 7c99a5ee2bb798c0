#include "main/search/search_logic.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tav;

TEST(DriveStrings, SplitAtNulsWithTheEmptyLastPiece) {
    const std::string answer("A:\\\0C:\\\0\0 filler", 16);
    EXPECT_EQ(SplitDriveStrings(answer.data(), 8), (std::vector<std::string>{"A:\\", "C:\\", ""}));
    EXPECT_TRUE(SplitDriveStrings(nullptr, 5).empty());
}

TEST(DriveStrings, SixteenDrivesOrMoreAskAgainWithTheSizeThePlatformNeeds) {
    for (const int count : {3, 15, 20}) {
        std::string roots;
        for (int i = 0; i < count; ++i) roots += std::string(1, static_cast<char>('A' + i)) + ":\\" + '\0';
        std::vector<std::uint32_t> asked;
        // The platform fills the buffer when it is large enough, otherwise answers the size it needs.
        const auto got = QueryDriveStrings([&](std::uint32_t size, char* buffer) -> std::uint32_t {
            asked.push_back(size);
            if (roots.size() + 1 > size) return static_cast<std::uint32_t>(roots.size() + 1);
            std::copy(roots.begin(), roots.end(), buffer);
            buffer[roots.size()] = '\0';
            return static_cast<std::uint32_t>(roots.size());
        });
        ASSERT_EQ(got.size(), count + 1u) << count;
        EXPECT_EQ(got[count - 1], std::string(1, static_cast<char>('A' + count - 1)) + ":\\");
        EXPECT_EQ(got.back(), "");
        EXPECT_EQ(asked, (count < 16 ? std::vector<std::uint32_t>{64} : std::vector<std::uint32_t>{64, 81}));
    }
    // The drives grow between the two questions, or the platform fails: no answer rather than a cut one.
    int calls = 0;
    const auto growing = [&](std::uint32_t, char*) -> std::uint32_t { return ++calls == 1 ? 81 : 101; };
    EXPECT_TRUE(QueryDriveStrings(growing).empty());
    EXPECT_TRUE(QueryDriveStrings([](std::uint32_t, char*) -> std::uint32_t { return 0; }).empty());
}

TEST(SearchLayout, FollowsTheInnerAreaAndSkipsANegativeListHeight) {
    const auto l = LayoutSearchWindow(7950, 3450);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->list.width, 7950);
    EXPECT_EQ(l->list.height, 2970);
    EXPECT_EQ(l->button.left, 7950 - 1215 - 240);
    EXPECT_EQ(l->button.top, 3030);
    EXPECT_EQ(l->label.top, 3030);
    EXPECT_FALSE(LayoutSearchWindow(7950, 479));
    EXPECT_EQ(LayoutSearchWindow(3000, 480)->list.height, 0);
}

// The label takes the bottom row left of the button, down to the window's
// edge; at every width from the smallest up it ends before the button starts.
TEST(SearchLayout, TheLabelNeverReachesTheButton) {
    for (int width = kSearchMinWidth; width <= 12000; width += 15) {
        for (int height : {kSearchMinHeight, 3450}) {
            const auto l = LayoutSearchWindow(width, height);
            ASSERT_TRUE(l) << width;
            EXPECT_GE(l->button.left, 120) << width;
            EXPECT_EQ(l->button.left + l->button.width + 240, width);
            EXPECT_GE(l->label.width, 0) << width;
            EXPECT_LE(l->label.left + l->label.width, l->button.left) << width;
            if (l->label.width > 0) EXPECT_EQ(l->label.left + l->label.width, l->button.left - 120) << width;
            EXPECT_EQ(l->label.top + l->label.height, height) << width;
            EXPECT_EQ(l->button.top, l->label.top);
        }
    }
    EXPECT_EQ(LayoutSearchWindow(7950, 3450)->label.width, 6255);  // the design width
    EXPECT_EQ(LayoutSearchWindow(kSearchMinWidth, 3450)->label.width, 0);
}

TEST(MessageSlice, FirstEntryThenEveryIntervalAcrossTheTickWrap) {
    MessageSlice slice(10);
    EXPECT_TRUE(slice.Due(0xFFFFFFFAu));  // the first entry of a walk
    EXPECT_FALSE(slice.Due(0xFFFFFFFFu));
    EXPECT_TRUE(slice.Due(4u));  // 10 ms later, after the counter wrapped
    slice.Restart();
    EXPECT_TRUE(slice.Due(5u));  // a new walk starts with the queue
}

TEST(ListRefreshPacer, UpdatesTakeAboutATwentiethOfTheTime) {
    ListRefreshPacer pacer;
    EXPECT_TRUE(pacer.Due(0xFFFFFFF0u));  // the first finds are shown at once
    const struct {
        std::uint32_t cost, gap;
    } cases[] = {{0, 10}, {1, 19}, {7, 133}, {26, 494}, {27, 500}, {400, 500}, {0xFFFFFFFFu, 500}};
    for (const auto& c : cases) {
        const std::uint32_t start = 0xFFFFFFF0u;  // across the counter's wrap
        pacer.Shown(start, start + c.cost);
        EXPECT_FALSE(pacer.Due(start + c.cost + c.gap - 1)) << c.cost;
        EXPECT_TRUE(pacer.Due(start + c.cost + c.gap)) << c.cost;
    }
}

TEST(DriveDesignation, OnlyALetterAndAColonIsADriveRoot) {
    for (const char* d : {"C:", "d:"}) EXPECT_TRUE(IsDriveLetterDesignation(d)) << d;
    for (const char* d : {"", "C", "C:\\", "ALL", "1:", " C:", "::"}) EXPECT_FALSE(IsDriveLetterDesignation(d)) << d;
}
