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
        // A sibling folder of the same length: the folder part decides.
        {L"\\\\?\\C:\\Demo\\V", L"a.txt", L"\\\\?\\C:\\Demo\\W\\a.txt", false},
        {L"\\Demo\\V", L"a.txt", L"\\Deme\\V\\a.txt", false},
        {L"\\\\?\\D:\\", L"x", L"\\\\?\\E:\\x", false},
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

TEST(FolderRemovalLogic, OnlyAnUnknownDispositionClassOrFlagFallsBackToTheOlderWay) {
    const struct {
        unsigned long error;
        bool unavailable;
    } cases[] = {
        {87, true},    // ERROR_INVALID_PARAMETER: class or flag not known (before Windows 10 1607 / 1809)
        {50, true},    // ERROR_NOT_SUPPORTED: the volume has no such disposition
        {5, false},    // ERROR_ACCESS_DENIED: refused
        {32, false},   // ERROR_SHARING_VIOLATION
        {145, false},  // ERROR_DIR_NOT_EMPTY
        {0, false},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtendedDispositionUnavailable(c.error), c.unavailable) << c.error;
}

TEST(FolderRemovalLogic, AClearedReadOnlyFlagIsPutBackWhereverTheFileStays) {
    const struct {
        bool deleted;
        unsigned long links;
        bool putBack;
    } cases[] = {
        {true, 1, false},   // gone with its only name
        {false, 1, true},   // still there
        {true, 2, true},    // another hard link keeps the file, and it shares the flag
        {true, 5, true},
        {false, 3, true},
        {true, 0, true},    // the number of links not known: it may have others
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadOnlyToBePutBack(c.deleted, c.links), c.putBack) << c.deleted << " " << c.links;
}
