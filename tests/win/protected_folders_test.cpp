// The protected-folder guard of "killfolder", of the uninstaller and of
// kill's patterns: every spelling of every protected folder (other people's
// profiles, the 64-bit Program Files folders and the volumes' system folders
// among them), started with an environment that names none of them or a temp
// folder in the Windows folder, links and a substituted drive leading to
// one, links inside a folder being emptied, a folder exchanged for a link
// after the check, trees too deep for plain paths, and the uninstaller's
// start-menu step, run from a front end's folder on another drive and from
// one on the target's drive. Sentinels in every protected folder must
// survive; ordinary folders must still go. The harness makes the links
// (TAV_FIXTURE_LINKS): D:\Verweise\Dokumente -> Documents,
// D:\Verweise\Leeren\Verweis -> C:\Gesendet, S: -> profile,
// D:\Verweise\Kill\verweis.tmp -> C:\Gesendet\Dokument.tmp, and exchanges
// folders for links on request (FolderExchange).
#include "tests/support/environment_launch.h"
#include "tests/support/protected_folders_fixture.h"

#include <iostream>

using namespace systest;

namespace {

const std::vector<std::string> kWorkingFolders = {"D:\\Front End", "C:\\work"};

// Every way of naming a protected folder that the guard has met.
std::vector<std::string> ProtectedSpellings() {
    const std::string windows = ShellFolder(CSIDL_WINDOWS), profile = ShellFolder(CSIDL_PROFILE);
    std::vector<std::string> spellings = {
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
        uia::TempFolder(),
    };
    for (const auto& folder : KeptFolders()) spellings.push_back(folder);
    for (const auto& folder : OtherPeoplesAndSystemFolders()) spellings.push_back(folder);
    spellings.push_back(Parent(profile) + "\\ANNA\\");
    return spellings;
}

// Folders in which kill takes no pattern at all, not even one that names
// some files: drive roots, the Windows folder and what is in it, the Program
// Files folders, the profiles folder and every profile.
std::vector<std::string> FoldersWithoutPatterns() {
    const std::string profile = ShellFolder(CSIDL_PROFILE);
    return {"C:\\", "D:\\", ShellFolder(CSIDL_WINDOWS), ShellFolder(CSIDL_SYSTEM), ShellFolder(CSIDL_WINDOWS) + "\\Fonts",
            ShellFolder(CSIDL_PROGRAM_FILES), "C:\\Program Files", "C:\\Program Files (x86)",
            "C:\\Program Files\\Common Files", Parent(profile), profile, Parent(profile) + "\\Anna",
            Parent(profile) + "\\Default", "S:\\"};
}

// Runs the main program from `cwd` and waits for its end.
void RunToEnd(const std::string& parameters, const std::string& cwd) {
    uia::Process p = RunMain(parameters, cwd);
    ASSERT_TRUE(p.Started()) << parameters;
    EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u) << parameters;
}

// For the front end's own actions also the folders it runs in and from.
std::vector<std::string> CallerSpellings(const std::string& cwd) {
    return {".", cwd, cwd + "\\..\\" + cwd.substr(cwd.find_last_of('\\') + 1), uia::ProgramsFolder()};
}

const std::string kRefusal = "Hinweis: Dieser Ordner wird aus Sicherheitsgründen nicht gelöscht:\r\n";

class Guard : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& cwd : kWorkingFolders) uia::MakeFolders(cwd);
    }
    // Whatever a case did, every sentinel is still there.
    void TearDown() override { EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{}); }
    Sentinels sentinels_;
};

}  // namespace

