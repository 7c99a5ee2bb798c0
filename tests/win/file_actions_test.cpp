// "kill" on a name the ANSI code page cannot spell and on names whose short
// alias fits; "rename" of protected folders. (The other file actions are
// shown on real files by the reference's examples.)
#include <shlobj.h>

#include <algorithm>

#include "tests/support/fixtures.h"

using namespace systest;

TEST(Kill, DeletesNamesTheCodePageCannotSpell) {
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(MakeWideFile(Wide(scratch) + L"\\" + kPolishName));
    RunQuietly("c,kill," + scratch + "\\*.txt");
    EXPECT_FALSE(WideFileExists(Wide(scratch) + L"\\" + kPolishName));
}

TEST(Kill, OnlyTheLongNameDecides) {
    // Wine and Windows give these short names that fit "*.tmp" (KEEP~xxx.TMP).
    const std::string scratch = ScratchFolder();
    for (const char* name : {"a.tmp", "B.TMP", "keep.tmpx", "notes.tmp_backup"})
        ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\" + name, name));
    RunQuietly("c,kill," + scratch + "\\*.tmp");
    auto left = Entries(scratch);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"keep.tmpx", "notes.tmp_backup"}));
}

TEST(Rename, AProtectedFolderOrOneAboveItStaysWhereItIs) {
    char buffer[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, buffer), S_OK);
    const std::string documents = buffer, profile = documents.substr(0, documents.find_last_of('\\'));
    ASSERT_TRUE(uia::WriteFileBytes(documents + "\\tav_sentinel.txt", "bleibt"));
    for (const auto& [from, to] : {std::pair{documents, profile + "\\DocsMoved"},
                                   std::pair{profile, profile + "Moved"}}) {
        RunQuietly("c,rename," + from + "," + to);
        EXPECT_FALSE(uia::FolderExists(to)) << from;
    }
    EXPECT_EQ(Contents(documents + "\\tav_sentinel.txt"), "bleibt");
    // An ordinary folder still moves, with what is in it.
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\alt"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\alt\\a.txt", "A"));
    RunQuietly("c,rename," + scratch + "\\alt," + scratch + "\\neu");
    EXPECT_EQ(Entries(scratch), std::vector<std::string>{"neu"});
    EXPECT_EQ(Contents(scratch + "\\neu\\a.txt"), "A");
}

// A trailing backslash names a folder: the folder moves, and a file spelt
// that way is not found.
TEST(Rename, ATrailingBackslashMovesAFolderAndNoFile) {
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\A\\unter"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\A\\unter\\a.txt", "A"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\datei.txt", "D"));
    RunQuietly("c,rename," + scratch + "\\A\\," + scratch + "\\B");
    RunQuietly("c,rename," + scratch + "\\datei.txt\\," + scratch + "\\neu.txt");
    auto left = Entries(scratch);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"B", "datei.txt"}));
    EXPECT_EQ(Contents(scratch + "\\B\\unter\\a.txt"), "A");
    EXPECT_EQ(Contents(scratch + "\\datei.txt"), "D");
}
