// The uninstall chain: the start-menu shortcut, "c,u/" writing the carried
// uninstaller into TEMP and starting it, and the uninstaller's dialogue and
// removal, driven from outside like a user would.
#include <windows.h>
#include <shlobj.h>

#include <functional>

#include "common/win/folders.h"
#include "common/win/raii.h"
#include "tests/win/shell_link_reader.h"
#include "tests/win/system_test.h"

using namespace systest;

namespace {

constexpr uia::Ms kBoxTimeout{20000};

std::string TempUninstaller() { return uia::TempFolder() + "Tav_uninstall.exe"; }
std::string StagingFile() { return uia::TempFolder() + "Tav_uninstall.dat"; }
std::string Programs() { return tav::GetSpecialFolder(CSIDL_PROGRAMS); }
std::string MarkerFile() { return tav::WindowsFolder() + "\\tavrinoinstall.inf"; }

// The uninstaller that the main program carries, read from its resources
// (CUSTOM/101, German).
std::string CarriedBytes() {
    HMODULE module = ::LoadLibraryExA(uia::MainProgram().c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return {};
    std::string bytes;
    if (HRSRC r = ::FindResourceExA(module, "CUSTOM", MAKEINTRESOURCEA(101),
                                    MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN))) {
        HGLOBAL g = ::LoadResource(module, r);
        const void* p = g ? ::LockResource(g) : nullptr;
        if (p) bytes.assign(static_cast<const char*>(p), ::SizeofResource(module, r));
    }
    ::FreeLibrary(module);
    return bytes;
}

void ClearTempUninstaller() {
    ::SetFileAttributesA(TempUninstaller().c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(TempUninstaller().c_str());
    ::RemoveDirectoryA(TempUninstaller().c_str());
    ::DeleteFileA(StagingFile().c_str());
}

// A running uninstaller, found by its question box (it is started by the main
// program, so its process ID is learnt from the window).
struct Uninstaller {
    uia::Process process;
    uia::MessageBoxInfo question;
};

std::optional<uia::MessageBoxInfo> WaitForBoxTitled(DWORD pid, const std::string& title,
                                                    uia::Ms timeout = kBoxTimeout) {
    std::optional<uia::MessageBoxInfo> found;
    uia::WaitUntil(
        [&] {
            auto box = uia::WaitForMessageBox(pid, uia::Ms{0});
            if (box && box->title == title) found = box;
            return found.has_value();
        },
        timeout);
    return found;
}

std::optional<Uninstaller> WaitForQuestion(uia::Ms timeout = kBoxTimeout) {
    auto box = WaitForBoxTitled(0, "Uninstaller", timeout);
    if (!box) return std::nullopt;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(box->hwnd, &pid);
    HANDLE h = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                             FALSE, pid);
    if (!h) return std::nullopt;
    return Uninstaller{uia::Process(h, pid), *box};
}

void Answer(const uia::MessageBoxInfo& box, int id) {
    uia::AnswerMessageBox(box.hwnd, id);
    uia::WaitUntil([&] { return !::IsWindow(box.hwnd) || !::IsWindowVisible(box.hwnd); });
}

// After Yes: every "Hinweis" and "Fehler" box is answered with OK and kept,
// until the closing message comes; `atClosing` runs while it is shown.
struct Outcome {
    std::vector<uia::MessageBoxInfo> notes;
    std::optional<uia::MessageBoxInfo> closing;
    std::optional<DWORD> exitCode;
};

Outcome AnswerYesAndCollect(Uninstaller& u, const std::function<void()>& atClosing = {}) {
    Outcome out;
    Answer(u.question, IDYES);
    for (int i = 0; i < 10; ++i) {
        auto box = uia::WaitForMessageBox(u.process.Pid(), kBoxTimeout);
        if (!box) break;
        if (box->title == "Quorlend Uninstaller") {
            out.closing = box;
            if (atClosing) atClosing();
            Answer(*box, IDOK);
            break;
        }
        out.notes.push_back(*box);
        Answer(*box, IDOK);
    }
    out.exitCode = u.process.WaitForExit();
    return out;
}

std::string MissingNote(const std::string& path) {
    return "Der angegebene Ordner ist nicht mehr vorhanden!\r\n" + path +
           "\r\nkonnte nicht gelöscht werden.";
}
std::string GuardNote(const std::string& path) {
    return "Dieser Ordner wird aus Sicherheitsgründen nicht gelöscht:\r\n" + path;
}

std::vector<std::string> Texts(const std::vector<uia::MessageBoxInfo>& boxes) {
    std::vector<std::string> texts;
    for (const auto& b : boxes) texts.push_back(b.title + ": " + b.text);
    return texts;
}

// An installation with files, a read-only file directly inside, and subfolders.
void MakeInstallation(const std::string& folder) {
    ASSERT_TRUE(uia::MakeFolders(folder + "\\Daten\\Tief"));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\Spiel.exe", "MZ"));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\Schreibgeschützt.txt", "r"));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\Daten\\a.dat", "a"));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\Daten\\Tief\\b.dat", "b"));
    ::SetFileAttributesA((folder + "\\Schreibgeschützt.txt").c_str(), FILE_ATTRIBUTE_READONLY);
}

