// The file actions "kill", "killfolder", "copydir", "copy", "rename" and "ini",
// run as the front end runs them, on real files.
#include <windows.h>
#include <shlobj.h>

#include <chrono>

#include "tests/win/system_test.h"

using namespace systest;
using Clock = std::chrono::steady_clock;

namespace {

void Put(const std::string& path, const std::string& bytes, DWORD attributes = 0) {
    ASSERT_TRUE(uia::WriteFileBytes(path, bytes)) << path;
    if (attributes) ::SetFileAttributesA(path.c_str(), attributes);
}

std::string Read(const std::string& path) { return uia::ReadFileBytes(path).value_or("<missing>"); }

std::string SpecialFolder(int csidl) {
    char buffer[MAX_PATH] = {};
    return ::SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer) == S_OK ? buffer : "";
}

// Runs the main program and expects it to end without showing any window.
void RunSilently(const std::string& parameters, const std::string& cwd = "C:\\") {
    uia::Process p = RunMain(parameters, cwd);
    ASSERT_TRUE(p.Started());
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{200})) << parameters;
    EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u) << parameters;
}

// Starts the main program without waiting for it to become idle: a run that
// never waits for input would be over, result file and all, before such a
// wait returned.
uia::Process StartMain(const std::string& parameters, const std::string& cwd = "C:\\") {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = "\"" + uia::MainProgram() + "\" " + parameters;
    if (!::CreateProcessA(uia::MainProgram().c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, cwd.c_str(), &si, &pi))
        return {};
    ::CloseHandle(pi.hThread);
    return uia::Process(pi.hProcess, pi.dwProcessId);
}

}  // namespace

// --- copydir -------------------------------------------------------------------

TEST(CopyDir, CreatesTheMissingTargetCopiesEverythingAndHoldsTheResultTwoSeconds) {
    const std::string scratch = ScratchFolder();
    const std::string source = scratch + "\\quelle", target = scratch + "\\neu\\ziel";
    uia::MakeFolders(source + "\\unter\\tiefer");
    Put(source + "\\a.txt", "A");
    Put(source + "\\versteckt.txt", "H", FILE_ATTRIBUTE_HIDDEN);
    Put(source + "\\unter\\b.txt", "B");
    Put(source + "\\unter\\tiefer\\c.txt", "C");

    uia::Process p = StartMain("c,copydir, " + source + " , " + target + " ");
    const auto t0 = Clock::now();
    const auto result = uia::WaitForFile(ResultFile());
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, "[CopyDir]\r\nError=0\r\n");
    EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000}));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(1500));
    EXPECT_EQ(p.WaitForExit(uia::Ms{3000}), 0u);

    EXPECT_EQ(Read(target + "\\a.txt"), "A");
    EXPECT_EQ(Read(target + "\\versteckt.txt"), "H");
    EXPECT_EQ(Read(target + "\\unter\\b.txt"), "B");
    EXPECT_EQ(Read(target + "\\unter\\tiefer\\c.txt"), "C");
}

TEST(CopyDir, ReplacesFilesThatAreThereAlready) {
    const std::string scratch = ScratchFolder();
    uia::MakeFolders(scratch + "\\q");
    uia::MakeFolders(scratch + "\\z");
    Put(scratch + "\\q\\a.txt", "neu");
    Put(scratch + "\\z\\a.txt", "alt");
    Put(scratch + "\\z\\bleibt.txt", "x");
    EXPECT_EQ(RunMainToEnd("c,copydir," + scratch + "\\q," + scratch + "\\z"), 0u);
    EXPECT_EQ(Read(scratch + "\\z\\a.txt"), "neu");
    EXPECT_EQ(Read(scratch + "\\z\\bleibt.txt"), "x");
}

