// The file browser with picture preview, driven like a user drives it.
#include <windows.h>

#include <chrono>
#include <cstring>

#include "main/dialogs/file_browser_ids.h"
#include "main/dialogs/frmTavrino.h"
#include "main/dialogs/settings.h"
#include "tests/win/system_test.h"

using namespace systest;
using namespace tav::browser;
using Clock = std::chrono::steady_clock;

namespace {

// --- picture fixtures ------------------------------------------------------------

std::string Resource(int id) {
    HRSRC info = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    if (!info) return {};
    const void* data = ::LockResource(::LoadResource(nullptr, info));
    return std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, info));
}
std::string Jpeg640() { return Resource(1001); }
std::string Jpeg800() { return Resource(1002); }
std::string Gif320() { return Resource(1003); }

template <typename T>
void Append(std::string& bytes, const T& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// A 24-bit bottom-up bitmap with a diagonal pattern.
std::string Bmp(int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    std::string bytes;
    Append(bytes, file);
    Append(bytes, info);
    for (int y = 0; y < height; ++y) {
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<char>((x + y) % 2 ? 0xff : 0x40);
            row[x * 3 + 1] = static_cast<char>(x * 2);
            row[x * 3 + 2] = static_cast<char>(y * 2);
        }
        bytes += row;
    }
    return bytes;
}

// A 32 x 32 icon with 32-bit colour and an empty mask.
std::string Ico() {
    std::string bytes;
    const WORD header[3] = {0, 1, 1};
    Append(bytes, header);
    const DWORD imageSize = 40 + 32 * 32 * 4 + 32 * 4;
    const BYTE entry[8] = {32, 32, 0, 0, 1, 0, 32, 0};
    Append(bytes, entry);
    Append(bytes, imageSize);
    const DWORD offset = 6 + 16;
    Append(bytes, offset);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = 32;
    info.biHeight = 64;
    info.biPlanes = 1;
    info.biBitCount = 32;
    Append(bytes, info);
    for (int i = 0; i < 32 * 32; ++i) {
        const DWORD pixel = (i / 32 + i % 32) % 8 < 4 ? 0xff2060e0u : 0xffe0e020u;
        Append(bytes, pixel);
    }
    bytes.append(32 * 4, '\0');
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
    std::string bytes;
    Append(bytes, header);
    return bytes + body;
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

// --- lists of the other process ----------------------------------------------------
// Under Wine a cross-process LB_GETTEXT/CB_GETLBTEXT sent by an ANSI caller
// comes back as UTF-16 and longer than the buffer the length asked for: the
// entries are read as wide text and converted here.

std::vector<std::string> Entries(HWND list, bool combo) {
    std::vector<std::string> items;
    const auto count = ::SendMessageW(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = ::SendMessageW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
        if (length < 0) continue;
        std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i,
                       reinterpret_cast<LPARAM>(text.data()));
        char ansi[1024] = {};
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), -1, ansi, sizeof ansi - 1, nullptr, nullptr);
        items.emplace_back(ansi);
    }
    return items;
}
std::vector<std::string> ListEntries(HWND list) { return Entries(list, false); }
std::vector<std::string> ComboEntries(HWND combo) { return Entries(combo, true); }

void Notify(HWND control, WORD code) {
    ::PostMessageA(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), code),
                   reinterpret_cast<LPARAM>(control));
}

int IndexOf(const std::vector<std::string>& items, const std::string& text) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return static_cast<int>(i);
    return -1;
}

// A click on a list entry (selection, then the list's notification).
bool ClickEntry(HWND list, const std::string& text) {
    const int i = IndexOf(ListEntries(list), text);
    if (i < 0) return false;
    ::SendMessageA(list, LB_SETCURSEL, i, 0);
    Notify(list, LBN_SELCHANGE);
    return true;
}

bool DoubleClickEntry(HWND list, const std::string& text) {
    if (!ClickEntry(list, text)) return false;
    Notify(list, LBN_DBLCLK);
    return true;
}

bool ChooseDrive(HWND combo, const std::string& text) {
    const int i = IndexOf(ComboEntries(combo), text);
    if (i < 0) return false;
    ::SendMessageA(combo, CB_SETCURSEL, i, 0);
    Notify(combo, CBN_SELCHANGE);
    Notify(combo, CBN_SELENDOK);
    return true;
}

