#include "common/folder_removal_logic.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(FolderRemovalLogic, AnOpenedEntryIsTheListedOneOnlyWhenItsFinalPathIsTheFolderAndTheName) {
    const struct {
        const wchar_t* folder;
        const wchar_t* name;
        const wchar_t* child;
        bool listed;
    } cases[] = {
        {L"\\\\?\\C:\\Demo\\V", L"a.txt", L"\\\\?\\C:\\Demo\\V\\a.txt", true},
        {L"\\\\?\\D:\\", L"x", L"\\\\?\\D:\\x", true},  // a volume root ends in its backslash
        {L"\\\\?\\C:\\Demo\\V", L"unter", L"\\\\?\\C:\\users\\root\\Documents", false},  // a link followed
        {L"\\\\?\\C:\\Demo\\V", L"s.txt", L"\\\\?\\C:\\T\\s.txt", false},
        {L"\\\\?\\C:\\Demo\\V", L"a.txt", L"\\\\?\\C:\\Demo\\Va.txt", false},
        {L"\\\\?\\C:\\Demo\\V", L"a.txt", L"\\\\?\\C:\\Demo\\V\\A.TXT", false},  // not the listed spelling
        {L"\\\\?\\C:\\Demo\\V", L"a.txt", L"\\\\?\\C:\\Demo\\V\\a.txt\\b", false},
        {L"\\\\?\\C:\\Demo\\V", L"a.txt", L"C:\\Demo\\V\\a.txt", false},
        {L"\\\\?\\C:\\Demo\\V", L"..", L"\\\\?\\C:\\Demo\\V\\..", false},
        {L"\\\\?\\C:\\Demo\\V", L".", L"\\\\?\\C:\\Demo\\V\\.", false},
        {L"\\\\?\\C:\\Demo\\V", L"x\\y", L"\\\\?\\C:\\Demo\\V\\x\\y", false},
        {L"\\\\?\\C:\\Demo\\V", L"", L"\\\\?\\C:\\Demo\\V\\", false},
        {L"", L"a", L"\\a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsListedChild(c.folder, c.name, c.child), c.listed) << c.folder << " + " << c.name
                                                                       << " = " << c.child;
}

TEST(FolderRemovalLogic, TheProgressWindowAppearsOnlyForALongerRemovalThenAFewTimesASecond) {
    RemovalPacing pacing(1000);
    EXPECT_FALSE(pacing.Due(1000));
    EXPECT_FALSE(pacing.Due(1000 + RemovalPacing::kShowAfterMs - 1));
    EXPECT_FALSE(pacing.Shown());
    EXPECT_TRUE(pacing.Due(1000 + RemovalPacing::kShowAfterMs));
    EXPECT_TRUE(pacing.Shown());
    const std::uint64_t shown = 1000 + RemovalPacing::kShowAfterMs;
    EXPECT_FALSE(pacing.Due(shown + RemovalPacing::kUpdateEveryMs - 1));
    EXPECT_TRUE(pacing.Due(shown + RemovalPacing::kUpdateEveryMs));
    EXPECT_FALSE(pacing.Due(500));  // a clock that went back
}