TEST_F(Guard, KillFolderNeverEmptiesAProtectedFolderHoweverItIsNamed) {
    for (const auto& cwd : kWorkingFolders) {
        auto spellings = ProtectedSpellings();
        for (const auto& spelling : CallerSpellings(cwd)) spellings.push_back(spelling);
        for (const auto& spelling : spellings) {
            RunQuietly("c,killfolder," + spelling, cwd);
            EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{}) << spelling << " from " << cwd;
        }
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

TEST_F(Guard, TheUninstallerTakesARelativeFolderForAMissingOne) {
    // Started by the main program it works from the temp folder, started by
    // hand from its own folder: a relative operand would name a folder there.
    const std::string profile = ShellFolder(CSIDL_PROFILE);
    std::string up;
    for (char c : uia::ProgramsFolder()) up += c == '\\' ? "..\\" : "";
    const std::string downloads = up + profile.substr(3) + "\\Downloads";
    ASSERT_TRUE(uia::FolderExists(uia::ProgramsFolder() + "\\" + downloads));
    const auto missing = [](const std::string& folder) {
        return "Hinweis: Der angegebene Ordner ist nicht mehr vorhanden!\r\n" + folder +
               "\r\nkonnte nicht gelöscht werden.";
    };
    for (const std::string& folder : {std::string("..\\Pictures"), std::string("C:."), std::string("C:Demo")}) {
        RunMain("c,u/" + folder, kWorkingFolders[0]).WaitForExit();
        auto u = WaitForQuestion();
        ASSERT_TRUE(u) << folder;
        const Outcome out = AnswerYesAndCollect(*u);
        EXPECT_EQ(out.closing, "Deinstallation erfolgreich beendet!") << folder;
        ASSERT_FALSE(out.notes.empty()) << folder;
        EXPECT_EQ(out.notes[0], missing(folder));
    }
    const Outcome out = RunUninstaller(downloads, kWorkingFolders[1]);
    EXPECT_EQ(out.closing, "Deinstallation erfolgreich beendet!");
    ASSERT_FALSE(out.notes.empty());
    EXPECT_EQ(out.notes[0], missing(downloads));
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
            RunQuietly("c,killfolder," + operand, cwd);
            EXPECT_FALSE(uia::FolderExists(folder)) << operand << " from " << cwd;
        }
        MakeFolderWithFiles("D:\\x\\Start Menu");
        const Outcome out = RunUninstaller("D:\\x\\Start Menu", cwd);
        EXPECT_EQ(out.notes.size(), 1u) << "only the missing start-menu folder is noted";
        EXPECT_FALSE(uia::FolderExists("D:\\x\\Start Menu"));
        // Too short to name a folder: nothing happens.
        MakeFolderWithFiles(cwd + "\\x");
        for (const char* operand : {"C:", "  x "}) RunQuietly(std::string("c,killfolder,") + operand, cwd);
        EXPECT_TRUE(uia::FileExists(cwd + "\\x\\a.txt"));
    }
}

TEST_F(Guard, LinksInsideAFolderBeingEmptiedAreNeverFollowed) {
    // Wine opens a link's target even when asked for the link itself, so the
    // link stays (and is reported); everything else goes.
    const std::string folder = "D:\\Verweise\\Leeren";
    ASSERT_TRUE(uia::FolderExists(folder + "\\Verweis")) << "the harness makes this link";
    MakeFolderWithFiles(folder);
    RunAnsweringBoxes("c,killfolder," + folder, kWorkingFolders[0]);
    EXPECT_FALSE(uia::FileExists(folder + "\\a.txt"));
    EXPECT_FALSE(uia::FolderExists(folder + "\\unter"));

    MakeFolderWithFiles(folder);
    const Outcome out = RunUninstaller(folder, kWorkingFolders[1]);
    EXPECT_TRUE(out.closing);
    EXPECT_FALSE(uia::FileExists(folder + "\\a.txt"));
}

