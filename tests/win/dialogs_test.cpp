// The platform's open, save and folder dialogs, driven as a user would drive
// them, and what the program leaves behind: copies, the result file and the
// remembered folder.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <thread>

#include "common/win/raii.h"
#include "main/dialogs/copymodDialog.h"
#include "main/dialogs/copymodOrdner.h"
#include "main/dialogs/settings.h"
#include "main/startup/program_state.h"
#include "tests/win/file_dialog_probe.h"
#include "tests/win/system_test.h"

using namespace systest;

namespace {

constexpr const char* kAbsent = "<absent>";

std::string Remembered() { return tav::GetSetting("Dlg", kAbsent); }

void Forget() {
    tav::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, tav::kSettingsKey, 0, KEY_SET_VALUE, key.put()) ==
        ERROR_SUCCESS)
        ::RegDeleteValueA(key.get(), "Dlg");
}

using Entries = std::map<std::string, std::string>;

// The entries of one section of the result file as it is now.
std::optional<Entries> ResultSection(const std::string& section) {
    const auto bytes = uia::ReadFileBytes(ResultFile());
    if (!bytes) return std::nullopt;
    for (const auto& s : ParseIni(*bytes)) {
        if (s.name != section) continue;
        Entries entries(s.entries.begin(), s.entries.end());
        return entries;
    }
    return std::nullopt;
}

// Waits until the section holds its Error entry (the last one written).
std::optional<Entries> WaitForResult(const std::string& section) {
    std::optional<Entries> entries;
    uia::WaitUntil([&] {
        entries = ResultSection(section);
        return entries && entries->count("Error");
    });
    if (entries && !entries->count("Error")) entries.reset();
    return entries;
}

