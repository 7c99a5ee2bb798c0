// The platform's open, save and folder dialogs, driven as a user would drive
// them, and what the program leaves behind: copies, the result file and the
// remembered folder. The examples of docs/actions.md already run a plain
// pick and a cancel of each dialog.
#include <windows.h>

#include "main/dialogs/remembered_settings.h"
#include "tests/support/system_test.h"

using namespace systest;

namespace {

// Where the remembered folder is, as a front end names it.
constexpr char kRememberedKey[] = "Software\\VB and VBA Program Settings\\Tavrino\\Main";

std::string Remembered() { return tav::GetSetting("Dlg", "<absent>"); }

const IniEntries kFailed = {{"Extension", ""}, {"Error", "1"}};

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

// Runs "opendialog", types `name`, waits for the end; the "Dialog" section
// left behind (no hand-over: it stays).
std::optional<IniEntries> PickInOpenDialog(const std::string& pattern, const std::string& targetBase,
                                        const std::string& name, const std::string& cwd = uia::FrontEndFolder()) {
    RemoveResultFile();
    uia::Process p = RunMain("c,opendialog,Bitte eine Datei wählen," + pattern + "," + targetBase, cwd);
    HWND dialog = WaitForDialog(p, "Bitte eine Datei wählen");
    if (!dialog) return std::nullopt;
    EXPECT_EQ(uia::ComboItems(uia::FindControl(dialog, 0x470)), std::vector<std::string>{pattern});
    EXPECT_TRUE(uia::SetFileDialogName(dialog, name));
    uia::ConfirmDialog(dialog);
    EXPECT_EQ(p.WaitForExit(), 0u);
    return ResultSection("Dialog");
}

// On the first run the dialog starts in C:\ (not in the working folder), then
// in the folder of the last choice, or in the folder a front end stored under
// the settings' registry path: a bare name typed is found there.
TEST(OpenDialog, ConfirmedFileIsCopiedWithItsExtensionAndTheNextDialogStartsInItsFolder) {
    const std::string scratch = ScratchFolder(), photos = scratch + "\\Fotos", probe = "C:\\tav_startprobe.txt";
    const std::string stored = scratch + "\\Vom Frontend";
    ASSERT_TRUE(uia::MakeFolders(photos) && uia::MakeFolders(scratch + "\\Ziel") && uia::MakeFolders(stored));
    const std::string picture("\xff\xd8\xff\xe0 urlaub\0\r\n\x1a", 14);
    ASSERT_TRUE(uia::WriteFileBytes(photos + "\\urlaub.jpg", picture));
    ASSERT_TRUE(uia::WriteFileBytes(stored + "\\zwei.gif", "GIF89a"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Ziel\\bild.jpg", "alt"));  // replaced
    ASSERT_TRUE(uia::WriteFileBytes(probe, "aus C:"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\tav_startprobe.txt", "aus dem Arbeitsordner"));
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRememberedKey, "Dlg");

    const auto first = PickInOpenDialog("*.*", scratch + "\\kopie", "tav_startprobe.txt", scratch);
    ::DeleteFileA(probe.c_str());
    EXPECT_EQ(first, (IniEntries{{"Extension", "txt"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\kopie.txt"), "aus C:");
    EXPECT_EQ(Remembered(), "C:\\");

    EXPECT_EQ(PickInOpenDialog("*.jpg", scratch + "\\Ziel\\bild", photos + "\\urlaub.jpg"),
              (IniEntries{{"Extension", "jpg"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\Ziel\\bild.jpg"), picture);
    EXPECT_EQ(Remembered(), photos + "\\");

    const std::string value = stored + "\\";
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, kRememberedKey, "Dlg", REG_SZ, value.c_str(),
                                static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    EXPECT_EQ(PickInOpenDialog("*.gif", " " + scratch + "\\Ziel\\zwei ", "zwei.gif"),
              (IniEntries{{"Extension", "gif"}, {"Error", "0"}}));
    EXPECT_EQ(uia::ReadFileBytes(scratch + "\\Ziel\\zwei.gif"), "GIF89a");  // target trimmed
}

// A cancel (the examples run one) takes the same way as a choice too long for the dialog.
TEST(OpenDialog, UnusableChoicesReportAnEmptyExtensionAndError1) {
    const std::string scratch = ScratchFolder();
    const std::string source = scratch + "\\quelle.png";
    ASSERT_TRUE(uia::WriteFileBytes(source, "png"));
    std::string tooLong = scratch + "\\";
    tooLong += std::string(140 - tooLong.size() - 4, 'n') + ".png";  // 140 characters
    ASSERT_TRUE(uia::WriteFileBytes(tooLong, "png"));
    const struct {
        std::string name;
        std::string target, remembered;
    } cases[] = {
        {scratch + "\\fehlt.png", scratch + "\\ziel", scratch + "\\"},  // missing file
        {source, scratch + "\\fehlt\\ziel", scratch + "\\"},            // missing target folder
        {tooLong, scratch + "\\ziel", "C:\\"},                          // behaves as cancel
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " -> " + c.target);
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
        EXPECT_EQ(uia::ComboItems(uia::FindControl(dialog, 0x470)), std::vector<std::string>{"Alle Dateien (*.*)"});
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

// A start folder is selected when the dialog opens (OK takes it); the
// examples run one with a backslash at its end, and the cancel without one.
TEST(SelectFolder, StartFolderIsPreselectedAndTheButtonDecidesTheResult) {
    const struct {
        std::string parameters;
        int button;
        std::optional<std::string> result;  // nullopt: anything but "C:\windows"
        std::string error;
    } cases[] = {
        {"c,selectfolder,Ordner,C:\\users\\Public", IDOK, "C:\\users\\Public", "0"},
        {"c,selectfolder,Ordner,C:\\users\\Public", IDCANCEL, "", "1"},
        {"c,selectfolder,Laufwerk,D:\\", IDOK, "D:\\", "0"},  // reaches the dialog as "D:"
        {"c,selectfolder,Text,C:\\windows,x", IDOK, std::nullopt, ""},  // five elements: no start folder
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters + (c.button == IDOK ? " OK" : " cancel"));
        RemoveResultFile();
        uia::Process p = RunMain(c.parameters);
        HWND dialog = WaitForDialog(p, "");
        ASSERT_NE(dialog, nullptr);
        uia::Command(dialog, c.button);
        std::optional<IniEntries> result;
        uia::WaitUntil([&] { return (result = ResultSection("SelectFolder")) && result->count("Error"); });
        ASSERT_TRUE(result && result->count("Error"));
        if (c.result) EXPECT_EQ(*result, (IniEntries{{"Result", *c.result}, {"Error", c.error}}));
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
