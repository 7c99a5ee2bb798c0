// The file browser with picture preview, driven like a user drives it.
#include <windows.h>

#include <algorithm>
#include <chrono>

#include "main/dialogs/file_browser_ids.h"
#include "main/dialogs/file_browser_window.h"
#include "main/dialogs/remembered_settings.h"
#include "tests/support/display.h"
#include "tests/support/system_test.h"

using namespace systest;
using namespace tav::browser;
using Clock = std::chrono::steady_clock;

namespace {

std::string Resource(int id) {
    HRSRC info = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    if (!info) return {};
    const void* data = ::LockResource(::LoadResource(nullptr, info));
    return std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, info));
}
std::string Jpeg640() { return Resource(1001); }
std::string Jpeg800() { return Resource(1002); }
std::string Gif320() { return Resource(1003); }
std::string Bmp120() { return Resource(1004); }
std::string Ico32() { return Resource(1005); }

// A 24-bit BMP of `width` x `height` pixels, all one colour.
std::string Bmp(int width, int height) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + stride * height);
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(stride * height, '\x60');
    return bytes;
}

// A Windows metafile with the placeable header: `width` x `height` units at 96 per inch.
std::string Wmf(int width, int height) {
    HDC dc = ::CreateMetaFileA(nullptr);
    ::SetWindowExtEx(dc, width, height, nullptr);
    ::Rectangle(dc, 0, 0, width, height);
    ::Ellipse(dc, 10, 10, width - 10, height - 10);
    HMETAFILE metafile = ::CloseMetaFile(dc);
    const UINT size = ::GetMetaFileBitsEx(metafile, 0, nullptr);
    std::string body(size, '\0');
    ::GetMetaFileBitsEx(metafile, size, body.data());
    ::DeleteMetaFile(metafile);

    WORD header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<WORD>(width), static_cast<WORD>(height),
                       96, 0, 0, 0};
    for (int i = 0; i < 10; ++i) header[10] ^= header[i];
    return std::string(reinterpret_cast<const char*>(header), sizeof header) + body;
}

// An enhanced metafile whose frame is `width` x `height` pixels at 96 DPI.
std::string Emf(int width, int height) {
    const RECT frame = {0, 0, ::MulDiv(width, 2540, 96), ::MulDiv(height, 2540, 96)};
    HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    ::Rectangle(dc, 0, 0, width, height);
    ::Ellipse(dc, 5, 5, width - 5, height - 5);
    HENHMETAFILE metafile = ::CloseEnhMetaFile(dc);
    const UINT size = ::GetEnhMetaFileBits(metafile, 0, nullptr);
    std::string bytes(size, '\0');
    ::GetEnhMetaFileBits(metafile, size, reinterpret_cast<BYTE*>(bytes.data()));
    ::DeleteEnhMetaFile(metafile);
    return bytes;
}

void Put(const std::string& path, const std::string& bytes, DWORD attributes = 0) {
    ASSERT_FALSE(bytes.empty()) << path;
    ASSERT_TRUE(uia::WriteFileBytes(path, bytes)) << path;
    if (attributes) ::SetFileAttributesA(path.c_str(), attributes);
}

// The result file once its last key ("Error") is written: the keys arrive one by one.
std::optional<std::string> WaitForResult() {
    std::optional<std::string> bytes;
    uia::WaitUntil([&] {
        bytes = uia::ReadFileBytes(ResultFile());
        return bytes && bytes->find("Error=") != std::string::npos &&
               bytes->size() >= 2 && bytes->compare(bytes->size() - 2, 2, "\r\n") == 0;
    });
    return bytes && bytes->find("Error=") != std::string::npos ? bytes : std::nullopt;
}

std::string SizeText(int w, int h) {
    return "Dateigröße: " + std::to_string(w) + " x " + std::to_string(h);
}

struct Browser {
    uia::Process process;
    HWND window = nullptr;