void PlantMarker() { ASSERT_TRUE(uia::WriteFileBytes(MarkerFile(), "[Tavrino]\r\n")); }

// Starts the main program with "c,u/<folder>" and waits for its quick end.
void RunExtraction(const std::string& folderPart) {
    uia::Process p = RunMain("c,u/" + folderPart);
    ASSERT_TRUE(p.Started());
    EXPECT_EQ(p.WaitForExit(), 0u);
}

// The test display has no window manager: Wine then waits two seconds for
// every closing message box to be withdrawn. Windows that Wine does not hand
// to a window manager close at once; the setting lives in this suite's own prefix.
class UnmanagedWindows : public ::testing::Environment {
public:
    void SetUp() override {
        tav::UniqueRegKey key;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, key.put(), nullptr) == ERROR_SUCCESS)
            ::RegSetValueExA(key.get(), "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    }
};
const auto* const kUnmanaged = ::testing::AddGlobalTestEnvironment(new UnmanagedWindows);

}  // namespace

TEST(UninstallChain, ShortcutExtractionAndYesRemoveEverything) {
    ClearTempUninstaller();
    const std::string install = "C:\\Programme\\Demo Spiel";
    uia::RemoveTree(install);
    MakeInstallation(install);
    PlantMarker();
    const std::string menu = Programs() + "\\Demo Spiel";
    uia::RemoveTree(menu);
    ASSERT_EQ(RunMainToEnd("c,start," + install + "\\Spiel.exe,Demo Spiel,Demo Spiel"), 0u);
    ASSERT_EQ(RunMainToEnd("c,uninstall,,Demo Spiel,Deinstallieren,c,u/" + install), 0u);
    Shortcut link = ReadShortcut(menu + "\\Deinstallieren.lnk");
    ASSERT_TRUE(link.loaded);
    ASSERT_TRUE(uia::FileExists(menu + "\\Demo Spiel.lnk"));

    // What the user's click on the shortcut does.
    uia::Process main = uia::Start(link.target, link.arguments);
    ASSERT_TRUE(main.Started());
    EXPECT_EQ(main.WaitForExit(), 0u);
    const std::string carried = CarriedBytes();
    ASSERT_GT(carried.size(), 10000u);
    EXPECT_EQ(uia::ReadFileBytes(uia::UninstallProgram()), carried);
    EXPECT_EQ(uia::ReadFileBytes(TempUninstaller()), carried);
    EXPECT_FALSE(uia::FileExists(StagingFile()));

    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    EXPECT_EQ(u->question.text, "Wollen Sie die Software wirklich deinstallieren?");
    EXPECT_EQ(u->question.buttons.size(), 3u);
    uia::SaveScreenshot(ScreenshotPath("uninstall_question"));

    const Outcome out = AnswerYesAndCollect(*u, [&] {
        EXPECT_FALSE(uia::FolderExists(install));
        EXPECT_FALSE(uia::FileExists(MarkerFile()));
        EXPECT_FALSE(uia::FolderExists(menu));
        EXPECT_TRUE(uia::FolderExists("C:\\Programme"));
        EXPECT_TRUE(uia::FolderExists(Programs()));
        // It runs from TEMP and leaves itself there.
        EXPECT_TRUE(uia::FileExists(TempUninstaller()));
    });
    EXPECT_TRUE(out.notes.empty()) << ::testing::PrintToString(Texts(out.notes));
    ASSERT_TRUE(out.closing);
    EXPECT_EQ(out.closing->text, "Deinstallation erfolgreich beendet!");
    EXPECT_EQ(out.exitCode, 0u);
}

