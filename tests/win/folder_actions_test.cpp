// "copydir" and "killfolder" on real folders, where the reference's examples
// cannot reach: single entries, hidden and read-only files, relative operands,
// sources that cannot be copied, files that cannot be deleted (for the
// uninstaller's removal as well). (The guard of "killfolder" has its own suite.)
#include <windows.h>

#include <chrono>
#include <utility>
#include <vector>

#include "tests/support/fixtures.h"
#include "tests/support/uninstaller_session.h"

using namespace systest;

namespace {

void Put(const std::string& path, const std::string& bytes, DWORD attributes = 0) {
    ASSERT_TRUE(uia::WriteFileBytes(path, bytes)) << path;
    if (attributes) ::SetFileAttributesA(path.c_str(), attributes);
}

// Runs "copydir" and returns its result section once the hand-over has removed
// it again, which is not before the front end has had its time to read it.
std::string CopyDirResult(const std::string& parameters, const std::string& cwd = uia::FrontEndFolder()) {
    uia::Process p = RunMain(parameters, cwd);
    const auto t0 = std::chrono::steady_clock::now();
    const auto result = uia::WaitForFile(ResultFile());
    EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000})) << parameters;
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1500));
    EXPECT_EQ(p.WaitForExit(uia::Ms{3000}), 0u) << parameters;
    return result.value_or("<none>");
}

}  // namespace