TEST(CopyDir, EmptyOrMissingOperandsCopyNothingAndReportTheFailure) {
    const std::string scratch = ScratchFolder();
    Put(scratch + "\\a.txt", "A");
    const std::string target = scratch + "\\ziel";
    // An empty source would be "\*.*", the root of the current drive.
    for (const std::string& parameters :
         {"c,copydir,," + target, "c,copydir,   ," + target, "c,copydir," + scratch + ",  ",
          "c,copydir," + scratch, std::string("c,copydir")}) {
        uia::Process p = StartMain(parameters, scratch);
        const auto result = uia::WaitForFile(ResultFile());
        EXPECT_EQ(result.value_or("<none>"), "[CopyDir]\r\nError=1\r\n") << parameters;
        EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000})) << parameters;
        EXPECT_EQ(p.WaitForExit(uia::Ms{3000}), 0u) << parameters;
        EXPECT_FALSE(uia::FolderExists(target)) << parameters;
    }
}

// --- killfolder ----------------------------------------------------------------

TEST(KillFolder, RemovesFilesReadOnlyFilesSubfoldersAndTheFolder) {
    const std::string scratch = ScratchFolder();
    const std::string folder = scratch + "\\weg";
    uia::MakeFolders(folder + "\\unter");
    Put(folder + "\\a.txt", "A");
    Put(folder + "\\schreibgeschuetzt.txt", "R", FILE_ATTRIBUTE_READONLY);
    Put(folder + "\\versteckt.txt", "H", FILE_ATTRIBUTE_HIDDEN);
    Put(folder + "\\unter\\b.txt", "B", FILE_ATTRIBUTE_READONLY);
    Put(scratch + "\\nachbar.txt", "bleibt");

    RunSilently("c,killfolder,  " + folder + " ");
    EXPECT_FALSE(uia::FolderExists(folder));
    EXPECT_FALSE(uia::FileExists(folder + "\\schreibgeschuetzt.txt"));
    EXPECT_EQ(Read(scratch + "\\nachbar.txt"), "bleibt");
    EXPECT_FALSE(uia::FileExists(ResultFile()));
}

TEST(KillFolder, TrailingBackslashAndMissingFolder) {
    const std::string scratch = ScratchFolder();
    uia::MakeFolders(scratch + "\\weg\\unter");
    Put(scratch + "\\weg\\unter\\a.txt", "A");
    RunSilently("c,killfolder," + scratch + "\\weg\\");
    EXPECT_FALSE(uia::FileExists(scratch + "\\weg\\unter\\a.txt"));

    Put(scratch + "\\bleibt.txt", "x");
    uia::Process p = RunMain("c,killfolder," + scratch + "\\gibtsnicht");
    // The shell may answer a missing folder with its own box or not at all;
    // nothing outside the operand is touched either way.
    if (const auto box = uia::WaitForMessageBox(p.Pid(), uia::Ms{1500})) {
        uia::AnswerMessageBox(box->hwnd, IDOK);
    }
    EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u);
    EXPECT_EQ(Read(scratch + "\\bleibt.txt"), "x");
}

TEST(KillFolder, ProtectedFoldersAreNeverTouched) {
    const std::string profile = SpecialFolder(CSIDL_PROFILE);
    const std::vector<std::string> guarded = {
        "C:\\",
        "D:\\",
        "C:\\windows",
        "C:\\windows\\system32",
        SpecialFolder(CSIDL_PROGRAM_FILES),
        profile,
        profile.substr(0, profile.find_last_of('\\')),  // the folder above the profiles
        SpecialFolder(CSIDL_DESKTOPDIRECTORY),
        SpecialFolder(CSIDL_PERSONAL),
        SpecialFolder(CSIDL_PROGRAMS),
    };
    for (const auto& folder : guarded) {
        ASSERT_TRUE(uia::FolderExists(folder)) << folder;
        const std::string sentinel =
            folder + (folder.back() == '\\' ? "" : "\\") + "tav_sentinel.txt";
        Put(sentinel, "bleibt");
        const std::string plain = folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
        for (const std::string& operand : {plain + "\\", " " + plain + " ", plain}) {
            if (operand.size() < 3) continue;  // "C:" is the short-operand case below
            RunSilently("c,killfolder," + operand);
            EXPECT_EQ(Read(sentinel), "bleibt") << operand;
            EXPECT_TRUE(uia::FolderExists(folder)) << operand;
        }
        ::DeleteFileA(sentinel.c_str());
    }
    // A way round through "." and ".." and forward slashes is no way round.
    Put("C:\\windows\\tav_sentinel.txt", "bleibt");
    RunSilently("c,killfolder,C:\\users\\..\\windows\\.");
    RunSilently("c,killfolder,C:/windows/");
    EXPECT_EQ(Read("C:\\windows\\tav_sentinel.txt"), "bleibt");
    ::DeleteFileA("C:\\windows\\tav_sentinel.txt");
}