    HWND Item(int id) const { return uia::FindControl(window, id); }
    std::string Text(int id) const { return uia::TextOf(Item(id)); }
    // Selects a file like a click on it and waits until the preview text says `sizeLabelText`.
    bool Pick(const std::string& file, const std::string& sizeLabelText) const {
        return uia::SelectListItem(Item(FileList), file) &&
               uia::WaitUntil([&] { return Text(SizeLabel) == sizeLabelText; }, uia::Ms{5000});
    }
    SIZE SourceSize() const {
        RECT r{};
        ::GetClientRect(Item(SourcePicture), &r);
        return {r.right, r.bottom};
    }
    std::vector<std::string> Files() const { return uia::ListItems(Item(FileList)); }
    // Gives a control the keyboard focus, as Tab would.
    bool Focus(int id) const {
        HWND control = Item(id);
        ::PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        return uia::WaitUntil([&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) &&
                   info.hwndFocus == control;
        });
    }
    std::vector<std::string> Folders() const { return uia::ListItems(Item(FolderList)); }
};

class FileBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = ScratchFolder();
        pictures_ = scratch_ + "\\bilder";
        uia::MakeFolders(pictures_ + "\\unter");
        target_ = scratch_ + "\\ziel\\bild";
        uia::MakeFolders(scratch_ + "\\ziel");
        // Every test starts on the picture folder.
        tav::SaveSetting("Drive", "c:");
        tav::SaveSetting("Dir", pictures_);
        ::DeleteFileA(ResultFile().c_str());
    }

    Browser Open(const std::string& parameters) {
        Browser b;
        b.process = RunMain(parameters);
        b.window = uia::WaitForWindow({b.process.Pid(), "", "#32770"});
        EXPECT_NE(b.window, nullptr) << parameters;
        return b;
    }

    std::string scratch_, pictures_, target_;
};

}  // namespace

TEST_F(FileBrowser, RequiredSizeEnablesOkOnlyForAPictureOfThatSizeAndOkCopiesIt) {
    Put(pictures_ + "\\bild640.jpg", Jpeg640());
    Put(pictures_ + "\\bild800.jpg", Jpeg800());
    Put(pictures_ + "\\bild320.gif", Gif320());
    Put(pictures_ + "\\text.txt", "kein Bild");
    Put(pictures_ + "\\versteckt.jpg", Jpeg640(), FILE_ATTRIBUTE_HIDDEN);
    Put(pictures_ + "\\system.jpg", Jpeg640(), FILE_ATTRIBUTE_SYSTEM);

    Browser b = Open("c,Bitte Bild wählen,*.jpg;*.gif," + target_ + ",640,480");
    ASSERT_NE(b.window, nullptr);
    EXPECT_EQ(uia::TextOf(b.window), "Bitte Bild wählen");
    EXPECT_EQ(b.Files(), (std::vector<std::string>{"bild320.gif", "bild640.jpg", "bild800.jpg"}));
    EXPECT_FALSE(uia::IsEnabled(b.Item(OkButton)));

    ASSERT_TRUE(b.Pick("bild800.jpg", SizeText(800, 600)));
    EXPECT_FALSE(uia::IsEnabled(b.Item(OkButton)));
    EXPECT_EQ(b.Text(StatusLabel), "Das ausgewählte Bild weist nicht die Masse auf: 640 x 480 .");

    ASSERT_TRUE(b.Pick("bild640.jpg", SizeText(640, 480)));
    EXPECT_TRUE(uia::IsEnabled(b.Item(OkButton)));
    EXPECT_EQ(b.Text(StatusLabel), "");
    ::RedrawWindow(b.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    uia::SaveScreenshot(ScreenshotPath("file_browser_preview"));

    const auto t0 = Clock::now();
    uia::Click(b.Item(OkButton));
    const auto result = WaitForResult();
    EXPECT_EQ(result.value_or(""), "[Dialog]\r\nExtension=jpg\r\nWidth=640\r\nHeight=480\r\nError=0\r\n");
    EXPECT_EQ(uia::ReadFileBytes(target_ + ".jpg"), Jpeg640());
    EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000}));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(1500));
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{3000}), 0u);
    EXPECT_EQ(tav::GetSetting("Dir"), pictures_);  // OK remembers the folder
}

