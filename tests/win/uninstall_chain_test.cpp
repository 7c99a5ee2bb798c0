// The uninstall chain: the start-menu shortcut, "c,u/" writing the carried
// uninstaller into TEMP and starting it, and the uninstaller's dialogue and
// removal, driven from outside like a user would.
#include <windows.h>
#include <shlobj.h>

#include "common/win/folders.h"
#include "common/win/raii.h"
#include "tests/support/display.h"
#include "tests/support/fixtures.h"
#include "tests/support/linux_link.h"
#include "tests/support/shell_link_reader.h"
#include "tests/support/system_test.h"
#include "tests/support/uninstaller_session.h"

using namespace systest;

namespace {

std::string TempUninstaller() { return uia::TempFolder() + "Tav_uninstall.exe"; }
std::string StagingFile() { return uia::TempFolder() + "Tav_uninstall.dat"; }
std::string Programs() { return tav::GetSpecialFolder(CSIDL_PROGRAMS); }
std::string MarkerFile() { return tav::WindowsFolder() + "\\tavrinoinstall.inf"; }
// The main program carries the uninstaller of the same build byte for byte.
std::optional<std::string> BuiltUninstaller() { return uia::ReadFileBytes(uia::UninstallProgram()); }

void PlantMarker() { ASSERT_TRUE(uia::WriteFileBytes(MarkerFile(), "[Tavrino]\r\n")); }

// Starts the main program with "c,u/<folder>" and waits for its quick end.
void RunExtraction(const std::string& folderPart) {
    EXPECT_EQ(RunMain("c,u/" + folderPart).WaitForExit(), 0u);
}

}  // namespace

TEST(UninstallChain, ShortcutExtractionAndYesRemoveEverything) {
    const std::string install = "C:\\Programme\\Demo Spiel";
    uia::RemoveTree(install);
    MakeFolderWithFiles(install);
    PlantMarker();
    const std::string menu = Programs() + "\\Demo Spiel";
    uia::RemoveTree(menu);
    ASSERT_EQ(RunMainToEnd("c,uninstall,,Demo Spiel,Deinstallieren,c,u/" + install), 0u);
    const Shortcut link = ReadShortcut(menu + "\\Deinstallieren.lnk");
    ASSERT_TRUE(link.loaded);

    // What the user's click on the shortcut does.
    uia::Process main = uia::Start(link.target, link.arguments);
    EXPECT_EQ(main.WaitForExit(), 0u);
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    EXPECT_EQ(u->question.text, "Wollen Sie die Software wirklich deinstallieren?");
    EXPECT_EQ(u->question.buttons.size(), 3u);
    uia::SaveScreenshot(ScreenshotPath("uninstall_question"));

    const Outcome out = AnswerYesAndCollect(*u);
    EXPECT_TRUE(out.notes.empty()) << ::testing::PrintToString(out.notes);
    EXPECT_EQ(out.closing, "Deinstallation erfolgreich beendet!");
    EXPECT_EQ(out.exitCode, 0u);
    EXPECT_FALSE(uia::FolderExists(install));
    EXPECT_FALSE(uia::FileExists(MarkerFile()));
    EXPECT_FALSE(uia::FolderExists(menu));
    EXPECT_TRUE(uia::FolderExists("C:\\Programme"));
    EXPECT_TRUE(uia::FolderExists(Programs()));
}

