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

namespace {

// A made-up machine: the folders that exist, each with its volume, index and
// final path; a path is "full" when it names a drive.
class FakeMachine : public FolderLookup {
public:
    FakeMachine() {
        std::uint64_t index = 1;
        for (const wchar_t* folder :
             {L"C:\\", L"C:\\windows", L"C:\\windows\\Fonts", L"C:\\windows\\Temp", L"C:\\windows\\Temp\\Setup",
              L"C:\\windows\\Temp\\Setup\\x", L"C:\\users", L"C:\\users\\hans", L"C:\\users\\hans\\Pictures",
              L"C:\\users\\hans\\Documents", L"C:\\users\\hans\\Documents\\Spiel", L"C:\\users\\hans\\Temp",
              L"C:\\users\\hans\\Temp\\Setup", L"C:\\Front End", L"C:\\Apps", L"C:\\Apps\\Demo"})
            folders_.push_back({7, index++, std::wstring(L"\\\\?\\") + folder});
        places_.required = {L"C:\\windows", L"C:\\users\\hans\\Documents", L"C:\\users\\hans\\Temp"};
        places_.optional = {L"C:\\users\\hans\\Pictures", L"", L"C:\\nowhere"};
        places_.windowsFolder = L"C:\\windows";
        places_.tempFolders = {L"C:\\users\\hans\\Temp", L"C:\\windows\\Temp"};
    }
    ProtectedPlaces places_;

    ProtectedPlaces Places() override { return places_; }
    std::optional<std::wstring> FullPath(const std::wstring& path) override {
        if (path.size() < 3 || path[1] != L':') return std::nullopt;
        return path;
    }
    std::optional<FolderIdentity> Identify(const std::wstring& path) override {
        const std::wstring wanted = path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
        for (const auto& f : folders_)
            if (f.SameAs(FolderIdentity{0, 0, WithoutTrailingBackslash(wanted)})) return f;
        return std::nullopt;
    }

private:
    std::vector<FolderIdentity> folders_;
};

}  // namespace

TEST(FolderGuardVerdict, AllowsOnlyAnIdentifiedOrdinaryFolder) {
    FakeMachine machine;
    const auto set = LearnProtectedSet(machine);
    ASSERT_TRUE(set);
    auto judge = [&](const std::optional<FolderIdentity>& target) {
        return JudgeFolderForDeletion(target, set, machine);
    };
    const struct {
        const wchar_t* folder;
        DeleteVerdict verdict;
    } cases[] = {
        {L"C:\\users\\hans\\Documents", DeleteVerdict::Protected},  // required
        {L"C:\\users\\hans\\Pictures", DeleteVerdict::Protected},   // optional
        {L"C:\\users", DeleteVerdict::Protected},                   // above one
        {L"C:\\users\\hans\\Temp", DeleteVerdict::Protected},       // the temp folders themselves
        {L"C:\\windows\\Temp", DeleteVerdict::Protected},
        {L"C:\\windows\\Fonts", DeleteVerdict::Protected},          // in the Windows folder
        {L"C:\\", DeleteVerdict::Protected},
        {L"C:\\windows\\Temp\\Setup", DeleteVerdict::Allowed},      // below a temp folder
        {L"C:\\windows\\Temp\\Setup\\x", DeleteVerdict::Allowed},
        {L"C:\\users\\hans\\Temp\\Setup", DeleteVerdict::Allowed},
        {L"C:\\users\\hans\\Documents\\Spiel", DeleteVerdict::Allowed},
        {L"C:\\Apps\\Demo", DeleteVerdict::Allowed},
    };
    for (const auto& c : cases) EXPECT_EQ(judge(machine.Identify(c.folder)), c.verdict) << c.folder;

    // The same folder reached another way: same volume and index, another path.
    const FolderIdentity documents = *machine.Identify(L"C:\\users\\hans\\Documents");
    EXPECT_EQ(judge(FolderIdentity{7, documents.fileIndex, L"\\\\?\\S:\\Documents"}), DeleteVerdict::Protected);
    // Or the same final path, where the platform numbers files differently.
    EXPECT_EQ(judge(FolderIdentity{9, 0, L"\\\\?\\c:\\USERS"}), DeleteVerdict::Protected);
    EXPECT_EQ(judge(FolderIdentity{9, 5, L"\\\\?\\D:\\"}), DeleteVerdict::Protected);
    EXPECT_EQ(JudgeFolderForDeletion(FolderIdentity{9, 5, L"\\\\?\\D:\\"}, std::nullopt, machine),
              DeleteVerdict::Protected);
    EXPECT_EQ(judge(std::nullopt), DeleteVerdict::Unidentified);
    EXPECT_EQ(judge(FolderIdentity{7, 99, L""}), DeleteVerdict::Unidentified);
    // Index 0 means "not known", never "the same".
    EXPECT_EQ(judge(FolderIdentity{7, 0, L"\\\\?\\D:\\x"}), DeleteVerdict::Allowed);
}

TEST(FolderGuardVerdict, OneUnknownRequiredFolderRefusesEveryDelete) {
    const std::wstring target = L"C:\\Apps\\Demo";
    for (std::size_t unknown = 0; unknown <= 3; ++unknown) {
        FakeMachine machine;
        if (unknown < 3) machine.places_.required[unknown].clear();
        else machine.places_.windowsFolder = L"C:\\nowhere";  // named, but not there
        const auto set = LearnProtectedSet(machine);
        EXPECT_FALSE(set) << unknown;
        EXPECT_EQ(JudgeFolderForDeletion(machine.Identify(target), set, machine), DeleteVerdict::ListIncomplete)
            << unknown;
    }
}

TEST(FolderGuardNames, APlainComponentLeadsNowhereElse) {
    for (const char* name : {"Demo Spiel", "Demo.", "a,b", "Größe"})
        EXPECT_TRUE(IsPlainComponent(name)) << name;
    for (const char* name : {"", "   ", ".", "..", "...", "x/../../SendTo", "a\\b", "C:x"})
        EXPECT_FALSE(IsPlainComponent(name)) << name;
}