TEST_F(Guard, AFolderExchangedForALinkAfterTheCheckLeadsNowhere) {
    // The folder, or a subfolder, becomes a link to Documents the moment the
    // program opens it (after the guard has judged the folder, or as the walk
    // enters the subfolder), or the subfolder does when the program opens the
    // folder (before the walk reaches it). Each holds a file named like
    // Documents' sentinel: a deletion by path through the link would take that.
    const std::string folder = "C:\\Demo\\V";
    const struct {
        std::string exchanged, awaited;
    } cases[] = {{"", ""}, {"\\unter", "\\unter"}, {"\\unter", ""}};
    int runs = 0, exchanges = 0, landed = 0;
    for (const bool uninstaller : {false, true})
        for (const auto& [exchanged, awaited] : cases)
            for (int round = 0; round < 3; ++round) {
                SCOPED_TRACE((uninstaller ? "uninstaller, V" : "killfolder, V") + exchanged + " when V" +
                             awaited + " opens");
                ASSERT_TRUE(uia::MakeFolders(folder + "\\unter"));
                for (const char* file : {"\\tav_sentinel.txt", "\\a.txt", "\\unter\\tav_sentinel.txt"})
                    ASSERT_TRUE(uia::WriteFileBytes(folder + file, "weg"));
                FolderExchange exchange(folder + exchanged, ShellFolder(CSIDL_PERSONAL), folder + awaited);
                ASSERT_TRUE(exchange.Armed());
                if (uninstaller) EXPECT_TRUE(RunUninstaller(folder, kWorkingFolders[0]).closing);
                else RunAnsweringBoxes("c,killfolder," + folder, kWorkingFolders[0]);
                ++runs;
                if (exchange.Undo()) ++exchanges;
                EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{});
                // The exchange came between the check and the deletion of what
                // was exchanged when that still holds its file.
                if (uia::FileExists(folder + exchanged + "\\tav_sentinel.txt")) ++landed;
                uia::RemoveTree(folder);
            }
    std::cout << "[ exchange ] " << exchanges << " of " << runs << " runs exchanged, " << landed
              << " between the check and the deletion\n";
    EXPECT_GT(landed, 0) << "no exchange came in time: the race was not run";
}

TEST_F(Guard, TreesTooDeepForPlainPathsGoWholeAndNothingElseChanges) {
    // C:\Demo\L\<240 c>\<30 g>\deep.txt: over 259 characters.
    const std::wstring deep = L"\\\\?\\C:\\Demo\\L\\" + std::wstring(240, L'c') + L"\\" + std::wstring(30, L'g');
    const std::string temp = uia::TempFolder() + "tav_bleibt.txt";
    for (const std::string& cwd : {uia::FrontEndFolder(), ShellFolder(CSIDL_PROFILE)})
        for (const bool uninstaller : {false, true}) {
            SCOPED_TRACE((uninstaller ? "uninstaller from " : "killfolder from ") + cwd);
            ASSERT_TRUE(uia::MakeFolders("C:\\Demo\\L"));
            for (std::size_t slash = deep.find(L'\\', 15); slash != std::wstring::npos;
                 slash = deep.find(L'\\', slash + 1))
                ::CreateDirectoryW(deep.substr(0, slash).c_str(), nullptr);
            ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
            ASSERT_TRUE(MakeWideFile(deep + L"\\deep.txt", FILE_ATTRIBUTE_READONLY));
            const std::string here = Join(cwd, "tav_bleibt.txt");
            ASSERT_TRUE(uia::WriteFileBytes(here, "bleibt"));
            ASSERT_TRUE(uia::WriteFileBytes(temp, "bleibt"));
            if (uninstaller) {
                const Outcome out = RunUninstaller("C:\\Demo\\L", cwd);
                EXPECT_EQ(out.closing, "Deinstallation erfolgreich beendet!");
                EXPECT_EQ(out.notes.size(), 1u) << "only the missing start-menu folder is noted";
            } else {
                RunQuietly("c,killfolder,C:\\Demo\\L", cwd);
            }
            EXPECT_FALSE(uia::FolderExists("C:\\Demo\\L"));
            EXPECT_TRUE(uia::FolderExists("C:\\Demo"));
            EXPECT_EQ(uia::ReadFileBytes(here), "bleibt");
            EXPECT_EQ(uia::ReadFileBytes(temp), "bleibt");
            EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{});
            EXPECT_TRUE(uia::FileExists(uia::MainProgram()));
            EXPECT_TRUE(uia::FileExists(uia::UninstallProgram()));
        }
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
                RunQuietly("c,killfolder," + ShellFolder(csidl), cwd);
        RunMain("c,u/C:\\Apps\\Demo8", kWorkingFolders[0]).WaitForExit();
        auto u = WaitForQuestion();
        ASSERT_TRUE(u);
        const Outcome out = AnswerYesAndCollect(*u);
        EXPECT_TRUE(out.closing) << ::testing::PrintToString(out.notes);
    }
    EXPECT_EQ(uia::ReadFileBytes("C:\\Demo8\\tav_sentinel.txt"), "bleibt");
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
}

