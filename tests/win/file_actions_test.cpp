// "kill" on a name the ANSI code page cannot spell, on names whose short
// alias fits, by Windows' wildcard rules, on exact names and in the folders
// front ends use; "rename" of protected folders. (The other file actions are
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

namespace {

// Makes `names` as files in a fresh scratch folder, runs `c,kill,<folder>\<pattern>`
// and returns what is left, sorted.
std::vector<std::string> LeftAfterKill(const std::string& pattern, const std::vector<std::string>& names) {
    const std::string scratch = ScratchFolder();
    for (const auto& name : names) EXPECT_TRUE(uia::WriteFileBytes(scratch + "\\" + name, name)) << name;
    RunQuietly("c,kill," + scratch + "\\" + pattern);
    auto left = Entries(scratch);
    std::sort(left.begin(), left.end());
    return left;
}

}  // namespace

TEST(Kill, MatchesAsWindowsMatchesWildcards) {
    using Names = std::vector<std::string>;
    const struct {
        const char* pattern;
        Names files, left;
    } cases[] = {
        // "?" before a dot or at the end also stands for no character.
        {"file?.txt", {"file.txt", "file1.txt", "file12.txt"}, {"file12.txt"}},
        {"file?", {"file", "file1", "file12", "file.txt"}, {"file.txt", "file12"}},
        // "." before a wildcard also fits a name without an extension.
        {"*.???", {"a.txt", "b.tx", "c", "d.text"}, {"d.text"}},
        {"x.*", {"x", "x.y", "xy"}, {"xy"}},
        // "*.*" takes every name, a trailing "." names without an extension.
        {"*.*", {"README", "a.b", ".profile"}, {}},
        {"*.", {"README", "a.b"}, {"a.b"}},
        // Case does not matter, as for the file system.
        {"DEMO*.TMP", {"demo1.tmp", "Demo2.Tmp", "other.tmp"}, {"other.tmp"}},
    };
    for (const auto& c : cases) EXPECT_EQ(LeftAfterKill(c.pattern, c.files), c.left) << c.pattern;
}

TEST(Kill, FoldersAndReadOnlyFilesStay) {
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\alt.tmp"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\alt.tmp\\innen.tmp", "bleibt"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\fest.tmp", "bleibt"));
    ASSERT_TRUE(::SetFileAttributesA((scratch + "\\fest.tmp").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\weg.tmp", "weg"));
    RunQuietly("c,kill," + scratch + "\\*.tmp");
    RunQuietly("c,kill," + scratch + "\\fest.tmp");
    RunQuietly("c,kill," + scratch + "\\alt.tmp");
    EXPECT_EQ(Contents(scratch + "\\alt.tmp\\innen.tmp"), "bleibt");
    EXPECT_EQ(Contents(scratch + "\\fest.tmp"), "bleibt");
    EXPECT_FALSE(uia::FileExists(scratch + "\\weg.tmp"));
    ::SetFileAttributesA((scratch + "\\fest.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Kill, AnExactNameIsTheFileThePlatformReadsItAs) {
    // A short name, a name with trailing dots, a relative name.
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Langer Dateiname.text", "1"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\ohne", "2"));
    ASSERT_TRUE(uia::WriteFileBytes(uia::FrontEndFolder() + "\\hier.txt", "3"));
    char shortBuffer[MAX_PATH] = {};
    const DWORD n = ::GetShortPathNameA((scratch + "\\Langer Dateiname.text").c_str(), shortBuffer, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    const std::string shortName(shortBuffer, n);
    ASSERT_NE(shortName, scratch + "\\Langer Dateiname.text") << "the file system gave no short name";
    for (const std::string& operand : {shortName, scratch + "\\ohne..", std::string("hier.txt")})
        RunQuietly("c,kill," + operand);
    EXPECT_EQ(Entries(scratch), std::vector<std::string>{});
    EXPECT_FALSE(uia::FileExists(uia::FrontEndFolder() + "\\hier.txt"));
}

TEST(Kill, ExactNamesAndPatternsInOrdinaryAndKnownFoldersStillGo) {
    char buffer[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer), S_OK);
    const std::string desktop = buffer;
    ASSERT_EQ(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, buffer), S_OK);
    const std::string documents = buffer;
    const std::string temp = uia::TempFolder();  // ends in a backslash
    ASSERT_TRUE(uia::MakeFolders("C:\\Programme\\Demo"));
    const struct {
        std::string operand;
        std::vector<std::string> gone, kept;
    } cases[] = {
        {desktop + "\\Demo.lnk", {desktop + "\\Demo.lnk"}, {desktop + "\\Demo2.lnk"}},
        {"C:\\Programme\\Demo\\*.tmp", {"C:\\Programme\\Demo\\a.tmp", "C:\\Programme\\Demo\\b.tmp"},
         {"C:\\Programme\\Demo\\Demo.exe"}},
        {temp + "demo*.tmp", {temp + "demo1.tmp", temp + "demo.tmp"}, {temp + "anderes.tmp"}},
        {documents + "\\demo*.tmp", {documents + "\\demo1.tmp"}, {documents + "\\Brief.txt"}},
    };
    for (const auto& c : cases) {
        for (const auto& f : c.gone) ASSERT_TRUE(uia::WriteFileBytes(f, "weg")) << f;
        for (const auto& f : c.kept) ASSERT_TRUE(uia::WriteFileBytes(f, "bleibt")) << f;
        RunQuietly("c,kill," + c.operand);
        for (const auto& f : c.gone) EXPECT_FALSE(uia::FileExists(f)) << c.operand << ": " << f;
        for (const auto& f : c.kept) EXPECT_EQ(Contents(f), "bleibt") << c.operand << ": " << f;
        for (const auto& f : c.kept) ::DeleteFileA(f.c_str());
    }
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
