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
        for (const wchar_t* folder :
             {L"C:\\", L"C:\\windows", L"C:\\windows\\Fonts", L"C:\\windows\\Temp", L"C:\\windows\\Temp\\Setup",
              L"C:\\windows\\Temp\\Setup\\x", L"C:\\windows\\Branding", L"C:\\windows\\Branding\\Logo",
              L"C:\\users", L"C:\\users\\hans", L"C:\\users\\hans\\Pictures",
              L"C:\\users\\hans\\Documents", L"C:\\users\\hans\\Documents\\Spiel", L"C:\\users\\hans\\Temp",
              L"C:\\users\\hans\\Temp\\Setup", L"C:\\users\\anna", L"C:\\users\\anna\\Spiel",
              L"C:\\Program Files", L"C:\\Program Files\\Demo", L"C:\\Front End", L"C:\\Apps",
              L"C:\\Apps\\Demo", L"C:\\Apps\\Temp", L"C:\\Mount", L"C:\\Mount\\Data", L"C:\\Mount\\Data\\x",
              L"D:\\", L"D:\\$Recycle.Bin"})
            Make(folder);
        // A volume mounted in a folder: its root has the path "\" on it.
        Find(L"C:\\Mount\\Data")->pathOnVolume = L"\\";
        Find(L"C:\\Mount\\Data")->volumeSerial = 8;
        places_.places = {{L"C:\\windows", FolderKind::WindowsTree, true},
                          {L"C:\\users\\hans\\Documents", FolderKind::Protected, true},
                          {L"C:\\users\\hans", FolderKind::Profile, true},
                          {L"C:\\users\\anna", FolderKind::Profile, false},
                          {L"C:\\users", FolderKind::ProfilesFolder, false},
                          {L"C:\\Program Files", FolderKind::ProgramFiles, true},
                          {L"C:\\users\\hans\\Pictures", FolderKind::Protected, false},
                          {L"D:\\$Recycle.Bin", FolderKind::Protected, false},
                          {L"C:\\Front End", FolderKind::Protected, true},
                          {L"", FolderKind::Protected, false},
                          {L"C:\\nowhere", FolderKind::Protected, false}};
        places_.windowsFolder = L"C:\\windows";
        places_.windowsTempFolder = L"C:\\windows\\Temp";
        places_.tempFolders = {L"C:\\users\\hans\\Temp"};
    }
    ProtectedPlaces places_;
    std::vector<std::wstring> unreadable_;  // there, but cannot be opened

    ProtectedPlaces Places() override { return places_; }
    std::optional<std::wstring> FullPath(const std::wstring& path) override {
        if (path.size() < 3 || path[1] != L':') return std::nullopt;
        return path;
    }
    std::optional<FolderIdentity> Identify(const std::wstring& path) override {
        for (const auto& u : unreadable_)
            if (Key(u) == Key(path)) return std::nullopt;
        if (FolderIdentity* f = Find(path)) return *f;
        return std::nullopt;
    }
    bool Exists(const std::wstring& path) override {
        for (const auto& u : unreadable_)
            if (Key(u) == Key(path)) return true;
        return Find(path) != nullptr;
    }
    std::optional<FolderIdentity> Of(const std::wstring& path) { return Identify(path); }

private:
    static std::wstring Key(const std::wstring& path) {
        return WithoutTrailingBackslash(path.rfind(L"\\\\?\\", 0) == 0 ? path.substr(4) : path);
    }
    void Make(const std::wstring& path) {
        FolderIdentity f{7, folders_.size() + 1, L"\\\\?\\" + path};
        f.pathOnVolume = path.substr(2);
        folders_.push_back(f);
    }
    FolderIdentity* Find(const std::wstring& path) {
        const FolderIdentity wanted{0, 0, L"\\\\?\\" + Key(path)};
        for (auto& f : folders_)
            if (f.SameAs(wanted)) return &f;
        return nullptr;
    }
    std::vector<FolderIdentity> folders_;
};

}  // namespace

