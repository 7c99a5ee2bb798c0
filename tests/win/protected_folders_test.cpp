// The protected-folder guard of "killfolder" and of the uninstaller: every
// spelling of every protected folder, a link and a substituted drive leading
// to one, links inside a folder being emptied, and the uninstaller's start-menu
// step, run from a front end's folder on another drive and from one on the
// target's drive. Sentinel files in every protected folder must survive; the
// ordinary folders must still go.
//
// The harness makes the links this suite needs (TAV_FIXTURE_LINKS):
// D:\Verweise\Dokumente -> the user's Documents, D:\Verweise\Leeren\Verweis ->
// C:\Gesendet, and drive S: for the user's profile folder.
#include <windows.h>
#include <shlobj.h>

#include "tests/support/system_test.h"
#include "tests/support/uninstaller_session.h"

using namespace systest;

namespace {

const std::vector<std::string> kWorkingFolders = {"D:\\Front End", "C:\\work"};

std::string ShellFolder(int csidl) {
    char buffer[MAX_PATH] = {};
    return ::SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_DONT_VERIFY, nullptr, 0, buffer) == S_OK
               ? buffer : "";
}

std::string ShortForm(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD n = ::GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
}

std::string Parent(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string Join(const std::string& folder, const std::string& name) {
    return folder + (folder.back() == '\\' ? "" : "\\") + name;
}

// A file in every protected folder and in the links' targets.
class Sentinels {
public:
    Sentinels() {
        for (int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
                          CSIDL_COMMON_APPDATA, CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,
                          CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_STARTMENU, CSIDL_PROGRAMS,
                          CSIDL_STARTUP, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS,
                          CSIDL_COMMON_STARTUP, CSIDL_SENDTO})
            files_.push_back(Join(ShellFolder(csidl), "tav_sentinel.txt"));
        for (const char* folder : {"C:\\", "D:\\", "C:\\Gesendet"})
            files_.push_back(Join(folder, "tav_sentinel.txt"));
        files_.push_back(Join(Parent(ShellFolder(CSIDL_PROFILE)), "tav_sentinel.txt"));
        for (const auto& f : files_) {
            uia::MakeFolders(Parent(f));
            EXPECT_TRUE(uia::WriteFileBytes(f, "bleibt")) << f;
        }
    }
    ~Sentinels() {
        for (const auto& f : files_) ::DeleteFileA(f.c_str());
    }
    // The sentinels that are gone.
    std::vector<std::string> Missing() const {
        std::vector<std::string> missing;
        for (const auto& f : files_)
            if (uia::ReadFileBytes(f) != "bleibt") missing.push_back(f);
        return missing;
    }

private:
    std::vector<std::string> files_;
};

// Every way of naming a protected folder that the guard has met.
std::vector<std::string> ProtectedSpellings() {
    const std::string windows = ShellFolder(CSIDL_WINDOWS), profile = ShellFolder(CSIDL_PROFILE);
    return {
        "C:\\", "c:\\", "C:\\ ", "C:\\.", "C:\\windows\\..", "D:\\", "D:\\\\",
        "\\??\\C:\\", "\\??\\C:\\windows", "\\\\?\\C:\\", "\\\\.\\C:\\windows",
        "\\\\?\\" + ShortForm(ShellFolder(CSIDL_PROGRAM_FILES)),
        "\\\\?\\" + ShortForm(ShellFolder(CSIDL_APPDATA) + "\\Microsoft"),  // above the start menu
        "C:/windows/", "C:\\users\\..\\windows\\system32\\.", windows + ".", windows + " . ",
        ShellFolder(CSIDL_COMMON_APPDATA), profile + "\\", Parent(profile),
        ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_PERSONAL), ShellFolder(CSIDL_APPDATA),
        ShellFolder(CSIDL_LOCAL_APPDATA), ShellFolder(CSIDL_STARTMENU), ShellFolder(CSIDL_PROGRAMS),
        ShellFolder(CSIDL_STARTUP), ShellFolder(CSIDL_COMMON_PROGRAMS), ShellFolder(CSIDL_COMMON_STARTUP),
        "D:\\Verweise\\Dokumente",  // a symbolic link to Documents
        "S:\\", "S:\\Desktop", "S:\\AppData\\..",  // a drive substituted for the profile
    };
}

void MakeFolderWithFiles(const std::string& folder) {
    ASSERT_TRUE(uia::MakeFolders(folder + "\\unter"));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\a.txt", "a"));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\unter\\b.txt", "b"));
}