// --- the browser ------------------------------------------------------------------

struct Browser {
    uia::Process process;
    HWND window = nullptr;

    HWND Item(int id) const { return uia::FindControl(window, id); }
    std::string Text(int id) const { return uia::TextOf(Item(id)); }
    bool WaitForText(int id, const std::string& text) const {
        return uia::WaitUntil([&] { return Text(id) == text; }, uia::Ms{5000});
    }
    // Selects a file like a click on it and waits until the preview text says `label2`.
    bool Pick(const std::string& file, const std::string& label2) const {
        return ClickEntry(Item(File1), file) && WaitForText(Label2, label2);
    }
    SIZE SourceSize() const {
        RECT r{};
        ::GetClientRect(Item(picSource), &r);
        return {r.right, r.bottom};
    }
    // The full path behind the folder list's current (highlighted) entry.
    std::vector<std::string> Folders() const { return ListEntries(Item(Dir1)); }
};

class FileBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = ScratchFolder();
        pictures_ = scratch_ + "\\bilder";
        uia::MakeFolders(pictures_ + "\\unter");
        uia::MakeFolders(pictures_ + "\\ordner.jpg");
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
    Put(pictures_ + "\\FOTO.JPG", Jpeg640());
    Put(pictures_ + "\\text.txt", "kein Bild");
    Put(pictures_ + "\\versteckt.jpg", Jpeg640(), FILE_ATTRIBUTE_HIDDEN);
    Put(pictures_ + "\\system.jpg", Jpeg640(), FILE_ATTRIBUTE_SYSTEM);
    Put(pictures_ + "\\geschuetzt.gif", Gif320(), FILE_ATTRIBUTE_READONLY);
    Put(pictures_ + "\\unter\\tief.jpg", Jpeg640());

    Browser b = Open("c,Bitte Bild wählen,*.jpg;*.gif," + target_ + ",640,480");
    ASSERT_NE(b.window, nullptr);
    EXPECT_EQ(uia::TextOf(b.window), "Bitte Bild wählen");
    EXPECT_EQ(ListEntries(b.Item(File1)),
              (std::vector<std::string>{"bild320.gif", "bild640.jpg", "bild800.jpg", "FOTO.JPG",
                                        "geschuetzt.gif"}));
    EXPECT_FALSE(uia::IsEnabled(b.Item(Command1)));
    EXPECT_EQ(b.Text(Label1), "Vorschau:");
    EXPECT_EQ(b.Text(Label2), "Dateigröße:");
    EXPECT_EQ(b.Text(lblStatus), "");

    // The tab order is the creation order of the controls.
    std::vector<int> order;
    for (HWND child : uia::Children(b.window)) order.push_back(::GetDlgCtrlID(child));
    EXPECT_EQ(order, (std::vector<int>{Drive1, Dir1, File1, Picture1, Label1, Command1, Command2,
                                       picSource, Label2, lblStatus, picNoFile, Picture2}));

    // 437 x 228 pixels of client area at 96 DPI.
    const RECT client = uia::ClientRectOnScreen(b.window);
    EXPECT_EQ(client.right - client.left, 437);
    EXPECT_EQ(client.bottom - client.top, 228);

    ASSERT_TRUE(b.Pick("bild800.jpg", SizeText(800, 600)));
    EXPECT_FALSE(uia::IsEnabled(b.Item(Command1)));
    EXPECT_EQ(b.Text(lblStatus), "Das ausgewählte Bild weist nicht die Masse auf: 640 x 480 .");

    ASSERT_TRUE(b.Pick("bild640.jpg", SizeText(640, 480)));
    EXPECT_TRUE(uia::IsEnabled(b.Item(Command1)));
    EXPECT_EQ(b.Text(lblStatus), "");
    EXPECT_EQ(b.SourceSize().cx, 640);
    EXPECT_EQ(b.SourceSize().cy, 480);
    EXPECT_TRUE(uia::IsVisible(b.Item(Picture1)));
    ::RedrawWindow(b.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::Sleep(300);  // let the preview paint for the picture (people look at it, nothing is checked)
    uia::SaveScreenshot(ScreenshotPath("file_browser_preview"));

    // Another size disables OK again.
    ASSERT_TRUE(ClickEntry(b.Item(File1), "bild320.gif"));
    ASSERT_TRUE(b.WaitForText(Label2, SizeText(320, 200)));
    EXPECT_FALSE(uia::IsEnabled(b.Item(Command1)));
    ASSERT_TRUE(b.Pick("FOTO.JPG", SizeText(640, 480)));
    EXPECT_TRUE(uia::IsEnabled(b.Item(Command1)));

    const auto t0 = Clock::now();
    uia::Click(b.Item(Command1));
    const auto result = WaitForResult();
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, "[Dialog]\r\nExtension=JPG\r\nWidth=640\r\nHeight=480\r\nError=0\r\n");
    EXPECT_EQ(uia::ReadFileBytes(target_ + ".JPG"), Jpeg640());
    EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000}));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(1500));
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{3000}), 0u);
    // OK remembers drive and folder.
    EXPECT_EQ(tav::GetSetting("Dir"), pictures_);
    EXPECT_EQ(tav::GetSetting("Drive").substr(0, 2), "c:");
}

