// The file browser with picture preview, driven like a user drives it. The
// reference's examples pick a BMP of the required size and cancel.
#include <windows.h>

#include <algorithm>

#include "main/dialogs/file_browser_ids.h"
#include "main/dialogs/file_browser_window.h"
#include "main/dialogs/remembered_settings.h"
#include "tests/support/display.h"
#include "tests/support/file_browser_driver.h"
#include "tests/support/fixtures.h"

using namespace systest;
using namespace tav::browser;

// OK is enabled only while a picture of the required size is selected, the size
// measured from the picture also beyond the 32767 pixels a window can measure;
// OK copies the file, reports its size and remembers the folder.
TEST_F(FileBrowser, RequiredSizeEnablesOkOnlyForAPictureOfThatSizeAndOkCopiesIt) {
    Put(pictures_, {{"breit.bmp", Bitmap(40000, 4)}, {"hoch.bmp", Bitmap(4, 40000)}});
    Browser b = Open("c,Bitte Bild wählen,*.bmp," + target_ + ",40000,4");
    ASSERT_NE(b.window, nullptr);
    EXPECT_FALSE(uia::IsEnabled(b.Item(OkButton)));
    ASSERT_TRUE(b.Pick("hoch.bmp", "Dateigröße: 4 x 40000")) << b.Text(SizeLabel);
    EXPECT_FALSE(uia::IsEnabled(b.Item(OkButton)));
    EXPECT_EQ(b.Text(StatusLabel), "Das ausgewählte Bild weist nicht die Masse auf: 40000 x 4 .");
    ASSERT_TRUE(b.Pick("breit.bmp", "Dateigröße: 40000 x 4")) << b.Text(SizeLabel);
    EXPECT_TRUE(uia::IsEnabled(b.Item(OkButton)));
    EXPECT_EQ(b.Text(StatusLabel), "");
    uia::Click(b.Item(OkButton));
    EXPECT_EQ(Result(), Reported("bmp", "40000", "4", '0'));
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    EXPECT_EQ(uia::ReadFileBytes(target_ + ".bmp"), Bitmap(40000, 4));
    EXPECT_EQ(tav::GetSetting("Dir"), pictures_);
}