void RunKillFolder(const std::string& operand, const std::string& cwd) {
    uia::Process p = RunMain("c,killfolder," + operand, cwd);
    ASSERT_TRUE(p.Started());
    EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u) << operand;
}

// Runs the uninstaller on `folder` as a hand-made command line would, answers
// Yes, and returns what it showed.
Outcome RunUninstaller(const std::string& folder, const std::string& cwd) {
    uia::Process started = uia::StartCommandLine(
        uia::UninstallProgram(), "\"" + uia::UninstallProgram() + "\" " + folder, cwd);
    auto u = WaitForQuestion();
    if (!u) return {};
    return AnswerYesAndCollect(*u);
}

const std::string kRefusal = "Hinweis: Dieser Ordner wird aus Sicherheitsgründen nicht gelöscht:\r\n";

// The user's Desktop folder moved away for the scope: the platform then
// cannot name most special folders.
struct DesktopMissing {
    std::string desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    DesktopMissing() { EXPECT_TRUE(::MoveFileA(desktop.c_str(), (desktop + ".weg").c_str())); }
    ~DesktopMissing() { ::MoveFileA((desktop + ".weg").c_str(), desktop.c_str()); }
};

class Guard : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& cwd : kWorkingFolders) uia::MakeFolders(cwd);
    }
    Sentinels sentinels_;
};

}  // namespace

TEST_F(Guard, KillFolderNeverEmptiesAProtectedFolderHoweverItIsNamed) {
    for (const auto& cwd : kWorkingFolders)
        for (const auto& spelling : ProtectedSpellings()) {
            RunKillFolder(spelling, cwd);
            EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{}) << spelling << " from " << cwd;
        }
}

TEST_F(Guard, TheUninstallerNeverEmptiesAProtectedFolderHoweverItIsNamed) {
    for (const auto& cwd : kWorkingFolders)
        for (const auto& spelling : ProtectedSpellings()) {
            const Outcome out = RunUninstaller(spelling, cwd);
            EXPECT_TRUE(out.closing) << spelling;
            // A drive root by name, or a folder it leads to, is refused with the note.
            ASSERT_FALSE(out.notes.empty()) << spelling;
            EXPECT_EQ(out.notes[0].rfind(kRefusal, 0), 0u) << spelling << ": " << out.notes[0];
            EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{}) << spelling << " from " << cwd;
        }
}

TEST_F(Guard, OrdinaryFoldersStillGoWhateverTheyAreCalled) {
    for (const auto& cwd : kWorkingFolders) {
        // Named like protected folders elsewhere, with forward slashes, relative.
        const std::vector<std::pair<std::string, std::string>> cases = {
            {"D:\\x\\Windows", "D:\\x\\Windows"},
            {"D:/x/Documents/", "D:\\x\\Documents"},
            {"Alt\\Program Files", cwd + "\\Alt\\Program Files"},
        };
        for (const auto& [operand, folder] : cases) {
            MakeFolderWithFiles(folder);
            RunKillFolder(operand, cwd);
            EXPECT_FALSE(uia::FolderExists(folder)) << operand << " from " << cwd;
        }
        MakeFolderWithFiles("D:\\x\\Start Menu");
        const Outcome out = RunUninstaller("D:\\x\\Start Menu", cwd);
        EXPECT_EQ(out.notes.size(), 1u) << "only the missing start-menu folder is noted";
        EXPECT_FALSE(uia::FolderExists("D:\\x\\Start Menu"));
        // Too short to name a folder: nothing happens.
        MakeFolderWithFiles(cwd + "\\x");
        for (const char* operand : {"C:", "  x "}) RunKillFolder(operand, cwd);
        EXPECT_TRUE(uia::FileExists(cwd + "\\x\\a.txt"));
    }
    EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{});
}

TEST_F(Guard, LinksInsideAFolderBeingEmptiedAreNeverFollowed) {
    const std::string folder = "D:\\Verweise\\Leeren";
    ASSERT_TRUE(uia::FolderExists(folder + "\\Verweis")) << "the harness makes this link";
    MakeFolderWithFiles(folder);
    RunKillFolder(folder, kWorkingFolders[0]);
    EXPECT_FALSE(uia::FileExists(folder + "\\a.txt"));
    EXPECT_FALSE(uia::FolderExists(folder + "\\unter"));
    EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{});

    MakeFolderWithFiles(folder);
    const Outcome out = RunUninstaller(folder, kWorkingFolders[1]);
    EXPECT_TRUE(out.closing);
    EXPECT_FALSE(uia::FileExists(folder + "\\a.txt"));
    EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{});
}

