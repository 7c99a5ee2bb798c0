#include "common/folder_guard.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(FolderGuardPaths, VolumeRootsInEverySpelling) {
    for (const wchar_t* root :
         {L"C:", L"C:\\", L"c:\\\\", L"\\\\?\\C:\\", L"\\\\.\\D:", L"\\\\server\\share",
          L"\\\\server\\share\\", L"\\\\?\\UNC\\server\\share\\", L"\\\\?\\unc\\server\\share",
          L"\\\\?\\Volume{0b1e6a8c-1}\\"})
        EXPECT_TRUE(IsVolumeRoot(root)) << root;
    for (const wchar_t* folder :
         {L"C:\\x", L"\\\\?\\C:\\x", L"\\\\server\\share\\x", L"\\\\?\\UNC\\s\\sh\\x", L"x", L"\\",
          L"\\\\server", L"\\\\?\\Volume{1}\\x"})
        EXPECT_FALSE(IsVolumeRoot(folder)) << folder;
}

TEST(FolderGuardPaths, ParentsClimbToTheVolumeRootAndStop) {
    const struct {
        const wchar_t* path;
        std::optional<std::wstring> parent;
    } cases[] = {
        {L"C:\\a\\b\\", L"C:\\a"},
        {L"C:\\a", L"C:\\"},
        {L"C:\\", std::nullopt},
        {L"\\\\?\\C:\\Program Files", L"\\\\?\\C:\\"},
        {L"\\\\?\\UNC\\srv\\share\\a\\b", L"\\\\?\\UNC\\srv\\share\\a"},
        {L"\\\\srv\\share\\a", L"\\\\srv\\share\\"},
        {L"\\\\srv\\share", std::nullopt},
        {L"relative\\x", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
    EXPECT_EQ(WithoutTrailingBackslash(L"D:\\Demo\\\\"), L"D:\\Demo");
    EXPECT_EQ(WithoutTrailingBackslash(L"D:\\"), L"D:\\");
    EXPECT_EQ(WithoutTrailingBackslash(L"\\\\?\\C:\\"), L"\\\\?\\C:\\");
    // The NT prefix reaches the resolution as the drive it names.
    EXPECT_EQ(PrepareForFullPath(L"\\??\\C:\\windows"), L"\\\\?\\C:\\windows");
    EXPECT_EQ(PrepareForFullPath(L"D:\\x\\??\\y"), L"D:\\x\\??\\y");
}

TEST(FolderGuardVerdict, AllowsOnlyAnIdentifiedOrdinaryFolder) {
    const FolderIdentity documents{7, 42, L"\\\\?\\C:\\users\\hans\\Documents"};
    const FolderIdentity users{7, 40, L"\\\\?\\C:\\users"};
    const std::vector<FolderIdentity> protectedList{documents, users};
    const auto judge = JudgeFolderForDeletion;
    // The same folder reached another way: same volume and index, another path.
    EXPECT_EQ(judge(FolderIdentity{7, 42, L"\\\\?\\S:\\Documents"}, protectedList), DeleteVerdict::Protected);
    // Or the same final path, where the platform numbers files differently.
    EXPECT_EQ(judge(FolderIdentity{9, 0, L"\\\\?\\c:\\USERS"}, protectedList), DeleteVerdict::Protected);
    EXPECT_EQ(judge(FolderIdentity{9, 5, L"\\\\?\\D:\\"}, protectedList), DeleteVerdict::Protected);
    EXPECT_EQ(judge(FolderIdentity{9, 5, L"\\\\?\\D:\\"}, std::nullopt), DeleteVerdict::Protected);
    EXPECT_EQ(judge(std::nullopt, protectedList), DeleteVerdict::Unidentified);
    EXPECT_EQ(judge(FolderIdentity{7, 99, L""}, protectedList), DeleteVerdict::Unidentified);
    const FolderIdentity game{7, 77, L"\\\\?\\C:\\users\\hans\\Documents\\Spiel"};
    EXPECT_EQ(judge(game, std::nullopt), DeleteVerdict::ListIncomplete);
    EXPECT_EQ(judge(game, protectedList), DeleteVerdict::Allowed);
    // Index 0 means "not known", never "the same".
    EXPECT_EQ(judge(FolderIdentity{7, 0, L"\\\\?\\D:\\x"}, std::vector<FolderIdentity>{{7, 0, L"\\\\?\\D:\\y"}}),
              DeleteVerdict::Allowed);
}

TEST(FolderGuardNames, APlainComponentLeadsNowhereElse) {
    for (const char* name : {"Demo Spiel", "Demo.", "a,b", "Größe"})
        EXPECT_TRUE(IsPlainComponent(name)) << name;
    for (const char* name : {"", "   ", ".", "..", "...", "x/../../SendTo", "a\\b", "C:x"})
        EXPECT_FALSE(IsPlainComponent(name)) << name;
}