TEST(CopyDir, CreatesTheMissingTargetCopiesEverythingAndReportsTheResult) {
    const std::string scratch = ScratchFolder();
    // Sources with one file, one folder, or several entries; the target and
    // its parent are missing.
    const struct {
        std::string name;
        std::vector<std::pair<std::string, std::string>> files;  // relative path, contents
    } cases[] = {
        {"eine Datei", {{"nur.txt", "N"}}},
        {"ein Ordner", {{"unter\\tiefer\\c.txt", "C"}}},
        {"mehrere", {{"versteckt.txt", "H"}, {"unter\\tiefer\\c.txt", "C"}, {"b.txt", "B"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = scratch + "\\" + c.name, target = scratch + "\\neu " + c.name + "\\ziel";
        for (const auto& [file, bytes] : c.files) {
            const std::string path = source + "\\" + file;
            uia::MakeFolders(path.substr(0, path.find_last_of('\\')));
            Put(path, bytes, file == "versteckt.txt" ? FILE_ATTRIBUTE_HIDDEN : 0);
        }
        EXPECT_EQ(CopyDirResult("c,copydir, " + source + " , " + target + " "), "[CopyDir]\r\nError=0\r\n");
        EXPECT_TRUE(uia::FolderExists(target));
        for (const auto& [file, bytes] : c.files) EXPECT_EQ(Contents(target + "\\" + file), bytes) << file;
    }
}

TEST(CopyDir, RelativeOperandsMeanFoldersInTheWorkingFolder) {
    const std::string frontEnd = uia::FrontEndFolder();
    uia::RemoveTree(frontEnd + "\\Vorlage");
    uia::RemoveTree(frontEnd + "\\Kopie");
    uia::MakeFolders(frontEnd + "\\Vorlage\\unter");
    Put(frontEnd + "\\Vorlage\\unter\\a.txt", "A");
    const std::string source = ScratchFolder() + "\\quelle";
    uia::MakeFolders(source);
    Put(source + "\\b.txt", "B");
    // A relative destination, then a relative source: both resolve against the
    // front end's folder, as an absolute operand there would.
    EXPECT_EQ(CopyDirResult("c,copydir," + source + ",Kopie\\eins", frontEnd), "[CopyDir]\r\nError=0\r\n");
    EXPECT_EQ(Contents(frontEnd + "\\Kopie\\eins\\b.txt"), "B");
    EXPECT_EQ(CopyDirResult("c,copydir,Vorlage,.\\Kopie\\zwei", frontEnd), "[CopyDir]\r\nError=0\r\n");
    EXPECT_EQ(Contents(frontEnd + "\\Kopie\\zwei\\unter\\a.txt"), "A");
    uia::RemoveTree(frontEnd + "\\Vorlage");
    uia::RemoveTree(frontEnd + "\\Kopie");
}

// "D:" alone is the current folder of drive D, but "D:\*.*" is its root: a
// bare drive as the source copies the root, also when the front end runs in a
// folder of that drive.
TEST(CopyDir, ABareDriveAsTheSourceCopiesTheRootOfThatDrive) {
    const std::string frontEnd = uia::FrontEndFolder();  // D:\Front End
    const std::string target = ScratchFolder() + "\\Copie";
    Put("D:\\wurzel.txt", "W");
    ASSERT_TRUE(uia::MakeFolders("D:\\Wurzelordner\\tiefer"));
    Put("D:\\Wurzelordner\\tiefer\\b.txt", "B");
    Put(frontEnd + "\\nur-hier.txt", "F");
    EXPECT_EQ(CopyDirResult("c,copydir, D: ," + target, frontEnd), "[CopyDir]\r\nError=0\r\n");
    EXPECT_EQ(Contents(target + "\\wurzel.txt"), "W");
    EXPECT_EQ(Contents(target + "\\Wurzelordner\\tiefer\\b.txt"), "B");
    // The working folder arrives as one of the root's folders, not as the top.
    EXPECT_EQ(Contents(target + "\\Front End\\nur-hier.txt"), "F");
    EXPECT_FALSE(uia::FileExists(target + "\\nur-hier.txt"));
    ::DeleteFileA("D:\\wurzel.txt");
    ::DeleteFileA((frontEnd + "\\nur-hier.txt").c_str());
    uia::RemoveTree("D:\\Wurzelordner");
}

TEST(CopyDir, AnEmptyDestinationOrASourceThatIsNoReadableFolderCopiesNothingAndReportsTheFailure) {
    const std::string scratch = ScratchFolder();
    Put(scratch + "\\a.txt", "A");
    const std::string target = scratch + "\\ziel\\tiefer";
    for (const std::string& parameters :
         {"c,copydir," + scratch + ",  ", "c,copydir," + scratch + "\\fehlt," + target,
          "c,copydir," + scratch + "\\a.txt," + target,
          "c,copydir,F:\\," + target}) {  // a drive that is not ready
        EXPECT_EQ(CopyDirResult(parameters, scratch), "[CopyDir]\r\nError=1\r\n") << parameters;
        EXPECT_FALSE(uia::FolderExists(scratch + "\\ziel")) << parameters;
    }
}

// A file the shell cannot read (held open without sharing) leaves the copy
// incomplete: the user is told, and the front end gets the failure.
TEST(CopyDir, ACopyThatCannotCopyEveryFileShowsTheMessageAndReportsTheFailure) {
    const std::string scratch = ScratchFolder(), source = scratch + "\\quelle";
    uia::MakeFolders(source);
    Put(source + "\\a.txt", "A");
    Put(source + "\\gesperrt.txt", "G");
    const tav::UniqueFile held(::CreateFileA((source + "\\gesperrt.txt").c_str(), GENERIC_READ, 0,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    uia::Process p = RunMain("c,copydir," + source + "," + scratch + "\\ziel");
    // The shell may report the file in a box of its own first; that one is cancelled.
    std::vector<std::string> boxes;
    while (boxes.size() < 5) {
        const auto box = uia::WaitForMessageBox(p.Pid(), uia::Ms{20000});
        if (!box) break;
        boxes.push_back(box->title + ": " + box->text);
        const bool ours = box->title == "Fehler";
        uia::AnswerMessageBox(box->hwnd, ours ? IDOK : IDCANCEL);
        uia::WaitUntil([&] { return !::IsWindow(box->hwnd) || !::IsWindowVisible(box->hwnd); });
        if (ours) break;
    }
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), "Fehler: Es konnten nicht alle Dateien kopiert werden.")
        << ::testing::PrintToString(boxes);
    EXPECT_EQ(uia::WaitForFile(ResultFile()), "[CopyDir]\r\nError=1\r\n");
    EXPECT_EQ(p.WaitForExit(), 0u);
}

TEST(KillFolder, RemovesReadOnlyFilesSubfoldersAndTheFolder) {
    const std::string scratch = ScratchFolder();
    const std::string folder = scratch + "\\weg";
    uia::MakeFolders(folder + "\\unter");
    Put(folder + "\\schreibgeschuetzt.txt", "R", FILE_ATTRIBUTE_READONLY);
    Put(folder + "\\unter\\b.txt", "B", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(MakeWideFile(Wide(folder) + L"\\" + kPolishName, FILE_ATTRIBUTE_READONLY));
    Put(scratch + "\\nachbar.txt", "bleibt");
    RunQuietly("c,killfolder,  " + folder + "\\ ");
    EXPECT_FALSE(uia::FolderExists(folder));
    EXPECT_EQ(Contents(scratch + "\\nachbar.txt"), "bleibt");
}

TEST(KillFolder, AFileHeldOpenStaysWithItsFoldersAndTheFailureIsReported) {
    const std::string folder = ScratchFolder() + "\\weg";
    const std::string held = folder + "\\tief\\offen\\gehalten.txt";
    const std::string readOnly = folder + "\\tief\\tiefer\\noch tiefer\\schreibgeschuetzt.txt";
    const std::string error = "Fehler: Es konnten nicht alle Dateien gelöscht werden.";
    for (const bool uninstaller : {false, true}) {
        SCOPED_TRACE(uninstaller ? "uninstaller" : "killfolder");
        uia::MakeFolders(folder + "\\tief\\offen");
        uia::MakeFolders(folder + "\\tief\\tiefer\\noch tiefer");
        Put(folder + "\\a.txt", "A");
        Put(folder + "\\tief\\offen\\b.txt", "B");
        Put(readOnly, "R", FILE_ATTRIBUTE_READONLY);
        Put(held, "H");
        // Another program has it open and shares nothing.
        const tav::UniqueFile holder(::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        if (uninstaller) {
            RunMain("c,u/" + folder).WaitForExit();
            auto u = WaitForQuestion();
            ASSERT_TRUE(u);
            const Outcome out = AnswerYesAndCollect(*u);
            ASSERT_FALSE(out.notes.empty());
            EXPECT_EQ(out.notes[0], error);
            EXPECT_EQ(out.closing, "Deinstallation erfolgreich beendet!");
        } else {
            EXPECT_EQ(RunAnsweringBoxes("c,killfolder," + folder), std::vector<std::string>{error});
        }
        EXPECT_TRUE(uia::FileExists(held));
        EXPECT_EQ(Entries(folder), std::vector<std::string>{"tief"});
        EXPECT_EQ(Entries(folder + "\\tief"), std::vector<std::string>{"offen"});
        EXPECT_EQ(Entries(folder + "\\tief\\offen"), std::vector<std::string>{"gehalten.txt"});
    }
}