TEST(UninstallChain, NoAndCancelDeleteNothing) {
    const std::string install = ScratchFolder() + "\\Bleibt";
    MakeInstallation(install);
    const std::string menu = Programs() + "\\Bleibt";
    ASSERT_TRUE(uia::MakeFolders(menu));
    for (int answer : {IDNO, IDCANCEL}) {
        PlantMarker();
        RunExtraction(install);
        auto u = WaitForQuestion();
        ASSERT_TRUE(u);
        Answer(u->question, answer);
        EXPECT_EQ(u->process.WaitForExit(), 0u) << answer;
        EXPECT_TRUE(uia::FileExists(install + "\\Spiel.exe")) << answer;
        EXPECT_TRUE(uia::FileExists(install + "\\Daten\\Tief\\b.dat")) << answer;
        EXPECT_TRUE(uia::FileExists(MarkerFile())) << answer;
        EXPECT_TRUE(uia::FolderExists(menu)) << answer;
    }
    ::DeleteFileA(MarkerFile().c_str());
}

TEST(Extraction, SecondRunReusesTheIdenticalCopyAndLeavesTheResultFileAlone) {
    ClearTempUninstaller();
    const std::string result = "[Search]\r\nResult=alt\r\n";
    ASSERT_TRUE(uia::WriteFileBytes(ResultFile(), result));
    const std::string install = ScratchFolder();

    RunExtraction(install);
    auto first = WaitForQuestion();
    ASSERT_TRUE(first);
    Answer(first->question, IDCANCEL);
    first->process.WaitForExit();

    // Mark the copy: a rewrite would give it a new time.
    FILETIME old{};
    old.dwHighDateTime = 0x01c00000;
    {
        HANDLE h = ::CreateFileA(TempUninstaller().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(::SetFileTime(h, nullptr, nullptr, &old));
        ::CloseHandle(h);
    }
    RunExtraction(install);
    auto second = WaitForQuestion();
    ASSERT_TRUE(second);
    Answer(second->question, IDCANCEL);
    second->process.WaitForExit();

    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExA(TempUninstaller().c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, old.dwHighDateTime);
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, old.dwLowDateTime);
    EXPECT_EQ(uia::ReadFileBytes(TempUninstaller()), CarriedBytes());
    // "c,u/" neither writes nor deletes the result file.
    EXPECT_EQ(uia::ReadFileBytes(ResultFile()), result);
    ::DeleteFileA(ResultFile().c_str());
}

TEST(Extraction, AStaleDifferentCopyIsReplacedBeforeItRuns) {
    // Another program under the uninstaller's name, read-only: if it ran, it
    // would show no "Uninstaller" question at all.
    for (const std::string& stale : {std::string("MZ alt"), *uia::ReadFileBytes(uia::MainProgram())}) {
        ClearTempUninstaller();
        ASSERT_TRUE(uia::WriteFileBytes(TempUninstaller(), stale));
        ::SetFileAttributesA(TempUninstaller().c_str(), FILE_ATTRIBUTE_READONLY);
        RunExtraction(ScratchFolder());
        auto u = WaitForQuestion();
        ASSERT_TRUE(u) << stale.size();
        Answer(u->question, IDCANCEL);
        u->process.WaitForExit();
        EXPECT_EQ(uia::ReadFileBytes(TempUninstaller()), CarriedBytes());
        EXPECT_FALSE(uia::FileExists(StagingFile()));
    }
}

TEST(Extraction, AFolderOfTheUninstallersNameMakesItEndQuietly) {
    ClearTempUninstaller();
    ASSERT_TRUE(uia::MakeFolders(TempUninstaller()));
    const std::string install = ScratchFolder();
    uia::Process p = RunMain("c,u/" + install);
    EXPECT_EQ(p.WaitForExit(), 0u);
    EXPECT_FALSE(WaitForBoxTitled(0, "Uninstaller", uia::Ms{700}));
    EXPECT_FALSE(uia::FileExists(StagingFile()));
    EXPECT_TRUE(uia::FolderExists(TempUninstaller()));
    EXPECT_TRUE(uia::FolderExists(install));
    ClearTempUninstaller();
}