TEST_F(FileBrowser, EveryPictureTypePreviewsWithItsOwnSize) {
    Put(pictures_ + "\\a.bmp", Bmp(120, 90));
    Put(pictures_ + "\\b.ico", Ico());
    Put(pictures_ + "\\c.wmf", Wmf(200, 100));
    Put(pictures_ + "\\d.emf", Emf(160, 120));
    Put(pictures_ + "\\e.gif", Gif320());
    Put(pictures_ + "\\f.jpg", Jpeg800());
    Put(pictures_ + "\\logo.xgif", Gif320());
    Put(pictures_ + "\\foto.jpeg", Jpeg640());
    Put(pictures_ + "\\kaputt.jpg", "das ist kein Bild");
    Put(pictures_ + "\\notiz.txt", "Text");

    Browser b = Open("c,Titel,*.*," + target_);
    ASSERT_NE(b.window, nullptr);
    EXPECT_TRUE(uia::IsEnabled(b.Item(Command1)));  // no required size

    // picSource lies below the visible client area and starts at 89 x 73 pixels.
    const RECT client = uia::ClientRectOnScreen(b.window);
    EXPECT_GE(uia::WindowRectOnScreen(b.Item(picSource)).top, client.bottom);
    EXPECT_EQ(b.SourceSize().cx, 89);
    EXPECT_EQ(b.SourceSize().cy, 73);

    const struct {
        const char* file;
        int width, height;
    } pictures[] = {{"a.bmp", 120, 90}, {"b.ico", 32, 32},   {"c.wmf", 200, 100},
                    {"d.emf", 160, 120}, {"e.gif", 320, 200}, {"f.jpg", 800, 600},
                    {"logo.xgif", 320, 200}};
    for (const auto& picture : pictures) {
        EXPECT_TRUE(ClickEntry(b.Item(File1), picture.file)) << picture.file;
        EXPECT_TRUE(b.WaitForText(Label2, SizeText(picture.width, picture.height)))
            << picture.file << ": " << b.Text(Label2);
        EXPECT_EQ(b.SourceSize().cx, picture.width) << picture.file;
        EXPECT_EQ(b.SourceSize().cy, picture.height) << picture.file;
        EXPECT_TRUE(uia::IsVisible(b.Item(Picture1))) << picture.file;
        EXPECT_FALSE(uia::IsVisible(b.Item(picNoFile))) << picture.file;
    }

    // An arrow key in the file list selects the next file and previews it.
    ASSERT_TRUE(ClickEntry(b.Item(File1), "a.bmp"));
    ASSERT_TRUE(b.WaitForText(Label2, SizeText(120, 90)));
    ::PostMessageA(b.Item(File1), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_TRUE(b.WaitForText(Label2, SizeText(32, 32))) << b.Text(Label2);

    // A picture type that cannot be loaded keeps the previous picture.
    ASSERT_TRUE(ClickEntry(b.Item(File1), "a.bmp"));
    ASSERT_TRUE(b.WaitForText(Label2, SizeText(120, 90)));
    ASSERT_TRUE(ClickEntry(b.Item(File1), "kaputt.jpg"));
    ::Sleep(300);  // nothing observable changes; give the handler its time
    EXPECT_EQ(b.Text(Label2), SizeText(120, 90));

    // Files without preview show the symbol in the preview's place.
    const RECT preview = uia::WindowRectOnScreen(b.Item(Picture1));
    for (const char* file : {"foto.jpeg", "notiz.txt"}) {
        ASSERT_TRUE(ClickEntry(b.Item(File1), "a.bmp"));
        ASSERT_TRUE(b.WaitForText(Label2, SizeText(120, 90)));
        ASSERT_TRUE(ClickEntry(b.Item(File1), file));
        EXPECT_TRUE(b.WaitForText(Label2, "Vorschau nicht möglich")) << file;
        EXPECT_FALSE(uia::IsVisible(b.Item(Picture1))) << file;
        EXPECT_TRUE(uia::IsVisible(b.Item(picNoFile))) << file;
        const RECT symbolFrame = uia::WindowRectOnScreen(b.Item(picNoFile));
        EXPECT_EQ(symbolFrame.left, preview.left) << file;
        EXPECT_EQ(symbolFrame.top, preview.top) << file;
        EXPECT_EQ(symbolFrame.right - symbolFrame.left, preview.right - preview.left) << file;
    }
    ::RedrawWindow(b.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::Sleep(300);  // for the picture only
    uia::SaveScreenshot(ScreenshotPath("file_browser_no_preview"));

    // OK after a file without preview reports the size of the last picture
    // loaded; the copy worked, so the error is "0".
    uia::Click(b.Item(Command1));
    const auto result = WaitForResult();
    EXPECT_EQ(result.value_or(""),
              "[Dialog]\r\nExtension=txt\r\nWidth=120\r\nHeight=90\r\nError=0\r\n");
    EXPECT_EQ(uia::ReadFileBytes(target_ + ".txt"), "Text");
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

TEST_F(FileBrowser, OkWithNothingSelectedOrAFailedCopyReportsTheFailure) {
    Put(pictures_ + "\\a.bmp", Bmp(120, 90));
    {
        Browser b = Open("c,Titel,*.*," + target_);
        ASSERT_NE(b.window, nullptr);
        uia::PressEnter(b.window);  // Enter is OK while OK is enabled
        const auto result = WaitForResult();
        EXPECT_EQ(result.value_or(""),
                  "[Dialog]\r\nExtension=\r\nWidth=89\r\nHeight=73\r\nError=1\r\n");
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    }
    {
        // The target's folder does not exist: nothing arrives there.
        Browser b = Open("c,Titel,*.*," + scratch_ + "\\fehlt\\bild");
        ASSERT_NE(b.window, nullptr);
        ASSERT_TRUE(b.Pick("a.bmp", SizeText(120, 90)));
        uia::Click(b.Item(Command1));
        const auto result = WaitForResult();
        EXPECT_EQ(result.value_or(""),
                  "[Dialog]\r\nExtension=bmp\r\nWidth=120\r\nHeight=90\r\nError=1\r\n");
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    }
}

TEST_F(FileBrowser, EnterDoesNothingWhileOkIsDisabledAndEscCancels) {
    Put(pictures_ + "\\bild800.jpg", Jpeg800());
    Browser b = Open("c,Titel,*.jpg," + target_ + ",640,480");
    ASSERT_NE(b.window, nullptr);
    ASSERT_TRUE(b.Pick("bild800.jpg", SizeText(800, 600)));
    uia::PressEnter(b.window);
    EXPECT_FALSE(uia::WaitForFile(ResultFile(), uia::Ms{700}));
    EXPECT_TRUE(b.process.Running());

    const auto t0 = Clock::now();
    uia::PressEscape(b.window);
    const auto result = WaitForResult();
    EXPECT_EQ(result.value_or(""), "[Dialog]\r\nExtension=\r\nWidth=\r\nHeight=\r\nError=1\r\n");
    // The window goes at once; the result stays two seconds.
    EXPECT_TRUE(uia::WaitForWindowGone({b.process.Pid(), "", "#32770"}, uia::Ms{1000}));
    EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000}));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(1500));
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{3000}), 0u);
    EXPECT_FALSE(uia::FileExists(target_ + ".jpg"));
}