void RemoveResultFile() {
    ::SetFileAttributesA(ResultFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(ResultFile().c_str());
}

// The owner of a dialog: a window of the same process that nobody sees.
void ExpectHiddenOwner(HWND dialog, DWORD pid) {
    HWND owner = ::GetWindow(dialog, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    DWORD ownerPid = 0;
    ::GetWindowThreadProcessId(owner, &ownerPid);
    EXPECT_EQ(ownerPid, pid);
    EXPECT_FALSE(::IsWindowVisible(owner));
}

// --- open and save dialogs -----------------------------------------------------

struct DialogRun {
    std::optional<DWORD> exitCode;
    std::optional<Entries> result;  // section "Dialog" after the program ended
};

// Starts the program, waits for its file dialog, types `name` (or cancels
// when there is none) and waits for the end.
DialogRun DriveFileDialog(const std::string& parameters, const std::string& title,
                          const std::optional<std::string>& name, const std::string& cwd,
                          const std::function<void(HWND)>& inspect = {}) {
    DialogRun run;
    uia::Process p = RunMain(parameters, cwd);
    HWND dialog = uia::WaitForWindow({p.Pid(), title, "#32770"});
    EXPECT_NE(dialog, nullptr) << parameters;
    if (!dialog) return run;
    ExpectHiddenOwner(dialog, p.Pid());
    if (inspect) inspect(dialog);
    if (name) {
        EXPECT_TRUE(uia::SetFileDialogName(dialog, *name));
        uia::ConfirmDialog(dialog);
    } else {
        uia::CancelDialog(dialog);
    }
    run.exitCode = p.WaitForExit();
    run.result = ResultSection("Dialog");
    return run;
}

std::string OpenParameters(const std::string& pattern, const std::string& targetBase) {
    return "c,opendialog,Bitte eine Datei wählen," + pattern + "," + targetBase;
}

DialogRun PickInOpenDialog(const std::string& pattern, const std::string& targetBase,
                           const std::optional<std::string>& name,
                           const std::string& cwd = "C:\\",
                           const std::function<void(HWND)>& inspect = {}) {
    RemoveResultFile();
    return DriveFileDialog(OpenParameters(pattern, targetBase), "Bitte eine Datei wählen", name,
                           cwd, inspect);
}

const Entries kFailed = {{"Extension", ""}, {"Error", "1"}};

TEST(OpenDialog, ConfirmedFileIsCopiedWithItsExtensionAndItsFolderRemembered) {
    const std::string scratch = ScratchFolder();
    const std::string photos = scratch + "\\Fotos";
    ASSERT_TRUE(uia::MakeFolders(photos));
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\Ziel"));
    const std::string picture("\xff\xd8\xff\xe0 urlaub\0\r\n\x1a", 14);
    ASSERT_TRUE(uia::WriteFileBytes(photos + "\\urlaub.jpg", picture));
    ASSERT_TRUE(uia::WriteFileBytes(photos + "\\zwei.gif", "GIF89a"));
    // An older copy is replaced.
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Ziel\\bild.jpg", "alt"));

    // The pattern is the filter's description and pattern at once.
    const auto run = PickInOpenDialog("*.jpg", scratch + "\\Ziel\\bild", photos + "\\urlaub.jpg",
                                      "C:\\", [](HWND dialog) {
                                          EXPECT_EQ(FileTypes(dialog),
                                                    std::vector<std::string>{"*.jpg"});
                                      });
    EXPECT_EQ(run.exitCode, 0u);
    // No hand-over: the answer is still there after the program has ended.
    EXPECT_EQ(run.result, (Entries{{"Extension", "jpg"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\Ziel\\bild.jpg"), picture);
    EXPECT_EQ(Remembered(), photos + "\\");

    // The next dialog starts there: a bare file name is found in that folder.
    const auto next = PickInOpenDialog("*.gif", " " + scratch + "\\Ziel\\zwei ", "zwei.gif");
    EXPECT_EQ(next.result, (Entries{{"Extension", "gif"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\Ziel\\zwei.gif"), "GIF89a");  // target trimmed
}

TEST(OpenDialog, FirstRunStartsInDriveC) {
    const std::string scratch = ScratchFolder();
    // The same name in C:\ and in the program's working folder: the dialog
    // starts in C:\, not where the program was started.
    const std::string probe = "C:\\tav_startprobe.txt";
    ASSERT_TRUE(uia::WriteFileBytes(probe, "aus C:"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\tav_startprobe.txt", "aus dem Arbeitsordner"));
    Forget();

    const auto run =
        PickInOpenDialog("*.*", scratch + "\\kopie", "tav_startprobe.txt", scratch);
    ::DeleteFileA(probe.c_str());
    EXPECT_EQ(run.result, (Entries{{"Extension", "txt"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\kopie.txt"), "aus C:");
    EXPECT_EQ(Remembered(), "C:\\");
}

TEST(OpenDialog, AnEmptyRememberedFolderLeavesTheStartToThePlatform) {
    const std::string scratch = ScratchFolder();
    const std::string probe = "C:\\tav_startprobe.txt";
    ASSERT_TRUE(uia::WriteFileBytes(probe, "aus C:"));
    for (const char* folder : {"A", "B"}) {
        ASSERT_TRUE(uia::MakeFolders(scratch + "\\" + folder));
        ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\" + folder + "\\tav_startprobe.txt",
                                        std::string("aus ") + folder));
    }
    // The platform remembers the folder of the last choice itself.
    PickInOpenDialog("*.*", scratch + "\\kopie", scratch + "\\A\\tav_startprobe.txt");
    tav::SaveSetting("Dlg", "");

    // Cancelled, so the empty value stays; the dialog did open.
    const auto cancelled = PickInOpenDialog("*.*", scratch + "\\kopie", std::nullopt);
    EXPECT_EQ(cancelled.result, kFailed);
    EXPECT_EQ(Remembered(), "");

    // The empty value is not replaced by "C:\": the dialog starts where the
    // platform chooses (the last choice's folder or the working folder).
    ::DeleteFileA((scratch + "\\kopie.txt").c_str());
    const auto run =
        PickInOpenDialog("*.*", scratch + "\\kopie", "tav_startprobe.txt", scratch + "\\B");
    ::DeleteFileA(probe.c_str());
    EXPECT_EQ(run.result, (Entries{{"Extension", "txt"}, {"Error", "0"}}));
    const auto copied = uia::ReadFileBytes(scratch + "\\kopie.txt");
    EXPECT_TRUE(copied == "aus A" || copied == "aus B") << copied.value_or("<none>");
}

TEST(OpenDialog, CancelAndUnusableChoicesReportAnEmptyExtensionAndError1) {
    const std::string scratch = ScratchFolder();
    const std::string source = scratch + "\\quelle.png";
    ASSERT_TRUE(uia::WriteFileBytes(source, "png"));
    tav::SaveSetting("Dlg", "C:\\");

    // Cancel: the remembered folder stays.
    auto run = PickInOpenDialog("*.png", scratch + "\\ziel", std::nullopt);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.result, kFailed);
    EXPECT_EQ(Remembered(), "C:\\");

    // A typed name of a missing file in an existing folder: that folder is remembered.
    run = PickInOpenDialog("*.png", scratch + "\\ziel", scratch + "\\fehlt.png");
    EXPECT_EQ(run.result, kFailed);
    EXPECT_FALSE(uia::FileExists(scratch + "\\ziel.png"));
    EXPECT_EQ(Remembered(), scratch + "\\");

    // The copy's target folder does not exist.
    tav::SaveSetting("Dlg", "C:\\");
    run = PickInOpenDialog("*.png", scratch + "\\fehlt\\ziel", source);
    EXPECT_EQ(run.result, kFailed);
    EXPECT_FALSE(uia::FolderExists(scratch + "\\fehlt"));
    EXPECT_EQ(Remembered(), scratch + "\\");
}

// The platform's dialog never hands back a folder: it opens it. A folder can
// still appear under the chosen name after the dialog has accepted it. To
// make that happen at a known moment, the action runs inside this test
// program: a hook creates the folder right after the dialog has taken the
// name, before the action looks at it.
namespace racing_folder {

std::string g_path;

LRESULT CALLBACK AfterDialogMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_COMMAND && LOWORD(message->wParam) == IDOK &&
        uia::TextOf(message->hwnd) == "Ordnertest")
        ::CreateDirectoryA(g_path.c_str(), nullptr);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace racing_folder

TEST(OpenDialog, AFolderUnderTheChosenNameIsNoFileToCopy) {
    const std::string scratch = ScratchFolder();
    racing_folder::g_path = scratch + "\\neu.png";
    tav::State.TempPath = uia::TempFolder();
    tav::State.Args = tav::ArgList({"c", "opendialog", "Ordnertest", "*.png", scratch + "\\ziel"});
    tav::State.DialogTitle = "Ordnertest";
    tav::State.TargetBase = scratch + "\\ziel";
    RemoveResultFile();

    struct Hook {
        HHOOK h;
        ~Hook() { ::UnhookWindowsHookEx(h); }
    } hook{::SetWindowsHookExA(WH_CALLWNDPROCRET, racing_folder::AfterDialogMessage, nullptr,
                               ::GetCurrentThreadId())};
    ASSERT_NE(hook.h, nullptr);
    std::thread user([&] {
        HWND dialog = uia::WaitForWindow({::GetCurrentProcessId(), "Ordnertest", "#32770"});
        if (!dialog) return;
        uia::SetFileDialogName(dialog, racing_folder::g_path);
        // Sent, so that the hook sees the command come back from the dialog.
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    });
    tav::OpenDialog();
    user.join();

    EXPECT_TRUE(uia::FolderExists(racing_folder::g_path));
    EXPECT_EQ(ResultSection("Dialog"), kFailed);
    EXPECT_FALSE(uia::FileExists(scratch + "\\ziel.png"));
    EXPECT_EQ(Remembered(), scratch + "\\");
}

TEST(OpenDialog, APathLongerThan127CharactersBehavesAsCancel) {
    const std::string scratch = ScratchFolder();
    std::string longPath = scratch + "\\";
    longPath += std::string(140 - longPath.size() - 4, 'n') + ".png";
    ASSERT_EQ(longPath.size(), 140u);
    ASSERT_TRUE(uia::WriteFileBytes(longPath, "png"));
    tav::SaveSetting("Dlg", "C:\\");

    const auto run = PickInOpenDialog("*.png", scratch + "\\ziel", longPath);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.result, kFailed);
    EXPECT_FALSE(uia::FileExists(scratch + "\\ziel.png"));
    EXPECT_EQ(Remembered(), "C:\\");

    // 127 characters still fit.
    const std::string fits = longPath.substr(0, 123) + ".png";
    ASSERT_TRUE(uia::WriteFileBytes(fits, "passt"));
    const auto ok = PickInOpenDialog("*.png", scratch + "\\ziel", fits);
    EXPECT_EQ(ok.result, (Entries{{"Extension", "png"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\ziel.png"), "passt");
}

TEST(CopyDialog, OffersTheSourceNameAndReplacesTheChosenFileSilently) {
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\Daten"));
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\Ablage"));
    const std::string source = scratch + "\\Daten\\liste.txt";
    ASSERT_TRUE(uia::WriteFileBytes(source, "neue Liste"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Ablage\\liste.txt", "alte Liste"));
    tav::SaveSetting("Dlg", "C:\\");
    RemoveResultFile();

    uia::Process p = RunMain("c,copydialog," + source);
    HWND dialog = uia::WaitForWindow({p.Pid(), "Datei speichern unter...", "#32770"});
    ASSERT_NE(dialog, nullptr);
    ExpectHiddenOwner(dialog, p.Pid());
    EXPECT_EQ(uia::TextOf(uia::FileDialogNameEdit(dialog)), "liste.txt");
    EXPECT_EQ(FileTypes(dialog), std::vector<std::string>{"Alle Dateien (*.*)"});
    uia::SaveScreenshot(ScreenshotPath("copydialog"));
    ASSERT_TRUE(uia::SetFileDialogName(dialog, scratch + "\\Ablage\\liste.txt"));
    uia::ConfirmDialog(dialog);
    EXPECT_EQ(p.WaitForExit(), 0u);
    // No question before replacing, no result entry.
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\Ablage\\liste.txt"), "neue Liste");
    EXPECT_FALSE(uia::FileExists(ResultFile()));
    EXPECT_EQ(Remembered(), scratch + "\\Ablage\\");
}

TEST(CopyDialog, CancelWritesNothingAndASourceWithoutExtensionEndsInAFullStop) {
    const std::string scratch = ScratchFolder();
    const std::string source = scratch + "\\liesmich";
    ASSERT_TRUE(uia::WriteFileBytes(source, "text"));
    tav::SaveSetting("Dlg", "C:\\");
    RemoveResultFile();

    uia::Process p = RunMain("c,copydialog," + source);
    HWND dialog = uia::WaitForWindow({p.Pid(), "Datei speichern unter...", "#32770"});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(uia::TextOf(uia::FileDialogNameEdit(dialog)), "liesmich.");
    uia::CancelDialog(dialog);
    EXPECT_EQ(p.WaitForExit(), 0u);
    EXPECT_FALSE(uia::FileExists(ResultFile()));
    EXPECT_EQ(Remembered(), "C:\\");

    // A default name that does not fit the buffer leaves the name field empty.
    const std::string longSource = scratch + "\\" + std::string(130, 'x') + ".txt";
    uia::Process q = RunMain("c,copydialog," + longSource);
    dialog = uia::WaitForWindow({q.Pid(), "Datei speichern unter...", "#32770"});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(uia::TextOf(uia::FileDialogNameEdit(dialog)), "");
    uia::CancelDialog(dialog);
    EXPECT_EQ(q.WaitForExit(), 0u);
}

// --- folder dialog ---------------------------------------------------------------

constexpr int kFolderTree = 0x3741;
constexpr int kFolderText = 0x3742;

// The texts of the tree's selected item and its parents, innermost first,
// read from the dialog's process.
std::vector<std::string> SelectedTreePath(HWND tree) {
    std::vector<std::string> path;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(tree, &pid);
    tav::UniqueHandle process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process) return path;
    struct RemoteMemory {
        HANDLE process;
        void* p;
        ~RemoteMemory() {
            if (p) ::VirtualFreeEx(process, p, 0, MEM_RELEASE);
        }
    } remote{process.get(),
             ::VirtualAllocEx(process.get(), nullptr, 4096, MEM_COMMIT, PAGE_READWRITE)};
    if (!remote.p) return path;
    char* remoteText = static_cast<char*>(remote.p) + 512;

    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    for (int depth = 0; item && depth < 32; ++depth) {
        TVITEMA request{};
        request.mask = TVIF_TEXT;
        request.hItem = item;
        request.pszText = remoteText;
        request.cchTextMax = 260;
        if (!::WriteProcessMemory(process.get(), remote.p, &request, sizeof request, nullptr)) break;
        if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.p))) break;
        char text[261] = {};
        if (!::ReadProcessMemory(process.get(), remoteText, text, 260, nullptr)) break;
        path.emplace_back(text);
        item = reinterpret_cast<HTREEITEM>(
            ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
    }
    return path;
}

struct FolderRun {
    std::vector<std::string> selected;  // as the dialog opened
    std::optional<Entries> result;
    bool resultGoneAndEnded = false;
};

// Runs "selectfolder", lets the dialog settle, then presses OK or Cancel.
FolderRun DriveFolderDialog(const std::string& parameters, int button,
                            const std::string& expectedText = "") {
    FolderRun run;
    RemoveResultFile();
    uia::Process p = RunMain(parameters);
    HWND dialog = uia::WaitForWindow({p.Pid(), "", "#32770"});
    EXPECT_NE(dialog, nullptr) << parameters;
    if (!dialog) return run;
    ExpectHiddenOwner(dialog, p.Pid());
    HWND tree = uia::FindControl(dialog, kFolderTree);
    EXPECT_NE(tree, nullptr);
    if (!expectedText.empty()) {
        EXPECT_EQ(uia::TextOf(uia::FindControl(dialog, kFolderText)), expectedText);
    }
    // The selection is made while the dialog initialises; wait until the tree has one.
    uia::WaitUntil([&] { return !SelectedTreePath(tree).empty(); }, uia::Ms{3000});
    run.selected = SelectedTreePath(tree);
    uia::Command(dialog, button);
    run.result = WaitForResult("SelectFolder");
    // The front end has two seconds; then the file is gone and the program has ended.
    run.resultGoneAndEnded = uia::WaitForFileGone(ResultFile(), uia::Ms{5000}) &&
                             p.WaitForExit(uia::Ms{3000}) == 0u;
    return run;
}

// Lists a new folder and every folder above it once. The shell's folder
// dialog does not reliably find a folder on a path that changed a moment
// before and has not been listed since.
void ListWithAncestors(std::string folder) {
    for (;;) {
        const std::string pattern = folder + (folder.back() == '\\' ? "*" : "\\*");
        WIN32_FIND_DATAA data;
        tav::UniqueFindHandle find(::FindFirstFileA(pattern.c_str(), &data));
        while (find && ::FindNextFileA(find.get(), &data)) {
        }
        const auto slash = folder.find_last_of('\\');
        if (folder.size() <= 3 || slash == std::string::npos) break;
        folder.resize(slash == 2 ? 3 : slash);  // the drive's root comes last
    }
}

TEST(SelectFolder, StartFolderIsSelectedAndOkReportsIt) {
    const auto run = DriveFolderDialog("c,selectfolder,Bitte einen Ordner wählen,C:\\windows\\system32\\",
                                       IDOK, "Bitte einen Ordner wählen");
    ASSERT_GE(run.selected.size(), 2u);
    EXPECT_EQ(run.selected[0], "system32");
    EXPECT_EQ(run.selected[1], "windows");
    EXPECT_EQ(run.result, (Entries{{"Result", "C:\\windows\\system32"}, {"Error", "0"}}));
    EXPECT_TRUE(run.resultGoneAndEnded);
}

TEST(SelectFolder, ANewFolderWithAnUmlautIsSelectedAndReportedInTheAnsiCodePage) {
    const std::string folder = ScratchFolder() + "\\Ordner für Bilder";
    ASSERT_TRUE(uia::MakeFolders(folder));
    ListWithAncestors(folder);

    const auto run = DriveFolderDialog("c,selectfolder,Ordner wählen," + folder, IDOK);
    ASSERT_FALSE(run.selected.empty());
    EXPECT_EQ(run.selected.front(), "Ordner für Bilder");
    EXPECT_EQ(run.result, (Entries{{"Result", folder}, {"Error", "0"}}));
    EXPECT_TRUE(run.resultGoneAndEnded);
}

TEST(SelectFolder, CancelReportsNothingChosen) {
    const auto run = DriveFolderDialog("c,selectfolder,Ordner,C:\\users\\Public", IDCANCEL);
    ASSERT_FALSE(run.selected.empty());
    EXPECT_EQ(run.selected.front(), "Public");
    EXPECT_EQ(run.result, (Entries{{"Result", ""}, {"Error", "1"}}));
    EXPECT_TRUE(run.resultGoneAndEnded);
}

TEST(SelectFolder, ADriveRootReachesTheDialogWithoutItsBackslash) {
    // "D:" is the current folder of drive D:, its root here.
    const auto run = DriveFolderDialog("c,selectfolder,Laufwerk,D:\\", IDOK);
    EXPECT_EQ(run.result, (Entries{{"Result", "D:\\"}, {"Error", "0"}}));
    EXPECT_TRUE(run.resultGoneAndEnded);
}

TEST(SelectFolder, WithoutExactlyFourElementsNoStartFolderIsSelected) {
    for (const std::string& parameters :
         {std::string("c,selectfolder,Text"), std::string("c,selectfolder,Text,C:\\windows,x")}) {
        const auto run = DriveFolderDialog(parameters, IDOK);
        ::testing::Message trace;
        for (const auto& s : run.selected) trace << s << " / ";
        SCOPED_TRACE(trace);
        ASSERT_TRUE(run.result) << parameters;
        EXPECT_TRUE(run.selected.empty() || run.selected.front() != "windows") << parameters;
        EXPECT_NE(run.result->at("Result"), "C:\\windows") << parameters;
        EXPECT_TRUE(run.resultGoneAndEnded) << parameters;
    }
}

// The callback, called directly with a window that records what it is sent.
namespace recorded {
UINT g_message;
WPARAM g_wParam;
std::string g_text;
LRESULT CALLBACK Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER) {
        g_message = message;
        g_wParam = wParam;
        g_text = reinterpret_cast<const char*>(lParam);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}
}  // namespace recorded

TEST(SelectFolder, TheCallbackSelectsTheStartFolderOnceTheDialogIsReady) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = recorded::Record;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TavRecorder";
    ::RegisterClassA(&windowClass);
    tav::UniqueWindow window(::CreateWindowExA(0, "TavRecorder", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                               nullptr, windowClass.hInstance, nullptr));
    ASSERT_TRUE(window);
    char selection[] = "D:";

    // Other notifications are ignored.
    recorded::g_message = 0;
    EXPECT_EQ(tav::BrowseCallback(window.get(), BFFM_SELCHANGED, 0,
                                  reinterpret_cast<LPARAM>(selection)), 0);
    EXPECT_EQ(recorded::g_message, 0u);

    EXPECT_EQ(tav::BrowseCallback(window.get(), BFFM_INITIALIZED, 0,
                                  reinterpret_cast<LPARAM>(selection)), 0);
    EXPECT_EQ(recorded::g_message, 0x466u);  // BFFM_SETSELECTIONA
    EXPECT_NE(recorded::g_wParam, 0u);       // a path, not an item list
    EXPECT_EQ(recorded::g_text, "D:");
}

TEST(SelectFolder, WithoutItsTextItShowsNothingAndEnds) {
    RemoveResultFile();
    uia::Process p = RunMain("c,selectfolder");
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{500}));
    EXPECT_EQ(p.WaitForExit(), 0u);
    EXPECT_FALSE(uia::FileExists(ResultFile()));
}

}  // namespace
