// "killfolder", "kill" and "copydir" on real files, where the reference's
// examples cannot reach: read-only files, names beyond code page 1252, and
// the copy's operands.
#include <windows.h>

#include <chrono>
#include <utility>
#include <vector>

#include "tests/support/system_test.h"

using namespace systest;

namespace {

void Put(const std::string& path, const std::string& bytes, DWORD attributes = 0) {
    ASSERT_TRUE(uia::WriteFileBytes(path, bytes)) << path;
    if (attributes) ::SetFileAttributesA(path.c_str(), attributes);
}

std::string Read(const std::string& path) { return uia::ReadFileBytes(path).value_or("<missing>"); }

// A file whose name the ANSI code page cannot spell ("Łódź.txt" in code page 1252 is "?ód?.txt").
const std::wstring kPolishName = L"\u0141\u00f3d\u017a.txt";
bool PutWide(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const tav::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             attributes, nullptr));
    return static_cast<bool>(file);
}
bool WideExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
std::wstring Wide(const std::string& ansi) { return std::wstring(ansi.begin(), ansi.end()); }

// Runs the main program; it ends without showing any window.
void RunSilently(const std::string& parameters, const std::string& cwd = uia::FrontEndFolder()) {
    uia::Process p = RunMain(parameters, cwd);
    ASSERT_TRUE(p.Started());
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{200})) << parameters;
    EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u) << parameters;
}

// Runs "copydir" and returns its result section once the hand-over has removed it again.
std::string CopyDirResult(const std::string& parameters,
                          const std::string& cwd = uia::FrontEndFolder()) {
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
        for (const auto& [file, bytes] : c.files) EXPECT_EQ(Read(target + "\\" + file), bytes) << file;
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
    EXPECT_EQ(Read(frontEnd + "\\Kopie\\eins\\b.txt"), "B");
    EXPECT_EQ(CopyDirResult("c,copydir,Vorlage,.\\Kopie\\zwei", frontEnd), "[CopyDir]\r\nError=0\r\n");
    EXPECT_EQ(Read(frontEnd + "\\Kopie\\zwei\\unter\\a.txt"), "A");
    uia::RemoveTree(frontEnd + "\\Vorlage");
    uia::RemoveTree(frontEnd + "\\Kopie");
}

TEST(CopyDir, EmptyMissingOrNoFolderSourceCopiesNothingAndReportsTheFailure) {
    const std::string scratch = ScratchFolder();
    Put(scratch + "\\a.txt", "A");
    const std::string target = scratch + "\\ziel\\tiefer";
    // An empty source would be "\*.*", the root of the current drive.
    for (const std::string& parameters :
         {"c,copydir,   ," + target, "c,copydir," + scratch + ",  ",
          "c,copydir," + scratch + "\\fehlt," + target, "c,copydir," + scratch + "\\a.txt," + target,
          "c,copydir,F:\\," + target}) {  // a drive that is not ready
        EXPECT_EQ(CopyDirResult(parameters, scratch), "[CopyDir]\r\nError=1\r\n") << parameters;
        EXPECT_FALSE(uia::FolderExists(scratch + "\\ziel")) << parameters;
    }
}

TEST(KillFolder, RemovesReadOnlyFilesSubfoldersAndTheFolder) {
    const std::string scratch = ScratchFolder();
    const std::string folder = scratch + "\\weg";
    uia::MakeFolders(folder + "\\unter");
    Put(folder + "\\schreibgeschuetzt.txt", "R", FILE_ATTRIBUTE_READONLY);
    Put(folder + "\\unter\\b.txt", "B", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(PutWide(Wide(folder) + L"\\" + kPolishName, FILE_ATTRIBUTE_READONLY));
    Put(scratch + "\\nachbar.txt", "bleibt");
    RunSilently("c,killfolder,  " + folder + "\\ ");
    EXPECT_FALSE(uia::FolderExists(folder));
    EXPECT_EQ(Read(scratch + "\\nachbar.txt"), "bleibt");
}

TEST(Kill, DeletesNamesTheCodePageCannotSpell) {
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(PutWide(Wide(scratch) + L"\\" + kPolishName));
    RunSilently("c,kill," + scratch + "\\*.txt");
    EXPECT_FALSE(WideExists(Wide(scratch) + L"\\" + kPolishName));
}