TEST(FolderGuardVerdict, AllowsOnlyAnIdentifiedOrdinaryFolder) {
    FakeMachine machine;
    const auto set = LearnProtectedSet(machine);
    ASSERT_TRUE(set);
    const struct {
        const wchar_t* folder;
        FolderKind kind;
    } cases[] = {
        {L"C:\\users\\hans\\Documents", FolderKind::Protected},  // required
        {L"C:\\users\\hans\\Pictures", FolderKind::Protected},   // optional
        {L"C:\\users\\hans", FolderKind::Profile},               // a profile and above Documents
        {L"C:\\users\\anna", FolderKind::Profile},               // another user's
        {L"C:\\users", FolderKind::ProfilesFolder},
        {L"C:\\Program Files", FolderKind::ProgramFiles},
        {L"D:\\$Recycle.Bin", FolderKind::Protected},
        {L"C:\\users\\hans\\Temp", FolderKind::Protected},       // the temp folders themselves
        {L"C:\\windows\\Temp", FolderKind::Protected},
        {L"C:\\windows", FolderKind::WindowsTree},
        {L"C:\\windows\\Fonts", FolderKind::WindowsTree},        // in the Windows folder
        {L"C:\\windows\\Branding\\Logo", FolderKind::WindowsTree},
        {L"C:\\", FolderKind::VolumeRoot},
        {L"D:\\", FolderKind::VolumeRoot},
        {L"C:\\Mount\\Data", FolderKind::VolumeRoot},            // a mounted volume's root
        {L"C:\\windows\\Temp\\Setup", FolderKind::Ordinary},     // below a temp folder
        {L"C:\\windows\\Temp\\Setup\\x", FolderKind::Ordinary},
        {L"C:\\users\\hans\\Temp\\Setup", FolderKind::Ordinary},
        {L"C:\\users\\hans\\Documents\\Spiel", FolderKind::Ordinary},
        {L"C:\\users\\anna\\Spiel", FolderKind::Ordinary},
        {L"C:\\Program Files\\Demo", FolderKind::Ordinary},
        {L"C:\\Mount\\Data\\x", FolderKind::Ordinary},
        {L"C:\\Apps\\Demo", FolderKind::Ordinary},
    };
    for (const auto& c : cases) {
        const FolderJudgement j = JudgeFolder(machine.Of(c.folder), set, machine);
        EXPECT_EQ(j.kind, c.kind) << c.folder;
        EXPECT_EQ(j.verdict, c.kind == FolderKind::Ordinary ? DeleteVerdict::Allowed : DeleteVerdict::Protected)
            << c.folder;
    }
    auto judge = [&](const std::optional<FolderIdentity>& target) {
        return JudgeFolderForDeletion(target, set, machine);
    };
    // The caller learns which folder a refusal matched.
    EXPECT_EQ(JudgeFolder(machine.Of(L"C:\\windows\\Fonts"), set, machine).matchedFolder, L"\\\\?\\C:\\windows");
    EXPECT_EQ(JudgeFolder(machine.Of(L"C:\\users"), set, machine).matchedFolder, L"\\\\?\\C:\\users");

    // The same folder reached another way: same volume and index, another path.
    const FolderIdentity documents = *machine.Of(L"C:\\users\\hans\\Documents");
    EXPECT_EQ(judge(FolderIdentity{7, documents.fileIndex, L"\\\\?\\S:\\Documents"}), DeleteVerdict::Protected);
    // Or the same final path, where the platform numbers files differently.
    EXPECT_EQ(judge(FolderIdentity{9, 0, L"\\\\?\\c:\\USERS"}), DeleteVerdict::Protected);
    EXPECT_EQ(judge(FolderIdentity{9, 5, L"\\\\?\\D:\\"}), DeleteVerdict::Protected);
    // A volume root by its handle's path on the volume, whatever its final path says.
    EXPECT_EQ(judge(FolderIdentity{9, 5, L"\\\\?\\E:\\Mounted", L"\\"}), DeleteVerdict::Protected);
    EXPECT_EQ(JudgeFolderForDeletion(FolderIdentity{9, 5, L"\\\\?\\D:\\"}, std::nullopt, machine),
              DeleteVerdict::Protected);
    EXPECT_EQ(judge(std::nullopt), DeleteVerdict::Unidentified);
    EXPECT_EQ(judge(FolderIdentity{7, 99, L""}), DeleteVerdict::Unidentified);
    // Index 0 means "not known", never "the same".
    EXPECT_EQ(judge(FolderIdentity{7, 0, L"\\\\?\\D:\\x"}), DeleteVerdict::Allowed);
}