TEST_F(FileBrowser, PicturesPreviewWithTheirSizeOthersShowTheSymbolAndAFailedCopyIsReported) {
    Put(pictures_ + "\\c.wmf", Wmf(200, 100));
    Put(pictures_ + "\\d.emf", Emf(160, 120));
    Put(pictures_ + "\\e.gif", Gif320());
    Put(pictures_ + "\\f.bmp", Bmp120());
    Put(pictures_ + "\\g.ico", Ico32());
    Put(pictures_ + "\\notiz.txt", "Text");
    // The target's folder does not exist: the copy fails.
    Browser b = Open("c,Titel,*.*," + scratch_ + "\\fehlt\\bild");
    ASSERT_NE(b.window, nullptr);
    EXPECT_TRUE(uia::IsEnabled(b.Item(OkButton)));  // no required size
    const struct {
        const char* file;
        int width, height;
    } pictures[] = {{"c.wmf", 200, 100}, {"d.emf", 160, 120}, {"f.bmp", 120, 90},
                  {"g.ico", 32, 32},    {"e.gif", 320, 200}};
    for (const auto& picture : pictures) {
        EXPECT_TRUE(b.Pick(picture.file, SizeText(picture.width, picture.height))) << b.Text(SizeLabel);
        EXPECT_EQ(b.SourceSize().cx, picture.width) << picture.file;
        EXPECT_EQ(b.SourceSize().cy, picture.height) << picture.file;
        EXPECT_TRUE(uia::IsVisible(b.Item(PreviewBox))) << picture.file;
    }
    ASSERT_TRUE(b.Pick("notiz.txt", "Vorschau nicht möglich"));
    EXPECT_FALSE(uia::IsVisible(b.Item(PreviewBox)));
    EXPECT_TRUE(uia::IsVisible(b.Item(NoPreviewFrame)));

    // OK reports the last picture's size; the copy failed, so the error is "1".
    uia::Click(b.Item(OkButton));
    EXPECT_EQ(WaitForResult().value_or(""),
              "[Dialog]\r\nExtension=txt\r\nWidth=320\r\nHeight=200\r\nError=1\r\n");
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

// Enter is OK from the drive, folder and file lists while OK is enabled (with
// nothing selected, nothing is copied and that is reported); while OK is
// disabled, Enter in the folder list opens the highlighted folder.
TEST_F(FileBrowser, EnterIsOkFromEveryListWhileOkIsEnabledAndEscCancels) {
    Put(pictures_ + "\\bild.jpg", Jpeg640());
    Put(pictures_ + "\\unter\\tief.jpg", Jpeg640());
    const std::string picked = "[Dialog]\r\nExtension=jpg\r\nWidth=640\r\nHeight=480\r\nError=0\r\n";
    const struct {
        int control;
        bool requiredSize;
        const char* result;
    } cases[] = {
        {DriveList, false, "[Dialog]\r\nExtension=\r\nWidth=89\r\nHeight=73\r\nError=1\r\n"},
        {FolderList, true, picked.c_str()},
        {FileList, true, picked.c_str()},
    };
    for (const auto& c : cases) {
        ::DeleteFileA(ResultFile().c_str());
        ::DeleteFileA((target_ + ".jpg").c_str());
        tav::SaveSetting("Dir", pictures_);  // OK remembers the folder it was in
        Browser b = Open("c,Titel,*.jpg," + target_ + (c.requiredSize ? ",640,480" : ""));
        ASSERT_NE(b.window, nullptr) << c.control;
        if (c.requiredSize) {
            ASSERT_FALSE(uia::IsEnabled(b.Item(OkButton)));
            // OK disabled: Enter opens the highlighted folder and reports nothing.
            ASSERT_TRUE(b.Focus(FolderList));
            const auto folders = b.Folders();
            ASSERT_EQ(folders.back(), "unter");
            ::SendMessageA(b.Item(FolderList), LB_SETCURSEL, folders.size() - 1, 0);
            uia::PressEnter(b.window);
            ASSERT_TRUE(uia::WaitUntil([&] { return b.Files() == std::vector<std::string>{"tief.jpg"}; }));
            EXPECT_FALSE(uia::FileExists(ResultFile()));
            ASSERT_TRUE(b.Pick("tief.jpg", SizeText(640, 480)));
            ASSERT_TRUE(uia::IsEnabled(b.Item(OkButton)));
        }
        ASSERT_TRUE(b.Focus(c.control)) << c.control;
        uia::PressEnter(b.window);
        EXPECT_EQ(WaitForResult().value_or(""), c.result) << c.control;
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u) << c.control;
        EXPECT_EQ(uia::FileExists(target_ + ".jpg"), c.requiredSize) << c.control;
    }
    ::DeleteFileA(ResultFile().c_str());
    tav::SaveSetting("Dir", pictures_);
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    ASSERT_TRUE(b.Pick("bild.jpg", SizeText(640, 480)));
    const auto t0 = Clock::now();
    uia::PressEscape(b.window);
    EXPECT_EQ(WaitForResult().value_or(""), "[Dialog]\r\nExtension=\r\nWidth=\r\nHeight=\r\nError=1\r\n");
    // The window goes at once; the result stays two seconds.
    EXPECT_TRUE(uia::WaitForWindowGone({b.process.Pid(), "", "#32770"}, uia::Ms{1000}));
    EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000}));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(1500));
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{3000}), 0u);
}

