// "killfolder" on real files: read-only files, and the folders it refuses.
// (The other file actions are run by the reference's examples.)
#include <windows.h>
#include <shlobj.h>

#include "tests/win/system_test.h"

using namespace systest;

namespace {

void Put(const std::string& path, const std::string& bytes, DWORD attributes = 0) {
    ASSERT_TRUE(uia::WriteFileBytes(path, bytes)) << path;
    if (attributes) ::SetFileAttributesA(path.c_str(), attributes);
}

std::string Read(const std::string& path) { return uia::ReadFileBytes(path).value_or("<missing>"); }

std::string ShellFolder(int csidl) {
    char buffer[MAX_PATH] = {};
    return ::SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer) == S_OK ? buffer : "";
}

// Runs the main program; it ends without showing any window.
void RunSilently(const std::string& parameters, const std::string& cwd = "C:\\") {
    uia::Process p = RunMain(parameters, cwd);
    ASSERT_TRUE(p.Started());
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{200})) << parameters;
    EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u) << parameters;
}

}  // namespace

TEST(KillFolder, RemovesReadOnlyFilesSubfoldersAndTheFolder) {
    const std::string scratch = ScratchFolder();
    const std::string folder = scratch + "\\weg";
    uia::MakeFolders(folder + "\\unter");
    Put(folder + "\\schreibgeschuetzt.txt", "R", FILE_ATTRIBUTE_READONLY);
    Put(folder + "\\unter\\b.txt", "B", FILE_ATTRIBUTE_READONLY);
    Put(scratch + "\\nachbar.txt", "bleibt");
    RunSilently("c,killfolder,  " + folder + "\\ ");
    EXPECT_FALSE(uia::FolderExists(folder));
    EXPECT_EQ(Read(scratch + "\\nachbar.txt"), "bleibt");
}

TEST(KillFolder, GuardedFoldersAndShortOperandsDeleteNothing) {
    const std::string scratch = ScratchFolder();
    uia::MakeFolders(scratch + "\\x");
    const std::string profile = ShellFolder(CSIDL_PROFILE);
    const std::string users = profile.substr(0, profile.find_last_of('\\'));
    const struct {
        std::string operand, folder, cwd = "C:\\";  // folder: where the sentinel lies
    } cases[] = {
        {"C:\\", "C:\\"},
        {"D:\\", "D:\\"},
        {"C:/windows/", "C:\\windows"},
        {"C:\\users\\..\\windows\\system32\\.", "C:\\windows\\system32"},
        {ShellFolder(CSIDL_PROGRAM_FILES), ShellFolder(CSIDL_PROGRAM_FILES)},
        {" " + profile + "\\ ", profile},
        {users, users},
        {ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_DESKTOPDIRECTORY)},
        {ShellFolder(CSIDL_PERSONAL), ShellFolder(CSIDL_PERSONAL)},
        {ShellFolder(CSIDL_PROGRAMS), ShellFolder(CSIDL_PROGRAMS)},
        {"C:", scratch, scratch},  // the current folder of drive C
        {"  x ", scratch + "\\x", scratch},
    };
    for (const auto& c : cases) {
        const std::string sentinel = c.folder + (c.folder.back() == '\\' ? "" : "\\") + "tav_sentinel.txt";
        Put(sentinel, "bleibt");
        RunSilently("c,killfolder," + c.operand, c.cwd);
        EXPECT_EQ(Read(sentinel), "bleibt") << c.operand;
        ::DeleteFileA(sentinel.c_str());
    }
}