TEST(FolderGuardVerdict, ATempFolderOpensOnlyWhatLiesBelowAnOrdinaryFolder) {
    // A temp folder that is a volume root, the Windows folder, a folder above
    // it or another protected folder, or a folder in the Windows folder, is
    // no exception: the Windows folder's contents stay protected.
    const struct {
        const wchar_t* temp;
        const wchar_t* target;
        DeleteVerdict verdict;
    } cases[] = {
        {L"C:\\windows", L"C:\\windows\\Branding\\Logo", DeleteVerdict::Protected},
        {L"C:\\windows\\", L"C:\\windows\\Fonts", DeleteVerdict::Protected},
        {L"C:\\", L"C:\\windows\\Branding", DeleteVerdict::Protected},
        {L"C:\\windows\\Branding", L"C:\\windows\\Branding\\Logo", DeleteVerdict::Protected},
        {L"C:\\windows\\Fonts", L"C:\\windows\\Fonts", DeleteVerdict::Protected},
        {L"C:\\users", L"C:\\users\\anna\\Spiel", DeleteVerdict::Allowed},   // outside the Windows folder anyway
        {L"C:\\users", L"C:\\windows\\Branding", DeleteVerdict::Protected},
        {L"C:\\Mount\\Data", L"C:\\Mount\\Data\\x", DeleteVerdict::Allowed},
        // Ordinary temp folders: below them folders may go, themselves never.
        {L"C:\\windows\\Temp\\Setup", L"C:\\windows\\Temp\\Setup\\x", DeleteVerdict::Allowed},
        {L"C:\\windows\\Temp\\Setup", L"C:\\windows\\Temp\\Setup", DeleteVerdict::Protected},
        {L"C:\\Apps\\Temp", L"C:\\Apps\\Temp", DeleteVerdict::Protected},
        {L"C:\\Apps\\Temp", L"C:\\windows\\Temp\\Setup", DeleteVerdict::Allowed},
    };
    for (const auto& c : cases) {
        FakeMachine machine;
        machine.places_.tempFolders = {c.temp, L"C:\\users\\hans\\Temp"};
        const auto set = LearnProtectedSet(machine);
        ASSERT_TRUE(set) << c.temp;
        EXPECT_EQ(JudgeFolderForDeletion(machine.Of(c.target), set, machine), c.verdict)
            << "TEMP=" << c.temp << ": " << c.target;
    }
    // Without a Windows temp folder of its own, a user's temp folder in the
    // Windows folder opens nothing.
    FakeMachine machine;
    machine.places_.windowsTempFolder.clear();
    machine.places_.tempFolders = {L"C:\\windows\\Temp"};
    const auto set = LearnProtectedSet(machine);
    ASSERT_TRUE(set);
    EXPECT_EQ(JudgeFolderForDeletion(machine.Of(L"C:\\windows\\Temp\\Setup"), set, machine),
              DeleteVerdict::Protected);
}

TEST(FolderGuardVerdict, OneUnknownRequiredFolderRefusesEveryDelete) {
    const std::wstring target = L"C:\\Apps\\Demo";
    for (std::size_t unknown = 0; unknown <= 3; ++unknown) {
        FakeMachine machine;
        if (unknown == 0) machine.places_.places[1].path.clear();
        else if (unknown == 1) machine.places_.tempFolders.front().clear();
        else if (unknown == 2) machine.places_.windowsFolder = L"C:\\nowhere";  // named, but not there
        else machine.places_.windowsFolder.clear();
        const auto set = LearnProtectedSet(machine);
        EXPECT_FALSE(set) << unknown;
        EXPECT_EQ(JudgeFolderForDeletion(machine.Of(target), set, machine), DeleteVerdict::ListIncomplete)
            << unknown;
    }
}

TEST(FolderGuardVerdict, AProtectedFolderThatIsThereButCannotBeIdentifiedRefusesEveryDelete) {
    // Optional or required, the folder itself, one above it, or a temp
    // folder: when it exists and cannot be opened, the set is incomplete.
    for (const wchar_t* unreadable : {L"C:\\users\\anna", L"C:\\users\\hans\\Pictures", L"C:\\users",
                                      L"D:\\$Recycle.Bin", L"C:\\users\\hans\\Temp", L"C:\\windows\\Temp"}) {
        FakeMachine machine;
        machine.unreadable_ = {unreadable};
        const auto set = LearnProtectedSet(machine);
        EXPECT_FALSE(set) << unreadable;
        EXPECT_EQ(JudgeFolderForDeletion(machine.Of(L"C:\\Apps\\Demo"), set, machine), DeleteVerdict::ListIncomplete)
            << unreadable;
    }
    // An optional folder that is not there at all is passed over.
    FakeMachine machine;
    machine.places_.places.push_back({L"C:\\users\\berta", FolderKind::Profile, false});
    EXPECT_TRUE(LearnProtectedSet(machine));
}

TEST(FolderGuardKill, WhichFoldersTakeWhichPatterns) {
    const struct {
        FolderKind kind;
        bool somePattern, everyFile;
    } cases[] = {
        {FolderKind::Ordinary, true, true},        {FolderKind::AboveProtected, true, false},
        {FolderKind::Protected, true, false},      {FolderKind::ProgramFiles, false, false},
        {FolderKind::Profile, false, false},       {FolderKind::ProfilesFolder, false, false},
        {FolderKind::WindowsTree, false, false},   {FolderKind::VolumeRoot, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MayDeleteByPattern(c.kind, false), c.somePattern) << static_cast<int>(c.kind);
        EXPECT_EQ(MayDeleteByPattern(c.kind, true), c.everyFile) << static_cast<int>(c.kind);
    }
}

TEST(FolderGuardNames, APlainComponentLeadsNowhereElse) {
    for (const char* name : {"Demo Spiel", "Demo.", "a,b", "Größe"})
        EXPECT_TRUE(IsPlainComponent(name)) << name;
    for (const char* name : {"", "   ", ".", "..", "...", "x/../../SendTo", "a\\b", "C:x"})
        EXPECT_FALSE(IsPlainComponent(name)) << name;
}