// Only files that fit one of the patterns and are neither hidden nor system
// files are listed. Pictures show with their size, other files with the symbol;
// without a required size OK is enabled, and reports the last picture's size.
TEST_F(FileBrowser, PicturesPreviewWithTheirSizeOthersShowTheSymbolAndAFailedCopyIsReported) {
    Put(pictures_, {{"c.wmf", Wmf(200, 100)}, {"d.emf", EnhancedMetafile()}, {"e.gif", CarriedPicture(1003)},
                    {"f.bmp", CarriedPicture(1004)}, {"g.ico", CarriedPicture(1005)}, {"notiz.txt", "Text"},
                    {"bild.jpg", CarriedPicture(1001)}, {"versteckt.jpg", "v"}, {"system.gif", "s"}, {"anders.doc", "d"}});
    ::SetFileAttributesA((pictures_ + "\\versteckt.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesA((pictures_ + "\\system.gif").c_str(), FILE_ATTRIBUTE_SYSTEM);
    Browser b = Open("c,Titel,*.jpg;*.wmf;*.emf;*.gif;*.bmp;*.ico;*.txt," + scratch_ + "\\fehlt\\bild");  // no target folder
    ASSERT_NE(b.window, nullptr);
    EXPECT_EQ(b.Files(), (std::vector<std::string>{"bild.jpg", "c.wmf", "d.emf", "e.gif", "f.bmp", "g.ico", "notiz.txt"}));
    EXPECT_TRUE(uia::IsEnabled(b.Item(OkButton)));
    const struct { const char* file; int width, height; } pictures[] = {
        {"bild.jpg", 640, 480}, {"c.wmf", 200, 100}, {"d.emf", 192, 96}, {"f.bmp", 120, 90}, {"g.ico", 32, 32}, {"e.gif", 320, 200}};
    for (const auto& picture : pictures) {
        EXPECT_TRUE(b.Pick(picture.file, "Dateigröße: " + Size(picture.width, picture.height))) << b.Text(SizeLabel);
        RECT shown{};
        ::GetClientRect(b.Item(SourcePicture), &shown);
        EXPECT_EQ(Size(shown.right, shown.bottom), Size(picture.width, picture.height)) << picture.file;
        EXPECT_TRUE(uia::IsVisible(b.Item(PreviewBox))) << picture.file;
        if (picture.width == 640) b.Screenshot("file_browser_preview");
    }
    ASSERT_TRUE(b.Pick("notiz.txt", "Vorschau nicht möglich"));
    EXPECT_FALSE(uia::IsVisible(b.Item(PreviewBox)));
    EXPECT_TRUE(uia::IsVisible(b.Item(NoPreviewFrame)));
    uia::Click(b.Item(OkButton));  // the copy fails: error "1"
    EXPECT_EQ(Result(), Reported("txt", "320", "200", '1'));
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

// Enter is OK from the drive, folder and file lists while OK is enabled, with
// or without a required size (with nothing selected, nothing is copied and that
// is reported); Esc is Abbrechen. The window goes at once, the result stays for
// the hand-over. (While OK is disabled, Enter opens a folder: the folder test.)
TEST_F(FileBrowser, EnterIsOkFromEveryListWhileOkIsEnabledAndEscCancels) {
    Put(pictures_, {{"bild.jpg", CarriedPicture(1001)}});
    const std::string picked = Reported("jpg", "640", "480", '0');
    const struct { int control; const char* requiredSize; bool pick, escape; std::string result; } cases[] = {
        {DriveList, "", false, false, Reported("", "89", "73", '1')},
        {FolderList, ",640,480", true, false, picked},
        {FileList, "", true, false, picked},
        {FileList, ",640,480", true, true, Reported("", "", "", '1')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.control) + c.requiredSize + (c.escape ? " Esc" : " Enter"));
        ::DeleteFileA((target_ + ".jpg").c_str());
        Browser b = Open("c,Titel,*.jpg," + target_ + c.requiredSize);
        ASSERT_NE(b.window, nullptr);
        ASSERT_TRUE(!c.pick || b.Pick("bild.jpg", "Dateigröße: " + Size(640, 480)));
        ASSERT_TRUE(b.Focus(c.control));
        c.escape ? uia::PressEscape(b.window) : uia::PressEnter(b.window);
        EXPECT_EQ(Result(), c.result);
        EXPECT_TRUE(uia::WaitForWindowGone({b.process.Pid(), "", "#32770"}, uia::Ms{1000}));
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
        EXPECT_EQ(uia::FileExists(target_ + ".jpg"), c.result == picked);
    }
}

// Twelve folder levels below the picture folder: the list holds the whole
// chain, and the open folder's name is drawn whole.
TEST_F(FileBrowser, TheOpenFolderShowsItsWholeNameAtAnyDepth) {
    std::vector<std::string> chain = {"c:\\", "scratch", scratch_.substr(scratch_.find_last_of('\\') + 1), "bilder"};
    std::string deepest = pictures_;
    for (int level = 1; level <= 12; ++level)
        deepest += "\\" + chain.emplace_back((level < 10 ? "Ebene0" : "Ebene") + std::to_string(level));
    ASSERT_TRUE(uia::MakeFolders(deepest));
    tav::SaveSetting("Dir", deepest);
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    HWND list = b.Item(FolderList);
    EXPECT_EQ(b.Folders(), chain);
    const int current = uia::ListSelection(list);
    ASSERT_EQ(current, static_cast<int>(chain.size()) - 1);
    b.Screenshot("file_browser_deep");

    // The open folder's row on the screen: its glyph, then its name in the
    // highlight's text colour on the highlight. The name is whole when the
    // drawn pixels reach as far right as the name's own last stroke does
    // (measured on the name drawn in the same font, so that no font's side
    // bearings decide).
    RECT item{};
    ::SendMessageA(list, LB_GETITEMRECT, current, reinterpret_cast<LPARAM>(&item));
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
    const ScreenArea row(item);
    int first = -1, last = -1;
    for (int x = 2; x < row.Width() - 2; ++x)  // the focus frame's columns left out
        for (int y = 2; y < row.Height() - 2; ++y)
            if (row.At(x, y) != ::GetSysColor(COLOR_HIGHLIGHT)) { first = first < 0 ? x : first; last = x; break; }
    ASSERT_GE(first, 0) << "nothing drawn in the open folder's row";
    const auto font = tav::CreateUiFont("MS Sans Serif", 8.25, false, tav::ScreenDpi());
    const int glyph = tav::TwipsToPixels(225, tav::ScreenDpi()) + 3;
    EXPECT_GE(last - (first + glyph), LastInkColumn(font.get(), chain.back()))
        << "drawn from " << first << " to " << last << " of " << row.Width();
    b.CloseBoxAndEnd();
}

// While OK is disabled, Enter opens the highlighted folder; so does a
// double-click. The close box writes nothing, and the next run opens where this
// one was closed. A drive that is not ready says so once and changes nothing;
// a ready one opens and is remembered.
TEST_F(FileBrowser, FoldersAndDrivesOpenTheCloseBoxWritesNothingAndBothAreRemembered) {
    uia::MakeFolders(pictures_ + "\\unter\\noch tiefer");
    Put(pictures_ + "\\unter", {{"tief.jpg", CarriedPicture(1001)}});
    Put(pictures_ + "\\unter\\noch tiefer", {{"ganz.jpg", CarriedPicture(1001)}});
    {
        Browser b = Open("c,Titel,*.jpg," + target_ + ",1,1");  // no picture has that size
        ASSERT_NE(b.window, nullptr);
        HWND folders = b.Item(FolderList);
        EXPECT_EQ(uia::ListSelection(folders), 3);  // the open folder, above its subfolder
        ASSERT_TRUE(b.Focus(FolderList));
        ::SendMessageA(folders, LB_SETCURSEL, 4, 0);
        uia::PressEnter(b.window);
        ASSERT_TRUE(uia::WaitUntil([&] { return b.Files() == std::vector<std::string>{"tief.jpg"}; }));
        ASSERT_TRUE(uia::DoubleClickListItem(folders, "noch tiefer"));
        ASSERT_TRUE(uia::WaitUntil([&] { return b.Files() == std::vector<std::string>{"ganz.jpg"}; }));
        b.CloseBoxAndEnd();
        EXPECT_FALSE(uia::FileExists(ResultFile()));
    }
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    EXPECT_EQ(b.Files(), (std::vector<std::string>{"ganz.jpg"}));
    HWND drives = b.Item(DriveList);
    const auto entries = uia::ComboItems(drives);
    const auto d = std::find_if(entries.begin(), entries.end(), [](const std::string& e) { return e.substr(0, 2) == "d:"; });
    ASSERT_NE(d, entries.end());
    const auto foldersBefore = b.Folders();
    ASSERT_TRUE(uia::SelectComboItem(drives, "f:"));
    const auto box = uia::WaitForMessageBox(b.process.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title + ": " + box->text, "Tavrino: Laufwerk nicht bereit oder verfügbar!");
    uia::AnswerMessageBox(box->hwnd, IDOK);
    ASSERT_TRUE(uia::WaitUntil([&] { return !uia::WaitForMessageBox(b.process.Pid(), uia::Ms{0}); }));
    EXPECT_FALSE(uia::WaitForMessageBox(b.process.Pid(), uia::Ms{700}));  // once only
    EXPECT_EQ(b.Folders(), foldersBefore);
    EXPECT_EQ(uia::TextOf(drives), "f:");
    ASSERT_TRUE(uia::SelectComboItem(drives, *d));
    ASSERT_TRUE(uia::WaitUntil([&] { return b.Folders().front() == "d:\\"; }));
    b.CloseBoxAndEnd();
    EXPECT_EQ(tav::GetSetting("Drive").substr(0, 2), "d:");
}