// Sizes, the size check and the reported size are the picture's own, also
// beyond the 32767 pixels a window can measure.
TEST_F(FileBrowser, PictureSizesComeFromThePictureBeyondAWindowsLargestSize) {
    Put(pictures_ + "\\breit.bmp", Bmp(40000, 4));
    Put(pictures_ + "\\hoch.bmp", Bmp(4, 40000));
    Browser b = Open("c,Breit,*.bmp," + target_ + ",40000,4");
    ASSERT_NE(b.window, nullptr);
    ASSERT_TRUE(b.Pick("hoch.bmp", SizeText(4, 40000))) << b.Text(SizeLabel);
    EXPECT_FALSE(uia::IsEnabled(b.Item(OkButton)));
    EXPECT_EQ(b.Text(StatusLabel), "Das ausgewählte Bild weist nicht die Masse auf: 40000 x 4 .");
    ASSERT_TRUE(b.Pick("breit.bmp", SizeText(40000, 4))) << b.Text(SizeLabel);
    EXPECT_TRUE(uia::IsEnabled(b.Item(OkButton)));
    EXPECT_EQ(b.Text(StatusLabel), "");
    uia::Click(b.Item(OkButton));
    EXPECT_EQ(WaitForResult().value_or(""), "[Dialog]\r\nExtension=bmp\r\nWidth=40000\r\nHeight=4\r\nError=0\r\n");
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    EXPECT_EQ(uia::ReadFileBytes(target_ + ".bmp"), Bmp(40000, 4));
}

