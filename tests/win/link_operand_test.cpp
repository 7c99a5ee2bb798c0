// "killfolder" and the uninstaller given a link to a folder as their operand:
// the folder it leads to goes, then the link, so that nothing is left at the
// operand's path; nothing beside either is touched. The harness makes the
// links (TAV_OPERAND_LINKS): D:\Verweise\Ordner1 -> C:\Verweisziel\Eins,
// D:\Verweise\Ordner2 -> C:\Verweisziel\Zwei, D:\Verweise\Ordner3 ->
// C:\Verweisziel\Drei.
#include <shlobj.h>

#include "tests/support/fixtures.h"
#include "tests/support/uninstaller_session.h"

using namespace systest;

namespace {

// True when nothing at all stands at `path`, not even a link that leads
// nowhere (which some platforms neither list nor open): a new file can be
// made there. The probe goes again when it closes.
bool NothingAt(const std::string& path) {
    const tav::UniqueFile probe(::CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                              FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(probe);
}

// The folder a link leads to, filled; sentinels beside it and beside the link.
void FillLinkedFolder(const std::string& folder) {
    MakeFolderWithFiles(folder);
    ASSERT_TRUE(uia::WriteFileBytes("C:\\Verweisziel\\daneben.txt", "bleibt"));
    ASSERT_TRUE(uia::WriteFileBytes("D:\\Verweise\\daneben.txt", "bleibt"));
}

void ExpectSentinels() {
    EXPECT_EQ(Contents("C:\\Verweisziel\\daneben.txt"), "bleibt");
    EXPECT_EQ(Contents("D:\\Verweise\\daneben.txt"), "bleibt");
}

}  // namespace

TEST(LinkOperand, KillFolderRemovesTheFolderAndThenTheLink) {
    const std::string link = "D:\\Verweise\\Ordner1", folder = "C:\\Verweisziel\\Eins";
    ASSERT_TRUE(NothingAt(folder)) << "the harness makes the link, the test its folder";
    FillLinkedFolder(folder);
    ASSERT_TRUE(uia::FileExists(link + "\\a.txt")) << "the link leads to the folder";
    RunQuietly("c,killfolder, " + link + "\\ ");
    EXPECT_FALSE(uia::FolderExists(folder));
    EXPECT_TRUE(NothingAt(link));
    ExpectSentinels();
}

TEST(LinkOperand, TheUninstallerRemovesTheFolderAndThenTheLink) {
    const std::string link = "D:\\Verweise\\Ordner2", folder = "C:\\Verweisziel\\Zwei";
    char programs[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs), S_OK);
    const std::string startMenu = std::string(programs) + "\\Ordner2";
    ASSERT_TRUE(uia::MakeFolders(startMenu));
    ASSERT_TRUE(NothingAt(folder)) << "the harness makes the link, the test its folder";
    FillLinkedFolder(folder);
    ASSERT_TRUE(uia::FileExists(link + "\\a.txt")) << "the link leads to the folder";
    RunMain("c,u/" + link).WaitForExit();
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    EXPECT_EQ(out.notes, std::vector<std::string>{});
    EXPECT_EQ(out.closing, "Deinstallation erfolgreich beendet!");
    EXPECT_FALSE(uia::FolderExists(folder));
    EXPECT_TRUE(NothingAt(link));
    EXPECT_FALSE(uia::FolderExists(startMenu));
    ExpectSentinels();
}

// What cannot be deleted stays with its folders, and the link that leads there
// stays too.
TEST(LinkOperand, ALinkToAFolderThatCannotBeEmptiedStays) {
    const std::string link = "D:\\Verweise\\Ordner3", folder = "C:\\Verweisziel\\Drei";
    ASSERT_TRUE(NothingAt(folder)) << "the harness makes the link, the test its folder";
    FillLinkedFolder(folder);
    const std::string held = folder + "\\unter\\gehalten.txt";
    ASSERT_TRUE(uia::WriteFileBytes(held, "H"));
    const tav::UniqueFile holder(::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(RunAnsweringBoxes("c,killfolder," + link),
              std::vector<std::string>{"Fehler: Es konnten nicht alle Dateien gelöscht werden."});
    EXPECT_EQ(Entries(link), std::vector<std::string>{"unter"});
    EXPECT_EQ(Entries(link + "\\unter"), std::vector<std::string>{"gehalten.txt"});
    ExpectSentinels();
}