TEST_F(Guard, WithoutTheDesktopTheGuardFailsClosed) {
    // The uninstaller's start-menu step cannot learn the programs folder then:
    // it must not delete a folder of that name at the root of the drive.
    ASSERT_TRUE(uia::MakeFolders("C:\\Demo8"));
    ASSERT_TRUE(uia::WriteFileBytes("C:\\Demo8\\tav_sentinel.txt", "bleibt"));
    MakeFolderWithFiles("C:\\Apps\\Demo8");
    {
        const DesktopMissing missing;
        for (const auto& cwd : kWorkingFolders)
            for (int csidl : {CSIDL_PERSONAL, CSIDL_COMMON_APPDATA, CSIDL_APPDATA})
                RunKillFolder(ShellFolder(csidl), cwd);
        RunMain("c,u/C:\\Apps\\Demo8", kWorkingFolders[0]).WaitForExit();
        auto u = WaitForQuestion();
        ASSERT_TRUE(u);
        const Outcome out = AnswerYesAndCollect(*u);
        EXPECT_TRUE(out.closing) << ::testing::PrintToString(out.notes);
    }
    EXPECT_EQ(uia::ReadFileBytes("C:\\Demo8\\tav_sentinel.txt"), "bleibt");
    EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{});
    uia::RemoveTree("C:\\Demo8");
    uia::RemoveTree("C:\\Apps\\Demo8");
}

TEST_F(Guard, TheStartMenuStepRemovesOnlyAPlainNameInTheProgramsFolder) {
    // Names that climb out of the programs folder: the user's profile data
    // and the SendTo folder must stay.
    const std::string mail = ShellFolder(CSIDL_APPDATA) + "\\Mailprogramm";
    ASSERT_TRUE(uia::MakeFolders(mail));
    ASSERT_TRUE(uia::WriteFileBytes(mail + "\\daten.txt", "bleibt"));
    for (const std::string& folder : {std::string("C:\\Programme\\Demo/../../../../../Mailprogramm"),
                                      std::string("C:\\Apps\\x/../../../SendTo")}) {
        RunMain("c,u/" + folder, "C:\\work").WaitForExit();
        auto u = WaitForQuestion();
        ASSERT_TRUE(u) << folder;
        const Outcome out = AnswerYesAndCollect(*u);
        EXPECT_TRUE(out.closing) << folder;
    }
    EXPECT_EQ(uia::ReadFileBytes(mail + "\\daten.txt"), "bleibt");
    EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{});
    uia::RemoveTree(mail);
}

TEST_F(Guard, TheUninstallerRemovesTheFolderItsCallerStartedIn) {
    // A front end in the installation folder, and a temp folder with a blank
    // and a short name: the uninstaller still knows its own path and can
    // remove the folder, which nobody keeps open.
    struct ScopedTemp {  // TMP and TEMP of this process, passed on to the programs it starts
        std::string old = uia::TempFolder();
        explicit ScopedTemp(const std::string& value) { Set(value); }
        ~ScopedTemp() { Set(old); }
        static void Set(const std::string& v) {
            for (const char* name : {"TMP", "TEMP"}) ::SetEnvironmentVariableA(name, v.c_str());
        }
    };
    ASSERT_TRUE(uia::MakeFolders("C:\\Temp Dir\\Unterordner mit Namen"));
    const std::string temp = ShortForm("C:\\Temp Dir\\Unterordner mit Namen") + "\\";
    const std::string install = "C:\\Apps\\Mein Demo";
    MakeFolderWithFiles(install);
    ASSERT_TRUE(::CopyFileA(uia::MainProgram().c_str(), (install + "\\Tavrino2.exe").c_str(), FALSE));
    {
        const ScopedTemp scoped(temp);
        uia::Process p = uia::Start(install + "\\Tavrino2.exe", "c,u/" + install, install);
        EXPECT_EQ(p.WaitForExit(), 0u);
    }
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    EXPECT_EQ(out.closing, "Deinstallation erfolgreich beendet!");
    // Only the missing start-menu folder is noted.
    EXPECT_EQ(out.notes.size(), 1u) << ::testing::PrintToString(out.notes);
    EXPECT_FALSE(uia::FolderExists(install));
}