TEST(UninstallChain, FolderWithBlanksAndCommasArrivesWhole) {
    const std::string scratch = ScratchFolder();
    const std::string install = scratch + "\\Mein Spiel, Teil 2";
    MakeInstallation(install);
    const std::string menu = Programs() + "\\Mein Spiel, Teil 2";
    ASSERT_TRUE(uia::MakeFolders(menu));
    ASSERT_TRUE(uia::WriteFileBytes(menu + "\\x.lnk", "x"));
    PlantMarker();
    RunExtraction(install + "\\");  // one trailing backslash is removed
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    EXPECT_TRUE(out.notes.empty()) << ::testing::PrintToString(Texts(out.notes));
    ASSERT_TRUE(out.closing);
    EXPECT_FALSE(uia::FolderExists(install));
    EXPECT_FALSE(uia::FolderExists(menu));
    EXPECT_TRUE(uia::FolderExists(scratch));
}

TEST(UninstallChain, MissingFoldersEachGiveTheirHinweisAndTheMarkerStillGoes) {
    const std::string install = ScratchFolder() + "\\Fehlt";
    PlantMarker();
    uia::RemoveTree(Programs() + "\\Fehlt");
    RunExtraction(install);
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    ASSERT_EQ(out.notes.size(), 2u) << ::testing::PrintToString(Texts(out.notes));
    EXPECT_EQ(out.notes[0].title, "Hinweis");
    EXPECT_EQ(out.notes[0].text, MissingNote(install));
    EXPECT_EQ(out.notes[0].buttons.size(), 1u);
    EXPECT_EQ(out.notes[1].title, "Hinweis");
    EXPECT_EQ(out.notes[1].text, MissingNote(Programs() + "\\Fehlt"));
    ASSERT_TRUE(out.closing);
    EXPECT_EQ(out.closing->text, "Deinstallation erfolgreich beendet!");
    EXPECT_FALSE(uia::FileExists(MarkerFile()));
}

TEST(Uninstaller, WithoutAFolderItShowsTheInformationWindow) {
    for (const std::string& tail : {std::string(""), std::string("\\")}) {
        PlantMarker();
        RunExtraction(tail);
        HWND info = uia::WaitForWindow({0, "Uninstaller", "#32770"}, kBoxTimeout);
        ASSERT_NE(info, nullptr) << tail;
        EXPECT_NE(uia::FindControlByText(
                      info,
                      "Dieses Tool wird über Parameter aufgerufen. Es dient der Deinstallation von Software.",
                      "Static"),
                  nullptr);
        HWND close = uia::FindControlByText(info, "Schließen", "Button");
        ASSERT_NE(close, nullptr);
        EXPECT_TRUE(::GetWindowLongPtrA(close, GWL_STYLE) & BS_DEFPUSHBUTTON);
        const LONG_PTR style = ::GetWindowLongPtrA(info, GWL_STYLE);
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        RECT client{};
        ::GetClientRect(info, &client);
        EXPECT_EQ(client.right, 266);  // 3990 x 1425 twips at 96 DPI
        EXPECT_EQ(client.bottom, 95);
        if (tail.empty()) uia::SaveScreenshot(ScreenshotPath("uninstall_information"));
        DWORD pid = 0;
        ::GetWindowThreadProcessId(info, &pid);
        uia::Process process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid), pid);
        uia::Click(close);
        EXPECT_EQ(process.WaitForExit(), 0u);
        EXPECT_TRUE(uia::FileExists(MarkerFile()));
    }
    ::DeleteFileA(MarkerFile().c_str());
}

