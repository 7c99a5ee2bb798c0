// The all-users folders people keep their things in stay protected by the
// lookups of their own: with the platform's list of known folders unavailable
// (its class made unloadable for the test), killfolder and the uninstaller
// still refuse them and their sentinels stay.
#include "tests/support/protected_folders_fixture.h"

using namespace systest;

namespace {

// The known-folder manager's class, pointed at a library that is not there
// for as long as this lives.
class KnownFolderListUnavailable {
public:
    KnownFolderListUnavailable() {
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, kServerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_) != ERROR_SUCCESS)
            return;
        char value[MAX_PATH] = {};
        DWORD size = sizeof value - 1, type = 0;
        if (::RegQueryValueExA(key_, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
            return;
        saved_.assign(value);
        savedType_ = type;
        const char missing[] = "C:\\nirgends\\fehlt.dll";
        active_ = ::RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(missing), sizeof missing) ==
                  ERROR_SUCCESS;
    }
    ~KnownFolderListUnavailable() {
        if (active_)
            ::RegSetValueExA(key_, nullptr, 0, savedType_, reinterpret_cast<const BYTE*>(saved_.c_str()),
                             static_cast<DWORD>(saved_.size() + 1));
        if (key_) ::RegCloseKey(key_);
    }
    KnownFolderListUnavailable(const KnownFolderListUnavailable&) = delete;
    KnownFolderListUnavailable& operator=(const KnownFolderListUnavailable&) = delete;
    bool Active() const { return active_; }

private:
    static constexpr const char* kServerKey = "CLSID\\{4df0c730-df9d-4ae3-9153-aa6b82e9795a}\\InprocServer32";
    HKEY key_ = nullptr;
    std::string saved_;
    DWORD savedType_ = REG_SZ;
    bool active_ = false;
};

const std::string kRefusal = "Hinweis: Dieser Ordner wird aus Sicherheitsgründen nicht gelöscht:\r\n";

}  // namespace

TEST(KeptFolders, AllUsersFoldersStayProtectedWithoutThePlatformsListOfKnownFolders) {
    const KnownFolderListUnavailable unavailable;
    ASSERT_TRUE(unavailable.Active()) << "the known-folder manager's class is not registered where expected";
    for (const int csidl : {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_PICTURES, CSIDL_COMMON_DOCUMENTS,
                            CSIDL_COMMON_MUSIC, CSIDL_COMMON_VIDEO}) {
        const std::string folder = ShellFolder(csidl);
        SCOPED_TRACE(folder);
        ASSERT_FALSE(folder.empty());
        ASSERT_TRUE(uia::MakeFolders(folder));
        const std::string sentinel = Join(folder, "tav_sentinel.txt");
        ASSERT_TRUE(uia::WriteFileBytes(sentinel, "bleibt"));
        RunQuietly("c,killfolder," + folder);
        EXPECT_EQ(uia::ReadFileBytes(sentinel), "bleibt");
        const Outcome out = RunUninstaller(folder, uia::FrontEndFolder());
        ASSERT_FALSE(out.notes.empty());
        EXPECT_EQ(out.notes[0].rfind(kRefusal, 0), 0u) << out.notes[0];
        EXPECT_EQ(uia::ReadFileBytes(sentinel), "bleibt");
        ::DeleteFileA(sentinel.c_str());
    }
}