TEST_F(FileBrowser, AbbrechenCancelsToo) {
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    uia::Click(b.Item(Command2));
    const auto result = WaitForResult();
    EXPECT_EQ(result.value_or(""), "[Dialog]\r\nExtension=\r\nWidth=\r\nHeight=\r\nError=1\r\n");
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

TEST_F(FileBrowser, FoldersShowTheirHierarchyOpenOnDoubleClickOrEnterAndAreRemembered) {
    Put(pictures_ + "\\unter\\tief.jpg", Jpeg640());
    uia::MakeFolders(pictures_ + "\\unter\\noch tiefer");
    const std::string testFolder = scratch_.substr(scratch_.find_last_of('\\') + 1);
    {
        Browser b = Open("c,Titel,*.jpg," + target_);
        ASSERT_NE(b.window, nullptr);
        EXPECT_EQ(b.Folders(), (std::vector<std::string>{"c:\\", "scratch", testFolder, "bilder",
                                                         "ordner.jpg", "unter"}));
        EXPECT_EQ(uia::ListSelection(b.Item(Dir1)), 3);  // the open folder
        EXPECT_TRUE(ListEntries(b.Item(File1)).empty());  // a folder is no file

        ASSERT_TRUE(DoubleClickEntry(b.Item(Dir1), "unter"));
        ASSERT_TRUE(uia::WaitUntil([&] { return ListEntries(b.Item(File1)).size() == 1; }));
        EXPECT_EQ(ListEntries(b.Item(File1)).front(), "tief.jpg");
        EXPECT_EQ(b.Folders(), (std::vector<std::string>{"c:\\", "scratch", testFolder, "bilder",
                                                         "unter", "noch tiefer"}));

        // Enter on a highlighted entry opens it.
        const auto has = [&](const std::string& entry) { return IndexOf(b.Folders(), entry) >= 0; };
        ::SendMessageA(b.Item(Dir1), LB_SETCURSEL, 1, 0);
        ::PostMessageA(b.Item(Dir1), WM_KEYDOWN, VK_RETURN, 1);
        ASSERT_TRUE(uia::WaitUntil([&] { return !has("bilder"); }));  // now on C:\scratch
        EXPECT_EQ(uia::ListSelection(b.Item(Dir1)), 1);
        EXPECT_FALSE(uia::FileExists(ResultFile()));  // Enter there is no OK
        ASSERT_TRUE(DoubleClickEntry(b.Item(Dir1), testFolder));
        ASSERT_TRUE(uia::WaitUntil([&] { return has("bilder") && has("ziel"); }));
        ASSERT_TRUE(DoubleClickEntry(b.Item(Dir1), "bilder"));
        ASSERT_TRUE(uia::WaitUntil([&] { return has("unter") && !has("ziel"); }));
        ASSERT_TRUE(DoubleClickEntry(b.Item(Dir1), "unter"));
        ASSERT_TRUE(uia::WaitUntil([&] { return b.Folders().back() == "noch tiefer"; }));

        // The close box: nothing is written, the folder is remembered, the program ends.
        uia::CloseBox(b.window);
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
        EXPECT_FALSE(uia::FileExists(ResultFile()));
        EXPECT_EQ(tav::GetSetting("Dir"), pictures_ + "\\unter");
        EXPECT_EQ(tav::GetSetting("Drive").substr(0, 2), "c:");
    }
    {
        Browser b = Open("c,Titel,*.jpg," + target_);
        ASSERT_NE(b.window, nullptr);
        EXPECT_EQ(b.Folders().back(), "noch tiefer");
        EXPECT_EQ(ListEntries(b.Item(File1)), (std::vector<std::string>{"tief.jpg"}));
        uia::PressEscape(b.window);
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    }
}

TEST_F(FileBrowser, DrivesAreListedAndADriveThatIsNotReadySaysSoOnce) {
    Put(pictures_ + "\\a.jpg", Jpeg640());
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    HWND drives = b.Item(Drive1);
    const auto entries = ComboEntries(drives);
    ASSERT_GE(entries.size(), 4u);
    std::string notReady;
    for (const auto& entry : entries) {
        ASSERT_GE(entry.size(), 2u);
        EXPECT_TRUE(entry[0] >= 'a' && entry[0] <= 'z' && entry[1] == ':') << entry;
        if (entry.substr(0, 2) == "f:") notReady = entry;
    }
    EXPECT_EQ(uia::TextOf(drives).substr(0, 2), "c:");
    ASSERT_EQ(notReady, "f:");

    const auto foldersBefore = b.Folders();
    ASSERT_TRUE(ChooseDrive(drives, notReady));
    const auto box = uia::WaitForMessageBox(b.process.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Tavrino");
    EXPECT_EQ(box->text, "Laufwerk nicht bereit oder verfügbar!");
    EXPECT_EQ(box->buttons.size(), 1u);
    uia::AnswerMessageBox(box->hwnd, IDOK);
    ASSERT_TRUE(uia::WaitUntil([&] { return !uia::WaitForMessageBox(b.process.Pid(), uia::Ms{0}); }));
    EXPECT_FALSE(uia::WaitForMessageBox(b.process.Pid(), uia::Ms{700}));  // once only
    EXPECT_EQ(b.Folders(), foldersBefore);
    EXPECT_EQ(ListEntries(b.Item(File1)), (std::vector<std::string>{"a.jpg"}));
    EXPECT_EQ(uia::TextOf(drives), "f:");

    // A ready drive switches the folder list to it.
    const std::string d = [&] {
        for (const auto& e : entries)
            if (e.substr(0, 2) == "d:") return e;
        return std::string();
    }();
    ASSERT_FALSE(d.empty());
    ASSERT_TRUE(ChooseDrive(drives, d));
    ASSERT_TRUE(uia::WaitUntil([&] { return b.Folders().front() == "d:\\"; }));
    uia::CloseBox(b.window);
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    EXPECT_EQ(tav::GetSetting("Drive").substr(0, 2), "d:");
}

TEST_F(FileBrowser, ARememberedDriveThatIsNotReadyOpensSilentlyOnTheRememberedFolder) {
    Put(pictures_ + "\\a.jpg", Jpeg640());
    tav::SaveSetting("Drive", "f:");
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    EXPECT_FALSE(uia::WaitForMessageBox(b.process.Pid(), uia::Ms{500}));
    EXPECT_EQ(b.Folders().at(uia::ListSelection(b.Item(Dir1))), "bilder");
    EXPECT_EQ(uia::TextOf(b.Item(Drive1)).substr(0, 2), "c:");
    EXPECT_EQ(ListEntries(b.Item(File1)), (std::vector<std::string>{"a.jpg"}));
    uia::CloseBox(b.window);
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

TEST_F(FileBrowser, ARememberedReadyDriveOpensOnItsCurrentFolder) {
    uia::MakeFolders("D:\\bilder d");
    Put("D:\\bilder d\\x.jpg", Jpeg640());
    tav::SaveSetting("Drive", "d:");
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, tav::kSettingsKey, "Dir");
    {
        Browser b = Open("c,Titel,*.jpg," + target_);
        ASSERT_NE(b.window, nullptr);
        EXPECT_EQ(uia::TextOf(b.Item(Drive1)).substr(0, 2), "d:");
        EXPECT_EQ(b.Folders().front(), "d:\\");
        EXPECT_EQ(uia::ListSelection(b.Item(Dir1)), 0);
        uia::PressEscape(b.window);
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    }
    tav::SaveSetting("Dir", "D:\\bilder d");
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    EXPECT_EQ(b.Folders(), (std::vector<std::string>{"d:\\", "bilder d"}));
    EXPECT_EQ(ListEntries(b.Item(File1)), (std::vector<std::string>{"x.jpg"}));
    uia::CloseBox(b.window);
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

TEST_F(FileBrowser, HiddenOwnerWindowIsCreatedOnceAndNeverShown) {
    HWND owner = tav::FileBrowserWindow();
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(tav::FileBrowserWindow(), owner);
    EXPECT_FALSE(::IsWindowVisible(owner));
    // Its load step has run: the lists are filled.
    EXPECT_GT(::SendMessageA(uia::FindControl(owner, Drive1), CB_GETCOUNT, 0, 0), 0);
    EXPECT_GT(::SendMessageA(uia::FindControl(owner, Dir1), LB_GETCOUNT, 0, 0), 0);

    // The folder actions own the shell's work with it and show nothing.
    uia::MakeFolders(scratch_ + "\\q\\u");
    Put(scratch_ + "\\q\\u\\a.txt", "A");
    uia::Process p = RunMain("c,killfolder," + scratch_ + "\\q");
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{300}));
    EXPECT_EQ(p.WaitForExit(), 0u);
    EXPECT_FALSE(uia::FolderExists(scratch_ + "\\q"));
}
