// A front end that starts the program with a wide command line (CreateProcessW).
// The program's ANSI copy of it spells a character the code page lacks with a
// look-alike ("Ł" -> "L", "∕" -> "/", fullwidth letters -> ASCII), so such an
// operand names another path: nothing may be done to that one.
#include <windows.h>
#include <shlobj.h>

#include "common/win/folders.h"
#include "tests/support/fixtures.h"
#include "tests/support/system_test.h"
#include "tests/support/uninstaller_session.h"
#include "tests/support/wide_launcher.h"

using namespace systest;

namespace {

// C:\Daten\Lukasz and C:\Daten\Łukasz, each with a sentinel.
const std::string kPlain = "C:\\Daten\\Lukasz";
const std::wstring kPolish = L"C:\\Daten\\\u0141ukasz";

void MakeBothFolders() {
    ASSERT_TRUE(uia::MakeFolders(kPlain));
    ASSERT_TRUE(uia::WriteFileBytes(kPlain + "\\bleibt.txt", "plain"));
    ::CreateDirectoryW(kPolish.c_str(), nullptr);
    ASSERT_TRUE(MakeWideFile(kPolish + L"\\bleibt.txt"));
}

void ExpectBothFoldersUntouched(const std::wstring& what) {
    const std::string label(what.begin(), what.end());  // enough to tell the cases apart
    EXPECT_EQ(uia::ReadFileBytes(kPlain + "\\bleibt.txt"), std::string("plain")) << label;
    EXPECT_EQ(Entries(kPlain), std::vector<std::string>{"bleibt.txt"}) << label;
    EXPECT_TRUE(WideFileExists(kPolish + L"\\bleibt.txt")) << label;
    EXPECT_FALSE(WideFileExists(kPolish + L"\\neu")) << label;
}

}  // namespace

TEST(UnicodeFrontEnd, AnOperandSpelledWithLookAlikesIsNeverActedOn) {
    MakeBothFolders();
    ASSERT_TRUE(uia::WriteFileBytes("C:\\Daten\\quelle.txt", "quelle"));
    ASSERT_TRUE(uia::MakeFolders("C:\\Daten\\Quelle"));
    ASSERT_TRUE(uia::WriteFileBytes("C:\\Daten\\Quelle\\neu.txt", "neu"));
    const std::wstring operands[] = {
        L"c,killfolder," + kPolish,
        L"c,killfolder,C:\\Daten\\\uff2cukasz",        // fullwidth L
        L"c,killfolder,C:\\Daten\u2215Lukasz",         // division slash
        L"c,kill," + kPolish + L"\\bleibt.txt",
        L"c,kill," + kPolish + L"\\*.*",
        L"c,kill,C:\\Daten\\Lukasz\\bleibt.txt\uff0cx",  // fullwidth comma: one more element in ANSI
        L"c,copy,C:\\Daten\\quelle.txt," + kPolish + L"\\bleibt.txt",
        L"c,copydir,C:\\Daten\\Quelle," + kPolish,
        L"c,makedir," + kPolish + L"\\neu",
        L"c,rename,C:\\Daten\\Lukasz\\bleibt.txt," + kPolish + L"\\neu",
        L"c,rename," + kPolish + L",C:\\Daten\\weg",
        L"c,\uff4b\uff49\uff4c\uff4c,C:\\Daten\\Lukasz\\bleibt.txt",  // the verb in fullwidth letters
    };
    for (const auto& parameters : operands) {
        ASSERT_TRUE(uia::WriteFileBytes(ResultFile(), "[CopyDir]\r\nError=0\r\n"));
        uia::Process p = RunMainWide(parameters);
        ASSERT_TRUE(p.Started());
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{300}));
        EXPECT_EQ(p.WaitForExit(), 0u);
        ExpectBothFoldersUntouched(parameters);
        // As for a missing operand: the earlier answer is gone, no new one is written.
        EXPECT_FALSE(uia::FileExists(ResultFile()));
        EXPECT_FALSE(uia::FolderExists("C:\\Daten\\weg"));
    }
}

TEST(UnicodeFrontEnd, OperandsTheCodePageSpellsWorkAsFromAnyFrontEnd) {
    const std::string scratch = ScratchFolder();
    const std::wstring wideScratch = Wide(scratch);
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\M\xfcll\\unter"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\M\xfcll\\unter\\a.txt", "a"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\quelle.txt", "quelle"));

    EXPECT_EQ(RunMainWide(L"c,makedir," + wideScratch + L"\\Gr\u00f6\u00dfe").WaitForExit(), 0u);
    EXPECT_TRUE(uia::FolderExists(scratch + "\\Gr\xf6\xdf" "e"));
    EXPECT_EQ(RunMainWide(L"c,copy," + wideScratch + L"\\quelle.txt," + wideScratch + L"\\Kopie \u00e4.txt")
                  .WaitForExit(), 0u);
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\Kopie \xe4.txt"), std::string("quelle"));
    EXPECT_EQ(RunMainWide(L"c,killfolder," + wideScratch + L"\\M\u00fcll").WaitForExit(), 0u);
    EXPECT_FALSE(uia::FolderExists(scratch + "\\M\xfcll"));

    // A caption is no path: the file browser opens with it (in its ANSI copy).
    uia::Process browser = RunMainWide(L"c,Bilder f\u00fcr \u0141ukasz,*.jpg," + wideScratch + L"\\bild");
    HWND window = uia::WaitForWindow({browser.Pid(), "", "", true});
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(uia::TextOf(window), "Bilder f\xfcr Lukasz");
    browser.Kill();
}

// The uninstaller gets the folder as the front end wrote it and finds no
// folder of that name: its note for a missing folder, nothing deleted.
TEST(UnicodeFrontEnd, TheUninstallerTreatsAFolderSpelledWithLookAlikesAsMissing) {
    MakeBothFolders();
    const std::string menu = tav::GetSpecialFolder(CSIDL_PROGRAMS) + "\\Lukasz";
    ASSERT_TRUE(uia::MakeFolders(menu));
    ASSERT_TRUE(uia::WriteFileBytes(menu + "\\Demo.lnk", "lnk"));
    EXPECT_EQ(RunMainWide(L"c,u/" + kPolish).WaitForExit(), 0u);
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    ASSERT_FALSE(out.notes.empty());
    EXPECT_EQ(out.notes.front(), "Hinweis: Der angegebene Ordner ist nicht mehr vorhanden!\r\n"
                                 "C:\\Daten\\|ukasz\r\nkonnte nicht gel\xf6scht werden.");
    EXPECT_EQ(out.exitCode, 0u);
    ExpectBothFoldersUntouched(L"c,u/");
    EXPECT_EQ(uia::ReadFileBytes(menu + "\\Demo.lnk"), std::string("lnk"));
    uia::RemoveTree(menu);
}
