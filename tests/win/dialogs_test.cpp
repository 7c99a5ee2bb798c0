// The platform's open, save and folder dialogs, driven as a user would drive
// them, and what the program leaves behind: copies, the result file and the
// remembered folder.
#include <windows.h>
#include <commctrl.h>

#include <map>

#include "common/win/raii.h"
#include "main/dialogs/remembered_settings.h"
#include "tests/support/system_test.h"

using namespace systest;

namespace {

std::string Remembered() { return tav::GetSetting("Dlg", "<absent>"); }

using Entries = std::map<std::string, std::string>;
const Entries kFailed = {{"Extension", ""}, {"Error", "1"}};

// The entries of one section of the result file as it is now.
std::optional<Entries> ResultSection(const std::string& section) {
    const auto bytes = uia::ReadFileBytes(ResultFile());
    if (!bytes) return std::nullopt;
    for (const auto& s : ParseIni(*bytes))
        if (s.name == section) return Entries(s.entries.begin(), s.entries.end());
    return std::nullopt;
}

void RemoveResultFile() {
    ::SetFileAttributesA(ResultFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(ResultFile().c_str());
}

// Waits for the program's dialog, which a hidden window of the program owns.
HWND WaitForDialog(const uia::Process& p, const std::string& title) {
    HWND dialog = uia::WaitForWindow({p.Pid(), title, "#32770"});
    EXPECT_NE(dialog, nullptr) << title;
    HWND owner = dialog ? ::GetWindow(dialog, GW_OWNER) : nullptr;
    DWORD ownerPid = 0;
    ::GetWindowThreadProcessId(owner, &ownerPid);
    EXPECT_EQ(ownerPid, p.Pid());
    EXPECT_FALSE(::IsWindowVisible(owner));
    return dialog;
}

// Runs "opendialog", types `name` (cancels without one), waits for the end;
// the "Dialog" section left behind (no hand-over: it stays).
std::optional<Entries> PickInOpenDialog(const std::string& pattern, const std::string& targetBase,
                                        const std::optional<std::string>& name,
                                        const std::string& cwd = uia::FrontEndFolder()) {
    RemoveResultFile();
    uia::Process p = RunMain("c,opendialog,Bitte eine Datei wählen," + pattern + "," + targetBase, cwd);
    HWND dialog = WaitForDialog(p, "Bitte eine Datei wählen");
    if (!dialog) return std::nullopt;
    EXPECT_EQ(uia::ComboItems(uia::FindControl(dialog, 0x470)), std::vector<std::string>{pattern});
    if (name) {
        EXPECT_TRUE(uia::SetFileDialogName(dialog, *name));
        uia::ConfirmDialog(dialog);
    } else {
        uia::CancelDialog(dialog);
    }
    EXPECT_EQ(p.WaitForExit(), 0u);
    return ResultSection("Dialog");
}

TEST(OpenDialog, ConfirmedFileIsCopiedWithItsExtensionAndItsFolderRemembered) {
    const std::string scratch = ScratchFolder();
    const std::string photos = scratch + "\\Fotos";
    ASSERT_TRUE(uia::MakeFolders(photos));
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\Ziel"));
    const std::string picture("\xff\xd8\xff\xe0 urlaub\0\r\n\x1a", 14);
    ASSERT_TRUE(uia::WriteFileBytes(photos + "\\urlaub.jpg", picture));
    ASSERT_TRUE(uia::WriteFileBytes(photos + "\\zwei.gif", "GIF89a"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Ziel\\bild.jpg", "alt"));  // replaced

    EXPECT_EQ(PickInOpenDialog("*.jpg", scratch + "\\Ziel\\bild", photos + "\\urlaub.jpg"),
              (Entries{{"Extension", "jpg"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\Ziel\\bild.jpg"), picture);
    EXPECT_EQ(Remembered(), photos + "\\");

    // The next dialog starts there: a bare file name is found in that folder.
    EXPECT_EQ(PickInOpenDialog("*.gif", " " + scratch + "\\Ziel\\zwei ", "zwei.gif"),
              (Entries{{"Extension", "gif"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\Ziel\\zwei.gif"), "GIF89a");  // target trimmed
}

TEST(OpenDialog, FirstRunStartsInDriveC) {
    const std::string scratch = ScratchFolder();
    // The same name in C:\ and in the working folder: the dialog starts in C:\.
    const std::string probe = "C:\\tav_startprobe.txt";
    ASSERT_TRUE(uia::WriteFileBytes(probe, "aus C:"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\tav_startprobe.txt", "aus dem Arbeitsordner"));
    {
        tav::UniqueRegKey key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, tav::kSettingsKey, 0, KEY_SET_VALUE, key.put()) ==
            ERROR_SUCCESS)
            ::RegDeleteValueA(key.get(), "Dlg");
    }
    const auto result = PickInOpenDialog("*.*", scratch + "\\kopie", "tav_startprobe.txt", scratch);
    ::DeleteFileA(probe.c_str());
    EXPECT_EQ(result, (Entries{{"Extension", "txt"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\kopie.txt"), "aus C:");
    EXPECT_EQ(Remembered(), "C:\\");
}

TEST(OpenDialog, CancelAndUnusableChoicesReportAnEmptyExtensionAndError1) {
    const std::string scratch = ScratchFolder();
    const std::string source = scratch + "\\quelle.png";
    ASSERT_TRUE(uia::WriteFileBytes(source, "png"));
    std::string tooLong = scratch + "\\";
    tooLong += std::string(140 - tooLong.size() - 4, 'n') + ".png";  // 140 characters
    ASSERT_TRUE(uia::WriteFileBytes(tooLong, "png"));
    const struct {
        std::optional<std::string> name;
        std::string target, remembered;
    } cases[] = {
        {std::nullopt, scratch + "\\ziel", "C:\\"},                    // cancel
        {scratch + "\\fehlt.png", scratch + "\\ziel", scratch + "\\"},  // missing file
        {source, scratch + "\\fehlt\\ziel", scratch + "\\"},            // missing target folder
        {tooLong, scratch + "\\ziel", "C:\\"},                          // behaves as cancel
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.value_or("<cancel>") + " -> " + c.target);
        tav::SaveSetting("Dlg", "C:\\");
        EXPECT_EQ(PickInOpenDialog("*.png", c.target, c.name), kFailed);
        EXPECT_FALSE(uia::FileExists(c.target + ".png"));
        EXPECT_EQ(Remembered(), c.remembered);
    }
}

TEST(CopyDialog, OffersTheSourceNameReplacesOnConfirmAndWritesNothing) {
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(uia::MakeFolders(scratch + "\\Ablage"));
    const struct {
        std::string name, offered;
        bool confirm;
    } cases[] = {{"liste.txt", "liste.txt", true}, {"liesmich", "liesmich.", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = scratch + "\\Ablage\\" + c.name;
        ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\" + c.name, "neu"));
        ASSERT_TRUE(uia::WriteFileBytes(target, "alt"));
        tav::SaveSetting("Dlg", "C:\\");
        RemoveResultFile();

        uia::Process p = RunMain("c,copydialog," + scratch + "\\" + c.name);
        HWND dialog = WaitForDialog(p, "Datei speichern unter...");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(uia::TextOf(uia::FileDialogNameEdit(dialog)), c.offered);
        EXPECT_EQ(uia::ComboItems(uia::FindControl(dialog, 0x470)),
                  std::vector<std::string>{"Alle Dateien (*.*)"});
        if (c.confirm) {
            uia::SaveScreenshot(ScreenshotPath("copydialog"));
            ASSERT_TRUE(uia::SetFileDialogName(dialog, target));
            uia::ConfirmDialog(dialog);
        } else {
            uia::CancelDialog(dialog);
        }
        EXPECT_EQ(p.WaitForExit(), 0u);
        // Replaced without a question; no result entry either way.
        EXPECT_EQ(uia::ReadFileBytes(target), c.confirm ? "neu" : "alt");
        EXPECT_FALSE(uia::FileExists(ResultFile()));
        EXPECT_EQ(Remembered(), c.confirm ? scratch + "\\Ablage\\" : "C:\\");
    }
}

// The text of the folder tree's selected item, read from the dialog's process.
std::string SelectedTreeItem(HWND tree) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(tree, &pid);
    tav::UniqueHandle process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!process || !item) return "";
    struct RemoteMemory {
        HANDLE process;
        char* p;
        ~RemoteMemory() { if (p) ::VirtualFreeEx(process, p, 0, MEM_RELEASE); }
    } remote{process.get(), static_cast<char*>(::VirtualAllocEx(process.get(), nullptr, 4096,
                                                                 MEM_COMMIT, PAGE_READWRITE))};
    TVITEMA request{};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = remote.p + 512;
    request.cchTextMax = 260;
    char text[261] = {};
    if (!remote.p || !::WriteProcessMemory(process.get(), remote.p, &request, sizeof request, nullptr) ||
        !::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.p)) ||
        !::ReadProcessMemory(process.get(), request.pszText, text, 260, nullptr))
        return "";
    return text;
}

TEST(SelectFolder, StartFolderIsPreselectedAndTheButtonDecidesTheResult) {
    const struct {
        std::string parameters;
        int button;
        std::string selected;  // empty: no start folder, so not "windows"
        std::optional<std::string> result;  // nullopt: anything but "C:\windows"
        std::string error;
    } cases[] = {
        {"c,selectfolder,Bitte einen Ordner wählen,C:\\windows\\system32\\", IDOK, "system32",
         "C:\\windows\\system32", "0"},
        {"c,selectfolder,Ordner,C:\\users\\Public", IDCANCEL, "Public", "", "1"},
        {"c,selectfolder,Laufwerk,D:\\", IDOK, "", "D:\\", "0"},  // reaches the dialog as "D:"
        {"c,selectfolder,Text", IDOK, "", std::nullopt, ""},
        {"c,selectfolder,Text,C:\\windows,x", IDOK, "", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters);
        RemoveResultFile();
        uia::Process p = RunMain(c.parameters);
        HWND dialog = WaitForDialog(p, "");
        ASSERT_NE(dialog, nullptr);
        HWND tree = uia::FindControl(dialog, 0x3741);
        // The selection is made while the dialog initialises, before it shows.
        std::string selected;
        uia::WaitUntil([&] {
            selected = SelectedTreeItem(tree);
            return c.selected.empty() || selected == c.selected;
        });
        if (c.selected.empty()) EXPECT_NE(selected, "windows");
        else EXPECT_EQ(selected, c.selected);
        uia::Command(dialog, c.button);
        std::optional<Entries> result;
        uia::WaitUntil([&] { return (result = ResultSection("SelectFolder")) && result->count("Error"); });
        ASSERT_TRUE(result && result->count("Error"));
        if (c.result) EXPECT_EQ(*result, (Entries{{"Result", *c.result}, {"Error", c.error}}));
        else EXPECT_NE(result->at("Result"), "C:\\windows");
        // The front end has two seconds; then the file is gone and the program has ended.
        EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000}));
        EXPECT_EQ(p.WaitForExit(uia::Ms{3000}), 0u);
    }
}

TEST(SelectFolder, WithoutItsTextItShowsNothingAndEnds) {
    RemoveResultFile();
    uia::Process p = RunMain("c,selectfolder");
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{500}));
    EXPECT_EQ(p.WaitForExit(), 0u);
    EXPECT_FALSE(uia::FileExists(ResultFile()));
}

}  // namespace