TEST(Uninstaller, GuardedFoldersAreNeverTouched) {
    const std::string profile = tav::GetSpecialFolder(CSIDL_PROFILE);
    const std::string windows = tav::WindowsFolder();
    const std::vector<std::string> sentinels = {
        "C:\\sentinel.txt", windows + "\\sentinel.txt", profile + "\\sentinel.txt",
        Programs() + "\\sentinel.txt", windows + "\\system32\\sentinel.txt"};
    for (const auto& s : sentinels) ASSERT_TRUE(uia::WriteFileBytes(s, "bleibt")) << s;

    // Started directly with these tails, as only a hand-made command line could.
    struct Case {
        std::string tail, guarded;
    };
    const std::vector<Case> cases = {
        {"C:\\", "C:\\"},
        {windows, windows},
        {profile, profile},
        {profile + "\\.", profile + "\\."},
        {windows + "\\system32\\..", windows + "\\system32\\.."},
        {Programs(), Programs()},
        {"C:\\users", "C:\\users"},
    };
    for (const auto& c : cases) {
        uia::Process direct = uia::StartCommandLine(uia::UninstallProgram(), uia::UninstallProgram() + " " + c.tail);
        auto u = WaitForQuestion();
        ASSERT_TRUE(u) << c.tail;
        const Outcome out = AnswerYesAndCollect(*u);
        ASSERT_FALSE(out.notes.empty()) << c.tail;
        EXPECT_EQ(out.notes[0].title, "Hinweis") << c.tail;
        EXPECT_EQ(out.notes[0].text, GuardNote(c.guarded)) << c.tail;
        EXPECT_TRUE(out.closing) << c.tail;
        for (const auto& s : sentinels) EXPECT_TRUE(uia::FileExists(s)) << c.tail << " " << s;
    }

    // Through the main program: C:\ loses its backslash and is ignored as too
    // short; the Windows folder meets the guard.
    RunExtraction("C:\\");
    auto root = WaitForQuestion();
    ASSERT_TRUE(root);
    const Outcome rootOut = AnswerYesAndCollect(*root);
    for (const auto& n : rootOut.notes) EXPECT_NE(n.text.find("Programs\\C:"), std::string::npos) << n.text;
    RunExtraction(windows);
    auto win = WaitForQuestion();
    ASSERT_TRUE(win);
    const Outcome winOut = AnswerYesAndCollect(*win);
    ASSERT_FALSE(winOut.notes.empty());
    EXPECT_EQ(winOut.notes[0].text, GuardNote(windows));
    for (const auto& s : sentinels) EXPECT_TRUE(uia::FileExists(s)) << s;
    EXPECT_TRUE(uia::FolderExists(windows + "\\system32"));
}

TEST(Uninstaller, AnEmptyStartMenuNameLeavesTheProgramsFolderAlone) {
    const std::string sentinel = Programs() + "\\sentinel.txt";
    ASSERT_TRUE(uia::WriteFileBytes(sentinel, "bleibt"));
    const std::string install = ScratchFolder() + "\\Weg";
    MakeInstallation(install);
    for (const std::string& tail : {install + "\\", install + "\\   "}) {
        uia::Process direct = uia::StartCommandLine(uia::UninstallProgram(), uia::UninstallProgram() + " " + tail);
        auto u = WaitForQuestion();
        ASSERT_TRUE(u) << tail;
        const Outcome out = AnswerYesAndCollect(*u);
        EXPECT_TRUE(out.closing);
        EXPECT_TRUE(uia::FileExists(sentinel)) << tail;
        EXPECT_TRUE(uia::FolderExists(Programs())) << tail;
    }
    EXPECT_FALSE(uia::FolderExists(install));
}

TEST(Uninstaller, ATempFolderWithBlanksStillHandsTheFolderOverWhole) {
    const std::string temp = "C:\\Temp mit Leerzeichen\\";
    ASSERT_TRUE(uia::MakeFolders(temp));
    char oldTmp[MAX_PATH] = {}, oldTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableA("TMP", oldTmp, MAX_PATH);
    ::GetEnvironmentVariableA("TEMP", oldTemp, MAX_PATH);
    ::SetEnvironmentVariableA("TMP", temp.c_str());
    ::SetEnvironmentVariableA("TEMP", temp.c_str());
    const std::string install = ScratchFolder() + "\\Mein Spiel";
    MakeInstallation(install);
    uia::Process p = RunMain("c,u/" + install);
    ::SetEnvironmentVariableA("TMP", oldTmp[0] ? oldTmp : nullptr);
    ::SetEnvironmentVariableA("TEMP", oldTemp[0] ? oldTemp : nullptr);
    EXPECT_EQ(p.WaitForExit(), 0u);
    EXPECT_TRUE(uia::FileExists(temp + "Tav_uninstall.exe"));
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    ASSERT_EQ(out.notes.size(), 1u) << ::testing::PrintToString(Texts(out.notes));
    EXPECT_EQ(out.notes[0].text, MissingNote(Programs() + "\\Mein Spiel"));
    EXPECT_FALSE(uia::FolderExists(install));
}