// Twelve folder levels below the picture folder: the list holds the whole
// chain, and the open folder's name is drawn whole.
TEST_F(FileBrowser, TheOpenFolderShowsItsWholeNameAtAnyDepth) {
    std::string deepest = pictures_;
    std::vector<std::string> chain = {"c:\\", "scratch", scratch_.substr(scratch_.find_last_of('\\') + 1), "bilder"};
    for (int level = 1; level <= 12; ++level) {
        chain.push_back("Ebene" + std::string(level < 10 ? "0" : "") + std::to_string(level));
        deepest += "\\" + chain.back();
    }
    ASSERT_TRUE(uia::MakeFolders(deepest));
    tav::SaveSetting("Dir", deepest);
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    HWND list = b.Item(FolderList);
    EXPECT_EQ(b.Folders(), chain);
    const int current = uia::ListSelection(list);
    ASSERT_EQ(current, static_cast<int>(chain.size()) - 1);
    ::RedrawWindow(b.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    uia::SaveScreenshot(ScreenshotPath("file_browser_deep"));

    // The open folder's row on the screen: its glyph, then its name in the
    // highlight's text colour on the highlight. The name is whole when the
    // drawn pixels reach as far right as the name is wide.
    const int rowHeight = static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(::SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    RECT client{};
    ::GetClientRect(list, &client);
    POINT origin = {0, (current - top) * rowHeight};
    ::ClientToScreen(list, &origin);
    const ScreenArea row({origin.x, origin.y, origin.x + client.right, origin.y + rowHeight});
    const COLORREF background = ::GetSysColor(COLOR_HIGHLIGHT);
    int first = -1, last = -1;
    for (int x = 2; x < row.Width() - 2; ++x) {  // the focus frame's columns left out
        for (int y = 2; y < row.Height() - 2; ++y) {
            if (row.At(x, y) == background) continue;
            if (first < 0) first = x;
            last = x;
            break;
        }
    }
    ASSERT_GE(first, 0) << "nothing drawn in the open folder's row";
    const auto font = tav::CreateUiFont("MS Sans Serif", 8.25, false, tav::ScreenDpi());
    const int glyph = tav::TwipsToPixels(225, tav::ScreenDpi()) + 3;
    EXPECT_GE(last - (first + glyph) + 1, TextSize(font.get(), chain.back()).cx - 1)
        << "drawn from " << first << " to " << last << " of " << row.Width();
    uia::CloseBox(b.window);
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

TEST_F(FileBrowser, FoldersOpenOnDoubleClickTheCloseBoxWritesNothingAndTheFolderIsRemembered) {
    Put(pictures_ + "\\unter\\tief.jpg", Jpeg640());
    uia::MakeFolders(pictures_ + "\\unter\\noch tiefer");
    const std::string testFolder = scratch_.substr(scratch_.find_last_of('\\') + 1);
    {
        Browser b = Open("c,Titel,*.jpg," + target_);
        ASSERT_NE(b.window, nullptr);
        EXPECT_EQ(b.Folders(), (std::vector<std::string>{"c:\\", "scratch", testFolder, "bilder", "unter"}));
        EXPECT_EQ(uia::ListSelection(b.Item(FolderList)), 3);  // the open folder
        ASSERT_TRUE(uia::DoubleClickListItem(b.Item(FolderList), "unter"));
        ASSERT_TRUE(uia::WaitUntil([&] { return b.Files() == std::vector<std::string>{"tief.jpg"}; }));
        EXPECT_EQ(b.Folders().back(), "noch tiefer");
        uia::CloseBox(b.window);
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
        EXPECT_FALSE(uia::FileExists(ResultFile()));
        EXPECT_EQ(tav::GetSetting("Dir"), pictures_ + "\\unter");
    }
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    EXPECT_EQ(b.Files(), (std::vector<std::string>{"tief.jpg"}));
    uia::CloseBox(b.window);
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

TEST_F(FileBrowser, ADriveThatIsNotReadySaysSoOnceAndAReadyDriveOpens) {
    Put(pictures_ + "\\a.jpg", Jpeg640());
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    HWND drives = b.Item(DriveList);
    const auto entries = uia::ComboItems(drives);
    EXPECT_EQ(uia::TextOf(drives).substr(0, 2), "c:");
    const auto d = std::find_if(entries.begin(), entries.end(),
                                [](const std::string& e) { return e.substr(0, 2) == "d:"; });
    ASSERT_NE(d, entries.end());

    const auto foldersBefore = b.Folders();
    ASSERT_TRUE(uia::SelectComboItem(drives, "f:"));
    const auto box = uia::WaitForMessageBox(b.process.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Tavrino");
    EXPECT_EQ(box->text, "Laufwerk nicht bereit oder verfügbar!");
    uia::AnswerMessageBox(box->hwnd, IDOK);
    ASSERT_TRUE(uia::WaitUntil([&] { return !uia::WaitForMessageBox(b.process.Pid(), uia::Ms{0}); }));
    EXPECT_FALSE(uia::WaitForMessageBox(b.process.Pid(), uia::Ms{700}));  // once only
    EXPECT_EQ(b.Folders(), foldersBefore);
    EXPECT_EQ(uia::TextOf(drives), "f:");

    ASSERT_TRUE(uia::SelectComboItem(drives, *d));
    ASSERT_TRUE(uia::WaitUntil([&] { return b.Folders().front() == "d:\\"; }));
    uia::CloseBox(b.window);
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    EXPECT_EQ(tav::GetSetting("Drive").substr(0, 2), "d:");
}