TEST(KillFolder, OperandsOfOneOrTwoCharactersDeleteNothing) {
    const std::string scratch = ScratchFolder();
    Put(scratch + "\\a.txt", "A");
    uia::MakeFolders(scratch + "\\x");
    Put(scratch + "\\x\\b.txt", "B");
    for (const char* parameters : {"c,killfolder", "c,killfolder,", "c,killfolder,x",
                                   "c,killfolder,C:", "c,killfolder,  x ", "c,killfolder,\\"}) {
        RunSilently(parameters, scratch);
        EXPECT_EQ(Read(scratch + "\\a.txt"), "A") << parameters;
        EXPECT_EQ(Read(scratch + "\\x\\b.txt"), "B") << parameters;
    }
}

// --- kill, copy, rename ------------------------------------------------------------

TEST(Kill, DeletesOnlyTheMatchingFilesAndNeverFolders) {
    const std::string scratch = ScratchFolder();
    Put(scratch + "\\a.txt", "A");
    Put(scratch + "\\b.txt", "B");
    Put(scratch + "\\c.log", "C");
    uia::MakeFolders(scratch + "\\ordner.txt");
    Put(scratch + "\\ordner.txt\\innen.txt", "I");
    RunSilently("c,kill, " + scratch + "\\*.txt ");
    EXPECT_FALSE(uia::FileExists(scratch + "\\a.txt"));
    EXPECT_FALSE(uia::FileExists(scratch + "\\b.txt"));
    EXPECT_EQ(Read(scratch + "\\c.log"), "C");
    EXPECT_EQ(Read(scratch + "\\ordner.txt\\innen.txt"), "I");

    Put(scratch + "\\x1.dat", "1");
    Put(scratch + "\\x22.dat", "2");
    RunSilently("c,kill," + scratch + "\\x?.dat");
    EXPECT_FALSE(uia::FileExists(scratch + "\\x1.dat"));
    EXPECT_EQ(Read(scratch + "\\x22.dat"), "2");

    // Nothing that matches, a missing operand, a folder as operand: nothing happens.
    RunSilently("c,kill," + scratch + "\\*.nix");
    RunSilently("c,kill," + scratch + "\\ordner.txt");
    RunSilently("c,kill");
    EXPECT_EQ(Read(scratch + "\\ordner.txt\\innen.txt"), "I");
    EXPECT_EQ(Read(scratch + "\\c.log"), "C");
}

TEST(Copy, ReplacesTheDestinationAndIgnoresFailures) {
    const std::string scratch = ScratchFolder();
    Put(scratch + "\\quelle.txt", "neu");
    Put(scratch + "\\ziel.txt", "alt");
    RunSilently("c,copy, " + scratch + "\\quelle.txt , " + scratch + "\\ziel.txt");
    EXPECT_EQ(Read(scratch + "\\ziel.txt"), "neu");

    RunSilently("c,copy," + scratch + "\\fehlt.txt," + scratch + "\\ziel2.txt");
    RunSilently("c,copy," + scratch + "\\quelle.txt," + scratch + "\\fehlt\\ziel.txt");
    RunSilently("c,copy," + scratch + "\\quelle.txt");
    RunSilently("c,copy," + scratch + "\\*.txt," + scratch + "\\alle.txt");
    EXPECT_FALSE(uia::FileExists(scratch + "\\ziel2.txt"));
    EXPECT_FALSE(uia::FolderExists(scratch + "\\fehlt"));
    EXPECT_FALSE(uia::FileExists(scratch + "\\alle.txt"));
}