TEST_F(Guard, TheUninstallerRemovesTheFolderItsCallerStartedIn) {
    // A front end in the installation folder, and a temp folder with a blank
    // and a short name: the uninstaller still knows its own path and can
    // remove the folder, which nobody keeps open.
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

TEST_F(Guard, KillByPatternNeverEmptiesAProtectedFolder) {
    for (const auto& cwd : kWorkingFolders) {
        auto spellings = ProtectedSpellings();
        for (const auto& spelling : CallerSpellings(cwd)) spellings.push_back(spelling);
        for (const auto& spelling : spellings) {
            RunToEnd("c,kill," + Join(spelling, "*.*"), cwd);
            EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{}) << spelling << " from " << cwd;
        }
        // Names every file, relative to the working folder or its drive.
        for (const char* pattern : {"*.*", "*", "*.???", "\\*.*", "\\*", "?*", "C:*.*", ".\\*.txt\\..\\*.*"}) {
            RunToEnd(std::string("c,kill,") + pattern, cwd);
            EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{}) << pattern << " from " << cwd;
        }
        for (const auto& folder : FoldersWithoutPatterns()) {
            RunToEnd("c,kill," + Join(folder, "tav_sentinel.*"), cwd);
            RunToEnd("c,kill," + Join(folder, "tav_*.txt"), cwd);
            EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{}) << folder << " from " << cwd;
        }
    }
}

TEST_F(Guard, KillOfEveryNameSparesTheFolderTheProgramRunsInAndFrom) {
    // A copy of the program in a front end's folder, started there: neither
    // it nor what lies beside it goes; a pattern that names some files does.
    const std::string folder = "D:\\Spiel";
    ASSERT_TRUE(uia::MakeFolders(folder));
    const std::string program = folder + "\\Tavrino2.exe";
    ASSERT_TRUE(::CopyFileA(uia::MainProgram().c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\liesmich.txt", "bleibt"));
    for (const auto& [operand, cwd] : {std::pair{std::string("*.*"), folder}, std::pair{folder + "\\*", folder},
                                       std::pair{folder + "\\*.*", kWorkingFolders[1]}}) {
        uia::Process p = uia::Start(program, "c,kill," + operand, cwd);
        ASSERT_TRUE(p.Started());
        EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u);
        EXPECT_TRUE(uia::FileExists(program)) << operand << " from " << cwd;
        EXPECT_EQ(uia::ReadFileBytes(folder + "\\liesmich.txt"), "bleibt") << operand << " from " << cwd;
    }
    uia::Process p = uia::Start(program, "c,kill,*.txt", folder);
    EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u);
    EXPECT_FALSE(uia::FileExists(folder + "\\liesmich.txt"));
    EXPECT_TRUE(uia::FileExists(program));
}

TEST_F(Guard, KillLeavesWhatALinkAmongItsMatchesLeadsTo) {
    // The harness makes D:\Verweise\Kill\verweis.tmp, a symbolic link to
    // C:\Gesendet\Dokument.tmp. The link may go as a link; the document stays.
    const std::string folder = "D:\\Verweise\\Kill";
    ASSERT_EQ(uia::ReadFileBytes("C:\\Gesendet\\Dokument.tmp"), "bleibt") << "the harness makes this document";
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\a.tmp", "weg"));
    RunQuietly("c,kill," + folder + "\\*.tmp", kWorkingFolders[0]);
    EXPECT_FALSE(uia::FileExists(folder + "\\a.tmp"));
    RunQuietly("c,kill," + folder + "\\verweis.tmp", kWorkingFolders[1]);
    EXPECT_EQ(uia::ReadFileBytes("C:\\Gesendet\\Dokument.tmp"), "bleibt");
}