TEST(Extraction, NoOrCancelDeleteNothingAStaleCopyIsReplacedAnIdenticalOneReused) {
    const std::string result = "[Search]\r\nResult=alt\r\n";  // "c,u/" leaves it alone
    ASSERT_TRUE(uia::WriteFileBytes(ResultFile(), result));
    const std::string install = ScratchFolder() + "\\Bleibt";
    MakeFolderWithFiles(install);
    const std::string menu = Programs() + "\\Bleibt";
    ASSERT_TRUE(uia::MakeFolders(menu));
    PlantMarker();
    // Another program under the uninstaller's name, read-only: if it ran, no question came.
    uia::RemoveTree(TempUninstaller());
    ASSERT_TRUE(uia::WriteFileBytes(TempUninstaller(), "MZ alt"));
    ::SetFileAttributesA(TempUninstaller().c_str(), FILE_ATTRIBUTE_READONLY);
    FILETIME old{0, 0x01c00000};  // a rewrite would give the copy a new time
    for (int answer : {IDNO, IDCANCEL}) {
        RunExtraction(install);
        auto u = WaitForQuestion();
        ASSERT_TRUE(u) << answer;
        Answer(u->question, answer);
        EXPECT_EQ(u->process.WaitForExit(), 0u) << answer;
        EXPECT_TRUE(uia::FileExists(install + "\\unter\\b.txt")) << answer;
        EXPECT_TRUE(uia::FileExists(MarkerFile())) << answer;
        EXPECT_TRUE(uia::FolderExists(menu)) << answer;
        EXPECT_EQ(uia::ReadFileBytes(TempUninstaller()), BuiltUninstaller()) << answer;
        EXPECT_FALSE(uia::FileExists(StagingFile())) << answer;
        if (answer == IDNO) {
            const tav::UniqueHandle h(::CreateFileA(TempUninstaller().c_str(), FILE_WRITE_ATTRIBUTES,
                                                    0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(h);
            ASSERT_TRUE(::SetFileTime(h.get(), nullptr, nullptr, &old));
        }
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExA(TempUninstaller().c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(::CompareFileTime(&data.ftLastWriteTime, &old), 0);
    EXPECT_EQ(uia::ReadFileBytes(ResultFile()), result);
    ::DeleteFileA(ResultFile().c_str());
    ::DeleteFileA(MarkerFile().c_str());
}

// The information window shows its whole text at 96 and 144 dots per inch,
// in whatever font stands in for the window's.
TEST(Uninstaller, WithoutAFolderItShowsTheInformationWindow) {
    PlantMarker();
    for (const int dpi : {96, 144}) {
        const DisplayDpi display(dpi);
        RunExtraction("");
        HWND info = uia::WaitForWindow({0, "Uninstaller", "#32770"}, kBoxTimeout);
        ASSERT_NE(info, nullptr);
        HWND close = uia::FindControlByText(info, "Schließen", "Button");
        ASSERT_NE(close, nullptr);
        EXPECT_TRUE(::GetWindowLongPtrA(close, GWL_STYLE) & BS_DEFPUSHBUTTON);
        const auto font = GuiFontAt(dpi);
        for (HWND control : uia::Children(info)) {
            EXPECT_EQ(TextCutOff(control, font.get(), uia::ClassOf(control) == "Static"), "") << dpi;
            EXPECT_TRUE(WithinClientArea(control, info)) << uia::TextOf(control) << " at " << dpi;
        }
        HWND label = uia::FindControlByText(info, "Dieses Tool wird über Parameter aufgerufen. Es dient der "
                                                  "Deinstallation von Software.", "Static");
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(Overlap(label, close)) << dpi;
        uia::SaveScreenshot(ScreenshotPath(dpi == 96 ? "uninstall_information"
                                                     : "uninstall_information-" + std::to_string(dpi) + "dpi"));
        DWORD pid = 0;
        ::GetWindowThreadProcessId(info, &pid);
        uia::Process process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid), pid);
        uia::Click(close);
        EXPECT_EQ(process.WaitForExit(), 0u);
    }
    EXPECT_TRUE(uia::FileExists(MarkerFile()));
    ::DeleteFileA(MarkerFile().c_str());
}

namespace {

// The program file of a running process (empty when it cannot be asked).
std::string ImageOf(DWORD pid) {
    const tav::UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    char image[MAX_PATH * 2] = {};
    DWORD size = sizeof image;
    if (!process || !::QueryFullProcessImageNameA(process.get(), 0, image, &size)) return {};
    return std::string(image, size);
}

}  // namespace

// What stands under the uninstaller's name cannot be replaced: another
// program that someone holds open, the carried uninstaller itself held open
// for writing by someone (so it could change after the check), a folder. The
// carried uninstaller starts from a folder made for it in TEMP, nothing else
// ever starts, and what stood there stays as it was.
TEST(Extraction, WhatCannotBeReplacedIsNeverStartedTheCarriedOneStartsFromAFolderOfItsOwn) {
    const std::string install = ScratchFolder() + "\\Bleibt";
    MakeFolderWithFiles(install);
    const std::string standIn = uia::ProgramsFolder() + "\\stand_in_program.exe";
    const struct {
        const char* what;
        std::string source;  // copied to TEMP\Tav_uninstall.exe; empty: a folder there
        DWORD access, share;
    } cases[] = {
        {"another program, held", standIn, GENERIC_READ, FILE_SHARE_READ},
        {"the carried one, held for writing", uia::UninstallProgram(), GENERIC_READ | GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"a folder", "", 0, 0},
    };
    for (const auto& c : cases) {
        uia::RemoveTree("C:\\program-marks");
        uia::RemoveTree(TempUninstaller());
        if (c.source.empty()) {
            ASSERT_TRUE(uia::MakeFolders(TempUninstaller()));
            ASSERT_TRUE(uia::WriteFileBytes(TempUninstaller() + "\\drin.txt", "drin"));
        } else {
            ASSERT_TRUE(::CopyFileA(c.source.c_str(), TempUninstaller().c_str(), FALSE)) << c.what;
        }
        const auto before = c.source.empty() ? uia::ReadFileBytes(TempUninstaller() + "\\drin.txt")
                                             : uia::ReadFileBytes(TempUninstaller());
        {
            const tav::UniqueFile held(c.source.empty() ? INVALID_HANDLE_VALUE
                                                        : ::CreateFileA(TempUninstaller().c_str(), c.access, c.share,
                                                                        nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(c.source.empty() || held) << c.what;
            RunExtraction(install);
            auto u = WaitForQuestion();
            ASSERT_TRUE(u) << c.what;
            const std::string image = ImageOf(u->process.Pid());
            EXPECT_EQ(uia::ReadFileBytes(image), BuiltUninstaller()) << c.what << ": " << image;
            EXPECT_EQ(image.rfind(uia::TempFolder() + "Tav_uninstall.", 0), 0u) << c.what << ": " << image;
            EXPECT_NE(image, TempUninstaller()) << c.what;
            Answer(u->question, IDNO);
            EXPECT_EQ(u->process.WaitForExit(), 0u) << c.what;
        }
        EXPECT_FALSE(uia::FolderExists("C:\\program-marks")) << c.what;
        EXPECT_EQ(c.source.empty() ? uia::ReadFileBytes(TempUninstaller() + "\\drin.txt")
                                   : uia::ReadFileBytes(TempUninstaller()), before) << c.what;
        EXPECT_FALSE(uia::FileExists(StagingFile())) << c.what;
        EXPECT_TRUE(uia::FileExists(install + "\\unter\\b.txt")) << c.what;
        uia::RemoveTree(TempUninstaller());
    }
}

// A staging file left behind, read-only: it is replaced as before, and the
// uninstaller starts under its usual name.
TEST(Extraction, AReadOnlyStagingFileLeftBehindIsReplaced) {
    const std::string install = ScratchFolder() + "\\Bleibt";
    MakeFolderWithFiles(install);
    uia::RemoveTree(TempUninstaller());
    ASSERT_TRUE(uia::WriteFileBytes(StagingFile(), "alt"));
    ::SetFileAttributesA(StagingFile().c_str(), FILE_ATTRIBUTE_READONLY);
    RunExtraction(install);
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    EXPECT_EQ(ImageOf(u->process.Pid()), TempUninstaller());
    Answer(u->question, IDNO);
    EXPECT_EQ(u->process.WaitForExit(), 0u);
    EXPECT_EQ(uia::ReadFileBytes(TempUninstaller()), BuiltUninstaller());
    EXPECT_FALSE(uia::FileExists(StagingFile()));
}

// A link standing at the staging file's name or at the uninstaller's leads
// to a document: "c,u/" neither writes nor deletes that document, whatever
// the user answers, and starts the carried uninstaller.
TEST(Extraction, ALinkAtTheStagingOrTheUninstallersNameNeverReachesWhatItLeadsTo) {
    const std::string scratch = ScratchFolder();
    const std::string install = scratch + "\\Bleibt";
    MakeFolderWithFiles(install);
    ASSERT_TRUE(uia::MakeFolders("C:\\Daten"));
    const std::string document = "C:\\Daten\\Dokument.txt";
    // TEMP is C:\users\<user>\Temp: three folders below C:.
    const std::string temp = uia::TempFolder().substr(0, uia::TempFolder().size() - 1);
    for (const char* name : {"Tav_uninstall.dat", "Tav_uninstall.exe"}) {
        for (int answer : {IDNO, IDYES}) {
            ASSERT_TRUE(uia::WriteFileBytes(document, "wichtig"));
            uia::RemoveTree(TempUninstaller());
            ::DeleteFileA(StagingFile().c_str());
            ASSERT_TRUE(MakeLinuxLink(temp, name, "../../../Daten/Dokument.txt")) << name;
            if (answer == IDYES) MakeFolderWithFiles(scratch + "\\Weg");
            RunExtraction(answer == IDYES ? scratch + "\\Weg" : install);
            auto u = WaitForQuestion();
            ASSERT_TRUE(u) << name;
            EXPECT_EQ(uia::ReadFileBytes(ImageOf(u->process.Pid())), BuiltUninstaller()) << name;
            if (answer == IDYES) AnswerYesAndCollect(*u);
            else Answer(u->question, IDNO);
            EXPECT_EQ(u->process.WaitForExit(), 0u) << name;
            EXPECT_EQ(uia::ReadFileBytes(document), std::string("wichtig")) << name << " " << answer;
            RemoveLinuxLink(temp, name);
        }
    }
    EXPECT_TRUE(uia::FileExists(install + "\\unter\\b.txt"));
    ::DeleteFileA(document.c_str());
}