TEST(Rename, OntoAnExistingNameChangesNothingOtherwiseMoves) {
    const std::string scratch = ScratchFolder();
    Put(scratch + "\\a.txt", "A");
    Put(scratch + "\\b.txt", "B");
    RunSilently("c,rename," + scratch + "\\a.txt," + scratch + "\\b.txt");
    EXPECT_EQ(Read(scratch + "\\a.txt"), "A");
    EXPECT_EQ(Read(scratch + "\\b.txt"), "B");

    uia::MakeFolders(scratch + "\\unter");
    RunSilently("c,rename," + scratch + "\\a.txt," + scratch + "\\unter\\c.txt");
    EXPECT_FALSE(uia::FileExists(scratch + "\\a.txt"));
    EXPECT_EQ(Read(scratch + "\\unter\\c.txt"), "A");

    RunSilently("c,rename," + scratch + "\\unter," + scratch + "\\oben");
    EXPECT_EQ(Read(scratch + "\\oben\\c.txt"), "A");
}

// --- ini -------------------------------------------------------------------------

class ListCopy : public ::testing::Test {
protected:
    void SetUp() override { scratch_ = ScratchFolder(); }
    void TearDown() override { ::DeleteFileA(list_.c_str()); }
    void WriteList(const std::string& text) { Put(list_, text); }

    std::string scratch_;
    const std::string list_ = uia::ProgramsFolder() + "\\tav_liste.txt";
};

TEST_F(ListCopy, CopiesRecordsInOrderSkippingShortLinesAndMissingSources) {
    Put(scratch_ + "\\eins.txt", "1");
    Put(scratch_ + "\\zwei.txt", "2");
    Put(scratch_ + "\\ziel.txt", "alt");
    uia::MakeFolders(scratch_ + "\\aus");
    // Line 1 names a file too: it has no influence. The two records that
    // write ziel.txt show the order; a short line and a missing source are
    // skipped and the run goes on.
    WriteList("C:\\gar\\nicht.txt\r\nQuel:" + scratch_ + "\\eins.txt\r\nZl:" + scratch_ +
              "\\ziel.txt\r\n"
              "2\r\nQuel:" + scratch_ + "\\zwei.txt\r\nZl:" + scratch_ + "\\ziel.txt\r\n"
              "3\r\nkurz\r\nZl:" + scratch_ + "\\kurz.txt\r\n"
              "4\r\nQuel:" + scratch_ + "\\fehlt.txt\r\nZl:" + scratch_ + "\\fehlt2.txt\r\n"
              "5\r\nQuel:" + scratch_ + "\\eins.txt\r\nZl:" + scratch_ + "\\aus\\eins.txt\r\n"
              "6\r\nQuel:" + scratch_ + "\\eins.txt\r\nZl:" + scratch_ + "\\keinordner\\x.txt");
    RunSilently("c,ini, tav_liste.txt ");
    EXPECT_EQ(Read(scratch_ + "\\ziel.txt"), "2");
    EXPECT_EQ(Read(scratch_ + "\\aus\\eins.txt"), "1");
    EXPECT_FALSE(uia::FileExists(scratch_ + "\\kurz.txt"));
    EXPECT_FALSE(uia::FileExists(scratch_ + "\\fehlt2.txt"));
    EXPECT_FALSE(uia::FolderExists(scratch_ + "\\keinordner"));
    EXPECT_FALSE(uia::FileExists(ResultFile()));
}

TEST_F(ListCopy, CopiesEveryRecordOfAListLongerThan1001Records) {
    Put(scratch_ + "\\q.txt", "q");
    std::string text;
    for (int i = 0; i < 1100; ++i)
        text += "n\r\nQuel:" + scratch_ + "\\q.txt\r\nZl:" + scratch_ + "\\d" + std::to_string(i) +
                ".txt\r\n";
    WriteList(text);
    RunSilently("c,ini,tav_liste.txt");
    EXPECT_EQ(Read(scratch_ + "\\d0.txt"), "q");
    EXPECT_EQ(Read(scratch_ + "\\d1000.txt"), "q");
    EXPECT_EQ(Read(scratch_ + "\\d1001.txt"), "q");
    EXPECT_EQ(Read(scratch_ + "\\d1099.txt"), "q");
}

TEST_F(ListCopy, MissingOrEmptyListCopiesNothingAndEnds) {
    RunSilently("c,ini,gibtsnicht.txt");
    RunSilently("c,ini");
    RunSilently("c,ini,");
    WriteList("");
    RunSilently("c,ini,tav_liste.txt");
}