TEST_F(Guard, TheProgramFilesFoldersStayWhateverTheEnvironmentSays) {
    // Started without any Program Files variable (the 32-bit build then has
    // no other name for the 64-bit folders than the registry's).
    const EnvironmentChanges without = {
        {"ProgramW6432", std::nullopt},       {"ProgramFiles", std::nullopt},
        {"ProgramFiles(x86)", std::nullopt},  {"CommonProgramW6432", std::nullopt},
        {"CommonProgramFiles", std::nullopt}, {"CommonProgramFiles(x86)", std::nullopt}};
    for (const auto& cwd : kWorkingFolders)
        for (const char* folder : {"C:\\Program Files", "C:\\Program Files\\Common Files", "C:\\Program Files (x86)",
                                   "C:\\Program Files (x86)\\Common Files", "C:\\PROGRA~1"}) {
            for (const std::string verb : {"c,killfolder,", "c,kill,"}) {
                const std::string operand = verb == "c,kill," ? Join(folder, "*.txt") : std::string(folder);
                uia::Process p = RunMainWithEnvironment(verb + operand, without, cwd);
                ASSERT_TRUE(p.Started()) << p.StartError();
                EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u) << folder;
            }
            EXPECT_EQ(sentinels_.Missing(), std::vector<std::string>{}) << folder << " from " << cwd;
        }
}

TEST_F(Guard, ATempFolderInTheWindowsFolderOrAboveItOpensNothing) {
    const std::string windows = ShellFolder(CSIDL_WINDOWS);
    const std::string logo = windows + "\\Branding\\Logo";
    ASSERT_TRUE(uia::MakeFolders(logo));
    ASSERT_TRUE(uia::WriteFileBytes(logo + "\\logo.txt", "bleibt"));
    for (const std::string& temp : {windows, windows + "\\", std::string("C:\\"), windows + "\\Branding",
                                    windows + "\\Fonts", windows + "\\system32"}) {
        const EnvironmentChanges changes = {{"TEMP", temp}, {"TMP", temp}};
        for (const std::string& parameters : {"c,killfolder," + logo, "c,killfolder," + windows + "\\Branding",
                                              "c,kill," + logo + "\\*.txt"}) {
            uia::Process p = RunMainWithEnvironment(parameters, changes);
            ASSERT_TRUE(p.Started()) << p.StartError();
            EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u) << parameters;
            EXPECT_EQ(uia::ReadFileBytes(logo + "\\logo.txt"), "bleibt") << "TEMP=" << temp << ": " << parameters;
        }
    }
    // The Windows folder's own temp folder (a service's TEMP) still opens
    // what lies below it.
    const std::string setup = windows + "\\Temp\\Setup";
    MakeFolderWithFiles(setup);
    const std::string temp = windows + "\\Temp";
    uia::Process p = RunMainWithEnvironment("c,killfolder," + setup, {{"TEMP", temp}, {"TMP", temp}});
    EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u);
    EXPECT_FALSE(uia::FolderExists(setup));
    uia::RemoveTree(windows + "\\Branding");
}

TEST_F(Guard, EveryProfileTheRegistryListsStays) {
    // A profile kept outside the profiles folder, known only to the registry.
    const std::string profile = "D:\\Profile\\Berta";
    ASSERT_TRUE(uia::MakeFolders(profile + "\\Dokumente"));
    ASSERT_TRUE(uia::WriteFileBytes(profile + "\\notiz.txt", "bleibt"));
    const char* key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-0-0-0-1234";
    HKEY created = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                                &created, nullptr),
              ERROR_SUCCESS);
    {
        const tav::UniqueRegKey owned(created);
        ASSERT_EQ(::RegSetValueExA(created, "ProfileImagePath", 0, REG_EXPAND_SZ,
                                   reinterpret_cast<const BYTE*>(profile.c_str()),
                                   static_cast<DWORD>(profile.size() + 1)),
                  ERROR_SUCCESS);
    }
    for (const auto& cwd : kWorkingFolders) {
        RunQuietly("c,killfolder," + profile, cwd);
        RunToEnd("c,kill," + profile + "\\*.txt", cwd);
        const Outcome out = RunUninstaller(profile, cwd);
        ASSERT_FALSE(out.notes.empty());
        EXPECT_EQ(out.notes[0].rfind(kRefusal, 0), 0u) << out.notes[0];
        EXPECT_EQ(uia::ReadFileBytes(profile + "\\notiz.txt"), "bleibt") << cwd;
    }
    // A folder in it is an ordinary folder.
    RunQuietly("c,killfolder," + profile + "\\Dokumente");
    EXPECT_FALSE(uia::FolderExists(profile + "\\Dokumente"));
    ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
}
